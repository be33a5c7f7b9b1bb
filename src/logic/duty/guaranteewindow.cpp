#include "logic/duty/guaranteewindow.h"

#include "core/tables/dates.h"

namespace accise {

GuaranteeLogic::GuaranteeLogic(CommandContext& ctx, Prompt& prompt, FormServices& services)
    : DutyWindowLogic(ctx, prompt, services, DutyKind::Guarantee,
                      {"Garanzia", "RETTIFICA: cancella garanzia inviata",
                       "RETTIFICA: modifica i dati della garanzia inviata"}) {
    addDayField();
    addAmountField("DOUBL1"); // committed
    addAmountField("DOUBL2"); // released
    addAmountField("DOUBL3"); // new
    addAmountField("DOUBL4"); // expired
    addAmountField("DOUBL5"); // remaining
    addNotesField();
}

void GuaranteeLogic::showRecord(const Movement& record) {
    showAmount("DOUBL1", record.QTAKG);
    showAmount("DOUBL2", record.ETTOGR);
    showAmount("DOUBL3", record.QTALIT);
    showAmount("DOUBL4", record.VALAUX);
    showAmount("DOUBL5", record.GRAPLA);
    setValue("ANNOTA", record.ANNOTA);
    if (mode() == 't') setFocusAfterOpen("DOUBL1");
}

int GuaranteeLogic::recordYear() const { return yearOf(parseDate(value("DATMOV")).value_or(0)); }

FocusMove GuaranteeLogic::onLeave(std::string_view control) {
    if (control != "DATMOV") return FocusMove::next();
    const auto check = checkDay(duty::kGuaranteeSent);
    if (!check.passed) return FocusMove::to("DATMOV");
    if (check.unsent) showRecord(*check.unsent);
    return FocusMove::next();
}

std::optional<std::string> GuaranteeLogic::onConfirmChecks() {
    if (noteMissing()) return "ANNOTA";
    if (!checkDay(duty::kGuaranteeSent).passed) return "DATMOV";
    return std::nullopt;
}

Movement GuaranteeLogic::builtRecord() const {
    Movement m = blankMovement();
    m.DATMOV = parseDate(value("DATMOV")).value_or(0);
    m.QTAKG = amount("DOUBL1");
    m.ETTOGR = amount("DOUBL2");
    m.QTALIT = amount("DOUBL3");
    m.VALAUX = amount("DOUBL4");
    m.GRAPLA = amount("DOUBL5");
    return m;
}

} // namespace accise
