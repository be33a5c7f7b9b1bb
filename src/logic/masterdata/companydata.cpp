#include "logic/masterdata/companydata.h"

#include "core/files/text1252.h"
#include "core/tables/codetables.h"
#include "core/tables/company.h"
#include "core/tables/identifiers.h"
#include "core/tables/keyfilters.h"
#include "logic/shell/commands.h"

namespace accise {

using namespace companydata;

namespace {

// Name, maximum length, letter case of the typed fields, in check order.
struct Typed {
    const char* control;
    int maxLength;
    LetterCase letterCase;
};

} // namespace

CompanyDataLogic::CompanyDataLogic(CommandContext& ctx, Prompt& prompt, FormServices& services)
    : OfficeFormLogic(ctx, prompt, services) {
    using L = LetterCase;
    addField(FieldSpec("RTIPOIN"));
    addField(FieldSpec("CACCI1", 13, L::Upper));
    addField(FieldSpec("CAP2"));
    for (const Typed& t :
         {Typed{"DENOM1", 100, L::FirstCapital}, Typed{"PARIVA", 11, L::Upper}, Typed{"CODFIS", 16, L::Upper},
          Typed{"INDIR1", 65, L::FirstCapital}, Typed{"NUMCI1", 11, L::FirstCapital},
          Typed{"C_A_P1", 10, L::FirstCapital}, Typed{"CITTA1", 50, L::Upper}, Typed{"CODUTE", 4, L::Upper},
          Typed{"UFFDO1", 8, L::Upper}})
        addField(FieldSpec(t.control, t.maxLength, t.letterCase));
    addField(FieldSpec("DUFFDOG").shownOnly());
    for (const Typed& t :
         {Typed{"SEZDOG", 6, L::Upper}, Typed{"CONGAR", 17, L::AsTyped}, Typed{"CAUESO", 1, L::Upper},
          Typed{"UFFDO2", 8, L::Upper}, Typed{"INDIR2", 20, L::Upper}, Typed{"CITTA2", 20, L::AsTyped}})
        addField(FieldSpec(t.control, t.maxLength, t.letterCase));
}

void CompanyDataLogic::onOpen() {
    const auto company = readCompany(folders());
    if (!company) {
        // The status bar refresh after this command creates the file again.
        requestClose();
        return;
    }
    const AddressRecord& c = *company;
    setValue("RTIPOIN", c.auth_type == "2" ? "1" : "0");
    setValue("CAP2", c.postcode2.find("ALCOPP") != std::string::npos ? "1" : "0");
    setValue("CACCI1", c.id1);
    setValue("DENOM1", c.name1);
    setValue("PARIVA", c.vat);
    setValue("CODFIS", c.tax_code);
    setValue("INDIR1", c.street1);
    setValue("NUMCI1", c.number1);
    setValue("C_A_P1", c.postcode1);
    setValue("CITTA1", c.city1);
    setValue("CODUTE", c.user_code);
    setValue("UFFDO1", c.office);
    setValue("DUFFDOG", "");
    setValue("SEZDOG", c.section);
    setValue("CONGAR", c.guarantee_account);
    setValue("CAUESO", isEmptyField(c.bond_kind) ? "C" : c.bond_kind);
    setValue("UFFDO2", c.export_office);
    setValue("INDIR2", c.street2);
    setValue("CITTA2", c.city2);
    setFocusAfterOpen("CACCI1");
}

bool CompanyDataLogic::exciseCodeOk() {
    if (isValidExciseCode(value("CACCI1"), 'A')) return true;
    prompt().information(kWrongExciseCode);
    return false;
}

bool CompanyDataLogic::bondKindOk() {
    const std::string& kind = value("CAUESO");
    if (!kind.empty() && (kind[0] == 'C' || kind[0] == 'E')) return true;
    prompt().information(kWrongBondKind);
    return false;
}

FocusMove CompanyDataLogic::onLeave(std::string_view control) {
    if (control == "CACCI1") return exciseCodeOk() ? FocusMove::next() : FocusMove::to("CACCI1");
    if (control == "DENOM1") return denominationOk("DENOM1") ? FocusMove::next() : FocusMove::to("DENOM1");
    if (control == "CAUESO") return bondKindOk() ? FocusMove::next() : FocusMove::to("CAUESO");
    if (control == "PARIVA") {
        // Reported only: the number may still be saved.
        const std::string& vat = value("PARIVA");
        if (!isEmptyField(vat) && !isValidVatNumber(vat)) prompt().information(kWrongVatNumber);
        return FocusMove::next();
    }
    if (control == "CODFIS") {
        const std::string& code = value("CODFIS");
        if (isEmptyField(code)) return FocusMove::next();
        switch (checkTaxCode(code)) {
        case TaxCodeCheck::NotChecked:
            break;
        case TaxCodeCheck::Valid:
            if (isEmptyField(value("INDIR2"))) setValue("INDIR2", code + "-001");
            break;
        case TaxCodeCheck::Invalid:
            prompt().information(kWrongTaxCode);
            break;
        }
        return FocusMove::next();
    }
    if (control == "UFFDO1") return leaveOffice();
    return FocusMove::next();
}

std::optional<std::string> CompanyDataLogic::onConfirmChecks() {
    if (!exciseCodeOk()) return "CACCI1";
    if (!bondKindOk()) return "CAUESO";
    if (auto empty = emptyAddressField({"INDIR1", "NUMCI1", "C_A_P1", "CITTA1"})) return empty;
    if (!denominationOk("DENOM1")) return "DENOM1";
    if (!officeFound(false)) return "UFFDO1";
    return std::nullopt;
}

void CompanyDataLogic::onSave() {
    AddressRecord r = blankAddress();
    r.auth_type = value("RTIPOIN") == "1" ? "2" : "1";
    r.postcode2 = value("CAP2") == "1" ? "ALCOPP" : "ALCODA";
    r.id1 = value("CACCI1");
    r.name1 = value("DENOM1");
    r.vat = value("PARIVA");
    r.tax_code = value("CODFIS");
    r.street1 = value("INDIR1");
    r.number1 = value("NUMCI1");
    r.postcode1 = value("C_A_P1");
    r.city1 = value("CITTA1");
    r.user_code = value("CODUTE");
    r.office = value("UFFDO1");
    r.section = value("SEZDOG");
    r.guarantee_account = value("CONGAR");
    r.bond_kind = value("CAUESO");
    r.export_office = value("UFFDO2");
    r.street2 = value("INDIR2");
    r.city2 = value("CITTA2");
    writeCompany(folders(), r);
    runReadinessCheck(context(), prompt());
    requestClose();
}

} // namespace accise
