#include "logic/movements/packagingwindow.h"

#include <algorithm>

#include "core/books/movementcalc.h"
#include "core/files/ioerror.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/tables/codetables.h"
#include "core/tables/dates.h"
#include "core/tables/installationsettings.h"
#include "core/tables/keyfilters.h"
#include "core/tables/numbers.h"
#include "core/tables/registers.h"
#include "logic/masterdata/companyproducts.h"
#include "logic/movements/movemententry.h"

namespace accise {

using namespace packagingwindow;

namespace {

constexpr const char* kDateMask = "!99/99/0000;1;_";
constexpr const char* kTa20Mask = "cccc-00000000-cc-cccc;1;_";
constexpr const char* kDefaultPhoto = "DEFAULT.bmp";
constexpr int kPackagedTypeIndex = 3;

constexpr double kHighestPlato = 99.99999, kLowPlato = 7;
constexpr std::int32_t kMostPackages = 9999999;
constexpr double kSmallestUnit = 0.000001, kLargestUnit = 999.99999;

// Where a company product (PRAZ) keeps what the packaging takes from it.
constexpr std::size_t kProductDescriptionCol = 1, kProductTa20Col = 2,
                      kProductPlatoNum = 0, kProductVolumeNum = 1;

// What the reset empties; the date stays.
constexpr const char* kResetFields[] = {"NUMDOC", "PRODAZ",   "DPRODAZ", "PRODDO", "DPRODDO",    "INTER3",
                                        "DOUBL1_3", "DOUBL2", "DOUBL5",  "DOUBL6", "DOUBL7",     "ACCISACALI",
                                        "MCALI",  "DPOSFIS",  "ANNOTA"};

std::string quantityText(double x) { return formatNumber(x, 0, kQuantityDecimals); }
std::string amountText(double x) { return formatNumber(x, 0, kAmountDecimals); }

// The field that gets the cursor when the stock check fails.
const char* stockFocus(PackagingStockVerdict verdict) {
    switch (verdict) {
    case PackagingStockVerdict::QuantityOver: return "INTER3";
    case PackagingStockVerdict::DegreesOver: return "DOUBL5";
    default: return "MCALI";
    }
}

} // namespace

const PackagingLogic::CheckStep PackagingLogic::kChecks[10] = {
    {"DATMOV", &PackagingLogic::checkDate},
    {"NUMDOC", &PackagingLogic::checkDocument},
    {"PRODDO", &PackagingLogic::checkProduct},
    {"DOUBL5", &PackagingLogic::checkPlato},
    {"INTER3", &PackagingLogic::checkPackages},
    {"DOUBL6", &PackagingLogic::checkUnitQuantity},
    {"MCALI", &PackagingLogic::computePackaging},
    {"POSFIS", &PackagingLogic::checkLossPosition},
    {"ANNOTA", &PackagingLogic::takeNote},
    {"PRODDO", &PackagingLogic::checkPackagedInitialStock},
};

PackagingLogic::PackagingLogic(CommandContext& ctx, Prompt& prompt, FormServices& services)
    : EntryFormLogic(ctx, prompt, services) {
    using L = LetterCase;
    using K = KeyFilter;
    addField(FieldSpec("DATMOV", 10).withMask(kDateMask));
    addField(FieldSpec("NUMDOC", 21));
    addField(FieldSpec("PRODAZ", 20));
    addField(FieldSpec("DPRODAZ").shownOnly());
    addField(FieldSpec("PRODDO", 21, L::Upper).withMask(kTa20Mask));
    addField(FieldSpec("DPRODDO").shownOnly());
    addField(FieldSpec("DOUBL5", 20, L::AsTyped, K::Decimal));
    addField(FieldSpec("INTER3", 11, L::AsTyped, K::SignedInteger));
    addField(FieldSpec("DOUBL6", 20, L::AsTyped, K::Decimal));
    addField(FieldSpec("DOUBL1_3").shownOnly());
    addField(FieldSpec("DOUBL2").shownOnly());
    addField(FieldSpec("DOUBL7").shownOnly());
    addField(FieldSpec("MCALI", 20, L::AsTyped, K::Decimal));
    addField(FieldSpec("POSFIS", 3, L::Upper));
    addField(FieldSpec("DPOSFIS").shownOnly());
    addField(FieldSpec("ACCISACALI").shownOnly());
    addField(FieldSpec("ANNOTA", 250));
    useOpenGuard();
}

std::string PackagingLogic::inProcessText() const {
    return inProcess_ ? inProcessRegisterText(*inProcess_) : std::string();
}

std::string PackagingLogic::maxText() const { return maxShown() ? inProcessMaxText(*inProcess_) : std::string(); }

void PackagingLogic::changed() {
    if (viewChanged_) viewChanged_();
}

std::string PackagingLogic::text(std::string_view control) const {
    // Positions an edit mask left empty show "_": they are blanks of the code.
    std::string t = toUpperAscii(value(control));
    std::replace(t.begin(), t.end(), '_', ' ');
    return trimmed(t);
}

std::optional<double> PackagingLogic::date() const { return parseDate(trimmed(value("DATMOV"))); }

void PackagingLogic::onOpen() {
    lastSave_.reset();
    setValue("DATMOV", formatDate(todayDayNumber()));
    reset();
}

void PackagingLogic::reset() {
    packaging_ = Packaging{};
    for (const char* control : kResetFields) setValue(control, "");
    setValue("POSFIS", kDefaultLossPosition);
    registerType_.clear();
    protocol_.clear();
    maxShown_ = false;
    const fs::path defaultPhoto = folders().general(kDefaultPhoto);
    photo_ = fileExists(defaultPhoto) ? defaultPhoto : fs::path();
    setFocusAfterOpen("DATMOV");
    if (const auto day = date()) rebuildStockList(*day);
    changed();
}

// L.DAT for the date: its first entry is the stock the packaging leaves from.
bool PackagingLogic::rebuildStockList(double day) {
    inProcess_ = inProcessStockOn(folders(), day);
    listDate_ = day;
    // The most that can be packaged is shown as soon as it is known.
    maxShown_ = inProcess_.has_value();
    changed();
    if (inProcess_) return true;
    prompt().information(kNoInProcessRegister);
    return false;
}

bool PackagingLogic::fail(const std::string& control, const std::string& message) {
    if (!message.empty()) prompt().information(message);
    focus_ = control;
    changed();
    return false;
}

bool PackagingLogic::failWithLookup(std::string_view control) {
    focus_ = std::string(control);
    if (services().hasLookupList()) lookup(control);
    return false;
}

void PackagingLogic::fillFromCompanyProduct() {
    const std::string code = trimmed(value("PRODAZ"));
    if (code.empty()) return;
    const auto row = findCode(folders(), companyproducts::kTable, code, prompt());
    if (!row) return; // an unknown code fills nothing and is accepted
    setValue("DPRODAZ", row->col[kProductDescriptionCol]);
    setValue("PRODDO", row->col[kProductTa20Col]);
    setValue("DOUBL5", quantityText(row->nums[kProductPlatoNum]));
    setValue("DOUBL6", quantityText(row->nums[kProductVolumeNum]));
    if (const auto photo = companyProductPhoto(folders(), *row, pictureCheck_)) {
        if (photo->picture) photo_ = photo->file;
        else prompt().information(movemententry::kPhotoInvalid);
    }
    changed();
}

std::string PackagingLogic::lookup(std::string_view control) {
    CommandContext& ctx = context();
    if (control == "PRODDO") {
        // Only the products of finished, packaged registers valid at the date.
        const char mode = ctx.mode;
        ctx.mode = 'g';
        ctx.movementDate = date().value_or(0);
        lookupCodeInto("PRODDO", "TA20");
        ctx.mode = mode;
        return "PRODDO";
    }
    if (control == "PRODAZ") return lookupCodeInto("PRODAZ", companyproducts::kTable);
    if (control == "POSFIS") return lookupCodeInto("POSFIS", "TA22");
    return std::string(control);
}

std::string PackagingLogic::addNew(std::string_view control) {
    if (control != "PRODAZ" || !openWindow_) return std::string(control);
    CommandContext& ctx = context();
    ctx.enteredCode.clear();
    if (openWindow_(companyproducts::kProductReturn, ctx) && !trimmed(ctx.enteredCode).empty())
        setValue("PRODAZ", trimmed(ctx.enteredCode));
    return "PRODAZ";
}

FocusMove PackagingLogic::onLeave(std::string_view control) {
    focus_.clear();
    const auto result = [this](bool ok) { return ok ? FocusMove::next() : FocusMove::to(focus_); };
    if (control == "DATMOV") {
        if (!checkDate()) return FocusMove::to(focus_);
        // A new date, a new stock list.
        return result(rebuildStockList(packaging_.date) || fail("DATMOV", ""));
    }
    if (control == "NUMDOC") return result(checkDocument());
    if (control == "PRODAZ") {
        fillFromCompanyProduct();
        return FocusMove::next();
    }
    if (control == "PRODDO") return result(checkProduct());
    if (control == "DOUBL5") return result(checkPlato());
    if (control == "INTER3") return result(checkPackages());
    if (control == "DOUBL6") return result(checkUnitQuantity() && computePackaging());
    if (control == "MCALI") return result(computePackaging());
    if (control == "POSFIS") return result(checkLossPosition());
    return FocusMove::next();
}

std::optional<std::string> PackagingLogic::onConfirmChecks() {
    // Until a key is typed, reaching the confirm button only sends the cursor back.
    if (checksSuspended()) return std::string("DATMOV");
    for (const CheckStep& step : kChecks) {
        focus_.clear();
        if (!(this->*step.check)()) {
            changed();
            return focus_.empty() ? std::string(step.control) : focus_;
        }
    }
    changed();
    return std::nullopt;
}

bool PackagingLogic::checkDate() {
    const auto day = date();
    if (!day) return fail("DATMOV", "");
    packaging_.date = *day;
    return true;
}

// Something other than blanks: the text compares at or above "!".
bool PackagingLogic::checkDocument() {
    const std::string number = trimmed(value("NUMDOC"));
    if (number.empty() || static_cast<unsigned char>(number[0]) < '!') return fail("NUMDOC", "");
    packaging_.NUMDOC = number;
    return true;
}

// A product of TA20 booked, at the date, in a register of finished, packaged products.
bool PackagingLogic::checkProduct() {
    const std::string code = text("PRODDO");
    const auto row = code.empty() ? std::nullopt : describeCode("TA20", code, "DPRODDO");
    if (!row) return failWithLookup("PRODDO");
    const auto day = date();
    const auto reg = day ? registerValidFor(folders(), code, *day) : std::nullopt;
    if (!reg) return fail("PRODDO", std::string(kNoRegisterForMovement));
    if (reg->ints[kRegTypeInt] != kPackagedTypeIndex) return fail("PRODDO", kNotPackagedRegister);
    const double protocolDate = reg->nums[kRegProtocolDateNum];
    packaging_.PRODDO = code;
    packaging_.packaged.reg = {"N", std::to_string(yearOf(protocolDate)), reg->col[kRegProtocolCol]};
    packaging_.packaged.UFFDOG = reg->col[kRegOfficeCol];
    registerType_ = std::string(registerTypeName(kPackagedTypeIndex));
    protocol_ = "protocollo:  " + trimmed(reg->col[kRegProtocolCol]) + "  del " + formatDate(protocolDate);
    changed();
    return true;
}

// A low degree is only a warning; a negative one would unload negative hectolitre-degrees.
bool PackagingLogic::checkPlato() {
    const double plato = parseDecimal(value("DOUBL5"), kQuantityDecimals);
    if (plato > kHighestPlato) return fail("DOUBL5", movemententry::kPlatoMax);
    if (plato < 0) return fail("DOUBL5", movemententry::kCheckPlato);
    if (plato < kLowPlato) prompt().information(movemententry::kCheckPlato);
    packaging_.GRAPLA = plato;
    return true;
}

bool PackagingLogic::checkPackages() {
    const std::int32_t n = parseInteger(value("INTER3"));
    if (n <= 0) return fail("INTER3", movemententry::kPackagesRequired);
    if (n > kMostPackages) return fail("INTER3", movemententry::kPackagesMax);
    packaging_.NUMCON = n;
    return true;
}

bool PackagingLogic::checkUnitQuantity() {
    const double v = parseDecimal(value("DOUBL6"), kQuantityDecimals);
    if (v < kSmallestUnit) return fail("DOUBL6", movemententry::kUnitRequired);
    if (v > kLargestUnit) return fail("DOUBL6", movemententry::kUnitMax);
    packaging_.VOLUNI = v;
    return true;
}

// The litres, hectolitre-degrees and excise of the packaging and of its losses, then
// the four stock checks against the in-process stock.
bool PackagingLogic::computePackaging() {
    const double losses = parseDecimal(value("MCALI"), kQuantityDecimals);
    if (losses < 0) return fail("MCALI", kNegativeLosses);
    const auto day = date();
    // The list of another date than the one shown is never checked against.
    if (day && *day != listDate_) {
        inProcess_ = inProcessStockOn(folders(), *day);
        listDate_ = *day;
    }
    const std::optional<double> rate = day ? rateInForce(folders(), "IT", *day) : std::nullopt;
    const PackagingFigures f =
        packagingFigures(parseInteger(value("INTER3")), parseDecimal(value("DOUBL6"), kQuantityDecimals),
                         parseDecimal(value("DOUBL5"), kQuantityDecimals), losses, rate);
    packaging_.figures = f;
    setValue("DOUBL1_3", quantityText(f.QTALIT));
    setValue("DOUBL2", quantityText(f.ETTOGR));
    setValue("DOUBL7", amountText(f.ACCISA));
    setValue("ACCISACALI", amountText(f.lossExcise));
    maxShown_ = true;
    changed();
    // Without an in-process register there is nothing to unload from: never written.
    if (!inProcess_) return fail("DATMOV", kNoInProcessRegister);
    const PackagingStockVerdict verdict = checkPackagingStock(inProcess_->stock, f);
    if (verdict != PackagingStockVerdict::Enough) return fail(stockFocus(verdict), packagingStockMessage(verdict));
    packaging_.inProcess = *inProcess_;
    return true;
}

bool PackagingLogic::checkLossPosition() {
    const std::string code = text("POSFIS");
    const auto row = code.empty() ? std::nullopt : describeCode("TA22", code, "DPOSFIS");
    if (!row) return failWithLookup("POSFIS");
    packaging_.lossPosition = code;
    return true;
}

bool PackagingLogic::takeNote() {
    packaging_.ANNOTA = value("ANNOTA");
    packaging_.PRODAZ = trimmed(value("PRODAZ"));
    return true;
}

// The packaged register's initial stock must have gone out before its first movement.
bool PackagingLogic::checkPackagedInitialStock() {
    Movement probe = blankMovement();
    probe.TIPREG = packaging_.packaged.reg.TIPREG;
    probe.ANNPRO = packaging_.packaged.reg.ANNPRO;
    probe.NUMPRO = packaging_.packaged.reg.NUMPRO;
    probe.DATMOV = packaging_.date;
    padMovement(probe);
    if (!sentInitialStockBefore(folders(), probe)) return fail("PRODDO", kInitialStockNotSent);
    return true;
}

void PackagingLogic::onSave() {
    packaging_.alcopp = context().alcopp;
    packaging_.directRelease = readInstallationSettings(folders()).releasesDirectly(context().company.id1);
    const PackagingSaveResult result = savePackaging(folders(), packaging_, prompt());
    switch (result.outcome) {
    case PackagingSaveOutcome::Saved:
        lastSave_ = result;
        // The next packaging starts as the window did: nothing checked until a key is typed.
        rearmOpenGuard();
        reset();
        return;
    case PackagingSaveOutcome::NoInProcessStock:
        prompt().information(kNoInProcessRegister);
        inProcess_.reset();
        setFocusAfterOpen("DATMOV");
        break;
    case PackagingSaveOutcome::NoInitialStock:
        prompt().information(std::string(kInitialStockNotSent) + "\n" +
                             missingInitialStockMessage(packaging_.inProcess.reg));
        inProcess_.reset();
        setFocusAfterOpen("DATMOV");
        break;
    case PackagingSaveOutcome::StockShort:
        // Another workstation used the stock meanwhile: the window shows what is left.
        if (inProcess_) inProcess_->stock = result.stock;
        prompt().information(packagingStockMessage(result.verdict));
        setFocusAfterOpen(stockFocus(result.verdict));
        break;
    }
    changed();
}

std::optional<std::string> PackagingLogic::typeFields(const std::map<std::string, std::string>& values) {
    keyTyped();
    const auto& fieldList = fields();
    const auto indexOf = [&](const std::string& control) {
        for (std::size_t i = 0; i < fieldList.size(); ++i)
            if (fieldList[i].control == control) return i;
        return fieldList.size();
    };
    for (std::size_t i = 0; i < fieldList.size(); ++i) {
        const std::string control = fieldList[i].control;
        if (fieldList[i].readOnly) continue;
        if (const auto it = values.find(control); it != values.end()) setValue(control, it->second);
        const FocusMove move = leave(control);
        if (move.proceed) continue;
        const std::size_t target = indexOf(move.control);
        if (target > i && target < fieldList.size()) {
            i = target - 1;
            continue;
        }
        return move.control;
    }
    return std::nullopt;
}

} // namespace accise
