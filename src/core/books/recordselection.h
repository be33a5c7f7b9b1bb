#pragma once
// The record selection list: the records a change or correction command may act on,
// one row per record, with the columns of the command's mode. Modes:
//   M  unsent movements of the year's register file (modify)
//   E, e  sent movement insertions of the year's register file (correct)
//   I, i  sent initial-stock insertions of GIACENZE.DAT, every year (correct)
//   T, t  sent duty-record insertions of the year's duty file (correct)
//   F, f  sent guarantee insertions of the year's guarantee file (correct): the
//         guarantee window then corrects the chosen one in mode T or t
// Superseded records (STATO "C") are never listed.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/folders.h"
#include "core/records/movement.h"
#include "core/records/movementview.h"

namespace accise {

inline constexpr std::size_t kSelectionSlots = 11;

enum class SelectionSource { RegisterFile, InitialStocks, DutyFile, GuaranteeFile };

// What a selection mode works on.
struct SelectionMode {
    char mode;
    const char* caption; // the window caption
    SelectionSource source;
};
// nullptr for a letter that is not a selection mode.
const SelectionMode* selectionMode(char mode);

// The record file of a mode for the working year (GIACENZE.DAT does not depend on it).
fs::path selectionFile(const Folders& folders, SelectionSource source, int year);

// True when the mode lists the record (as stored or trimmed), or its stored bytes.
bool selectable(char mode, const Movement& record);
bool selectable(char mode, const MovementView& record);

struct SelectionColumn {
    std::string caption;
    int width = 0; // characters; 0 = no column
    friend bool operator==(const SelectionColumn&, const SelectionColumn&) = default;
};

// The listed rows. A year's list may hold most of its 100 000 records, so the rows
// are kept in three buffers instead of strings of their own: every row's stored
// bytes one after the other, every cell's text one after the other, and where each
// cell's text ends.
class SelectionRows {
public:
    std::size_t size() const { return stored_.size() / kMovementSize; }
    bool empty() const { return stored_.empty(); }
    // Texts per row: one per column slot of the mode.
    std::size_t cellCount() const { return cellCount_; }

    // NUMREC of the record of row `row`.
    std::int32_t number(std::size_t row) const;
    // The record's bytes as the file held them: what the list showed, to compare with
    // the file later (decoded only for the row chosen).
    std::string_view stored(std::size_t row) const { return {stored_.data() + row * kMovementSize, kMovementSize}; }
    // The text of cell `cell` of row `row` as Windows-1252 bytes (what TABELLA.TXT
    // holds); empty for a cell past the mode's slots.
    std::string_view cellBytes(std::size_t row, std::size_t cell) const;
    // The same text in UTF-8.
    std::string cell(std::size_t row, std::size_t cell) const;
    // Every cell of the row in UTF-8.
    std::vector<std::string> cells(std::size_t row) const;

private:
    friend class SelectionRowsBuilder;
    std::size_t cellCount_ = 0;
    std::string stored_;
    std::string texts_;
    std::vector<std::uint32_t> ends_; // cellCount_ per row: the end of each cell's text in texts_
};

struct SelectionTable {
    std::array<SelectionColumn, kSelectionSlots> columns; // every slot, empty ones included
    SelectionRows rows;                                   // in file order
};

// Builds the list of `mode` for the working year: a missing file gives no columns
// and no rows; otherwise the columns of the mode (their starting widths raised to
// the longest text of the growing ones) and one row per listed record.
// `alcopp` chooses the period column of the duty modes.
SelectionTable buildSelectionTable(const Folders& folders, char mode, int year, bool alcopp);

// The working year typed in the year field: 2008 to 2060.
inline constexpr int kFirstWorkingYear = 2008;
inline constexpr int kLastWorkingYear = 2060;

} // namespace accise
