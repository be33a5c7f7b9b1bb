#pragma once
// Duty records: credits (kind D), excise summaries (E) and voluntary corrections (R)
// in <yyyy>.DER, guarantees (F) in <yyyy>.GAR. They share the movement record; this
// file gives the period codes of the duty year, the identity of a record that a new
// entry would replace, and the excise summary computed from the register file.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/files/folders.h"
#include "core/files/prompt.h"
#include "core/records/movement.h"

namespace accise {

namespace fs = std::filesystem;

enum class DutyKind : char { Credit = 'D', Summary = 'E', Correction = 'R', Guarantee = 'F' };

// ---- Period codes: "01".."11" January to November, "21" and "22" the halves of December ----

// The two-digit code of a typed period ("3" gives "03"); nullopt for anything other
// than 1 to 11, 21 or 22.
std::optional<std::string> periodCode(std::string_view typed);
// "Marzo", "1^ quindicina di dicembre"; empty for a code that is not a period.
std::string periodName(std::string_view code);
// The text shown beside a period field: "Marzo - 2014".
std::string periodDescription(std::string_view code, std::string_view year);

struct DayRange {
    double first = 0; // day numbers, both included
    double last = 0;
};
// The days of a period of `year`; nullopt for a code that is not a period.
std::optional<DayRange> periodBounds(std::string_view code, int year);

// The period that follows `code` in a duty year: 11 is followed by 21, and 22 stays 22.
// "00" (no period yet) gives "01".
std::string nextPeriodCode(std::string_view code);

// The years a duty window accepts.
bool isDutyYear(int year);

// ---- Files and identity ----

// The file a record of `kind` belongs in: <yyyy>.GAR for guarantees, <yyyy>.DER otherwise.
fs::path dutyRecordFile(const Folders& folders, DutyKind kind, int year);

// An entry still in force: not superseded and not the cancellation record of a correction.
bool isActiveEntry(const Movement& record);
bool isSent(const Movement& record);

// The first active entry of `kind` for a period code, or for a day (compared as
// DD/MM/YYYY), in file order. Records come back trimmed. A missing file has none.
std::optional<Movement> findDutyRecordOfPeriod(const fs::path& file, DutyKind kind, std::string_view code);
std::optional<Movement> findDutyRecordOfDay(const fs::path& file, DutyKind kind, double day);

// The period to propose for the next excise summary of `year`: the one after the
// period of the last active summary in the file ("01" when there is none).
std::string proposedSummaryPeriod(const Folders& folders, int year);

// ---- Excise summary ----

// A register movement that carries excise: active entry (entries and replacements of
// a correction, not cancellation records nor superseded ones) under tax position "001".
bool isTaxedMovement(const Movement& record);

struct PeriodSummary {
    double exciseDue = 0;   // excise of the taxed unloads of the period
    double creditsUsed = 0; // discounted amounts of the period's active credits
    double reversals = 0;   // excise of the taxed loads (goods returned with excise paid)
};

// Total to pay: excise due - credits used - reversals, each taken with 2 decimals,
// rounded to 2 decimals. Negative totals are refused by the window, not here.
double summaryTotal(double exciseDue, double creditsUsed, double reversals);

// The summary of a period of `year` (authorised warehouse keeper) from <yyyy>.DER and
// <yyyy>.RGM; nullopt for a code that is not a period.
std::optional<PeriodSummary> summarisePeriod(const Folders& folders, int year, std::string_view code);

// The excise due for a day (registered consignee): the taxed receipts of that day
// under document types "DAA", "ROR" and "FBR".
double summariseDay(const Folders& folders, double day);

// ---- Saving ----

enum class DutySaveOutcome { Saved, Replaced, Corrected, NotFound, NotSent, NotCorrectable, AlreadySent };

// What names a duty record among those of its kind: its period code, or its day.
enum class DutyIdentity { Period, Day };

// Saves a new entry through the record append (an unsent entry of the same identity is
// replaced). Under the file's lock the file is read again for an active entry of the
// record's kind and identity: one that went out in a flow meanwhile (another
// workstation sent it after the window's check) refuses the save with AlreadySent and
// nothing is written.
// saveDutyCorrection corrects the sent record `correctedNUMREC`: it becomes
// superseded, a cancellation record carrying `note` follows it and, when `replacement`
// is given, it follows as the replacement.
DutySaveOutcome saveDutyEntry(const fs::path& file, const Movement& record, DutyIdentity identity, bool alcopp,
                              Prompt& prompt);
DutySaveOutcome saveDutyCorrection(const fs::path& file, std::int32_t correctedNUMREC, const std::string& note,
                                   const std::optional<Movement>& replacement, Prompt& prompt);

} // namespace accise
