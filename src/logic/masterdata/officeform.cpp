#include "logic/masterdata/officeform.h"

#include "core/files/text1252.h"
#include "core/tables/company.h"
#include "core/tables/keyfilters.h"
#include "logic/masterdata/companydata.h"
#include "logic/shell/commands.h"

namespace accise {

namespace {
constexpr std::string_view kOfficeTable = "TA03";
}

std::string exportOfficeFor(std::string_view office) {
    std::string code(office);
    if (code.size() < 6) code.resize(6, ' ');
    code[5] = '1';
    return trimmed(code);
}

std::string sectionFor(std::string_view office) { return office.size() > 2 ? std::string(office.substr(2, 6)) : ""; }

std::string OfficeFormLogic::chooseOffice() { return lookupCodeInto("UFFDO1", kOfficeTable); }

std::string OfficeFormLogic::addOffice() { return newCodeInto("UFFDO1", kOfficeTable); }

FocusMove OfficeFormLogic::leaveOffice() {
    if (officeFound(true)) return FocusMove::next();
    if (services().hasLookupList()) chooseOffice();
    return FocusMove::to("UFFDO1");
}

bool OfficeFormLogic::officeFound(bool fillDefaults) {
    const std::string office = trimmed(value("UFFDO1"));
    if (!describeCode(kOfficeTable, office, "DUFFDOG")) return false;
    if (fillDefaults) {
        setValue("UFFDO2", exportOfficeFor(office));
        setValue("SEZDOG", sectionFor(office));
    }
    return true;
}

bool OfficeFormLogic::denominationOk(const char* control) {
    setValue(control, tidyName(value(control)));
    if (startsWithDigitOrCapital(value(control))) return true;
    prompt().information(companydata::kTypeOneCharacter);
    return false;
}

std::optional<std::string> OfficeFormLogic::emptyAddressField(std::initializer_list<const char*> controls) {
    std::optional<std::string> empty;
    for (const char* control : controls) {
        setValue(control, tidyName(value(control)));
        if (isEmptyField(value(control))) empty = control;
    }
    if (empty) prompt().information(companydata::kTypeOneCharacter);
    return empty;
}

void OfficeFormLogic::openWebEntry(int entry) {
    const std::string address = webAddress(folders(), entry);
    if (!address.empty()) services().openAddress(address);
}

} // namespace accise
