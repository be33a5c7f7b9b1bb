#include "core/duty/dutyrecords.h"

#include <array>
#include <cmath>

#include "core/books/movementfile.h"
#include "core/files/lock.h"
#include "core/files/text1252.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"

namespace accise {
namespace {

constexpr std::array<const char*, 11> kMonthNames{"Gennaio", "Febbraio", "Marzo",     "Aprile",
                                                  "Maggio",  "Giugno",   "Luglio",    "Agosto",
                                                  "Settembre", "Ottobre", "Novembre"};

// The number of a two-digit period code, 0 when it is not one.
int periodNumber(std::string_view code) {
    if (code.size() != 2 || code[0] < '0' || code[0] > '9' || code[1] < '0' || code[1] > '9') return 0;
    const int n = (code[0] - '0') * 10 + (code[1] - '0');
    return (n >= 1 && n <= 11) || n == 21 || n == 22 ? n : 0;
}

char flagOf(const std::string& text) {
    const std::string t = trimmed(text);
    return t.empty() ? ' ' : t[0];
}

bool sameDay(double a, double b) { return std::round(a) == std::round(b); }

template <class Match>
std::optional<Movement> firstActive(const fs::path& file, DutyKind kind, Match match) {
    for (Movement& record : readMovements(file)) {
        if (!isActiveEntry(record) || flagOf(record.TIPREC) != static_cast<char>(kind)) continue;
        trimMovement(record);
        if (match(record)) return record;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> periodCode(std::string_view typed) {
    const std::string text = trimmed(typed);
    if (text.empty() || text.size() > 2) return std::nullopt;
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (!((n >= 1 && n <= 11) || n == 21 || n == 22)) return std::nullopt;
    return (n < 10 ? "0" : "") + std::to_string(n);
}

std::string periodName(std::string_view code) {
    const int n = periodNumber(code);
    if (n == 0) return {};
    if (n == 21) return "1^ quindicina di dicembre";
    if (n == 22) return "2^ quindicina di dicembre";
    return kMonthNames[static_cast<std::size_t>(n - 1)];
}

std::string periodDescription(std::string_view code, std::string_view year) {
    return periodName(code) + " - " + std::string(year);
}

std::optional<DayRange> periodBounds(std::string_view code, int year) {
    const int n = periodNumber(code);
    if (n == 0) return std::nullopt;
    if (n == 21) return DayRange{dayNumber(year, 12, 1), dayNumber(year, 12, 15)};
    if (n == 22) return DayRange{dayNumber(year, 12, 16), dayNumber(year, 12, 31)};
    // The last day of the month is the day before the first of the next one.
    return DayRange{dayNumber(year, n, 1), dayNumber(year, n + 1, 1) - 1};
}

std::string nextPeriodCode(std::string_view code) {
    const int n = periodNumber(code);
    if (n == 11 || n == 21) return n == 11 ? "21" : "22";
    if (n == 22) return "22";
    const int next = n + 1; // "00" and anything unreadable start from January
    return (next < 10 ? "0" : "") + std::to_string(next);
}

bool isDutyYear(int year) { return year >= 2008 && year <= 2060; }

fs::path dutyRecordFile(const Folders& folders, DutyKind kind, int year) {
    return kind == DutyKind::Guarantee ? folders.guaranteeFile(year) : folders.dutyFile(year);
}

bool isActiveEntry(const Movement& record) { return flagOf(record.STATO) != 'C' && flagOf(record.TIPOPE) == 'I'; }

bool isSent(const Movement& record) { return record.NUMFLU > 0; }

std::optional<Movement> findDutyRecordOfPeriod(const fs::path& file, DutyKind kind, std::string_view code) {
    return firstActive(file, kind, [&](const Movement& r) { return r.CODPAE == code; });
}

std::optional<Movement> findDutyRecordOfDay(const fs::path& file, DutyKind kind, double day) {
    return firstActive(file, kind, [&](const Movement& r) { return sameDay(r.DATMOV, day); });
}

std::string proposedSummaryPeriod(const Folders& folders, int year) {
    std::string last = "00";
    for (const Movement& record : readMovements(folders.dutyFile(year)))
        if (isActiveEntry(record) && flagOf(record.TIPREC) == 'E') last = trimmed(record.CODPAE);
    return nextPeriodCode(last);
}

bool isTaxedMovement(const Movement& record) { return isActiveEntry(record) && trimmed(record.POSFIS) == "001"; }

double summaryTotal(double exciseDue, double creditsUsed, double reversals) {
    return roundTo(roundTo(exciseDue, 2) - roundTo(creditsUsed, 2) - roundTo(reversals, 2), 2);
}

std::optional<PeriodSummary> summarisePeriod(const Folders& folders, int year, std::string_view code) {
    const auto bounds = periodBounds(code, year);
    if (!bounds) return std::nullopt;
    PeriodSummary s;
    for (Movement& record : readMovements(folders.dutyFile(year))) {
        if (!isActiveEntry(record) || flagOf(record.TIPREC) != 'D') continue;
        if (trimmed(record.CODPAE) == code) s.creditsUsed += record.ETTOGR;
    }
    for (const Movement& record : readMovements(folders.registerFile(year))) {
        if (!isTaxedMovement(record)) continue;
        const double day = std::round(record.DATMOV);
        if (day < bounds->first || day > bounds->last) continue;
        const char tipmov = flagOf(record.TIPMOV);
        if (tipmov == 'S') s.exciseDue += record.ACCISA;
        else if (tipmov == 'C') s.reversals += record.ACCISA;
    }
    s.exciseDue = roundTo(s.exciseDue, 2);
    s.creditsUsed = roundTo(s.creditsUsed, 2);
    s.reversals = roundTo(s.reversals, 2);
    return s;
}

double summariseDay(const Folders& folders, double day) {
    double due = 0;
    for (const Movement& record : readMovements(folders.registerFile(yearOf(day)))) {
        if (!isTaxedMovement(record) || flagOf(record.TIPMOV) != 'C' || !sameDay(record.DATMOV, day)) continue;
        const std::string doc = trimmed(record.TIPDOC);
        if (doc == "DAA" || doc == "ROR" || doc == "FBR") due += record.ACCISA;
    }
    return roundTo(due, 2);
}

DutySaveOutcome saveDutyEntry(const fs::path& file, const Movement& record, DutyIdentity identity, bool alcopp,
                              Prompt& prompt) {
    const DutyKind kind = static_cast<DutyKind>(flagOf(record.TIPREC));
    FileLock lock(file, prompt);
    const std::optional<Movement> found = identity == DutyIdentity::Period
                                              ? findDutyRecordOfPeriod(file, kind, trimmed(record.CODPAE))
                                              : findDutyRecordOfDay(file, kind, record.DATMOV);
    if (found && isSent(*found)) return DutySaveOutcome::AlreadySent;
    const std::vector<AppendResult> r = appendMovementsLocked(file, {record}, alcopp);
    return r.front().replaced ? DutySaveOutcome::Replaced : DutySaveOutcome::Saved;
}

DutySaveOutcome saveDutyCorrection(const fs::path& file, std::int32_t correctedNUMREC, const std::string& note,
                                   const std::optional<Movement>& replacement, Prompt& prompt) {
    switch (correctMovement(file, correctedNUMREC, note, replacement, prompt).outcome) {
    case CorrectionOutcome::Done: return DutySaveOutcome::Corrected;
    case CorrectionOutcome::NotSent: return DutySaveOutcome::NotSent;
    case CorrectionOutcome::NotCorrectable: return DutySaveOutcome::NotCorrectable;
    case CorrectionOutcome::NotFound: break;
    }
    return DutySaveOutcome::NotFound;
}

} // namespace accise
