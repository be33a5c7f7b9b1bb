#include "logic/duty/excisesummaryperiod.h"

namespace accise {

ExciseSummaryPeriodLogic::ExciseSummaryPeriodLogic(CommandContext& ctx, Prompt& prompt, FormServices& services)
    : DutyWindowLogic(ctx, prompt, services, DutyKind::Summary,
                      {"Riepilogo accisa", "RETTIFICA: cancella riepilogo accisa inviato",
                       "RETTIFICA: modifica i dati del riepilogo accisa inviato"}) {
    addPeriodFields();
    addChapterField();
    addAmountField("DOUBL1"); // excise due
    addAmountField("DOUBL2"); // credits and re-credits used
    addAmountField("DOUBL3"); // reversals
    addField(FieldSpec("DOUBL4").shownOnly()); // total to pay
    addNotesField();
}

void ExciseSummaryPeriodLogic::showRecord(const Movement& record) {
    showAmount("DOUBL1", record.QTAKG);
    showAmount("DOUBL2", record.ETTOGR);
    showAmount("DOUBL3", record.QTALIT);
    showAmount("DOUBL4", record.VALAUX);
    if (mode() == 't') setFocusAfterOpen("MITDES");
}

void ExciseSummaryPeriodLogic::computeForPeriod() {
    const auto summary = summarisePeriod(folders(), year(), value("CODPAE"));
    if (!summary) return;
    showAmount("DOUBL1", summary->exciseDue);
    showAmount("DOUBL2", summary->creditsUsed);
    showAmount("DOUBL3", summary->reversals);
    showAmount("DOUBL4", total());
    computedFor_ = std::to_string(year()) + "/" + value("CODPAE");
}

double ExciseSummaryPeriodLogic::total() const {
    return summaryTotal(amount("DOUBL1"), amount("DOUBL2"), amount("DOUBL3"));
}

bool ExciseSummaryPeriodLogic::computeTotal() {
    const double t = total();
    showAmount("DOUBL4", t);
    if (t >= 0) return true;
    prompt().information(duty::kNegativeAmount);
    return false;
}

std::optional<std::string> ExciseSummaryPeriodLogic::enterNotes() {
    if (computeTotal()) return std::nullopt;
    return "DOUBL1";
}

FocusMove ExciseSummaryPeriodLogic::onLeave(std::string_view control) {
    if (control == "ANNPRO") {
        if (!yearValid()) return FocusMove::to("ANNPRO");
        if (!correcting()) {
            setValue("CODPAE", proposedSummaryPeriod(folders(), year()));
            // Figures of another year's period are no figures for this one: they go,
            // and leaving the period computes its own.
            if (!computedFor_.empty() && computedFor_.substr(0, 4) != std::to_string(year())) {
                for (const char* amount : {"DOUBL1", "DOUBL2", "DOUBL3", "DOUBL4"}) setValue(amount, "");
                computedFor_.clear();
            }
        }
    }
    if (control == "CODPAE") {
        const auto check = checkPeriod();
        if (!check.passed) return FocusMove::to("CODPAE");
        if (check.unsent) {
            setValue("MITDES", check.unsent->MITDES);
            setValue("ANNOTA", check.unsent->ANNOTA);
        }
        computeForPeriod();
        if (!computeTotal()) return FocusMove::to("DOUBL1");
    }
    return FocusMove::next();
}

std::optional<std::string> ExciseSummaryPeriodLogic::onConfirmChecks() {
    if (noteMissing()) return "ANNOTA";
    if (!computeTotal()) return "DOUBL1";
    if (!yearValid()) return "ANNPRO";
    if (!checkPeriod().passed) return "CODPAE";
    if (!correcting() && std::to_string(year()) + "/" + value("CODPAE") != computedFor_) {
        computeForPeriod();
        computeTotal();
        prompt().information(duty::kAmountsRecomputed);
        return "DOUBL1";
    }
    return std::nullopt;
}

Movement ExciseSummaryPeriodLogic::builtRecord() const {
    Movement m = blankMovement();
    m.ANNPRO = value("ANNPRO");
    m.CODPAE = value("CODPAE");
    m.QTAKG = amount("DOUBL1");
    m.ETTOGR = amount("DOUBL2");
    m.QTALIT = amount("DOUBL3");
    m.VALAUX = total();
    return m;
}

} // namespace accise
