#include "logic/duty/creditswindow.h"

#include "core/files/text1252.h"
#include "core/tables/dates.h"

namespace accise {

namespace {
constexpr const char* kOffices = "TA03";
}

CreditsLogic::CreditsLogic(CommandContext& ctx, Prompt& prompt, FormServices& services)
    : DutyWindowLogic(ctx, prompt, services, DutyKind::Credit,
                      {"Inserisce crediti e riaccrediti", "RETTIFICA: cancella crediti inviati",
                       "RETTIFICA: modifica i dati dei crediti inviati"}) {
    addPeriodFields();
    addField({"PROTOC", 10});
    addField({"DATMOV", 10, LetterCase::AsTyped, KeyFilter::UnsignedDigits, duty::kDateMask});
    addField({"CODUFF", 8, LetterCase::Upper});
    addField(FieldSpec("DUFFDOG").shownOnly());
    addChapterField();
    addAmountField("DOUBL1");
    addAmountField("DOUBL2");
    addNotesField();
}

void CreditsLogic::initialise() {
    setValue("CODUFF", trimmed(context().company.office));
    officeFound();
}

void CreditsLogic::showRecord(const Movement& record) {
    setValue("PROTOC", record.NUMPRO);
    setValue("DATMOV", record.DATMOV > 0 ? formatDate(record.DATMOV) : "");
    setValue("CODUFF", record.UFFDOG);
    officeFound();
    setValue("MITDES", record.MITDES);
    showAmount("DOUBL1", record.QTAKG);
    showAmount("DOUBL2", record.ETTOGR);
    setValue("ANNOTA", record.ANNOTA);
    if (mode() == 't') setFocusAfterOpen("PROTOC");
}

bool CreditsLogic::officeFound() { return describeCode(kOffices, value("CODUFF"), "DUFFDOG").has_value(); }

std::string CreditsLogic::chooseOffice() { return lookupCodeInto("CODUFF", kOffices); }

std::string CreditsLogic::addOffice() { return newCodeInto("CODUFF", kOffices); }

FocusMove CreditsLogic::onLeave(std::string_view control) {
    if (control == "ANNPRO" && !yearValid()) return FocusMove::to("ANNPRO");
    if (control == "CODPAE") {
        const auto check = checkPeriod();
        if (!check.passed) return FocusMove::to("CODPAE");
        if (check.unsent) showRecord(*check.unsent);
    }
    if (control == "DATMOV" && !parseDate(value("DATMOV"))) return FocusMove::to("DATMOV");
    if (control == "CODUFF" && !officeFound()) {
        // An unknown office opens the list of the offices at once.
        return FocusMove::to(chooseOffice());
    }
    return FocusMove::next();
}

std::optional<std::string> CreditsLogic::onConfirmChecks() {
    if (noteMissing()) return "ANNOTA";
    if (!yearValid()) return "ANNPRO";
    if (!checkPeriod().passed) return "CODPAE";
    if (!parseDate(value("DATMOV"))) return "DATMOV";
    // A cancellation carries the corrected record's office, which the clerk cannot change.
    if (mode() != 'T' && !officeFound()) return "CODUFF";
    return std::nullopt;
}

Movement CreditsLogic::builtRecord() const {
    Movement m = blankMovement();
    m.ANNPRO = value("ANNPRO");
    m.CODPAE = value("CODPAE");
    m.NUMPRO = value("PROTOC");
    m.DATMOV = parseDate(value("DATMOV")).value_or(0);
    m.UFFDOG = value("CODUFF");
    m.QTAKG = amount("DOUBL1");
    m.ETTOGR = amount("DOUBL2");
    return m;
}

} // namespace accise
