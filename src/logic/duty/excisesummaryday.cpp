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
    showAmount("DOUBL1", summariseDay(folders(), *parseDate(value("DATMOV"))));
    return FocusMove::next();
}

std::optional<std::string> ExciseSummaryDayLogic::onConfirmChecks() {
    if (noteMissing()) return "ANNOTA";
    if (!checkDay(duty::kSummarySent).passed) return "DATMOV";
    return std::nullopt;
}

Movement ExciseSummaryDayLogic::builtRecord() const {
    Movement m = blankMovement();
    m.DATMOV = parseDate(value("DATMOV")).value_or(0);
    m.QTAKG = amount("DOUBL1");
    return m;
}

} // namespace accise
