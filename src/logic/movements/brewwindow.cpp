#include "logic/movements/brewwindow.h"

#include <algorithm>

#include "core/books/movementcalc.h"
#include "core/files/text1252.h"
#include "core/tables/company.h"
#include "core/tables/dates.h"
#include "core/tables/installationsettings.h"
#include "core/tables/keyfilters.h"
#include "core/tables/numbers.h"

namespace accise {

using namespace brew;

namespace {

constexpr const char* kDateMask = "!99/99/0000;1;_";
constexpr const char* kPositionTable = "TA22";

// The fields the reset empties; the date and the tax positions stay.
constexpr const char* kResetFields[] = {"NUMDOC", "INTER1", "INTER2", "DOUBL1_3", "DOUBL2", "DOUBL5", "DOUBL7",
                                        "LITRI010", "ACCISA010", "LITRI009", "ACCISA009", "ANNOTA"};
constexpr const char* kSplitControls[] = {"LITRI010", "POS010", "DPOS010", "ACCISA010",
                                          "LITRI009", "POS009", "DPOS009", "ACCISA009"};

std::string quantityText(double x) { return formatNumber(x, 0, kQuantityDecimals); }
std::string amountText(double x) { return formatNumber(x, 0, kAmountDecimals); }

} // namespace

BrewLogic::BrewLogic(CommandContext& ctx, Prompt& prompt, FormServices& services)
    : EntryFormLogic(ctx, prompt, services) {
    using L = LetterCase;
    using K = KeyFilter;
    addField(FieldSpec("DATMOV", 10).withMask(kDateMask));
    addField(FieldSpec("NUMDOC", 21));
    addField(FieldSpec("STGRID")); // the grid: its keys are the window's own (gridKey, gridEnter)
    addField(FieldSpec("DOUBL1_3", 20, L::AsTyped, K::Decimal));
    addField(FieldSpec("DOUBL5", 20, L::AsTyped, K::Decimal));
    addField(FieldSpec("DOUBL2").shownOnly());
    addField(FieldSpec("DOUBL7").shownOnly());
    addField(FieldSpec("INTER1", 11, L::AsTyped, K::SignedInteger));
    addField(FieldSpec("INTER2", 11, L::AsTyped, K::SignedInteger));
    addField(FieldSpec("ANNOTA", 250));
    addField(FieldSpec("LITRI010", 20, L::AsTyped, K::Decimal));
    addField(FieldSpec("POS010", 3, L::Upper));
    addField(FieldSpec("DPOS010").shownOnly());
    addField(FieldSpec("ACCISA010").shownOnly());
    addField(FieldSpec("LITRI009").shownOnly());
    addField(FieldSpec("POS009", 3, L::Upper));
    addField(FieldSpec("DPOS009").shownOnly());
    addField(FieldSpec("ACCISA009").shownOnly());
    useOpenGuard();
}

bool BrewLogic::shown(std::string_view control) const {
    const bool split = std::find_if(std::begin(kSplitControls), std::end(kSplitControls),
                                    [&](const char* c) { return control == c; }) != std::end(kSplitControls);
    return !split || splitShown_;
}

void BrewLogic::changed() {
    if (viewChanged_) viewChanged_();
}

std::string BrewLogic::text(std::string_view control) const {
    std::string t = toUpperAscii(value(control));
    std::replace(t.begin(), t.end(), '_', ' ');
    return trimmed(t);
}

double BrewLogic::decimal(std::string_view control) const { return parseDecimal(value(control), kQuantityDecimals); }

void BrewLogic::onOpen() {
    lastSave_.reset();
    setValue("DATMOV", formatDate(todayDayNumber()));
    const BrewSettings settings = readBrewSettings(folders());
    std::string excise = trimmed(context().company.id1);
    if (excise.empty()) {
        if (const auto company = readCompany(folders())) excise = trimmed(company->id1);
    }
    splitShown_ = readInstallationSettings(folders()).splitsBrews(excise);
    setValue("POS010", settings.packagingPosition);
    setValue("POS009", settings.lossPosition);
    if (splitShown_) {
        describeCode(kPositionTable, text("POS010"), "DPOS010");
        describeCode(kPositionTable, text("POS009"), "DPOS009");
    }
    reset();
}

void BrewLogic::reset() {
    for (const char* control : kResetFields) setValue(control, "");
    figures_ = {};
    split_ = {};
    typedToPackage_.reset();
    shownToPackage_.clear();
    packagingFigures_ = lossFigures_ = {};
    setFocusAfterOpen("DATMOV");
    rebuildLists(parseDate(trimmed(value("DATMOV"))).value_or(todayDayNumber()));
}

void BrewLogic::rebuildLists(double date) {
    BrewLists built = brewStockLists(folders(), date);
    lists_ = std::move(built.lists);
    listsDate_ = date;
    grid_.fill(lists_.rawMaterials, built.registerStock);
    if (lists_.inProcess.empty()) {
        protocol_.clear();
        prompt().information(kNoInProcessRegister);
        setFocusAfterOpen("DATMOV");
    } else {
        const Movement& first = lists_.inProcess.front();
        protocol_ = "protocollo: " + trimmed(first.NUMPRO) + "/" + trimmed(first.ANNPRO) +
                    " prodotto: " + trimmed(first.PRODDO);
    }
    // The first brew of a year goes on from the last reading of the year before.
    std::int32_t reading = lastCounterReading(folders(), yearOf(date));
    if (reading == 0) reading = lastCounterReading(folders(), yearOf(date) - 1);
    setValue("INTER1", std::to_string(reading));
    changed();
}

bool BrewLogic::gridKey(std::size_t row, char32_t key) {
    if (row >= grid_.rows() || !grid_.type(row, key)) return false;
    keyTyped();
    changed();
    return true;
}

std::optional<std::size_t> BrewLogic::gridEnter(std::size_t row) {
    if (row < grid_.rows()) {
        if (grid_.read(row)) prompt().information(kQuantityCut);
        keyTyped(); // a changed quantity cancels a confirmation that passed
        changed();
    }
    if (row + 1 < grid_.rows()) return row + 1;
    return std::nullopt;
}

void BrewLogic::computeBrew() {
    const double litres = decimal("DOUBL1_3"), plato = decimal("DOUBL5");
    const auto day = parseDate(trimmed(value("DATMOV")));
    const std::optional<double> rate = day ? rateInForce(folders(), "IT", *day) : std::nullopt;
    figures_ = brewFigures(litres, plato, rate);
    setValue("DOUBL2", quantityText(figures_.ETTOGR));
    setValue("DOUBL7", amountText(figures_.ACCISA));
    if (!splitShown_) return;

    const std::string shown = trimmed(value("LITRI010"));
    if (shown != shownToPackage_) {
        typedToPackage_ = shown.empty() ? std::nullopt : std::optional<double>(decimal("LITRI010"));
    }
    split_ = typedToPackage_ ? splitBrew(litres, *typedToPackage_, split_.losses) : splitBrew(litres, 0, 0);
    packagingFigures_ = brewFigures(split_.toPackage, plato, rate);
    lossFigures_ = brewFigures(split_.losses, plato, rate);
    showSplit(split_.toPackage, split_.losses);
    setValue("ACCISA010", amountText(packagingFigures_.ACCISA));
    setValue("ACCISA009", amountText(lossFigures_.ACCISA));
}

void BrewLogic::showSplit(double toPackage, double losses) {
    // With the decimals it has: what is shown is what is saved.
    shownToPackage_ = toPackage < kQuantityTolerance ? std::string() : formatNumber(toPackage, 0, 0);
    setValue("LITRI010", shownToPackage_);
    setValue("LITRI009", quantityText(losses));
}

std::string BrewLogic::lookup(std::string_view control) {
    if (control != "POS010" && control != "POS009") return std::string(control);
    lookupCodeInto(control, kPositionTable);
    describeCode(kPositionTable, text(control), control == "POS010" ? "DPOS010" : "DPOS009");
    return std::string(control);
}

FocusMove BrewLogic::onLeave(std::string_view control) {
    focus_.clear();
    const auto result = [this](bool ok) { return ok ? FocusMove::next() : FocusMove::to(focus_); };
    if (control == "DATMOV") {
        const double listed = listsDate_;
        if (!checkDate()) return FocusMove::to(focus_);
        // No in-process register at this date: the brew cannot go on from here.
        if (lists_.inProcess.empty()) {
            if (listsDate_ == listed) prompt().information(kNoInProcessRegister);
            return FocusMove::to("DATMOV");
        }
        return FocusMove::next();
    }
    if (control == "NUMDOC") return result(checkDocument());
    if (control == "STGRID") {
        if (grid_.readPending()) prompt().information(kQuantityCut);
        changed();
        return FocusMove::next();
    }
    if (control == "DOUBL1_3") {
        if (!checkLitres()) return FocusMove::to(focus_);
        // The figures shown follow the litres as they follow the degree.
        if (!trimmed(value("DOUBL5")).empty()) computeBrew();
        return FocusMove::next();
    }
    if (control == "DOUBL5") {
        if (!checkPlato()) return FocusMove::to(focus_);
        computeBrew();
        return FocusMove::next();
    }
    if (control == "INTER1") {
        const std::int32_t first = parseInteger(value("INTER1"));
        setValue("INTER2", std::to_string(counterAfter(first, decimal("DOUBL1_3"))));
        return FocusMove::next();
    }
    if (control == "INTER2") return result(checkCounters());
    if (control == "LITRI010") {
        computeBrew();
        return FocusMove::next();
    }
    if (control == "POS010") return result(checkPosition("POS010", "DPOS010"));
    if (control == "POS009") return result(checkPosition("POS009", "DPOS009"));
    return FocusMove::next();
}

std::optional<std::string> BrewLogic::typeFields(const std::map<std::string, std::string>& values,
                                                 const std::map<std::string, std::string>& unloads) {
    keyTyped();
    const auto& fieldList = fields();
    for (std::size_t i = 0; i < fieldList.size(); ++i) {
        const std::string control = fieldList[i].control;
        if (control == "STGRID") {
            for (std::size_t row = 0; row < grid_.rows(); ++row) {
                const auto it = unloads.find(trimmed(grid_.entry(row).PRODDO));
                if (it == unloads.end()) continue;
                for (const char c : it->second) gridKey(row, static_cast<unsigned char>(c));
                gridEnter(row);
            }
            continue;
        }
        if (fieldList[i].readOnly || !shown(control)) continue;
        if (const auto it = values.find(control); it != values.end()) setValue(control, it->second);
        const FocusMove move = leave(control);
        if (!move.proceed) return move.control;
    }
    return std::nullopt;
}

Brew BrewLogic::brewToSave() const {
    Brew b;
    b.date = parseDate(trimmed(value("DATMOV"))).value_or(0);
    b.NUMDOC = trimmed(value("NUMDOC"));
    b.ANNOTA = value("ANNOTA");
    for (std::size_t row = 0; row < grid_.rows(); ++row)
        if (grid_.quantity(row) > 0)
            b.rawMaterials.push_back({grid_.entry(row), grid_.quantity(row), grid_.inKilograms(row)});
    b.inProcess = lists_.inProcess.front();
    b.litres = decimal("DOUBL1_3");
    b.plato = decimal("DOUBL5");
    b.figures = figures_;
    b.CONTIN = parseInteger(value("INTER1"));
    b.CONTFI = parseInteger(value("INTER2"));
    if (splitShown_) {
        b.toPackage = BrewSplitPart{split_.toPackage, packagingFigures_, text("POS010")};
        b.losses = BrewSplitPart{split_.losses, lossFigures_, text("POS009")};
    }
    return b;
}

void BrewLogic::onSave() {
    BrewSaveResult result = saveBrew(folders(), brewToSave(), context().alcopp, prompt());
    if (result.noInitialStock) {
        // The initial stock was corrected meanwhile: nothing was written, the fields stay.
        const Movement& e = *result.noInitialStock;
        prompt().information(std::string(kInitialStockNotSent) + "\n" +
                             missingInitialStockMessage(RegisterKey{trimmed(e.TIPREG), trimmed(e.ANNPRO),
                                                                    trimmed(e.NUMPRO)}));
        setFocusAfterOpen("DATMOV");
        lastSave_ = std::move(result);
        changed();
        return;
    }
    if (result.shortage) {
        // Nothing was written: the grid shows the stock as it is now, the quantities stay.
        const auto row = grid_.rowOf(result.shortage->entry);
        if (row && !result.shortage->wholeRegister) grid_.setStock(*row, result.shortage->available);
        prompt().information(stockShortageMessage(*result.shortage));
        setFocusAfterOpen("STGRID");
        lastSave_ = std::move(result);
        changed();
        return;
    }
    lastSave_ = std::move(result);
    writeBrewSettings(folders(), BrewSettings{text("POS010"), text("POS009")});
    grid_.clearUnloads();
    reset();
}

} // namespace accise
