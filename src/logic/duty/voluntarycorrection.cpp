#include "logic/duty/voluntarycorrection.h"

#include "core/tables/dates.h"
#include "core/tables/numbers.h"

namespace accise {

VoluntaryCorrectionLogic::VoluntaryCorrectionLogic(CommandContext& ctx, Prompt& prompt, FormServices& services)
    : DutyWindowLogic(ctx, prompt, services, DutyKind::Correction,
                      {"Ravvedimento", "RETTIFICA: cancella ravvedimento inviato",
                       "RETTIFICA: modifica i dati del ravvedimento inviato"}) {
    addPeriodFields();
    addDayField();
    addChapterField();
    addAmountField("DOUBL1"); // additional tax due
    addAmountField("DOUBL2"); // minimum sanction
    addAmountField("DOUBL3"); // reduction percentage
    addAmountField("DOUBL4"); // sanction amount
    addAmountField("DOUBL5"); // legal interest rate
    addField({"INTER1", 3, LetterCase::AsTyped, KeyFilter::SignedInteger}); // days since the deadline
    addAmountField("DOUBL6"); // default interest due
    addNotesField();
}

bool VoluntaryCorrectionLogic::isShown(std::string_view control) const {
    if (control == "ANNPRO" || control == "CODPAE" || control == "DCODPAE") return !byDay();
    if (control == "DATMOV") return byDay();
    return true;
}

void VoluntaryCorrectionLogic::initialise() {
    byDay_ = context().alcopp;
    setFocusAfterOpen(byDay() ? "DATMOV" : "ANNPRO");
}

void VoluntaryCorrectionLogic::showRecord(const Movement& record) {
    setValue("MITDES", record.MITDES);
    showAmount("DOUBL1", record.QTAKG);
    showAmount("DOUBL2", record.ETTOGR);
    showAmount("DOUBL3", record.QTALIT);
    showAmount("DOUBL4", record.VALAUX);
    showAmount("DOUBL5", record.GRAPLA);
    setValue("INTER1", std::to_string(record.CONTIN));
    showAmount("DOUBL6", record.VOLUNI);
    setValue("ANNOTA", record.ANNOTA);
    if (mode() == 't') setFocusAfterOpen("MITDES");
}

int VoluntaryCorrectionLogic::recordYear() const {
    return byDay() ? yearOf(parseDate(value("DATMOV")).value_or(0)) : year();
}

DutyWindowLogic::IdentityCheck VoluntaryCorrectionLogic::checkPeriodOrDay(std::string_view control) {
    if (control == "CODPAE") return byDay() ? IdentityCheck{true, std::nullopt} : checkPeriod();
    return byDay() ? checkDay(duty::kCorrectionSent) : IdentityCheck{true, std::nullopt};
}

FocusMove VoluntaryCorrectionLogic::onLeave(std::string_view control) {
    if (control == "ANNPRO" && !byDay() && !yearValid()) return FocusMove::to("ANNPRO");
    if (control == "CODPAE" || control == "DATMOV") {
        const auto check = checkPeriodOrDay(control);
        if (!check.passed) return FocusMove::to(std::string(control));
        if (check.unsent) showRecord(*check.unsent);
    }
    return FocusMove::next();
}

std::optional<std::string> VoluntaryCorrectionLogic::onConfirmChecks() {
    if (!byDay() && !yearValid()) return "ANNPRO";
    if (!checkPeriodOrDay("CODPAE").passed) return "CODPAE";
    if (!checkPeriodOrDay("DATMOV").passed) return "DATMOV";
    if (noteMissing()) return "ANNOTA";
    return std::nullopt;
}

Movement VoluntaryCorrectionLogic::builtRecord() const {
    Movement m = blankMovement();
    if (byDay()) {
        m.DATMOV = parseDate(value("DATMOV")).value_or(0);
        m.ANNPRO = std::to_string(yearOf(m.DATMOV));
    } else {
        m.ANNPRO = value("ANNPRO");
        m.CODPAE = value("CODPAE");
    }
    m.QTAKG = amount("DOUBL1");
    m.ETTOGR = amount("DOUBL2");
    m.QTALIT = amount("DOUBL3");
    m.VALAUX = amount("DOUBL4");
    m.GRAPLA = amount("DOUBL5");
    m.CONTIN = parseInteger(value("INTER1"));
    m.VOLUNI = amount("DOUBL6");
    return m;
}

} // namespace accise
