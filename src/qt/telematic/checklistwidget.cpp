#include "qt/telematic/checklistwidget.h"

#include <QFont>

namespace accise {

CheckListModel::CheckListModel(CheckList& list, QObject* parent) : QAbstractListModel(parent), list_(list) {}

int CheckListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

QVariant CheckListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const auto row = static_cast<std::size_t>(index.row());
    if (role == Qt::DisplayRole) return QString::fromStdString(shown_[row]);
    if (role == Qt::CheckStateRole) return list_.ticked(row) ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool CheckListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid() || index.row() >= rowCount()) return false;
    list_.setTicked(static_cast<std::size_t>(index.row()),
                    static_cast<Qt::CheckState>(value.toInt()) == Qt::Checked);
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags CheckListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}

void CheckListModel::refresh() {
    if (shown_ != list_.lines()) {
        beginResetModel();
        shown_ = list_.lines();
        endResetModel();
        return;
    }
    // Same lines: only the ticks may have changed ("Tutti", "Nessuno").
    if (!shown_.empty()) emit dataChanged(index(0), index(rowCount() - 1), {Qt::CheckStateRole});
}

CheckListWidget::CheckListWidget(CheckList& list, QWidget* parent)
    : QListView(parent), model_(new CheckListModel(list, this)) {
    setObjectName(QStringLiteral("CELENCO"));
    QFont font(QStringLiteral("Courier New"), 8);
    font.setStyleHint(QFont::TypeWriter);
    setFont(font);
    // Every line has the same height: the view need not measure 100 000 of them.
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setModel(model_);
}

bool CheckListWidget::isTicked(int row) const {
    return model_->data(model_->index(row), Qt::CheckStateRole).toInt() == Qt::Checked;
}

void CheckListWidget::setTicked(int row, bool ticked) {
    model_->setData(model_->index(row), ticked ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
}

} // namespace accise
