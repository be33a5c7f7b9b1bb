#include "logic/masterdata/addressentry.h"

#include "core/files/text1252.h"
#include "core/tables/addressbook.h"
#include "core/tables/codetables.h"
#include "core/tables/keyfilters.h"
#include "logic/masterdata/addresswindows.h"
#include "logic/shell/commands.h"

namespace accise {

using namespace addressentry;

namespace {

// The fields in window order: the tab order, and the order in which an empty
// required field takes the cursor.
struct Typed {
    const char* control;
    int maxLength;
    LetterCase letterCase;
};
constexpr Typed kTyped[] = {
    {"CACCI2", 18, LetterCase::AsTyped},      {"CACCI1", 13, LetterCase::Upper},
    {"DENOM1", 100, LetterCase::FirstCapital}, {"INDIR1", 65, LetterCase::AsTyped},
    {"NUMCI1", 11, LetterCase::AsTyped},       {"C_A_P1", 10, LetterCase::AsTyped},
    {"CITTA1", 50, LetterCase::Upper},         {"SEZDOG", 2, LetterCase::Lower},
};
constexpr Typed kGuarantorFields[] = {{"CONGAR", 17, LetterCase::AsTyped}, {"CAUESO", 1, LetterCase::Upper}};

constexpr char kCarrier = 'T';
constexpr char kGuarantor = 'G';

} // namespace

AddressEntryLogic::AddressEntryLogic(CommandContext& ctx, Prompt& prompt, FormServices& services)
    : EntryFormLogic(ctx, prompt, services), book_(ctx.table), kind_(addressBookKind(ctx.table)) {
    declareFields();
}

AddressEntryLogic::AddressEntryLogic(CommandContext& ctx, Prompt& prompt, FormServices& services, AddressRecord found)
    : EntryFormLogic(ctx, prompt, services), found_(std::move(found)), book_(ctx.table),
      kind_(addressBookKind(ctx.table)) {
    declareFields();
}

void AddressEntryLogic::declareFields() {
    for (const Typed& t : kTyped) addField(FieldSpec(t.control, t.maxLength, t.letterCase));
    addField(FieldSpec("DSEZDOG").shownOnly());
    for (const Typed& t : kGuarantorFields) addField(FieldSpec(t.control, t.maxLength, t.letterCase));
    // Leaving a field checks nothing until the user has typed a key.
    useOpenGuard();
}

std::string AddressEntryLogic::title() const {
    return addressWindowTitle(modifying() ? AddressWindow::Modify : AddressWindow::Insert, book_);
}

bool AddressEntryLogic::shownForKind(std::string_view control, char kind) {
    if (control == "CACCI1") return kind != kCarrier;
    if (control == "CONGAR" || control == "CAUESO") return kind == kGuarantor;
    return true;
}

bool AddressEntryLogic::shown(std::string_view control) const { return shownForKind(control, kind_); }

void AddressEntryLogic::reset() {
    for (const FieldSpec& f : fields()) setValue(f.control, "");
    setValue("SEZDOG", kDefaultLanguage);
    setFocusAfterOpen("CACCI2");
}

void AddressEntryLogic::onOpen() {
    // The book is the current table name when the window is shown; the language
    // lists opened from here change the current table name afterwards.
    book_ = context().table;
    kind_ = addressBookKind(book_);
    reset();
    if (!found_) return;
    const AddressRecord& e = *found_;
    setValue("CACCI2", trimmed(e.id2));
    setValue("CACCI1", trimmed(e.id1));
    setValue("DENOM1", trimmed(e.name1));
    setValue("INDIR1", trimmed(e.street1));
    setValue("NUMCI1", trimmed(e.number1));
    setValue("C_A_P1", trimmed(e.postcode1));
    setValue("CITTA1", trimmed(e.city1));
    setValue("SEZDOG", trimmed(e.section));
    setValue("CONGAR", trimmed(e.guarantee_account));
    setValue("CAUESO", trimmed(e.bond_kind));
}

bool AddressEntryLogic::languageFound() {
    const std::string code = toLowerAscii(trimmed(value("SEZDOG")));
    return describeCode(kLanguageTable, code, "DSEZDOG").has_value();
}

bool AddressEntryLogic::bondKindOk() const {
    const std::string kind = toUpperAscii(trimmed(value("CAUESO")));
    return !kind.empty() && (kind[0] == 'C' || kind[0] == 'E');
}

void AddressEntryLogic::warnIfPresent(std::string_view control) {
    // Only a warning: the value stays and the entry may still be saved.
    const std::string text = trimmed(value(control));
    if (isEmptyField(text)) return;
    AddressRecord probe = blankAddress();
    AddressSearch search = AddressSearch::Name;
    const char* message = kNamePresent;
    if (control == "CACCI1") {
        probe.id1 = toUpperAscii(text);
        search = AddressSearch::ExciseCode;
        message = kExciseCodePresent;
    } else if (control == "CACCI2") {
        probe.id2 = text;
        search = AddressSearch::VatNumber;
        message = kVatNumberPresent;
    } else {
        probe.name1 = text;
    }
    if (searchAddress(addressBookFile(folders(), book_), search, probe)) prompt().information(message);
}

FocusMove AddressEntryLogic::onLeave(std::string_view control) {
    if (control == "CACCI1" || control == "CACCI2" || control == "DENOM1") {
        if (!modifying()) warnIfPresent(control);
        return FocusMove::next();
    }
    if (control == "SEZDOG") {
        if (languageFound()) return FocusMove::next();
        if (services().hasLookupList()) chooseLanguage();
        return FocusMove::to("SEZDOG");
    }
    if (control == "CAUESO") {
        if (bondKindOk()) return FocusMove::next();
        prompt().information(kWrongBondKind);
        return FocusMove::to("CAUESO");
    }
    return FocusMove::next();
}

std::optional<std::string> AddressEntryLogic::onConfirmChecks() {
    // Nothing typed yet: nothing to save.
    if (checksSuspended()) return "CACCI2";
    if (!languageFound()) return "SEZDOG";

    const AddressRecord e = entryFromFields();
    // The first empty field in window order takes the cursor; no message for these.
    const std::pair<const char*, bool> required[] = {
        {"CACCI2", !isEmptyField(e.id2) || !isEmptyField(e.id1)},
        {"CACCI1", !isEmptyField(e.id2) || !isEmptyField(e.id1)},
        {"DENOM1", !isEmptyField(e.name1)},
        {"INDIR1", !isEmptyField(e.street1)},
        {"NUMCI1", !isEmptyField(e.number1)},
        {"C_A_P1", !isEmptyField(e.postcode1)},
        {"CITTA1", !isEmptyField(e.city1)},
        {"CONGAR", kind_ != kGuarantor || !isEmptyField(e.guarantee_account)},
        {"CAUESO", kind_ != kGuarantor || bondKindOk()},
    };
    for (const auto& [control, ok] : required) {
        if (ok || !shown(control)) continue;
        // A bond kind that was typed but is not C or E is told, as on leaving the field.
        if (std::string_view(control) == "CAUESO" && !isEmptyField(value("CAUESO")))
            prompt().information(kWrongBondKind);
        return std::string(control);
    }
    return std::nullopt;
}

AddressRecord AddressEntryLogic::entryFromFields() const {
    // A modified entry keeps whatever the window does not show.
    AddressRecord e = found_ ? *found_ : blankAddress();
    e.id2 = trimmed(value("CACCI2"));
    // Carriers have no excise code: a single space stands for it.
    e.id1 = kind_ == kCarrier ? std::string(" ") : toUpperAscii(trimmed(value("CACCI1")));
    e.name1 = capitalizeFirst(trimmed(value("DENOM1")));
    e.street1 = trimmed(value("INDIR1"));
    e.number1 = trimmed(value("NUMCI1"));
    e.postcode1 = trimmed(value("C_A_P1"));
    e.city1 = toUpperAscii(trimmed(value("CITTA1")));
    e.section = toLowerAscii(trimmed(value("SEZDOG")));
    if (kind_ == kGuarantor) {
        e.guarantee_account = trimmed(value("CONGAR"));
        e.bond_kind = toUpperAscii(trimmed(value("CAUESO")));
    } else if (!found_) {
        e.guarantee_account.clear();
        e.bond_kind.clear();
    }
    return e;
}

void AddressEntryLogic::onSave() {
    const AddressRecord e = entryFromFields();
    const auto file = addressBookFile(folders(), book_);
    if (found_) {
        // Same code, moved to the place its denomination now takes.
        modifyAddress(file, e, prompt());
        requestClose();
        return;
    }
    AddressRecord entry = e;
    entry.code = 0;
    insertAddress(file, entry, prompt());
    // The window that opened this one finds the new partner by its identifier.
    context().enteredCode = isEmptyField(e.id1) ? e.id2 : e.id1;
    if (context().continuousEntry)
        reset();
    else
        requestClose();
}

std::string AddressEntryLogic::chooseLanguage() {
    keyTyped(); // choosing from the list counts as typing: the checks start
    lookupCodeInto("SEZDOG", kLanguageTable);
    if (!isEmptyField(value("SEZDOG"))) languageFound();
    return "SEZDOG";
}

std::string AddressEntryLogic::addLanguage() {
    keyTyped();
    newCodeInto("SEZDOG", kLanguageTable);
    if (!isEmptyField(value("SEZDOG"))) languageFound();
    return "SEZDOG";
}

void AddressEntryLogic::openSeed() {
    // Nothing opens when WEB.CFG or its first entry is missing.
    const std::string address = webAddress(folders(), 1);
    if (!address.empty()) services().openAddress(address);
}

void AddressEntryLogic::showRegistered() {
    // For information only: the choice is not used.
    context().table = book_;
    services().openLookupList(context());
}

} // namespace accise
