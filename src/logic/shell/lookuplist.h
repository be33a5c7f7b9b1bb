#pragma once
// The lookup list: the rows of a code table or address book, from which the user
// picks one. The rows are written to TABELLA.TXT in the temp folder and loaded back
// from it (the file is the list's exchange format, rewritten at every opening):
// per row, the first column's text on a line, "@" + the row number on the next, then
// one line per further column, TAB + text. Windows-1252, lines ended by CR LF.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/folders.h"

namespace accise {

inline constexpr std::string_view kLookupFileName = "TABELLA.TXT";
inline constexpr int kLookupMaxColumns = 13;
inline constexpr int kLookupMinColumnWidth = 5;

// What the list shows: the caller's table name and mode; for the TA20 lists of
// mode "G" / "g", the date of the movement being entered.
struct LookupRequest {
    std::string table;
    char mode = ' ';
    double movementDate = 0;
};

struct LookupRow {
    std::int32_t number = 0; // record number (address books: entry code)
    std::vector<std::string> cells;
    friend bool operator==(const LookupRow&, const LookupRow&) = default;
};

struct LookupColumn {
    int width = 0; // characters, at least kLookupMinColumnWidth
    std::string caption;
    friend bool operator==(const LookupColumn&, const LookupColumn&) = default;
};

struct LookupList {
    std::string title; // the table title (extra 1 of the structure file)
    std::vector<LookupColumn> columns;
    std::vector<LookupRow> rows;

    // Sum of width + 1 over the columns: the printed table's width in characters.
    int totalCharacters() const;
    // The row number of row `index`, -1 when there is no such row.
    std::int32_t numberAt(int index) const;
};

// The rows of the request's table in list order, and each column's width before the
// minimum is applied (the longest text, or the fixed width of that column).
struct BuiltRows {
    std::vector<LookupRow> rows;
    std::vector<int> widths;
};
BuiltRows buildLookupRows(const Folders& folders, const LookupRequest& request);

// TABELLA.TXT's content for these rows (Windows-1252 bytes, CR LF).
std::string lookupFileText(const std::vector<LookupRow>& rows);
// The rows read back from that content (UTF-8 texts). Accepts LF or CR LF.
std::vector<LookupRow> parseLookupFile(std::string_view bytes);

// Column captions: the ";"-ended names of `names`, one per column in order; a
// column left without a closing ";" gets "".
std::vector<std::string> lookupCaptions(std::string_view names, std::size_t count);

// Opening the list: writes TABELLA.TXT in the temp folder, reads it back, and sets
// the title, column widths and captions from the structure file. A missing structure
// or data file gives an empty list. Throws IoError on other file failures.
LookupList openLookupList(const Folders& folders, const LookupRequest& request);

// Sorts the rows ascending on the text of column `column`, character by character
// (case-sensitive, on the Windows-1252 bytes); equal texts keep their order.
void sortLookupRows(std::vector<LookupRow>& rows, std::size_t column);

// Window size in pixels: each column (width + 2) × the width of "W"; + 50; height
// rows × 2 × the height of "Q"; at least 300 × 300, at most the maximum window size
// (when that is positive).
struct LookupWindowSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const LookupWindowSize&, const LookupWindowSize&) = default;
};
LookupWindowSize lookupWindowSize(const LookupList& list, int widthOfW, int heightOfQ, int maxWidth,
                                  int maxHeight);

} // namespace accise
