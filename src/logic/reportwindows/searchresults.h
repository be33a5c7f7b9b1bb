#pragma once
// The records a search found, as the list of its window shows them: the export's
// columns and texts, one row per record in the order of the print, sortable by any
// column. A column whose texts are all dates (DD/MM/YYYY) sorts by date, one whose
// texts are all numbers in the Italian form sorts by value, any other by its text;
// blank texts (and the "---" of a document without a receipt note) come first.
// Sorting changes only the list, never the print or the export.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace accise {

struct SearchResultRow {
    std::vector<std::string> cells;
    bool struckOut = false; // superseded or cancellation record: struck out as in the print
};

class SearchResults {
public:
    enum class Order { Text, Date, Number };

    // The captions are the ";"-ended names of an export's header line.
    void assign(std::string_view header, std::vector<SearchResultRow> rows);
    void clear() { assign({}, {}); }
    // Counts the assignments: a view knows from it when a new search replaced the rows.
    std::size_t generation() const { return generation_; }

    const std::vector<std::string>& captions() const { return captions_; }
    std::size_t size() const { return rows_.size(); }
    // Row `shown` of the list, in the order shown.
    const SearchResultRow& row(std::size_t shown) const { return rows_[order_[shown]]; }
    // Its place among the rows as found (the print's order).
    std::size_t foundIndex(std::size_t shown) const { return order_[shown]; }

    Order orderOf(std::size_t column) const { return column < orders_.size() ? orders_[column] : Order::Text; }
    // Ascending or descending by `column`; equal texts keep the order in which they were found.
    void sortBy(std::size_t column, bool descending);

private:
    std::vector<std::string> captions_;
    std::vector<SearchResultRow> rows_;
    std::vector<Order> orders_;
    std::vector<std::size_t> order_;
    std::size_t generation_ = 0;
};

// Captions of a header line: "N.Op.;C/S;" gives "N.Op." and "C/S".
std::vector<std::string> headerCaptions(std::string_view header);

} // namespace accise
