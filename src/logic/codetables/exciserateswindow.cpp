#include "logic/codetables/exciserateswindow.h"

#include "core/files/text1252.h"
#include "core/tables/codetables.h"
#include "core/tables/dates.h"
#include "core/tables/keyfilters.h"
#include "core/tables/numbers.h"
#include "logic/shell/commands.h"

namespace accise {

using namespace exciserates;

namespace {

constexpr std::string_view kCountryTable = "T004";
constexpr int kWebEntry = 3; // WEB.CFG: the excise rates in force in the European Union
constexpr int kRateDecimals = 5;

} // namespace

ExciseRatesLogic::ExciseRatesLogic(CommandContext& ctx, Prompt& prompt, FormServices& services)
    : EntryFormLogic(ctx, prompt, services) {
    // The key checks (date and country) wait for the first key; the rate check does not.
    useOpenGuard({"R10", "Le0"});
    addField(FieldSpec("R10", 10).withMask("!99/99/0000;1;_"));
    addField(FieldSpec("Le0", 2, LetterCase::Upper));
    addField(FieldSpec("DLE0").shownOnly());
    addField(FieldSpec("LE1", 5, LetterCase::Upper));
    addField(FieldSpec("R11", 15, LetterCase::AsTyped, KeyFilter::Decimal));
}

bool ExciseRatesLogic::chapterShownFor(std::string_view country) { return trimmed(country) == "IT"; }

void ExciseRatesLogic::onOpen() {
    setValue("R10", formatDate(todayDayNumber()));
    const std::string address = webAddress(folders(), kWebEntry);
    webCaption_ = address.empty() ? kWebFallbackCaption : address;
    if (!readStructure(folders(), kExciseTable)) return closeForMissingStructure();
    reset();
}

void ExciseRatesLogic::reset() {
    setValue("Le0", "");
    setValue("DLE0", "");
    setValue("R11", "");
    setValue("LE1", kDefaultChapter);
    loaded_ = -1;
    loadedDate_.clear();
    loadedCountry_.clear();
    setFocusAfterOpen("R10");
}

std::optional<double> ExciseRatesLogic::date() const { return parseDate(padTo(value("R10"), 10)); }

bool ExciseRatesLogic::countryFound() {
    const auto country = findCode(folders(), kCountryTable, trimmed(value("Le0")), prompt());
    setValue("DLE0", country ? country->col[1] : std::string(kUnknownCountry));
    return country.has_value();
}

double ExciseRatesLogic::rate() const { return parseDecimal(value("R11"), kRateDecimals); }

FocusMove ExciseRatesLogic::keyCheck() {
    const auto day = date();
    if (!day) return FocusMove::to("R10");
    if (!countryFound()) return FocusMove::to("Le0");
    if (loaded_ >= 0) return FocusMove::next();
    const std::string country = trimmed(value("Le0"));
    const auto row = exciseRate(folders(), RateMode::Exact, country, *day);
    if (!row) return FocusMove::next();
    loaded_ = row->number;
    loadedDate_ = formatDate(*day);
    loadedCountry_ = country;
    // Shown with 2 decimals, so confirming it stores the rounded rate.
    setValue("R11", formatNumber(row->nums[kRateAmountNum], 0, 2));
    setValue("LE1", row->col[kRateChapterCol]);
    return FocusMove::next();
}

FocusMove ExciseRatesLogic::onLeave(std::string_view control) {
    if (control == "R10" || control == "Le0") return keyCheck();
    if (control == "R11" && rate() < kSmallestRate) {
        prompt().information(kRateTooSmall);
        return FocusMove::to("R11");
    }
    return FocusMove::next();
}

std::optional<std::string> ExciseRatesLogic::onConfirmChecks() {
    if (checksSuspended()) return "R10"; // nothing typed yet: nothing to save
    const auto day = date();
    if (!day) return "R10";
    if (!countryFound()) return "Le0";
    // A rate too small to be one is refused here rather than saved without a word.
    if (rate() < kSmallestRate) {
        prompt().information(kRateTooSmall);
        return "R11";
    }
    const std::string country = trimmed(value("Le0"));
    const bool keyKept = loaded_ >= 0 && formatDate(*day) == loadedDate_ && country == loadedCountry_;
    if (!keyKept && exciseRate(folders(), RateMode::Exact, country, *day)) {
        prompt().information(kRatePresent);
        return "R10";
    }
    return std::nullopt;
}

TableRecord ExciseRatesLogic::builtRow() const {
    TableRecord row = blankTable();
    row.extra[0] = std::string(kExciseTable); // as the delivered rows and the other editors' rows
    row.col[kRateCountryCol] = trimmed(value("Le0"));
    if (chapterShown()) row.col[kRateChapterCol] = trimmed(value("LE1"));
    row.nums[kRateDateNum] = *date();
    row.nums[kRateAmountNum] = rate();
    return row;
}

void ExciseRatesLogic::onSave() {
    const TableRecord row = builtRow(); // numbered anew, as a new row
    if (loaded_ >= 0) // the old row out and the new one in as one change: a crash loses neither
        replaceExciseRate(folders(), loaded_, row, prompt());
    else
        insertExciseRate(folders(), row, prompt());
    reset();
}

std::string ExciseRatesLogic::list() {
    context().table = std::string(kExciseTable);
    const std::int32_t chosen = services().openLookupList(context());
    if (const auto row = findByNumber(folders().table(kExciseTable), chosen)) {
        setValue("Le0", row->col[kRateCountryCol]);
        setValue("R10", formatDate(row->nums[kRateDateNum]));
        keyCheck();
    }
    return "R10";
}

std::string ExciseRatesLogic::chooseCountry() { return lookupCodeInto("Le0", kCountryTable); }

std::string ExciseRatesLogic::clear() {
    reset();
    return "R10";
}

std::string ExciseRatesLogic::remove() {
    if (loaded_ >= 0 && !deletionConfirmed()) return "R10";
    if (loaded_ >= 0) deleteTableRecord(folders().table(kExciseTable), loaded_, prompt());
    reset();
    return "R10";
}

void ExciseRatesLogic::openWeb() {
    // Nothing opens when WEB.CFG or its entry is missing.
    const std::string address = webAddress(folders(), kWebEntry);
    if (!address.empty()) services().openAddress(address);
}

} // namespace accise
