#include "logic/duty/excisesummaryday.h"

#include "core/tables/dates.h"

namespace accise {

ExciseSummaryDayLogic::ExciseSummaryDayLogic(CommandContext& ctx, Prompt& prompt, FormServices& services)
    : DutyWindowLogic(ctx, prompt, services, DutyKind::Summary,
                      {"Riepilogo accisa", "RETTIFICA: cancella riepilogo accisa inviato",
                       "RETTIFICA: modifica i dati del riepilogo accisa inviato"}) {
    addDayField();
    addChapterField();
    addAmountField("DOUBL1"); // excise due
    addNotesField();
}

// The day proposed is computed at once: a clerk who accepts it with Enter saves the
// figure of that day, not an empty one.
void ExciseSummaryDayLogic::initialise() {
    computedFor_ = 0;
    if (mode() != 'I') return;
    if (const auto day = parseDate(value("DATMOV"))) computeForDay(*day);
}

void ExciseSummaryDayLogic::computeForDay(double day) {
    showAmount("DOUBL1", summariseDay(folders(), day));
    computedFor_ = day;
}

void ExciseSummaryDayLogic::showRecord(const Movement& record) {
    showAmount("DOUBL1", record.QTAKG);
    if (mode() == 't') setFocusAfterOpen("MITDES");
}

int ExciseSummaryDayLogic::recordYear() const { return yearOf(parseDate(value("DATMOV")).value_or(0)); }

FocusMove ExciseSummaryDayLogic::onLeave(std::string_view control) {
    if (control != "DATMOV") return FocusMove::next();
    const auto check = checkDay(duty::kSummarySent);
    if (!check.passed) return FocusMove::to("DATMOV");
    if (check.unsent) {
        setValue("MITDES", check.unsent->MITDES);
        setValue("ANNOTA", check.unsent->ANNOTA);
    }
    computeForDay(*parseDate(value("DATMOV")));
    return FocusMove::next();
}

std::optional<std::string> ExciseSummaryDayLogic::onConfirmChecks() {
    if (noteMissing()) return "ANNOTA";
    if (!checkDay(duty::kSummarySent).passed) return "DATMOV";
    const double day = *parseDate(value("DATMOV"));
    if (mode() == 'I' && day != computedFor_) {
        computeForDay(day);
        prompt().information(duty::kAmountsRecomputed);
        return "DOUBL1";
    }
    return std::nullopt;
}

Movement ExciseSummaryDayLogic::builtRecord() const {
    Movement m = blankMovement();
    m.DATMOV = parseDate(value("DATMOV")).value_or(0);
    m.QTAKG = amount("DOUBL1");
    return m;
}

} // namespace accise
