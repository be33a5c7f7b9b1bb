#include "qt/shell/dashboardview.h"

#include <QKeyEvent>

namespace accise {
namespace {
constexpr int kCommandRole = Qt::UserRole;
}

DashboardView::DashboardView(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("DASHBOARD"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    // A long line wraps within the page instead of running out of sight.
    setWordWrap(true);
    setResizeMode(QListView::Adjust);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setToolTip(QStringLiteral("Frecce: scelgono una riga; Invio: apre la finestra che agisce su di essa"));
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        const QString command = item->data(kCommandRole).toString();
        if (!command.isEmpty()) emit commandRequested(command);
    });
}

void DashboardView::showLines(const std::vector<DashboardLine>& lines) {
    const int kept = currentRow();
    clear();
    for (const DashboardLine& line : lines) {
        auto* item = new QListWidgetItem(QString::fromStdString(line.text), this);
        item->setData(kCommandRole, QString::fromStdString(line.command));
        if (line.kind == DashboardLine::Kind::Heading) {
            QFont bold = font();
            bold.setBold(true);
            item->setFont(bold);
            // Headings are passed over by the arrows: only lines that act are chosen.
            // Their text keeps the normal colour, not the grey of a disabled row.
            item->setFlags(Qt::NoItemFlags);
            item->setForeground(palette().color(QPalette::Active, QPalette::Text));
        } else {
            item->setText(QStringLiteral("    ") + item->text());
            if (line.kind == DashboardLine::Kind::Warning) item->setForeground(QColor(170, 0, 0));
        }
    }
    // The cursor stays where the clerk left it, on a line that can act.
    int row = kept >= 0 && kept < count() ? kept : 0;
    while (row < count() && !(item(row)->flags() & Qt::ItemIsEnabled)) ++row;
    if (row < count()) setCurrentRow(row);
}

std::string DashboardView::commandAt(int row) const {
    const QListWidgetItem* it = item(row);
    return it ? it->data(kCommandRole).toString().toStdString() : std::string();
}

void DashboardView::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
        emit itemActivated(currentItem());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

} // namespace accise
