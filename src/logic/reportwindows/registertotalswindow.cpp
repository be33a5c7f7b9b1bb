#include "logic/reportwindows/registertotalswindow.h"

#include <memory>

#include "logic/reportwindows/reportdates.h"

namespace accise {

RegisterTotalsLogic::RegisterTotalsLogic(CommandContext& ctx, Prompt& prompt, FormServices& services,
                                         ReportViewer& viewer)
    : EntryFormLogic(ctx, prompt, services), viewer_(viewer) {
    addField(FieldSpec("MDAAL").withMask("!99/99/0000;1;_"));
}

void RegisterTotalsLogic::onOpen() {
    setValue("MDAAL", todayText());
    setFocusAfterOpen("MDAAL");
}

FocusMove RegisterTotalsLogic::onLeave(std::string_view control) {
    if (control == "MDAAL" && !reportDate(value("MDAAL"))) return FocusMove::to("MDAAL");
    return FocusMove::next();
}

std::optional<std::string> RegisterTotalsLogic::onConfirmChecks() {
    if (!reportDate(value("MDAAL"))) return "MDAAL";
    return std::nullopt;
}

void RegisterTotalsLogic::onSave() {
    totals_ = computeRegisterTotals(folders(), *reportDate(value("MDAAL")));
    writeRegisterTotalsList(folders(), totals_);
    for (const std::string& warning : totals_.warnings) prompt().information(warning);
    auto totals = std::make_shared<RegisterTotals>(totals_);
    viewer_.show({registerTotalsTitle(*totals), PageOrientation::Landscape, [totals](PageCanvas& canvas) { drawRegisterTotals(canvas, *totals); }});
    setFocusAfterOpen("MDAAL");
}

} // namespace accise
