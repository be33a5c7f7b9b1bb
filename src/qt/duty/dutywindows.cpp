#include "qt/duty/dutywindows.h"

#include "logic/shell/commands.h"
#include "qt/duty/dutydialogs.h"

namespace accise {

namespace {

// A record found by the duty-record search in the window of its kind, read only: no
// confirm button.
template <class Dialog>
void showReadOnly(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent) {
    Dialog dialog(ctx, prompt, services, parent);
    dialog.form().setViewOnly(true);
    if (QWidget* confirm = dialog.template findChild<QWidget*>(
            QString::fromUtf8(kConfirmControl.data(), static_cast<int>(kConfirmControl.size()))))
        confirm->hide();
    dialog.run();
}

} // namespace

void registerDutyWindows(WindowRegistry& registry, QWidget* parent, Prompt& prompt, FormServices& services) {
    Prompt* p = &prompt;
    FormServices* s = &services;
    registry.add("AINSCREDITI", [=](CommandContext& ctx) { CreditsDialog(ctx, *p, *s, parent).run(); });
    registry.add(kExciseSummaryAlcoda,
                 [=](CommandContext& ctx) { ExciseSummaryPeriodDialog(ctx, *p, *s, parent).run(); });
    registry.add(kExciseSummaryAlcopp,
                 [=](CommandContext& ctx) { ExciseSummaryDayDialog(ctx, *p, *s, parent).run(); });
    // The summary window of the company's profile (the readiness check has just set it).
    WindowRegistry* r = &registry;
    registry.add("ARECORDE", [r](CommandContext& ctx) { r->run(exciseSummaryWindow(ctx), ctx); });
    registry.add("Action43", [=](CommandContext& ctx) { VoluntaryCorrectionDialog(ctx, *p, *s, parent).run(); });
    registry.add(kGuaranteeWindow, [=](CommandContext& ctx) { GuaranteeDialog(ctx, *p, *s, parent).run(); });
    registry.add(duty::kViewWindow, [=](CommandContext& ctx) {
        const std::string& kind = ctx.selectedRecord.TIPREC;
        if (kind == "D") showReadOnly<CreditsDialog>(ctx, *p, *s, parent);
        else if (kind == "R") showReadOnly<VoluntaryCorrectionDialog>(ctx, *p, *s, parent);
        else if (kind == "E" && ctx.alcopp) showReadOnly<ExciseSummaryDayDialog>(ctx, *p, *s, parent);
        else if (kind == "E") showReadOnly<ExciseSummaryPeriodDialog>(ctx, *p, *s, parent);
    });
}

} // namespace accise
