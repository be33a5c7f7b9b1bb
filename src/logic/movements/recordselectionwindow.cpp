#include "logic/movements/recordselectionwindow.h"

#include <algorithm>

#include "core/files/recordfile.h"
#include "core/tables/dates.h"

namespace accise {
namespace {

constexpr int kMinWidth = 500;
constexpr int kMinHeight = 300;

bool allDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

RecordSelectionLogic::RecordSelectionLogic(CommandContext& ctx, Prompt& prompt)
    : ctx_(ctx), prompt_(prompt) {}

std::string RecordSelectionLogic::title() const {
    const SelectionMode* mode = selectionMode(ctx_.mode);
    return mode ? mode->caption : std::string();
}

void RecordSelectionLogic::open() {
    closeRequested_ = false;
    ctx_.chosenRecord = -1;
    year_ = std::to_string(yearOf(todayDayNumber()));
    build();
}

void RecordSelectionLogic::build() {
    ctx_.chosenRecord = -1;
    // The year the rows come from is the one the command then reads the record from.
    ctx_.workingYear = year_;
    SelectionTable table = buildSelectionTable(ctx_.folders, ctx_.mode, std::stoi(year_), ctx_.alcopp);

    std::vector<LookupRow> written;
    written.reserve(table.rows.size());
    listed_.clear();
    for (SelectionRow& row : table.rows) {
        written.push_back({row.number, std::move(row.cells)});
        listed_[row.number] = std::move(row.stored);
    }
    // TABELLA.TXT stays the list's exchange file; the rows shown are the ones written,
    // taken from memory rather than read back: a year's list may be 100 000 rows, and
    // a text that held a line break or a TAB would come back from the file as a
    // phantom row or a shifted column.
    writeWholeFile(ctx_.folders.inTemp(kLookupFileName), lookupFileText(written));
    rows_ = std::move(written);

    columns_.clear();
    std::size_t slot = 0;
    std::vector<std::size_t> shownSlots;
    for (const SelectionColumn& c : table.columns) {
        if (c.width > 0) {
            columns_.push_back({std::max(c.width, kLookupMinColumnWidth), c.caption});
            shownSlots.push_back(slot);
        }
        ++slot;
    }
    // A slot without a column takes its texts along: the cells follow the columns shown.
    // (Nothing to move when the slots shown are the first ones and the rows have no other.)
    const bool cellsAreColumns = !shownSlots.empty() && shownSlots.back() + 1 == shownSlots.size() &&
                                 (rows_.empty() || rows_.front().cells.size() == shownSlots.size());
    for (LookupRow& row : rows_) {
        if (cellsAreColumns) break;
        std::vector<std::string> cells;
        for (std::size_t s : shownSlots)
            cells.push_back(s < row.cells.size() ? row.cells[s] : std::string());
        row.cells = std::move(cells);
    }
}

bool RecordSelectionLogic::leaveYear(const std::string& text) {
    if (!allDigits(text)) {
        prompt_.information("'" + text + "' non è un numero intero valido");
        return false;
    }
    const int year = std::stoi(text.substr(0, 4));
    if (year < kFirstWorkingYear || year > kLastWorkingYear) return false;
    year_ = text.substr(0, 4);
    build();
    return true;
}

void RecordSelectionLogic::sortBy(std::size_t column) {
    if (column < columns_.size()) sortLookupRows(rows_, column);
}

void RecordSelectionLogic::choose(int index) {
    if (index < 0 || index >= static_cast<int>(rows_.size())) return;
    const std::int32_t number = rows_[static_cast<std::size_t>(index)].number;
    ctx_.chosenRecord = number;
    if (const auto it = listed_.find(number); it != listed_.end()) ctx_.selectedRecord = decodeMovement(it->second);
    closeRequested_ = true;
}

RecordSelectionLogic::Size RecordSelectionLogic::windowSize(int widthOfW, int heightOfQ) const {
    int width = 50;
    for (const LookupColumn& c : columns_)
        width += (c.width + 2) * widthOfW;
    int height = static_cast<int>(rows_.size()) * 2 * heightOfQ;
    width = std::max(width, kMinWidth);
    height = std::max(height, kMinHeight);
    if (ctx_.maxWindowWidth > 0) width = std::min(width, ctx_.maxWindowWidth);
    if (ctx_.maxWindowHeight > 0) height = std::min(height, ctx_.maxWindowHeight);
    return {width, height};
}

} // namespace accise
