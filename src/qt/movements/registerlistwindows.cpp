#include "qt/movements/registerlistwindows.h"

#include "logic/movements/initialstockcommand.h"
#include "logic/movements/recordselectioncommand.h"
#include "logic/shell/commandtable.h"
#include "qt/movements/cancelunsentdialog.h"
#include "qt/movements/initialstockdialog.h"
#include "qt/movements/recordselectiondialog.h"

namespace accise {

void registerRegisterListWindows(WindowRegistry& registry, QWidget* parent, Prompt& prompt,
                                 FormServices& services) {
    namespace h = handlers;
    WindowRegistry* windows = &registry;
    Prompt* p = &prompt;
    FormServices* s = &services;

    registry.add(kInitialStockWindow,
                 [parent, p, s](CommandContext& ctx) { InitialStockDialog(ctx, *p, *s, parent).run(); });
    registry.add(kRecordSelection,
                 [parent, p](CommandContext& ctx) { RecordSelectionDialog(ctx, *p, parent).run(); });

    registry.add("Action17",
                 [windows, p, s](CommandContext& ctx) { runInitialStockCommand(*windows, ctx, *p, *s); });
    // Movements (Tags 12, 16, 17), initial stocks (Tags 1, 2) and duty records (Tags 1, 2).
    registry.add(h::kMovementChange,
                 [windows, p](CommandContext& ctx) { runRecordChangeCommand(*windows, ctx, *p); });
    registry.add(h::kStockCorrection,
                 [windows, p](CommandContext& ctx) { runRecordChangeCommand(*windows, ctx, *p); });
    registry.add(h::kDutyCorrection,
                 [windows, p](CommandContext& ctx) { runRecordChangeCommand(*windows, ctx, *p); });
    registry.add(h::kCancellation,
                 [parent, p](CommandContext& ctx) { CancelUnsentDialog(ctx, *p, parent).run(); });
}

} // namespace accise
