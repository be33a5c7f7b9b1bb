#pragma once
// The register totals: for a date, the stock of every register valid on that date
// (its active initial stock plus its active loads and unloads up to the date) and
// the excise paid in the month of the date up to that day.
#include <string>
#include <vector>

#include "core/books/stock.h"
#include "core/files/folders.h"
#include "core/records/tablerecord.h"
#include "core/reports/pagecanvas.h"

namespace accise {

struct RegisterTotalsLine {
    TableRecord reg; // the PROTOCOLLI row, trimmed
    Quantities stock;
};

struct RegisterTotals {
    double date = 0;
    std::vector<RegisterTotalsLine> registers; // PROTOCOLLI.TAB order
    double excisePaid = 0;                     // tax position "001" from the first of the month to the date
    std::vector<std::string> warnings;         // registers with more than one active initial stock
};

// Reads PROTOCOLLI.TAB, GIACENZE.DAT and the register files. A register without an
// active initial stock is listed with zero totals and its movements are not read.
// A register with more than one active initial stock counts the first only (its
// movements are never added twice) and gets a warning.
RegisterTotals computeRegisterTotals(const Folders& folders, double date);

// REGISTRI.DAT of the temp folder: the registers listed, each with its totals in the
// work numbers of the record (kilograms, hectolitre-degrees, litres at nums 21-23;
// the other work numbers 20-29 cleared).
void writeRegisterTotalsList(const Folders& folders, const RegisterTotals& totals);

void drawRegisterTotals(PageCanvas& canvas, const RegisterTotals& totals);

std::string registerTotalsTitle(const RegisterTotals& totals);

} // namespace accise
