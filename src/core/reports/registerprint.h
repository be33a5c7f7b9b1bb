#pragma once
// The printed register of loads and unloads: for a period, the heading block of every
// page (title, page number, stamping office, company), the table of the register's
// movements with the carry-over line ("RIPORTI") at the top of every page, and the
// closing totals. In the headings-only mode it prints numbered heading sheets to be
// stamped in advance; in the movements-only mode the rows onto those sheets.
#include <string>
#include <vector>

#include "core/books/stock.h"
#include "core/files/folders.h"
#include "core/records/address.h"
#include "core/records/movement.h"
#include "core/records/tablerecord.h"
#include "core/reports/pagecanvas.h"

namespace accise {

enum class RegisterPrintMode { Complete = 0, MovementsOnly = 1, HeadingsOnly = 2 };

struct RegisterPrintRequest {
    TableRecord reg;       // the PROTOCOLLI row of the register, trimmed
    AddressRecord company; // trimmed
    RegisterPrintMode mode = RegisterPrintMode::Complete;
    double from = 0, to = 0;
    int firstPage = 0; // the number of the first page; 0 or less: pages not numbered
    int sheets = 1;    // heading sheets of the headings-only mode
};

// What the register files hold for the period.
struct RegisterPrintContent {
    bool hasInitialStock = false;
    Quantities opening;         // the initial stock and the active movements before the period
    std::vector<Movement> rows; // the loads and unloads of the period, file order, trimmed and rounded
    std::string warning;        // a register with more than one active initial stock
};

// Reads the initial stock and the register files from the stock's year to the year
// of `from`. Nothing is read in the headings-only mode.
RegisterPrintContent readRegisterPrint(const Folders& folders, const RegisterPrintRequest& request);

// Draws the whole report (landscape, every page completed).
void drawRegisterPrint(PageCanvas& canvas, const RegisterPrintRequest& request, const RegisterPrintContent& content);

// The report's title (preview caption, PDF name).
std::string registerPrintTitle(const RegisterPrintRequest& request);

} // namespace accise
