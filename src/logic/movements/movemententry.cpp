#include "logic/movements/movemententry.h"

#include <algorithm>

#include "core/books/movementfile.h"
#include "core/files/ioerror.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/tables/addressbook.h"
#include "core/tables/codetables.h"
#include "core/tables/dates.h"
#include "core/tables/keyfilters.h"
#include "core/tables/numbers.h"
#include "core/tables/registers.h"
#include "logic/masterdata/addresswindows.h"
#include "logic/masterdata/companyproducts.h"
#include "logic/shell/savenotice.h"

namespace accise {

using namespace movemententry;

namespace {

constexpr const char* kDateMask = "!99/99/0000;1;_";
constexpr const char* kTa20Mask = "cccc-00000000-cc-cccc;1;_";
constexpr const char* kDefaultPhoto = "DEFAULT.bmp";

// Where a company product (PRAZ) keeps what the movement takes from it.
constexpr std::size_t kProductDescriptionCol = 1, kProductTa20Col = 2, kProductBulkCol = 3,
                      kProductPlatoNum = 0, kProductVolumeNum = 1;

// The fields the reset empties; DATMOV, DATDOC and the e-AD references stay for the next
// movement. The country goes back to IT and its description follows it (kept as it is
// when the country was IT already).
constexpr const char* kResetFields[] = {"TIPMOV", "CAUMOV", "DCAUMOV", "TIPDOC", "DTIPDOC", "NUMDOC", "PRODAZ",
                                        "DPRODAZ", "PRODDO", "DPRODDO", "TIPSTO", "DTIPSTO", "INTER1", "INTER2",
                                        "INTER3", "DOUBL1_3", "DOUBL2", "DOUBL5", "DOUBL6", "DOUBL7", "DOUBL8",
                                        "MITDES", "DMITDES", "ANNOTA", "POSFIS", "DPOSFIS"};

std::string quantityText(double x) { return formatNumber(x, 0, kQuantityDecimals); }
std::string amountText(double x) { return formatNumber(x, 0, kAmountDecimals); }


bool oneOf(std::string_view control, std::initializer_list<std::string_view> set) {
    return std::find(set.begin(), set.end(), control) != set.end();
}

} // namespace

MovementEntryLogic::MovementEntryLogic(CommandContext& ctx, Prompt& prompt, FormServices& services)
    : EntryFormLogic(ctx, prompt, services) {
    using L = LetterCase;
    using K = KeyFilter;
    addField(FieldSpec("TIPMOV", 1, L::Upper));
    addField(FieldSpec("DATMOV", 10).withMask(kDateMask));
    addField(FieldSpec("TIPDOC", 3, L::Upper));
    addField(FieldSpec("DTIPDOC").shownOnly());
    addField(FieldSpec("DATDOC", 10).withMask(kDateMask));
    addField(FieldSpec("NUMDOC", 21));
    addField(FieldSpec("NPRDAA", 2, L::AsTyped, K::SignedInteger));
    addField(FieldSpec("DOCCUM", 21));
    addField(FieldSpec("NILODD", 22));
    addField(FieldSpec("NUMCPR", 3, L::AsTyped, K::SignedInteger));
    addField(FieldSpec("PRODAZ", 20));
    addField(FieldSpec("DPRODAZ").shownOnly());
    addField(FieldSpec("PRODDO", 21, L::Upper).withMask(kTa20Mask));
    addField(FieldSpec("DPRODDO").shownOnly());
    addField(FieldSpec("TIPSTO", 1, L::Upper));
    addField(FieldSpec("DTIPSTO").shownOnly());
    addField(FieldSpec("DOUBL5", 20, L::AsTyped, K::Decimal));
    addField(FieldSpec("CAUMOV", 3, L::Upper));
    addField(FieldSpec("DCAUMOV").shownOnly());
    addField(FieldSpec("INTER3", 11, L::AsTyped, K::SignedInteger));
    addField(FieldSpec("DOUBL6", 20, L::AsTyped, K::Decimal));
    addField(FieldSpec("DOUBL1_3", 20, L::AsTyped, K::Decimal));
    addField(FieldSpec("INTER1", 11, L::AsTyped, K::SignedInteger));
    addField(FieldSpec("INTER2", 11, L::AsTyped, K::SignedInteger));
    addField(FieldSpec("POSFIS", 3, L::Upper));
    addField(FieldSpec("DPOSFIS").shownOnly());
    addField(FieldSpec("DOUBL7", 20, L::AsTyped, K::Decimal));
    addField(FieldSpec("CODPAE", 2, L::Upper));
    addField(FieldSpec("DCODPAE").shownOnly());
    addField(FieldSpec("MITDES", 16, L::Upper));
    addField(FieldSpec("DMITDES").shownOnly());
    addField(FieldSpec("ANNOTA", 250));
    addField(FieldSpec("DOUBL2").shownOnly());
    addField(FieldSpec("DOUBL8").shownOnly());
    useOpenGuard();
    movement_ = blankMovement();
    // The descriptions follow their codes as they change (a product chosen from the
    // list no longer sits beside "CODICE NON VALIDO" until the field is left).
    for (const char* code : {"TIPDOC", "PRODDO", "CAUMOV", "POSFIS", "CODPAE"})
        followCode(code, std::string("D") + code,
                   [this, code] { return quietDescription(lookupTable(code), text(code)); });
    followCode("PRODAZ", "DPRODAZ", [this] {
        return quietDescription(companyproducts::kTable, trimmed(value("PRODAZ")),
                                static_cast<int>(kProductDescriptionCol));
    });
}

std::string MovementEntryLogic::title() const {
    if (viewOnly_) return kViewTitle;
    switch (mode_) {
    case EntryMode::CorrectionCancel: return kCancelTitle;
    case EntryMode::CorrectionModify: return kModifyTitle;
    default: return layout_.caption.empty() ? std::string("Movimento") : layout_.caption;
    }
}

std::string MovementEntryLogic::correctionTitle() const {
    if (viewOnly_) return kViewTitle; // said in the window too, not in its frame only
    if (mode_ == EntryMode::CorrectionCancel) return kCancelTitle;
    if (mode_ == EntryMode::CorrectionModify) return kModifyTitle;
    return {};
}

bool MovementEntryLogic::shown(std::string_view control) const {
    const MovementLayout& l = layout_;
    if (oneOf(control, {"INTER1", "INTER2"})) return l.counterShown;
    if (control == "DOCCUM") return l.cumulativeShown;
    if (oneOf(control, {"DATDOC", "MITDES", "DMITDES"})) return l.documentShown;
    if (control == "NUMDOC") return l.numdocShown;
    if (control == "DOUBL8") return l.guaranteeShown;
    if (oneOf(control, {"NPRDAA", "NILODD", "NUMCPR"})) return l.eadShown;
    if (oneOf(control, {"DOUBL5", "DOUBL2"})) return l.platoShown;
    if (control == "DOUBL7") return l.exciseShown;
    if (oneOf(control, {"INTER3", "DOUBL6"})) return l.packagedShown;
    return true;
}

bool MovementEntryLogic::editable(std::string_view control) const {
    const FieldSpec* f = field(control);
    if (!f || f->readOnly || viewOnly_) return false;
    if (mode_ == EntryMode::CorrectionCancel || modifiesCancellation()) return control == "ANNOTA";
    if (control == "DOUBL1_3") return layout_.totalEditable;
    if (control == "NPRDAA") return !layout_.eadNumberFixed;
    return true;
}

bool MovementEntryLogic::modifiesCorrectionGroup() const {
    if (mode_ != EntryMode::Modify || !selected_) return false;
    const Movement& m = *selected_;
    return trimmed(m.TIPOPE) == "C" || trimmed(m.STATO) == "R" || m.NUMRIF != 0;
}

bool MovementEntryLogic::modifiesCancellation() const {
    return modifiesCorrectionGroup() && trimmed(selected_->TIPOPE) == "C";
}

void MovementEntryLogic::changed() {
    if (viewChanged_) viewChanged_();
}

std::string MovementEntryLogic::text(std::string_view control) const {
    // Positions an edit mask left empty show "_": they are blanks of the code.
    std::string t = toUpperAscii(value(control));
    std::replace(t.begin(), t.end(), '_', ' ');
    return trimmed(t);
}

std::optional<double> MovementEntryLogic::date(std::string_view control) const {
    return parseDate(trimmed(value(control)));
}

LayoutInputs MovementEntryLogic::layoutInputs() const {
    return {text("TIPMOV"), text("TIPDOC"), text("CAUMOV"), text("PRODDO"), text("POSFIS"), text("TIPSTO"), unit_};
}

void MovementEntryLogic::applyLayout() {
    layout_ = movementLayout(layoutInputs());
    if (!layout_.bulkCaption.empty()) setValue("DTIPSTO", layout_.bulkCaption);
    if (!layout_.stockShown) stockText_.clear();
    changed();
}

void MovementEntryLogic::onOpen() {
    const CommandContext& ctx = context();
    mode_ = ctx.correctionModify   ? EntryMode::CorrectionModify
            : ctx.correctionCancel ? EntryMode::CorrectionCancel
            : ctx.modify           ? EntryMode::Modify
                                   : EntryMode::Insert;
    lastSave_.reset();
    refusal_.reset();
    computedExcise_.clear();

    if (mode_ == EntryMode::Insert) {
        selected_ = blankMovement();
        const std::string today = formatDate(todayDayNumber());
        setValue("DATMOV", today);
        setValue("DATDOC", today);
        reset();
        return;
    }

    if (!selected_) {
        const int year = std::atoi(context().workingYear.c_str());
        // The record stays bound to this file: a correction dated into another year
        // is kept in the file of the record it corrects.
        selectedFile_ = folders().registerFile(year);
        for (const Movement& m : readMovements(selectedFile_)) {
            if (m.NUMREC == context().chosenRecord) {
                selected_ = m;
                break;
            }
        }
        // Never open the window on another record than the one chosen.
        if (!selected_) {
            prompt().information(kChosenRecordGone);
            requestClose();
            return;
        }
    }
    trimMovement(*selected_);
    movement_ = *selected_;
    fillFromRecord(movement_);
    applyLayout();
    if (text("POSFIS") == "001" || text("POSFIS") == "002") computeExcise();
    if (viewOnly_) {
        // Shown as stored: no check runs, so no message stands between the clerk and the record.
        setFocusAfterOpen("TIPMOV");
        changed();
        return;
    }

    // The checks of the confirmation, with their messages and computations: the
    // cursor goes to the first field that fails.
    const auto failed = runChecks();
    if (mode_ == EntryMode::CorrectionCancel) setFocusAfterOpen("ANNOTA");
    else setFocusAfterOpen(failed ? *failed : std::string("TIPMOV"));
    changed();
}

void MovementEntryLogic::reset() {
    movement_ = blankMovement();
    movement_.TIPDES = "1";
    for (const char* control : kResetFields) setValue(control, "");
    setValue("CODPAE", "IT");
    unit_.reset();
    partnerRequired_ = false;
    stock_ = {};
    stockText_.clear();
    registerType_.clear();
    protocol_.clear();
    const fs::path defaultPhoto = folders().general(kDefaultPhoto);
    photo_ = fileExists(defaultPhoto) ? defaultPhoto : fs::path();
    setFocusAfterOpen("TIPMOV");
    applyLayout();
}

void MovementEntryLogic::fillFromRecord(const Movement& m) {
    setValue("TIPMOV", m.TIPMOV);
    setValue("DATMOV", formatDate(m.DATMOV));
    setValue("TIPDOC", m.TIPDOC);
    setValue("DATDOC", m.DATDOC != 0 ? formatDate(m.DATDOC) : std::string());
    setValue("NUMDOC", m.NUMDOC);
    setValue("NPRDAA", std::to_string(m.NPRDAA));
    setValue("DOCCUM", m.DOCCUM);
    setValue("NILODD", m.NILODD);
    setValue("NUMCPR", std::to_string(m.NUMCPR));
    setValue("PRODAZ", m.PRODAZ);
    setValue("PRODDO", m.PRODDO);
    setValue("TIPSTO", m.TIPSTO);
    setValue("DOUBL5", quantityText(m.GRAPLA));
    setValue("CAUMOV", m.CAUMOV);
    setValue("INTER3", std::to_string(m.NUMCON));
    setValue("DOUBL6", quantityText(m.VOLUNI));
    setValue("DOUBL1_3", quantityText(m.QTAKG + m.QTALIT));
    setValue("INTER1", std::to_string(m.CONTIN));
    setValue("INTER2", std::to_string(m.CONTFI));
    setValue("POSFIS", m.POSFIS);
    setValue("DOUBL7", amountText(m.ACCISA));
    setValue("CODPAE", m.CODPAE);
    setValue("MITDES", m.MITDES);
    setValue("ANNOTA", m.ANNOTA);
    setValue("DOUBL2", quantityText(m.ETTOGR));
    setValue("DOUBL8", amountText(m.GARANZ));
    protocol_ = "prot. " + trimmed(m.NUMPRO) + " / " + m.ANNPRO;
    registerType_ = std::string(registerTypeName(registerTypeIndex(m.TIPREG.empty() ? ' ' : m.TIPREG[0])));
    fillFromCompanyProduct();
    // The record's own values win over the company product's current ones.
    setValue("PRODDO", m.PRODDO);
    setValue("TIPSTO", m.TIPSTO);
    setValue("DOUBL5", quantityText(m.GRAPLA));
    setValue("DOUBL6", quantityText(m.VOLUNI));
}

void MovementEntryLogic::rebuildBuffer() {
    if (mode_ == EntryMode::Insert || !selected_) {
        movement_ = blankMovement();
        movement_.TIPDES = "1";
    } else {
        movement_ = *selected_;
    }
    movement_.PRODAZ = trimmed(value("PRODAZ"));
    movement_.TIPDOC = text("TIPDOC");
    // A cancellation or replacement being modified keeps what makes it one (the save
    // keeps them too): its operation, state, NUMRIF and number.
    if (modifiesCorrectionGroup()) return;
    movement_.NUMREC = 0;
    movement_.NUMRIF = 0;
    movement_.DATFLU = 0;
    movement_.NUMFLU = 0;
    movement_.NUMOPE = 0;
    movement_.STATO = " ";
    movement_.TIPREC = "C";
    movement_.TIPOPE = "I";
}

bool MovementEntryLogic::fillFromCompanyProduct() {
    const std::string code = trimmed(value("PRODAZ"));
    if (code.empty()) return true; // the company product is optional
    const auto row = findCode(folders(), companyproducts::kTable, code, prompt());
    if (!row) {
        setValue("DPRODAZ", std::string(kInvalidCode));
        return false;
    }
    setValue("DPRODAZ", row->col[kProductDescriptionCol]);
    setValue("TIPSTO", row->col[kProductBulkCol]);
    setValue("PRODDO", row->col[kProductTa20Col]);
    setValue("DOUBL5", quantityText(row->nums[kProductPlatoNum]));
    setValue("DOUBL6", quantityText(row->nums[kProductVolumeNum]));
    if (const auto photo = companyProductPhoto(folders(), *row, pictureCheck_)) {
        if (photo->picture) photo_ = photo->file;
        else prompt().information(kPhotoInvalid);
    }
    changed();
    return true;
}

void MovementEntryLogic::prefillCounter() {
    const auto day = date("DATMOV");
    setValue("INTER1", std::to_string(day ? lastCounterReading(folders(), yearOf(*day)) : 0));
}

void MovementEntryLogic::computeExcise() {
    if (const auto day = date("DATMOV")) {
        if (const auto rate = rateInForce(folders(), "IT", *day)) movement_.ACCISA = exciseAmount(movement_.ETTOGR, *rate);
    }
    if (!exciseDeclaredHere(context().alcopp, text("TIPDOC"))) movement_.ACCISA = 0;
    computedExcise_ = amountText(movement_.ACCISA);
    setValue("DOUBL7", computedExcise_);
}

std::string MovementEntryLogic::lookupTable(std::string_view control) const {
    const std::string type = text("TIPMOV");
    if (control == "TIPDOC") return "TA05" + type;
    if (control == "CAUMOV") return "TA21" + type;
    if (control == "PRODDO") return "TA20";
    if (control == "POSFIS") return "TA22";
    if (control == "CODPAE") return "T004";
    if (control == "PRODAZ") return companyproducts::kTable;
    if (control == "MITDES") return type == "S" ? "INDIRIZZI_C" : "INDIRIZZI_F";
    return {};
}

std::string MovementEntryLogic::lookup(std::string_view control) {
    if (viewOnly_) return std::string(control);
    const std::string table = lookupTable(control);
    if (table.empty()) return std::string(control);
    CommandContext& ctx = context();
    if (control == "MITDES") {
        ctx.table = table;
        if (const auto entry = chooseAddressEntry(ctx, services())) {
            setValue("MITDES", isEmptyField(entry->id1) ? entry->id2 : entry->id1);
            setValue("DMITDES", entry->name1 + " " + entry->city1);
        }
        return "MITDES";
    }
    if (control == "PRODDO") {
        // Only the products that have a register valid at the movement date.
        const char mode = ctx.mode;
        ctx.mode = 'G';
        ctx.movementDate = date("DATMOV").value_or(0);
        lookupCodeInto("PRODDO", table);
        ctx.mode = mode;
        return "PRODDO";
    }
    return lookupCodeInto(control, table);
}

std::string MovementEntryLogic::addNew(std::string_view control) {
    if (viewOnly_) return std::string(control);
    CommandContext& ctx = context();
    if (oneOf(control, {"TIPDOC", "CAUMOV", "CODPAE"})) return newCodeInto(control, lookupTable(control));
    const std::string_view window = control == "PRODAZ"   ? companyproducts::kProductReturn
                                    : control == "MITDES" ? kAddressInsertReturn
                                                          : std::string_view();
    if (window.empty() || !openWindow_) return std::string(control);
    if (control == "MITDES") ctx.table = lookupTable(control);
    ctx.enteredCode.clear();
    if (openWindow_(window, ctx) && !trimmed(ctx.enteredCode).empty()) setValue(control, trimmed(ctx.enteredCode));
    return std::string(control);
}

FocusMove MovementEntryLogic::onLeave(std::string_view control) {
    if (viewOnly_) return FocusMove::next();
    refusal_.reset();
    focus_.clear();
    const auto result = [this](bool ok) { return ok ? FocusMove::next() : FocusMove::to(focus_); };
    const Moment now = Moment::Leaving;
    if (control == "TIPMOV") return result(checkMovementType(now));
    if (control == "DATMOV") return result(checkMovementDate(now));
    if (control == "TIPDOC") {
        const std::string type = text("TIPMOV");
        if (type != "C" && type != "S") return FocusMove::to("TIPMOV");
        return result(checkDocumentType(now));
    }
    if (control == "MITDES") return result(checkPartner(now));
    if (control == "DATDOC") return result(checkDocumentDate(now));
    if (control == "NUMDOC") return result(checkDocumentNumber(now));
    if (control == "NPRDAA") return result(checkEadNumber(now));
    if (control == "DOCCUM") return result(checkCumulative(now));
    if (control == "NILODD") return result(checkDraftId(now));
    if (control == "NUMCPR") return result(checkDetailNumber(now));
    if (control == "PRODAZ") {
        // An unknown company product is refused with a word, never taken silently.
        if (fillFromCompanyProduct()) return FocusMove::next();
        fail("PRODAZ", std::string(kInvalidCode));
        return FocusMove::to("PRODAZ");
    }
    if (control == "PRODDO") return result(checkProduct(now));
    if (control == "TIPSTO") return result(checkBulk(now));
    if (control == "DOUBL5") return result(checkPlato(now));
    if (control == "CAUMOV") {
        if (!checkReason(now)) return FocusMove::to(focus_);
        if (layout_.counterShown) prefillCounter();
        return FocusMove::next();
    }
    if (control == "INTER3") return result(checkPackages(now));
    if (control == "DOUBL6") return result(checkUnitQuantity(now) && computeQuantities());
    if (control == "DOUBL1_3") return result(checkTotal(now));
    if (control == "INTER1") {
        movement_.CONTIN = parseInteger(value("INTER1"));
        movement_.CONTFI = counterAfter(movement_.CONTIN, movement_.QTALIT);
        setValue("INTER2", std::to_string(movement_.CONTFI));
        return FocusMove::next();
    }
    if (control == "INTER2") return result(checkCounters(now));
    if (control == "POSFIS") {
        if (!checkTaxPosition(now)) return FocusMove::to(focus_);
        const std::string position = text("POSFIS");
        if (position == "001" || position == "002") {
            movement_.ACCISA = 0;
            computeExcise();
            changed();
            return FocusMove::to("DOUBL7");
        }
        return FocusMove::to("CODPAE");
    }
    if (control == "CODPAE") {
        if (!checkCountry(now)) return FocusMove::to(focus_);
        if (layout_.guaranteeShown) computeQuantities();
        return FocusMove::next();
    }
    return FocusMove::next();
}

std::optional<std::string> MovementEntryLogic::typeFields(const std::map<std::string, std::string>& values) {
    keyTyped();
    const auto& fieldSpecs = fields();
    const auto indexOf = [&](const std::string& control) {
        for (std::size_t i = 0; i < fieldSpecs.size(); ++i)
            if (fieldSpecs[i].control == control) return i;
        return fieldSpecs.size();
    };
    for (std::size_t i = 0; i < fieldSpecs.size(); ++i) {
        const std::string control = fieldSpecs[i].control;
        if (!shown(control) || !editable(control)) continue;
        if (const auto it = values.find(control); it != values.end()) setValue(control, it->second);
        const FocusMove move = leave(control);
        if (move.proceed) continue;
        const std::size_t target = indexOf(move.control);
        // Some fields send the cursor further on (the tax position skips a hidden excise).
        if (target > i && target < fieldSpecs.size()) {
            i = target - 1;
            continue;
        }
        return move.control;
    }
    return std::nullopt;
}

void MovementEntryLogic::onSave() {
    if (viewOnly_) return; // never reached: the confirmation refuses first
    focus_.clear();
    const Movement selected = selected_ ? *selected_ : blankMovement();
    const std::unique_ptr<NewMovementPass> pass = std::move(pass_);
    const SaveBasis basis{duplicateWarned_, selectedFile_};
    SaveResult result = pass && mode_ == EntryMode::Insert
                            ? pass->save(movement_, basis)
                            : saveMovement(folders(), mode_, movement_, selected, context().alcopp, prompt(), basis);
    lastSave_ = result;
    // What another desk changed since the checks: the clerk is told as the check tells,
    // and the window keeps what was typed.
    const auto refuseKeeping = [&](std::string control, std::string focus = {}) {
        fail(std::move(control), saveRefusalMessage(result, movement_), std::move(focus));
        setFocusAfterOpen(focus_);
    };
    const bool cancels = mode_ == EntryMode::CorrectionCancel || modifiesCancellation();
    switch (result.outcome) {
    case SaveOutcome::Saved:
        announceSaved(movementSavedNotice(mode_, movement_, result, selected));
        if (mode_ == EntryMode::Insert) reset();
        else requestClose();
        return;
    case SaveOutcome::NoInitialStock:
    case SaveOutcome::InitialStockNotSent: refuseKeeping("PRODDO"); return;
    case SaveOutcome::DuplicateAppeared:
        // The next confirmation's checks warn of it, and its save then goes ahead.
        refuseKeeping("PRODDO", cancels ? "ANNOTA" : "DOUBL1_3");
        return;
    case SaveOutcome::StockShort:
        refuseKeeping("DOUBL1_3", cancels ? "ANNOTA" : (layout_.totalEditable || !layout_.packagedShown ? "DOUBL1_3" : "INTER3"));
        return;
    case SaveOutcome::RecordGone: prompt().information(kRecordGone); break;
    case SaveOutcome::RecordSent: prompt().information(kRecordSentMeanwhile); break;
    case SaveOutcome::NotCorrectable: prompt().information(kRecordNotCorrectable); break;
    }
    refusal_ = MovementRefusal{"NUMREC", result.outcome == SaveOutcome::RecordGone ? kRecordGone : kRecordNotCorrectable};
    requestClose();
}

} // namespace accise
