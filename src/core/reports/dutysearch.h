#pragma once
// The duty-record search: the credits (D), excise summaries (E) or voluntary
// corrections (R) of one year's duty file over a range of periods, as the rows of
// its print and the lines of RICERCA_D/E/R.CSV.
#include <filesystem>
#include <string>
#include <vector>

#include "core/files/folders.h"
#include "core/records/movement.h"

namespace accise {

struct DutySearchCriteria {
    char kind = 'E';      // 'D', 'E' or 'R'
    bool sentOnly = false; // mode t: only records sent in a flow (NUMFLU > 0)
    int year = 0;
    int firstPeriod = 1;  // a month, 1 to 12
    int lastPeriod = 22;  // a period code, 1 to 22 ("22" takes in the whole year)
    bool alcopp = false;  // registered consignee: the period is the month of DATMOV
};

// The window caption of a mode: "Ricerca nei registri tributi" (T), "Ricerca tributi inviate" (t).
std::string dutySearchCaption(char mode);

// The header line of a kind's export, its ";" included.
std::string_view dutySearchHeader(char kind);
// Fields of a record line: 11 for D, 10 for E, 13 for R.
std::size_t dutySearchFieldCount(char kind);

struct DutySearchRow {
    std::vector<std::string> fields; // the export line's texts, which the print shows too
    bool struckOut = false;          // superseded or cancellation record
    Movement record;                 // the record as it was read, for the window that shows it
};

// The period a record belongs to: the number of its period code, or the month of its
// date for a registered consignee.
int dutyRecordPeriod(const Movement& record, bool alcopp);
bool dutySearchLists(const DutySearchCriteria& criteria, const Movement& record);
DutySearchRow dutySearchRow(const DutySearchCriteria& criteria, const Movement& record);

// The listed records of <year>.DER in file order; a missing file has none (it is not created).
std::vector<DutySearchRow> runDutySearch(const Folders& folders, const DutySearchCriteria& criteria);

// RICERCA_<kind>.CSV in the temp folder.
std::filesystem::path dutySearchExportFile(const Folders& folders, char kind);
void writeDutySearchExport(const std::filesystem::path& file, char kind, const std::vector<DutySearchRow>& rows);

} // namespace accise
