#include "logic/reportwindows/searchresults.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <optional>

#include "core/files/text1252.h"
#include "core/tables/dates.h"

namespace accise {
namespace {

// An empty cell, or the "---" of a document that has no receipt note.
bool blank(std::string_view text) {
    const std::string t = trimmed(text);
    return t.empty() || t == "---";
}

// "1.234,5" or "-35,88" as a value; nullopt for any other text.
std::optional<double> italianNumber(std::string_view text) {
    const std::string t = trimmed(text);
    std::string plain;
    bool digit = false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char c = t[i];
        if (c >= '0' && c <= '9') {
            plain += c;
            digit = true;
        } else if (c == '.') {
            continue; // thousands
        } else if (c == ',') {
            plain += '.';
        } else if (c == '-' && i == 0) {
            plain += c;
        } else {
            return std::nullopt;
        }
    }
    if (!digit) return std::nullopt;
    return std::strtod(plain.c_str(), nullptr);
}

// A sortable key of a cell: the day number of a date, the value of a number.
double keyOf(std::string_view text, SearchResults::Order order) {
    if (order == SearchResults::Order::Date) return parseDate(trimmed(text)).value_or(0);
    return italianNumber(text).value_or(0);
}

SearchResults::Order orderOfColumn(const std::vector<SearchResultRow>& rows, std::size_t column) {
    bool dates = true, numbers = true, any = false;
    for (const SearchResultRow& r : rows) {
        if (column >= r.cells.size() || blank(r.cells[column])) continue;
        any = true;
        const std::string t = trimmed(r.cells[column]);
        if (dates && (t.size() != 10 || !parseDate(t))) dates = false;
        if (numbers && !italianNumber(t)) numbers = false;
        if (!dates && !numbers) break;
    }
    if (!any) return SearchResults::Order::Text;
    return dates ? SearchResults::Order::Date : numbers ? SearchResults::Order::Number : SearchResults::Order::Text;
}

} // namespace

std::vector<std::string> headerCaptions(std::string_view header) {
    std::vector<std::string> captions;
    std::size_t start = 0;
    for (std::size_t end; (end = header.find(';', start)) != std::string_view::npos; start = end + 1)
        captions.emplace_back(header.substr(start, end - start));
    return captions;
}

void SearchResults::assign(std::string_view header, std::vector<SearchResultRow> rows) {
    ++generation_;
    captions_ = headerCaptions(header);
    rows_ = std::move(rows);
    orders_.clear();
    for (std::size_t c = 0; c < captions_.size(); ++c) orders_.push_back(orderOfColumn(rows_, c));
    order_.resize(rows_.size());
    std::iota(order_.begin(), order_.end(), std::size_t{0});
}

void SearchResults::sortBy(std::size_t column, bool descending) {
    if (column >= captions_.size()) return;
    const Order order = orderOf(column);
    const auto cell = [&](std::size_t i) -> std::string_view {
        const auto& cells = rows_[i].cells;
        return column < cells.size() ? std::string_view(cells[column]) : std::string_view();
    };
    // Keys once per row, not once per comparison.
    std::vector<double> keys(rows_.size(), 0);
    std::vector<char> blanks(rows_.size(), 0);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        blanks[i] = blank(cell(i));
        if (order != Order::Text && !blanks[i]) keys[i] = keyOf(cell(i), order);
    }
    const auto less = [&](std::size_t a, std::size_t b) {
        if (blanks[a] != blanks[b]) return blanks[a] > blanks[b]; // blanks first
        if (order == Order::Text) return cell(a) < cell(b);
        return keys[a] < keys[b];
    };
    std::iota(order_.begin(), order_.end(), std::size_t{0});
    if (descending) std::stable_sort(order_.begin(), order_.end(), [&](std::size_t a, std::size_t b) { return less(b, a); });
    else std::stable_sort(order_.begin(), order_.end(), less);
}

} // namespace accise
