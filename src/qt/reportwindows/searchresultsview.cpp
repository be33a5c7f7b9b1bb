#include "qt/reportwindows/searchresultsview.h"

#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSignalBlocker>

namespace accise {

SearchResultsModel::SearchResultsModel(SearchResults& results, QObject* parent)
    : QAbstractTableModel(parent), results_(results) {}

int SearchResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(results_.size());
}

int SearchResultsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(results_.captions().size());
}

QVariant SearchResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    const SearchResultRow& row = results_.row(static_cast<std::size_t>(index.row()));
    const auto column = static_cast<std::size_t>(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return column < row.cells.size() ? QString::fromStdString(row.cells[column]) : QString();
    case Qt::FontRole:
        if (row.struckOut) {
            QFont font;
            font.setStrikeOut(true);
            return font;
        }
        return {};
    case Qt::TextAlignmentRole:
        if (results_.orderOf(column) == SearchResults::Order::Number)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant SearchResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    return QString::fromStdString(results_.captions()[static_cast<std::size_t>(section)]);
}

void SearchResultsModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount()) return;
    emit layoutAboutToBeChanged();
    results_.sortBy(static_cast<std::size_t>(column), order == Qt::DescendingOrder);
    emit layoutChanged();
}

std::size_t SearchResultsModel::foundIndex(int shown) const {
    return results_.foundIndex(static_cast<std::size_t>(shown));
}

int SearchResultsModel::shownRow(std::size_t found) const {
    for (std::size_t shown = 0; shown < results_.size(); ++shown)
        if (results_.foundIndex(shown) == found) return static_cast<int>(shown);
    return -1;
}

void SearchResultsModel::reload() {
    beginResetModel();
    endResetModel();
}

SearchResultsView::SearchResultsView(SearchResults& results, QWidget* parent)
    : QTableView(parent), model_(new SearchResultsModel(results, this)) {
    setObjectName(QStringLiteral("LRICERCA"));
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    verticalHeader()->hide();
    // Every row one line high: the view need not measure 100 000 of them.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setSortIndicatorShown(true);
    // Not setSortingEnabled: that would sort by the first column at once, and the list
    // starts in the order of the print.
    // A click on a header turns its sort indicator (ascending first, then the other
    // way round); the rows follow the indicator.
    connect(horizontalHeader(), &QHeaderView::sortIndicatorChanged, model_,
            [this](int column, Qt::SortOrder order) { model_->sort(column, order); });
    connect(this, &QTableView::doubleClicked, this, [this] { openCurrent(); });
}

void SearchResultsView::reload() {
    model_->reload();
    const QSignalBlocker quiet(horizontalHeader()); // the new rows stay in the print's order
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    if (model_->rowCount() > 0) setCurrentIndex(model_->index(0, 0));
}

void SearchResultsView::sortByKey(int column) {
    if (column < 0 || column >= model_->columnCount()) return;
    QHeaderView* header = horizontalHeader();
    const Qt::SortOrder order = header->sortIndicatorSection() == column && header->sortIndicatorOrder() == Qt::AscendingOrder
                                    ? Qt::DescendingOrder
                                    : Qt::AscendingOrder;
    // The record under the cursor, by its place among the rows as found: after the
    // sort the cursor is put back on it, in the column sorted.
    const QModelIndex current = currentIndex();
    const bool hadRow = current.isValid();
    const std::size_t found = hadRow ? model_->foundIndex(current.row()) : 0;
    header->setSortIndicator(column, order); // the rows follow the indicator
    const int row = hadRow ? model_->shownRow(found) : 0;
    if (row >= 0 && row < model_->rowCount()) {
        const QModelIndex index = model_->index(row, column);
        setCurrentIndex(index);
        scrollTo(index);
    }
}

void SearchResultsView::keyPressEvent(QKeyEvent* event) {
    // Enter opens the row; it never moves on to the next field nor presses a button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        openCurrent();
        event->accept();
        return;
    }
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_F3 && mods == Qt::NoModifier) {
        sortByKey(currentIndex().isValid() ? currentIndex().column() : 0);
        event->accept();
        return;
    }
    if (mods == Qt::ControlModifier && event->key() >= Qt::Key_1 && event->key() <= Qt::Key_9) {
        sortByKey(event->key() - Qt::Key_1);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void SearchResultsView::openCurrent() {
    if (open_ && currentIndex().isValid()) open_(currentIndex().row());
}

} // namespace accise
