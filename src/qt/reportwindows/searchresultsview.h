#pragma once
// The list of the records a search found (LRICERCA): a view over the window logic's
// SearchResults, so a search of 100 000 records shows at once. A click on a header
// sorts by that column (a second click the other way round), and so do the keys:
// Ctrl+1 to Ctrl+9 sort by the first nine columns, F3 by the column of the cursor
// (Left and Right move it), the same key again the other way round; struck-out
// records are struck out as in the print; Enter or a double click on a row asks for
// its record.
#include <QAbstractTableModel>
#include <QTableView>
#include <functional>

#include "logic/reportwindows/searchresults.h"

namespace accise {

class SearchResultsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    SearchResultsModel(SearchResults& results, QObject* parent);
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;
    // The logic's results changed (a new search).
    void reload();
    // The place among the rows as found of row `shown`, and back (-1 for none).
    std::size_t foundIndex(int shown) const;
    int shownRow(std::size_t found) const;

private:
    SearchResults& results_;
};

class SearchResultsView : public QTableView {
    Q_OBJECT
public:
    SearchResultsView(SearchResults& results, QWidget* parent);
    // Called with the row (in the order shown) on which the clerk pressed Enter or
    // double-clicked; none means rows open nothing.
    void setOpenRow(std::function<void(int)> open) { open_ = std::move(open); }
    // Shows the logic's current results, unsorted, the first row current.
    void reload();
    SearchResultsModel* resultsModel() const { return model_; }
    // The keys' sort: by `column`, ascending, or the other way round when the list is
    // already sorted by it. The cursor stays on the record it was on.
    void sortByKey(int column);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openCurrent();

    SearchResultsModel* model_;
    std::function<void(int)> open_;
};

} // namespace accise
