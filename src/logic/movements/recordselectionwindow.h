#pragma once
// The record selection list (TFSCEGLIMOVIMENTO): the records a change or correction
// command may act on (recordselection.h), shown through TABELLA.TXT in the temp
// folder like the lookup list. The year field LANNO chooses the year's file; a row
// chosen leaves its record number in ctx.chosenRecord (-1 when none) and the record
// as the list showed it in ctx.selectedRecord.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/books/recordselection.h"
#include "core/files/prompt.h"
#include "logic/framework/commandcontext.h"
#include "logic/shell/lookuplist.h"

namespace accise {

class RecordSelectionLogic {
public:
    RecordSelectionLogic(CommandContext& ctx, Prompt& prompt);

    std::string title() const;

    // The window is shown: the year becomes the current year and the list is built.
    void open();
    // Builds the list of the year in the year field (TABELLA.TXT written and read back).
    void build();

    const std::string& yearText() const { return year_; }
    // The columns shown (slots of positive width, raised to at least 5).
    const std::vector<LookupColumn>& columns() const { return columns_; }
    // The rows in the order shown: their count, record numbers and the texts of the
    // columns shown (UTF-8; cellBytes: as TABELLA.TXT holds them).
    std::size_t rowCount() const { return order_.size(); }
    std::int32_t rowNumber(std::size_t row) const { return table_.rows.number(order_[row]); }
    std::string cellText(std::size_t row, std::size_t column) const;
    std::string_view cellBytes(std::size_t row, std::size_t column) const;

    // The cursor leaves the year field with `text`. True: it goes on to the list and
    // the list is rebuilt for that year; false: it stays in the year field (a year
    // outside 2008-2060, or none), the list as it was.
    bool leaveYear(const std::string& text);

    // A click on column `column`'s header: ascending by its text, byte by byte.
    void sortBy(std::size_t column);

    // Enter or a double click on row `index` (in the order shown): the window closes.
    void choose(int index);
    void abandon() { closeRequested_ = true; }
    bool closeRequested() const { return closeRequested_; }

    // Window size in pixels: (width + 2) × "W" per column, + 50; rows × 2 × "Q"; at
    // least 500 × 300, at most the maximum window size (when that is known).
    struct Size {
        int width = 0;
        int height = 0;
    };
    Size windowSize(int widthOfW, int heightOfQ) const;

private:
    CommandContext& ctx_;
    Prompt& prompt_;
    std::string year_;
    std::vector<LookupColumn> columns_;
    std::vector<std::size_t> shownSlots_; // the table's slot of each column shown
    SelectionTable table_;                // the rows as listed, with their stored bytes
    std::vector<std::uint32_t> order_;    // the table's row of each row shown
    bool closeRequested_ = false;
};

} // namespace accise
