#pragma once
// The initial-stock search: the records of GIACENZE.DAT whose stock date lies in a
// period, every STATO and TIPOPE, sent or not, as the rows of its print.
#include <string>
#include <vector>

#include "core/files/folders.h"
#include "core/records/movement.h"

namespace accise {

struct StockSearchRow {
    std::string date;      // DATMOV
    std::string operation; // TIPOPE
    std::string protocol;  // NUMPRO trimmed, "-", ANNPRO
    std::string quantity;  // QTAKG + QTALIT, 5 decimals
    std::string hectolitreDegrees;
    std::string flow; // the flow label, or a blank while unsent
    std::string note; // ANNOTA trimmed, cut to 72 characters
    bool struckOut = false;
};

inline constexpr std::size_t kStockSearchNoteChars = 72;

StockSearchRow stockSearchRow(const Movement& record);

// The records dated from `from` to `to` (both included) in file order; a missing
// GIACENZE.DAT has none (it is not created).
std::vector<StockSearchRow> runStockSearch(const Folders& folders, double from, double to);

} // namespace accise
