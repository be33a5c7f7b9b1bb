#include "logic/masterdata/othersites.h"

#include <algorithm>

#include "core/files/text1252.h"
#include "core/tables/codetables.h"
#include "core/tables/company.h"
#include "core/tables/identifiers.h"
#include "core/tables/keyfilters.h"
#include "logic/masterdata/companydata.h"
#include "logic/shell/commands.h"

namespace accise {

using namespace othersites;

namespace {

constexpr char kSiteExciseLetter = 'V';

bool threeDigits(const std::string& text) {
    return text.size() == 3 && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

OtherSitesLogic::OtherSitesLogic(CommandContext& ctx, Prompt& prompt, FormServices& services)
    : OfficeFormLogic(ctx, prompt, services) {
    using L = LetterCase;
    addField(FieldSpec("SEDE", 3).withMask("!000;1;_"));
    addField(FieldSpec("CACCI2", 18, L::Upper));
    addField(FieldSpec("DENOM2", 100, L::FirstCapital));
    addField(FieldSpec("INDIR2", 65, L::FirstCapital));
    addField(FieldSpec("NUMCI2", 11, L::FirstCapital));
    addField(FieldSpec("C_A_P2", 10, L::FirstCapital));
    addField(FieldSpec("CITTA2", 50, L::Upper));
    addField(FieldSpec("UFFDO1", 8, L::Upper));
    addField(FieldSpec("DUFFDOG").shownOnly());
    addField(FieldSpec("SEZDOG", 6, L::Upper));
    addField(FieldSpec("UFFDO2", 8, L::Upper));
    addField(FieldSpec("Memo1").shownOnly());
}

void OtherSitesLogic::onOpen() {
    // The company as stored; the live record when the file is gone.
    AddressRecord c = readCompany(folders()).value_or(context().company);
    trimAddress(c);
    setValue("Memo1", c.id1 + "\n" + c.name1 + "\n" + c.street1 + "\n" + c.city1);
    setValue("SEDE", nextFreeSiteNumber(folders()));
    // A new site starts from the company's data.
    setValue("CACCI2", c.id1);
    setValue("DENOM2", c.name1);
    setValue("INDIR2", c.street1);
    setValue("NUMCI2", c.number1);
    setValue("C_A_P2", c.postcode1);
    setValue("CITTA2", c.city1);
    setValue("UFFDO1", c.office);
    setValue("UFFDO2", c.export_office);
    setValue("SEZDOG", c.section);
    setValue("DUFFDOG", "");
    setFocusAfterOpen("SEDE");
}

bool OtherSitesLogic::siteNumberOk() {
    const std::string number = trimmed(value("SEDE"));
    if (!threeDigits(number)) {
        prompt().information(kIncompleteSite);
        return false;
    }
    return number > "001"; // the company itself is 001
}

bool OtherSitesLogic::exciseCodeOk() {
    if (isValidExciseCode(value("CACCI2"), kSiteExciseLetter)) return true;
    prompt().information(companydata::kWrongExciseCode);
    return false;
}

FocusMove OtherSitesLogic::onLeave(std::string_view control) {
    if (control == "SEDE") {
        if (!siteNumberOk()) return FocusMove::to("SEDE");
        // An existing site is shown for editing; otherwise the fields stay as they are.
        if (auto site = readSite(folders(), std::stoi(trimmed(value("SEDE"))))) {
            setValue("CACCI2", site->id2);
            setValue("DENOM2", site->name2);
            setValue("INDIR2", site->street2);
            setValue("NUMCI2", site->number2);
            setValue("C_A_P2", site->postcode2);
            setValue("CITTA2", site->city2);
            setValue("UFFDO1", site->office);
            setValue("UFFDO2", site->export_office);
            setValue("SEZDOG", site->section);
        }
        return FocusMove::next();
    }
    if (control == "CACCI2") return exciseCodeOk() ? FocusMove::next() : FocusMove::to("CACCI2");
    if (control == "DENOM2") return denominationOk("DENOM2") ? FocusMove::next() : FocusMove::to("DENOM2");
    if (control == "UFFDO1") return leaveOffice();
    return FocusMove::next();
}

std::optional<std::string> OtherSitesLogic::onConfirmChecks() {
    // The number names the file written: never the company's own, never an incomplete one.
    if (!siteNumberOk()) return "SEDE";
    if (!exciseCodeOk()) return "CACCI2";
    if (auto empty = emptyAddressField({"INDIR2", "NUMCI2", "C_A_P2", "CITTA2"})) return empty;
    if (!denominationOk("DENOM2")) return "DENOM2";
    if (!officeFound(false)) return "UFFDO1";
    return std::nullopt;
}

void OtherSitesLogic::onSave() {
    AddressRecord site = blankAddress();
    site.user_code = trimmed(value("SEDE"));
    site.id2 = value("CACCI2");
    site.name2 = value("DENOM2");
    site.street2 = value("INDIR2");
    site.number2 = value("NUMCI2");
    site.postcode2 = value("C_A_P2");
    site.city2 = value("CITTA2");
    site.office = value("UFFDO1");
    site.section = value("SEZDOG");
    site.export_office = value("UFFDO2");
    writeSite(folders(), site);
    requestClose();
}

} // namespace accise
