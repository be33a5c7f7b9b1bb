#pragma once
// The register search: the loads or the unloads of the register files over a period
// (by movement date, or by the date of the flow that sent them), optionally of one
// sender or recipient, as the rows of its print and the lines of RICERCA_C.CSV.
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "core/files/folders.h"
#include "core/records/movement.h"

namespace accise {

// The search's modes: C loads, S unloads (by DATMOV); c, s the same sent in a flow
// within the period (by DATFLU, so unsent records never appear).
bool isRegisterSearchMode(char mode);
// The window caption of a mode ("Ricerca movimenti di carico", ...).
std::string registerSearchCaption(char mode);

struct RegisterSearchCriteria {
    char mode = 'C';
    double from = 0; // day numbers, both included
    double to = 0;
    std::string code; // sender or recipient as typed; blank for all
};

inline constexpr std::size_t kRegisterSearchFields = 26;
inline constexpr std::string_view kRegisterSearchHeader =
    "N.Op.;C/S;Data Mov.;Prodotto;Doc.;Data Doc.;N° Doc.;Data ROR;Paese;Mitt./Dest.;N°Conf.;Vol.Un.;"
    "Quantità Tot.;Ettogradi;Grado Pl.;Causale;Pos.F.;Accisa;Garanzia;Flusso;T.;S;Reg.;Anno Pr.;Protocollo;Note;";

// One listed record, in the texts of its export line (field i is column i + 1 of the
// header); the print shows the same texts.
struct RegisterSearchRow {
    std::array<std::string, kRegisterSearchFields> fields;
    bool struckOut = false;   // superseded, cancellation record, or TIPOPE "D"
    bool closingOnly = false; // TIPOPE "A" or "D": no quantities, excise nor packages
    // Where the record was found, and the record as stored: the window's list opens it.
    int year = 0;
    Movement record;
};

// True when the record is listed by the criteria (the code padded to 16 characters and
// compared with MITDES as stored).
bool registerSearchLists(const RegisterSearchCriteria& criteria, const Movement& record);

// The export and print texts of a record (as stored or trimmed).
RegisterSearchRow registerSearchRow(const Movement& record);

// Every listed record of the register files of the years from the year of `from` to
// the year of `to`, each file from its first record to its last. A missing year file
// has no records (it is not created).
std::vector<RegisterSearchRow> runRegisterSearch(const Folders& folders, const RegisterSearchCriteria& criteria);

// The export file of the register search: RICERCA_C.CSV in the temp folder.
std::filesystem::path registerSearchExportFile(const Folders& folders);
// Rewrites it with the header and one line per row.
void writeRegisterSearchExport(const std::filesystem::path& file, const std::vector<RegisterSearchRow>& rows);

} // namespace accise
