#include "logic/movements/recordselectionwindow.h"

#include <algorithm>
#include <charconv>
#include <numeric>

#include "core/files/platform.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
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

namespace {

// Writes TABELLA.TXT for the rows in file order, with every slot's cell: the bytes
// writeWholeFile(file, lookupFileText(rows)) writes, put together from the texts the
// rows already hold as Windows-1252 bytes, a piece at a time through one buffer (a
// year's list makes a file of megabytes).
void writeLookupFile(const fs::path& file, const SelectionRows& rows) {
    constexpr std::size_t kPiece = 256 * 1024;
    requireChangeable(file);
    platform::File out;
    out.open(file, platform::OpenMode::CreateOrTruncate);
    std::string text;
    text.reserve(kPiece + 4096);
    std::uint64_t written = 0;
    const auto flush = [&] {
        out.writeAt(written, text);
        written += text.size();
        text.clear();
    };
    char number[16];
    for (std::size_t r = 0; r < rows.size(); ++r) {
        text += rows.cellBytes(r, 0);
        text += "\r\n@";
        const auto end = std::to_chars(number, number + sizeof number, rows.number(r));
        text.append(number, end.ptr);
        text += "\r\n";
        for (std::size_t c = 1; c < rows.cellCount(); ++c) {
            text += '\t';
            text += rows.cellBytes(r, c);
            text += "\r\n";
        }
        if (text.size() >= kPiece) flush();
    }
    if (!text.empty()) flush();
    out.close();
}

} // namespace

void RecordSelectionLogic::build() {
    ctx_.chosenRecord = -1;
    // The year the rows come from is the one the command then reads the record from.
    ctx_.workingYear = year_;
    SelectionTable table = buildSelectionTable(ctx_.folders, ctx_.mode, std::stoi(year_), ctx_.alcopp);

    // TABELLA.TXT stays the list's exchange file; the rows shown are the ones written,
    // taken from memory rather than read back: a year's list may be 100 000 rows, and
    // a text that held a line break or a TAB would come back from the file as a
    // phantom row or a shifted column.
    writeLookupFile(ctx_.folders.inTemp(kLookupFileName), table.rows);

    columns_.clear();
    shownSlots_.clear();
    for (std::size_t slot = 0; slot < table.columns.size(); ++slot) {
        const SelectionColumn& c = table.columns[slot];
        if (c.width <= 0) continue;
        columns_.push_back({std::max(c.width, kLookupMinColumnWidth), c.caption});
        // A slot without a column takes its texts along: the cells follow the columns shown.
        shownSlots_.push_back(slot);
    }
    order_.resize(table.rows.size());
    std::iota(order_.begin(), order_.end(), std::uint32_t{0});
    table_ = std::move(table);
}

std::string_view RecordSelectionLogic::cellBytes(std::size_t row, std::size_t column) const {
    if (row >= order_.size() || column >= shownSlots_.size()) return {};
    return table_.rows.cellBytes(order_[row], shownSlots_[column]);
}

std::string RecordSelectionLogic::cellText(std::size_t row, std::size_t column) const {
    return decode1252(cellBytes(row, column));
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
    if (column >= columns_.size()) return;
    // Ascending by the column's Windows-1252 bytes (compared as unsigned), as the
    // lookup list sorts; equal texts keep the order they had.
    const std::size_t slot = shownSlots_[column];
    std::stable_sort(order_.begin(), order_.end(), [&](std::uint32_t a, std::uint32_t b) {
        return table_.rows.cellBytes(a, slot) < table_.rows.cellBytes(b, slot);
    });
}

void RecordSelectionLogic::choose(int index) {
    if (index < 0 || index >= static_cast<int>(order_.size())) return;
    const std::uint32_t row = order_[static_cast<std::size_t>(index)];
    ctx_.chosenRecord = table_.rows.number(row);
    // The record as this row listed it: the command compares it with the file.
    ctx_.selectedRecord = decodeMovement(table_.rows.stored(row));
    closeRequested_ = true;
}

RecordSelectionLogic::Size RecordSelectionLogic::windowSize(int widthOfW, int heightOfQ) const {
    int width = 50;
    for (const LookupColumn& c : columns_)
        width += (c.width + 2) * widthOfW;
    int height = static_cast<int>(order_.size()) * 2 * heightOfQ;
    width = std::max(width, kMinWidth);
    height = std::max(height, kMinHeight);
    if (ctx_.maxWindowWidth > 0) width = std::min(width, ctx_.maxWindowWidth);
    if (ctx_.maxWindowHeight > 0) height = std::min(height, ctx_.maxWindowHeight);
    return {width, height};
}

} // namespace accise
