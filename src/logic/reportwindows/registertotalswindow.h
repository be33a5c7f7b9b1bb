#pragma once
// The register totals window (TFTOTALI): a date; confirming computes the stock of
// every register valid on it and the excise paid in its month, and prints them.
#include "core/reports/registertotals.h"
#include "logic/framework/entryform.h"
#include "logic/reportwindows/reportviewer.h"

namespace accise {

class RegisterTotalsLogic : public EntryFormLogic {
public:
    RegisterTotalsLogic(CommandContext& ctx, Prompt& prompt, FormServices& services, ReportViewer& viewer);
    std::string title() const override { return "Totali di tutti i registri"; }

    // The totals the last confirmation printed.
    const RegisterTotals& lastTotals() const { return totals_; }

protected:
    void onOpen() override;
    FocusMove onLeave(std::string_view control) override;
    std::optional<std::string> onConfirmChecks() override;
    void onSave() override;

private:
    ReportViewer& viewer_;
    RegisterTotals totals_;
};

} // namespace accise
