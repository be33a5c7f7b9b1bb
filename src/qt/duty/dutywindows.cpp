#include "qt/duty/dutywindows.h"

#include "logic/shell/commands.h"
#include "qt/duty/dutydialogs.h"

namespace accise {

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
}

} // namespace accise
