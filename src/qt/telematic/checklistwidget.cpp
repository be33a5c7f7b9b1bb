#include "qt/telematic/checklistwidget.h"

#include <QFont>
#include <QSignalBlocker>

namespace accise {

CheckListWidget::CheckListWidget(CheckList& list, QWidget* parent) : QListWidget(parent), list_(list) {
    setObjectName(QStringLiteral("CELENCO"));
    QFont font(QStringLiteral("Courier New"), 8);
    font.setStyleHint(QFont::TypeWriter);
    setFont(font);
    connect(this, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        list_.setTicked(static_cast<std::size_t>(row(item)), item->checkState() == Qt::Checked);
    });
}

void CheckListWidget::refresh() {
    const QSignalBlocker block(this);
    if (shown_ != list_.lines()) {
        clear();
        for (const std::string& line : list_.lines()) {
            auto* item = new QListWidgetItem(QString::fromStdString(line), this);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        }
        shown_ = list_.lines();
    }
    for (int i = 0; i < count(); ++i)
        item(i)->setCheckState(list_.ticked(static_cast<std::size_t>(i)) ? Qt::Checked : Qt::Unchecked);
}

} // namespace accise
