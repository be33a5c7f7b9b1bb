#include "qt/movements/recordselectiondialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <utility>

#include "qt/movements/yearfield.h"

namespace accise {
namespace {

constexpr int kCellPadding = 8; // the margins the view draws around a cell

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

SelectionRowsModel::SelectionRowsModel(const RecordSelectionLogic& logic, QObject* parent)
    : QAbstractTableModel(parent), logic_(logic) {}

int SelectionRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(logic_.rowCount());
}

int SelectionRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(logic_.columns().size());
}

QVariant SelectionRowsModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    // The text is made for the rows in sight only.
    return qs(logic_.cellText(static_cast<std::size_t>(index.row()), static_cast<std::size_t>(index.column())));
}

QVariant SelectionRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    return qs(logic_.columns()[static_cast<std::size_t>(section)].caption);
}

void SelectionRowsModel::reload() {
    beginResetModel();
    endResetModel();
}

RecordSelectionDialog::RecordSelectionDialog(CommandContext& ctx, Prompt& prompt, QWidget* parent)
    : GuardedDialog(parent), ctx_(ctx), logic_(ctx, prompt) {
    setObjectName(QStringLiteral("TFSCEGLIMOVIMENTO"));
    year_ = makeYearField(this);
    QLabel* yearLabel = yearCaption(this, QStringLiteral("Anno del movimento"), year_);
    abandon_ = listAbandonButton(this);

    model_ = new SelectionRowsModel(logic_, this);
    list_ = new QTreeView(this);
    list_->setModel(model_);
    list_->setObjectName(QStringLiteral("LISTA"));
    list_->setFont(listFont(9));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setStyleSheet(QStringLiteral("QTreeView::item { border-right: 1px solid #d0d0d0; "
                                        "border-bottom: 1px solid #d0d0d0; } "
                                        "QTreeView::item:selected { background: palette(highlight); "
                                        "color: palette(highlighted-text); }")); // grid lines
    list_->header()->setSectionsClickable(true);
    list_->header()->setStretchLastSection(false);
    connect(list_->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (column < 0) return;
        logic_.sortBy(static_cast<std::size_t>(column));
        fill();
    });
    connect(list_, &QTreeView::activated, this, [this] { choose(); });

    auto* top = new QHBoxLayout;
    top->addWidget(yearLabel);
    top->addWidget(year_);
    top->addStretch();
    top->addWidget(abandon_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(list_, 1);
    setTabOrder(year_, list_);
    setTabOrder(list_, abandon_);

    connect(qApp, &QApplication::focusChanged, this, &RecordSelectionDialog::onFocusChanged);
}

RecordSelectionDialog::~RecordSelectionDialog() {
    disconnect(qApp, &QApplication::focusChanged, this, &RecordSelectionDialog::onFocusChanged);
}

std::int32_t RecordSelectionDialog::run() {
    execAndRethrow();
    return ctx_.chosenRecord;
}

void RecordSelectionDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    handling_ = true;
    setWindowTitle(qs(logic_.title()));
    if (!safely([this] { logic_.open(); })) {
        handling_ = false;
        return;
    }
    year_->setText(qs(logic_.yearText()));
    fill();
    const QFontMetrics fm(list_->font());
    const auto size = logic_.windowSize(fm.horizontalAdvance(QLatin1Char('W')), fm.height());
    // The view draws its own margins around each cell: room for them too, within the limits.
    int width = size.width + static_cast<int>(logic_.columns().size()) * kCellPadding;
    if (ctx_.maxWindowWidth > 0) width = std::min(width, ctx_.maxWindowWidth);
    resize(width, size.height);
    list_->setFocus();
    handling_ = false;
}

void RecordSelectionDialog::fill() {
    model_->reload();
    const auto& columns = logic_.columns();
    const int widthOfW = QFontMetrics(list_->font()).horizontalAdvance(QLatin1Char('W'));
    for (int i = 0; i < static_cast<int>(columns.size()); ++i)
        list_->setColumnWidth(i, (columns[static_cast<std::size_t>(i)].width + 2) * widthOfW + kCellPadding);
    const int rows = model_->rowCount();
    if (rows > 0) list_->setCurrentIndex(model_->index(rows - 1, 0)); // the last row selected
}

QString RecordSelectionDialog::cellText(int row, int column) const {
    return model_->data(model_->index(row, column), Qt::DisplayRole).toString();
}

void RecordSelectionDialog::choose() {
    const QModelIndex current = list_->currentIndex();
    if (!current.isValid()) return;
    logic_.choose(current.row());
    if (logic_.closeRequested()) accept();
}

void RecordSelectionDialog::onFocusChanged(QWidget* old, QWidget* now) {
    if (handling_ || !isVisible() || old != year_ || !now || now->window() != this || now == abandon_) return;
    handling_ = true;
    bool valid = false;
    if (!safely([&] { valid = logic_.leaveYear(year_->text().toStdString()); })) {
        handling_ = false;
        return;
    }
    if (valid) {
        fill();
        list_->setFocus();
    } else {
        year_->setFocus();
        year_->selectAll();
    }
    handling_ = false;
}

void RecordSelectionDialog::keyPressEvent(QKeyEvent* event) {
    // Enter on a row is the list's activation; it never presses a button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event); // Esc: closes with -1
}

} // namespace accise
