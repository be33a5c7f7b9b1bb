#include "qt/shell/lookuplistdialog.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "qt/reports/reportoutput.h"

namespace accise {
namespace {

constexpr double kOpacity = 0.95; // drawn slightly translucent
constexpr int kCellPadding = 8;   // the margins the view draws around a cell

// The list's font: Courier New 9, or the system's fixed font where it is missing.
QFont listFont() {
    QFont font(QStringLiteral("Courier New"), 9);
    font.setStyleHint(QFont::TypeWriter);
    if (!font.exactMatch()) {
        QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        fixed.setPointSize(9);
        return fixed;
    }
    return font;
}

QString qs(const std::string& s) { return QString::fromStdString(s); }

} // namespace

LookupRequest lookupRequestOf(const CommandContext& ctx) { return {ctx.table, ctx.mode, ctx.movementDate}; }

LookupListDialog::LookupListDialog(CommandContext& ctx, LookupRequest request, QWidget* parent)
    : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("ULISTVIEW"));
    ctx_.chosenCode = -1;
    list_ = openLookupList(ctx.folders, request);
    setWindowTitle(qs(list_.title));

    view_ = new QTreeWidget(this);
    view_->setObjectName(QStringLiteral("LISTA"));
    view_->setFont(listFont());
    view_->setRootIsDecorated(false);
    view_->setUniformRowHeights(true);
    view_->setAllColumnsShowFocus(true);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setColumnCount(static_cast<int>(list_.columns.size()));
    QStringList captions;
    for (const auto& c : list_.columns) captions << qs(c.caption);
    view_->setHeaderLabels(captions);
    view_->header()->setSectionsClickable(true);
    view_->header()->setStretchLastSection(false);
    const QFontMetrics fm(view_->font());
    const int widthOfW = fm.horizontalAdvance(QLatin1Char('W'));
    // A column is as wide as its longest text, and never narrower than its caption
    // (a column of "S" / "N" under "Mittente").
    for (int i = 0; i < static_cast<int>(list_.columns.size()); ++i)
        view_->setColumnWidth(i, std::max((list_.columns[static_cast<std::size_t>(i)].width + 2) * widthOfW + kCellPadding,
                                          view_->header()->sectionSizeHint(i)));
    connect(view_->header(), &QHeaderView::sectionClicked, this, &LookupListDialog::sortBy);
    connect(view_, &QTreeWidget::itemActivated, this, [this] { choose(); });

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("BOK"));
    auto* print = new QPushButton(QStringLiteral("&Stampa"), this);
    print->setObjectName(QStringLiteral("BSTAMPA"));
    auto* abandon = new QPushButton(QStringLiteral("&Abbandona"), this);
    abandon->setObjectName(QStringLiteral("BABBANDONA"));
    for (QPushButton* b : {ok, print, abandon}) b->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &LookupListDialog::choose);
    connect(print, &QPushButton::clicked, this, &LookupListDialog::print);
    connect(abandon, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(print);
    buttons->addWidget(abandon);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_);
    layout->addLayout(buttons);

    fill();
    const LookupWindowSize size =
        lookupWindowSize(list_, widthOfW, fm.height(), ctx.maxWindowWidth, ctx.maxWindowHeight);
    // The columns as drawn (with their cell margins), the list's frame, its vertical
    // scroll bar and the window's margins must all fit: no column is cut and no
    // horizontal scroll bar appears, within the largest window allowed.
    int needed = 2 * view_->frameWidth() + view_->verticalScrollBar()->sizeHint().width();
    for (int i = 0; i < view_->columnCount(); ++i) needed += view_->columnWidth(i);
    const QMargins margins = layout->contentsMargins();
    needed += margins.left() + margins.right();
    int width = std::max(size.width, needed);
    if (ctx.maxWindowWidth > 0) width = std::min(width, ctx.maxWindowWidth);
    resize(width, size.height);
    setWindowOpacity(kOpacity);
    view_->setFocus();
}

void LookupListDialog::fill() {
    view_->clear();
    QList<QTreeWidgetItem*> items;
    for (const auto& row : list_.rows) {
        auto* item = new QTreeWidgetItem;
        for (std::size_t i = 0; i < row.cells.size() && i < list_.columns.size(); ++i)
            item->setText(static_cast<int>(i), qs(row.cells[i]));
        item->setData(0, Qt::UserRole, row.number);
        items << item;
    }
    view_->addTopLevelItems(items);
    if (!items.isEmpty()) view_->setCurrentItem(items.front());
}

std::int32_t LookupListDialog::run() {
    chosen_ = -1;
    exec();
    ctx_.chosenCode = chosen_;
    return chosen_;
}

void LookupListDialog::choose() {
    QTreeWidgetItem* item = view_->currentItem();
    if (!item) return; // "&OK" on an empty list does nothing
    chosen_ = item->data(0, Qt::UserRole).toInt();
    ctx_.chosenCode = chosen_;
    accept();
}

void LookupListDialog::sortBy(int column) {
    if (column < 0) return;
    sortLookupRows(list_.rows, static_cast<std::size_t>(column));
    fill();
}

LookupReportData LookupListDialog::reportData() const {
    LookupReportData report;
    report.title = list_.title;
    for (const auto& c : list_.columns) {
        report.widths.push_back(c.width);
        report.captions.push_back(c.caption);
    }
    for (const auto& row : list_.rows) report.rows.push_back(row.cells);
    return report;
}

void LookupListDialog::print() {
    const LookupReportData report = reportData();
    if (printer_) {
        printer_(report);
        return;
    }
    printReport(this, lookupReportOrientation(report),
                [&report](PageCanvas& canvas) { drawLookupReport(canvas, report); }, qs(report.title));
}

void LookupListDialog::keyPressEvent(QKeyEvent* event) {
    // Enter on a row is the list's activation (handled there); it never presses a button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event); // Esc: closes with -1
}

void registerLookupList(WindowRegistry& registry, QWidget* parent) {
    registry.add(kLookupList, [parent](CommandContext& ctx) {
        LookupListDialog dialog(ctx, lookupRequestOf(ctx), parent);
        dialog.run();
    });
}

} // namespace accise
