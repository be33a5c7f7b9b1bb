// The confirmation of the brew window: its checks in their order, each with its
// message and the control that gets the cursor. The same checks run when the cursor
// leaves their field.
#include "core/books/movementcalc.h"
#include "core/files/text1252.h"
#include "core/tables/codetables.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"
#include "logic/movements/brewwindow.h"

namespace accise {

using namespace brew;

namespace {

constexpr double kSmallestQuantity = 0.000001, kLargestQuantity = 99999999999.99999;
constexpr double kHighestPlato = 99.99999, kLowPlato = 7;

} // namespace

const BrewLogic::CheckStep BrewLogic::kChecks[8] = {
    {"DATMOV", &BrewLogic::checkDateUnchanged},
    {"DATMOV", &BrewLogic::checkInProcessRegister},
    {"NUMDOC", &BrewLogic::checkDocument},
    {"STGRID", &BrewLogic::checkGrid},
    {"DOUBL1_3", &BrewLogic::checkLitres},
    {"DOUBL5", &BrewLogic::checkPlato},
    {"INTER1", &BrewLogic::checkCounters},
    {"POS010", &BrewLogic::checkPositions},
};

std::optional<std::string> BrewLogic::onConfirmChecks() {
    // Until a key is typed, reaching the confirm button only sends the cursor back.
    if (checksSuspended()) return std::string("DATMOV");
    for (const CheckStep& step : kChecks) {
        focus_.clear();
        if (!(this->*step.check)()) {
            changed();
            return focus_.empty() ? std::string(step.control) : focus_;
        }
    }
    // The figures written are those of the window as it stands now.
    computeBrew();
    changed();
    return std::nullopt;
}

bool BrewLogic::fail(std::string control, std::string message) {
    if (!message.empty()) prompt().information(message);
    focus_ = std::move(control);
    return false;
}

// A valid date; the stock lists follow a changed date.
bool BrewLogic::checkDate() {
    const auto day = parseDate(trimmed(value("DATMOV")));
    if (!day) return fail("DATMOV", kInvalidDate);
    if (*day != listsDate_ && !acceptNewDate(*day)) return fail("DATMOV", "");
    return true;
}

// The grid belongs to the date it was built for: a filled one is emptied only when
// the clerk says so; otherwise the old date comes back.
bool BrewLogic::acceptNewDate(double date) {
    if (grid_.hasUnloads() && !prompt().question(kDataWillBeLost)) {
        setValue("DATMOV", formatDate(listsDate_));
        return false;
    }
    rebuildLists(date);
    return true;
}

// The same at the confirmation, where a date changed without its check stops it:
// the grid the clerk filled belonged to the other date, and now shows this one's.
bool BrewLogic::checkDateUnchanged() {
    const double before = listsDate_;
    if (!checkDate()) return false;
    // Rebuilt: the grid is empty and waits for the unloads of the new date.
    if (listsDate_ != before) return fail(lists_.inProcess.empty() ? "DATMOV" : "STGRID", "");
    return true;
}

// Without an in-process register there is nowhere to load the beer brewed: the raw
// materials are not unloaded either.
bool BrewLogic::checkInProcessRegister() {
    if (lists_.inProcess.empty()) return fail("DATMOV", kNoInProcessRegister);
    return true;
}

// Something other than blanks (compares at or above "!").
bool BrewLogic::checkDocument() {
    const std::string number = trimmed(value("NUMDOC"));
    if (number.empty() || static_cast<unsigned char>(number[0]) < '!') return fail("NUMDOC", kDocumentRequired);
    return true;
}

// A quantity typed into the grid and not read yet is read now, with the stock rule.
bool BrewLogic::checkGrid() {
    if (grid_.readPending()) {
        prompt().information(kQuantityCut);
        changed();
    }
    return true;
}

bool BrewLogic::checkLitres() {
    const double litres = decimal("DOUBL1_3");
    if (litres < kSmallestQuantity) return fail("DOUBL1_3", kQuantityRequired);
    if (litres > kLargestQuantity) return fail("DOUBL1_3", kQuantityMax);
    return true;
}

// A low degree is only a warning; a negative one would make negative
// hectolitre-degrees and excise.
bool BrewLogic::checkPlato() {
    const double plato = decimal("DOUBL5");
    if (plato > kHighestPlato) return fail("DOUBL5", kPlatoMax);
    if (plato < 0) return fail("DOUBL5", kCheckPlato);
    if (plato < kLowPlato) prompt().information(kCheckPlato);
    return true;
}

bool BrewLogic::checkCounters() {
    if (parseInteger(value("INTER1")) < 1 || parseInteger(value("INTER2")) < 1)
        return fail("INTER1", kCounterNotPositive);
    return true;
}

bool BrewLogic::checkPositions() {
    if (!splitShown_) return true;
    return checkPosition("POS010", "DPOS010") && checkPosition("POS009", "DPOS009");
}

// A code of TA22, its description shown; an unknown one opens the lookup list.
bool BrewLogic::checkPosition(const char* control, const char* description) {
    const std::string code = text(control);
    if (!code.empty() && describeCode("TA22", code, description)) return true;
    if (code.empty()) setValue(description, "");
    focus_ = control;
    if (services().hasLookupList()) lookup(control);
    return false;
}

} // namespace accise
