// The confirmation of the movement window: its checks in their order, each with its
// message and the control that gets the cursor. The same checks run when the cursor
// leaves their field. A hidden field is not checked and stores its empty value.
#include <cmath>

#include "core/files/text1252.h"
#include "core/tables/addressbook.h"
#include "core/tables/codetables.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"
#include "core/tables/registers.h"
#include "logic/movements/movemententry.h"

namespace accise {

using namespace movemententry;

namespace {

constexpr double kHighestPlato = 99.99999;
constexpr double kLowPlato = 7;
constexpr std::int32_t kMostPackages = 9999999;
constexpr double kSmallestUnit = 0.000001, kLargestUnit = 999.99999;
constexpr double kSmallestQuantity = 0.000001, kLargestQuantity = 99999999999.99999;
// Where a document type (TA05C, TA05S) says that it needs a sender or recipient.
constexpr std::size_t kPartnerFlagCol = 3;

double decimal(const std::string& text, int decimals) { return parseDecimal(text, decimals); }

// Digits with at most a sign, thousands points and a decimal comma: what a clerk types
// as an amount.
bool isAmountText(const std::string& text) {
    if (text.find_first_of("0123456789") == std::string::npos) return false;
    return text.find_first_not_of("0123456789.,-+ ") == std::string::npos;
}

} // namespace

const MovementEntryLogic::CheckStep MovementEntryLogic::kChecks[22] = {
    {"TIPMOV", &MovementEntryLogic::checkMovementType},
    {"DATMOV", &MovementEntryLogic::checkMovementDate},
    {"TIPDOC", &MovementEntryLogic::checkDocumentType},
    {"MITDES", &MovementEntryLogic::checkPartner},
    {"DATDOC", &MovementEntryLogic::checkDocumentDate},
    {"NUMDOC", &MovementEntryLogic::checkDocumentNumber},
    {"NPRDAA", &MovementEntryLogic::checkEadNumber},
    {"DOCCUM", &MovementEntryLogic::checkCumulative},
    {"NILODD", &MovementEntryLogic::checkDraftId},
    {"NUMCPR", &MovementEntryLogic::checkDetailNumber},
    {"PRODDO", &MovementEntryLogic::checkProduct},
    {"TIPSTO", &MovementEntryLogic::checkBulk},
    {"DOUBL5", &MovementEntryLogic::checkPlato},
    {"CAUMOV", &MovementEntryLogic::checkReason},
    {"INTER3", &MovementEntryLogic::checkPackages},
    {"DOUBL6", &MovementEntryLogic::checkUnitQuantity},
    {"DOUBL1_3", &MovementEntryLogic::checkTotal},
    {"INTER1", &MovementEntryLogic::checkCounters},
    {"POSFIS", &MovementEntryLogic::checkTaxPosition},
    {"CODPAE", &MovementEntryLogic::checkCountry},
    {"ANNOTA", &MovementEntryLogic::checkNote},
    {"PRODDO", &MovementEntryLogic::checkInitialStockAndDuplicate},
};

std::optional<std::string> MovementEntryLogic::onConfirmChecks() {
    if (viewOnly_) return std::string(kAbandonControl); // a record shown read only is never saved
    // Until a key is typed, reaching the confirm button only sends the cursor back.
    if (checksSuspended()) return std::string("TIPMOV");
    return runChecks();
}

std::optional<std::string> MovementEntryLogic::runChecks() {
    refusal_.reset();
    pass_.reset();
    duplicateWarned_ = false;
    rebuildBuffer();
    try {
        for (const CheckStep& step : kChecks) {
            focus_.clear();
            if (!(this->*step.check)(Moment::Confirming)) {
                pass_.reset();
                changed();
                return focus_.empty() ? std::string(step.control) : focus_;
            }
        }
    } catch (...) {
        pass_.reset(); // never keep the year's file locked past a failed confirmation
        throw;
    }
    // Only a pass that holds the lock serves the save; the save reads the file otherwise.
    if (pass_ && !pass_->holdsLock()) pass_.reset();
    changed();
    return std::nullopt;
}

NewMovementPass& MovementEntryLogic::confirmationPass() {
    if (!pass_) {
        // The lock only when the save follows at once: never while the window waits for the clerk.
        const auto lock = saveFollowsChecks() ? NewMovementPass::Lock::Hold : NewMovementPass::Lock::None;
        pass_ = std::make_unique<NewMovementPass>(folders(), movement_, context().alcopp, prompt(), lock);
    }
    return *pass_;
}

bool MovementEntryLogic::fail(std::string control, std::string message, std::string focus) {
    if (pass_) pass_->releaseLock(); // before the message waits for the clerk
    if (!message.empty()) prompt().information(message);
    focus_ = focus.empty() ? control : std::move(focus);
    refusal_ = MovementRefusal{std::move(control), message.empty() ? std::string(kInvalidValue) : std::move(message)};
    return false;
}

bool MovementEntryLogic::failWithLookup(std::string_view control) {
    if (pass_) pass_->releaseLock();
    focus_ = std::string(control);
    refusal_ = MovementRefusal{std::string(control), kLookupNeeded, true};
    if (services().hasLookupList()) lookup(control);
    return false;
}

std::optional<TableRecord> MovementEntryLogic::codeRow(std::string_view table, std::string_view control,
                                                       std::string_view descriptionControl) {
    const std::string code = text(control);
    if (code.empty()) {
        setValue(descriptionControl, "");
        return std::nullopt;
    }
    return describeCode(table, code, descriptionControl);
}

// 1.
bool MovementEntryLogic::checkMovementType(Moment) {
    const std::string type = text("TIPMOV");
    if (type != "C" && type != "S") return fail("TIPMOV", "");
    movement_.TIPMOV = type;
    applyLayout();
    return true;
}

// 2. A document date later than the movement's follows it back.
bool MovementEntryLogic::checkMovementDate(Moment) {
    const auto day = date("DATMOV");
    if (!day) return fail("DATMOV", std::string(kDateNotValid));
    movement_.DATMOV = *day;
    context().movementDate = *day;
    const auto documentDay = date("DATDOC");
    if (documentDay && *documentDay > *day) setValue("DATDOC", formatDate(*day));
    return true;
}

// 3. Rules 2 to 6 follow the document type.
bool MovementEntryLogic::checkDocumentType(Moment) {
    const std::string type = text("TIPDOC");
    const auto row = codeRow("TA05" + text("TIPMOV"), "TIPDOC", "DTIPDOC");
    if (!row) return failWithLookup("TIPDOC");
    movement_.TIPDOC = type;
    const std::string flag = trimmed(row->col[kPartnerFlagCol]);
    partnerRequired_ = !flag.empty() && flag[0] == 'S' && type != "SCF";
    if (const auto partner = fixedPartner(type)) setValue("MITDES", *partner);
    if (const auto number = fixedEadNumber(type)) setValue("NPRDAA", *number);
    applyLayout();
    return true;
}

// 4. The sender or recipient: looked up in the suppliers' or clients' book, first by
// excise code, then by VAT number.
bool MovementEntryLogic::checkPartner(Moment) {
    if (!layout_.documentShown) {
        movement_.MITDES = "";
        return true;
    }
    const auto known = [this]() {
        const std::string code = text("MITDES");
        if (code.empty()) return false;
        const char book = text("TIPMOV") == "S" ? 'C' : 'F';
        AddressRecord probe = blankAddress();
        probe.id1 = code;
        probe.id2 = code;
        auto entry = searchAddress(folders(), book, AddressSearch::ExciseCode, probe);
        if (!entry) entry = searchAddress(folders(), book, AddressSearch::VatNumber, probe);
        setValue("DMITDES", entry ? entry->name1 + " " + entry->city1 : std::string());
        return entry.has_value();
    };
    bool found = known();
    if (!found && partnerRequired_) {
        // The document needs a partner: the address list, and the partner chosen there.
        if (!services().hasLookupList()) return failWithLookup("MITDES");
        lookup("MITDES");
        found = known();
        // A document that needs a partner is never saved without a known one.
        if (!found) return fail("MITDES", kPartnerRequired);
    }
    movement_.MITDES = text("MITDES");
    return true;
}

// 5.
bool MovementEntryLogic::checkDocumentDate(Moment) {
    if (!layout_.documentShown) {
        movement_.DATDOC = 0;
        return true;
    }
    const auto day = date("DATDOC");
    if (!day) return fail("DATDOC", std::string(kDateNotValid));
    const auto movementDay = date("DATMOV");
    if (movementDay && *day > *movementDay) return fail("DATDOC", kDocumentAfterMovement);
    movement_.DATDOC = *day;
    return true;
}

// 6. A number that compares at or above "!": something other than blanks.
bool MovementEntryLogic::checkDocumentNumber(Moment) {
    if (!layout_.numdocShown) {
        movement_.NUMDOC = "";
        return true;
    }
    const std::string number = trimmed(value("NUMDOC"));
    if (number.empty() || static_cast<unsigned char>(number[0]) < '!') {
        fail("NUMDOC", "");
        refusal_->message = kFieldRequired;
        return false;
    }
    movement_.NUMDOC = number;
    return true;
}

// 7.
bool MovementEntryLogic::checkEadNumber(Moment) {
    if (!layout_.eadShown) {
        movement_.NPRDAA = 0;
        return true;
    }
    const std::int32_t n = parseInteger(value("NPRDAA"));
    if (n <= 0) return fail("NPRDAA", "");
    movement_.NPRDAA = n;
    return true;
}

// 8.
bool MovementEntryLogic::checkCumulative(Moment) {
    if (!layout_.cumulativeShown) {
        movement_.DOCCUM = "";
        return true;
    }
    const std::string number = trimmed(value("DOCCUM"));
    if (number.empty()) {
        fail("DOCCUM", "");
        refusal_->message = kFieldRequired;
        return false;
    }
    movement_.DOCCUM = number;
    return true;
}

// 9.
bool MovementEntryLogic::checkDraftId(Moment) {
    if (!layout_.eadShown) {
        movement_.NILODD = "";
        return true;
    }
    const std::string id = trimmed(value("NILODD"));
    if (id.empty()) {
        fail("NILODD", "");
        refusal_->message = kFieldRequired;
        return false;
    }
    movement_.NILODD = id;
    return true;
}

// 10.
bool MovementEntryLogic::checkDetailNumber(Moment) {
    if (!layout_.eadShown) {
        movement_.NUMCPR = 0;
        return true;
    }
    const std::int32_t n = parseInteger(value("NUMCPR"));
    if (n <= 0) return fail("NUMCPR", "");
    movement_.NUMCPR = n;
    return true;
}

// 11. The product, its unit (rule 9), the register valid at the movement date and,
// for an unload, the stock available (a new movement's confirmation takes it from
// its one pass over the year's file, at step 17).
bool MovementEntryLogic::checkProduct(Moment moment) {
    const auto row = codeRow("TA20", "PRODDO", "DPRODDO");
    if (!row) return failWithLookup("PRODDO");
    const std::string code = text("PRODDO");
    movement_.PRODDO = code;
    unit_ = measureUnitOf(row->ints[0]);
    if (const auto position = taxPositionForUnit(*unit_, text("POSFIS"))) setValue("POSFIS", *position);
    applyLayout();

    const auto day = date("DATMOV");
    const auto reg = day ? registerValidFor(folders(), code, *day) : std::nullopt;
    if (!reg) return fail("PRODDO", std::string(kNoRegisterForMovement));
    const int type = reg->ints[kRegTypeInt];
    const double protocolDate = reg->nums[kRegProtocolDateNum];
    movement_.DATMOV = *day;
    movement_.TIPREG = std::string(1, registerTypeLetter(type));
    movement_.ANNPRO = std::to_string(yearOf(protocolDate));
    movement_.NUMPRO = reg->col[kRegProtocolCol];
    movement_.UFFDOG = reg->col[kRegOfficeCol];
    registerType_ = std::string(registerTypeName(type));
    protocol_ = "protocollo:  " + trimmed(reg->col[kRegProtocolCol]) + "  del " + formatDate(protocolDate);
    if (text("TIPMOV") == "S" && !onePass(moment)) {
        stock_ = stockForUnload(folders(), movement_, selected_ ? *selected_ : blankMovement());
        stockText_ = stockLabel(stock_);
    } else {
        stockText_.clear();
    }
    changed();
    return true;
}

// 12. Rule 11 follows.
bool MovementEntryLogic::checkBulk(Moment) {
    const std::string kind = text("TIPSTO");
    if (kind != "S" && kind != "N") return fail("TIPSTO", "");
    movement_.TIPSTO = kind;
    applyLayout();
    return true;
}

// 13. A low degree is only a warning.
bool MovementEntryLogic::checkPlato(Moment) {
    if (!layout_.platoShown) {
        movement_.GRAPLA = 0;
        return true;
    }
    const double plato = decimal(value("DOUBL5"), kQuantityDecimals);
    if (plato > kHighestPlato) return fail("DOUBL5", kPlatoMax);
    // A negative degree would make negative hectolitre-degrees and excise.
    if (plato < 0) return fail("DOUBL5", kCheckPlato);
    if (plato < kLowPlato) prompt().information(kCheckPlato);
    movement_.GRAPLA = plato;
    return true;
}

// 14. Rule 1 follows the reason.
bool MovementEntryLogic::checkReason(Moment) {
    const auto row = codeRow("TA21" + text("TIPMOV"), "CAUMOV", "DCAUMOV");
    if (!row) return failWithLookup("CAUMOV");
    movement_.CAUMOV = text("CAUMOV");
    applyLayout();
    return true;
}

// 15.
bool MovementEntryLogic::checkPackages(Moment) {
    if (!layout_.packagedShown) {
        movement_.NUMCON = 0;
        return true;
    }
    const std::int32_t n = parseInteger(value("INTER3"));
    if (n <= 0) return fail("INTER3", kPackagesRequired);
    if (n > kMostPackages) return fail("INTER3", kPackagesMax);
    movement_.NUMCON = n;
    return true;
}

// 16.
bool MovementEntryLogic::checkUnitQuantity(Moment) {
    if (!layout_.packagedShown) {
        movement_.VOLUNI = 0;
        return true;
    }
    const double v = decimal(value("DOUBL6"), kQuantityDecimals);
    if (v < kSmallestUnit) return fail("DOUBL6", kUnitRequired);
    if (v > kLargestUnit) return fail("DOUBL6", kUnitMax);
    movement_.VOLUNI = v;
    return true;
}

// 17. Then the quantities and, for an unload, the stock.
bool MovementEntryLogic::checkTotal(Moment moment) {
    const bool packaged = layout_.packagedShown;
    const double total = packaged ? roundTo(parseInteger(value("INTER3")) * decimal(value("DOUBL6"), kQuantityDecimals),
                                            kQuantityDecimals)
                                  : decimal(value("DOUBL1_3"), kQuantityDecimals);
    const std::string focus = packaged ? "DOUBL6" : "DOUBL1_3";
    if (total < kSmallestQuantity) return fail("DOUBL1_3", kQuantityRequired, focus);
    if (total > kLargestQuantity) return fail("DOUBL1_3", kQuantityMax, focus);
    return computeQuantities(moment);
}

bool MovementEntryLogic::computeQuantities(Moment moment) {
    const bool packaged = layout_.packagedShown;
    const double quantity = packaged ? roundTo(parseInteger(value("INTER3")) *
                                                   decimal(value("DOUBL6"), kQuantityDecimals),
                                               kQuantityDecimals)
                                     : decimal(value("DOUBL1_3"), kQuantityDecimals);
    const double plato = layout_.platoShown ? decimal(value("DOUBL5"), kQuantityDecimals) : 0;
    std::optional<double> guaranteeRate;
    const auto day = date("DATMOV");
    if (layout_.guaranteeShown && day) {
        const std::string country = text("CODPAE");
        if (!country.empty() && findCode(folders(), "T004", country, prompt()))
            guaranteeRate = rateInForce(folders(), country, *day);
    }
    const MovementQuantities q = movementQuantities(unit_.value_or(MeasureUnit::Litres), quantity, plato, guaranteeRate);
    movement_.QTAKG = q.QTAKG;
    movement_.ETTOGR = q.ETTOGR;
    movement_.QTALIT = q.QTALIT;
    movement_.GARANZ = q.GARANZ;
    setValue("DOUBL1_3", formatNumber(quantity, 0, kQuantityDecimals));
    setValue("DOUBL2", formatNumber(q.ETTOGR, 0, kQuantityDecimals));
    setValue("DOUBL8", formatNumber(q.GARANZ, 0, kAmountDecimals));
    changed();

    if (text("TIPMOV") != "S") return moment != Moment::Confirming || checkLaterDays();
    if (onePass(moment)) {
        stock_ = confirmationPass().stockForUnload();
        stockText_ = stockLabel(stock_);
    }
    switch (checkUnloadStock(stock_, movement_)) {
    case StockVerdict::QuantityOver:
        return fail("DOUBL1_3", kQuantityOverStock,
                    layout_.totalEditable ? "DOUBL1_3" : (layout_.packagedShown ? "INTER3" : "DOUBL1_3"));
    case StockVerdict::DegreesOver:
        movement_.ETTOGR = roundTo(movement_.ETTOGR, kQuantityDecimals);
        return fail("DOUBL5", kDegreesOverStock);
    case StockVerdict::Enough: break;
    }
    // An unload stores its hectolitre-degrees to 5 decimals.
    movement_.ETTOGR = roundTo(movement_.ETTOGR, kQuantityDecimals);
    return moment != Moment::Confirming || checkLaterDays();
}

// The day's stock is not enough: the later unloads have used the beer too. The
// change is the movement joining the register and, in the other modes, the selected
// record leaving it (the correction's cancellation counts for nothing).
bool MovementEntryLogic::checkLaterDays() {
    StockChange change;
    if (mode_ != EntryMode::CorrectionCancel) change.joining.push_back(movement_);
    if (mode_ != EntryMode::Insert && selected_) change.leaving.push_back(*selected_);
    const auto shortfall = firstShortDay(folders(), change);
    if (!shortfall) return true;
    const bool cancels = mode_ == EntryMode::CorrectionCancel || modifiesCancellation();
    const std::string focus = cancels ? "ANNOTA" : (layout_.totalEditable || !layout_.packagedShown ? "DOUBL1_3" : "INTER3");
    return fail("DOUBL1_3", shortDayMessage(shortfall->day), focus);
}

// 18.
bool MovementEntryLogic::checkCounters(Moment) {
    if (!layout_.counterShown) {
        movement_.CONTIN = 0;
        movement_.CONTFI = 0;
        return true;
    }
    const std::int32_t first = parseInteger(value("INTER1")), last = parseInteger(value("INTER2"));
    if (first < 1 || last < 1) return fail("INTER1", kCounterNotPositive);
    movement_.CONTIN = first;
    movement_.CONTFI = last;
    return true;
}

// 19. A registered consignee never holds the excise suspended.
bool MovementEntryLogic::checkTaxPosition(Moment) {
    if (context().alcopp && text("POSFIS") == "002") setValue("POSFIS", "001");
    const auto row = codeRow("TA22", "POSFIS", "DPOSFIS");
    if (!row) return failWithLookup("POSFIS");
    movement_.POSFIS = text("POSFIS");
    applyLayout();
    return true;
}

// 20.
bool MovementEntryLogic::checkCountry(Moment) {
    const std::string country = text("CODPAE");
    const auto row = country.empty() ? std::nullopt : findCode(folders(), "T004", country, prompt());
    if (!row) {
        setValue("DCODPAE", std::string(kInvalidCode));
        return failWithLookup("CODPAE");
    }
    setValue("DCODPAE", row->col[1]);
    movement_.CODPAE = country;
    return true;
}

// 21. The excise as shown (a typed amount replaces the computed one) and the note.
bool MovementEntryLogic::checkNote(Moment) {
    const std::string position = text("POSFIS");
    movement_.ACCISA = 0;
    if (position == "001" || position == "002") {
        // The amount follows the figures as confirmed, unless the clerk typed one (an
        // emptied field asks for the computed amount again).
        const std::string shown = trimmed(value("DOUBL7"));
        if (shown.empty() || shown == computedExcise_) {
            computeExcise();
        } else if (!isAmountText(shown) || shown.find('-') != std::string::npos) {
            return fail("DOUBL7", kExciseInvalid);
        } else {
            movement_.ACCISA = decimal(shown, kAmountDecimals);
        }
    }
    movement_.ANNOTA = value("ANNOTA");
    const bool correction =
        mode_ == EntryMode::CorrectionCancel || mode_ == EntryMode::CorrectionModify || modifiesCorrectionGroup();
    if (correction && trimmed(value("ANNOTA")).empty()) return fail("ANNOTA", kNoteRequired);
    return true;
}

// 22. The register's initial stock must have been sent; an identical document
// already in the register is only a warning.
bool MovementEntryLogic::checkInitialStockAndDuplicate(Moment moment) {
    padMovement(movement_);
    if (!sentInitialStockBefore(folders(), movement_)) return fail("PRODDO", kInitialStockNotSent);
    if (mode_ == EntryMode::Modify) return true;
    const bool duplicate =
        onePass(moment) ? confirmationPass().duplicate(movement_) : duplicateInRegister(folders(), movement_);
    duplicateWarned_ = duplicate;
    if (duplicate) {
        // The warning waits for the clerk: the year's file is not kept locked meanwhile
        // (the save then takes the lock and reads the file again).
        if (pass_) pass_->releaseLock();
        prompt().information(kDuplicateDocument);
    }
    return true;
}

} // namespace accise
