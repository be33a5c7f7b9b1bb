#pragma once
// The printed register window (TFSTAREGCARSCA): the print mode, the period, the
// register among those valid over the whole period, and for the heading sheets their
// number and the first page number. Confirming prints the register into the viewer.
#include <string>
#include <vector>

#include "core/reports/registerprint.h"
#include "logic/framework/entryform.h"
#include "logic/reportwindows/reportviewer.h"

namespace accise {

class RegisterPrintLogic : public EntryFormLogic {
public:
    RegisterPrintLogic(CommandContext& ctx, Prompt& prompt, FormServices& services, ReportViewer& viewer);
    std::string title() const override { return "Registri di carico e scarico"; }

    // The entries of the register list (ELENCO): type, protocol number, title.
    const std::vector<std::string>& registerEntries() const { return entries_; }
    // The registers behind those entries (PROTOCOLLI rows, trimmed), in the same order.
    const std::vector<TableRecord>& listedRegisters() const { return registers_; }
    // The sheets and first-page fields are shown only in the headings mode.
    bool headingsMode() const { return value("RTIPO") == "2"; }
    // The request the last confirmation printed.
    const RegisterPrintRequest& lastRequest() const { return request_; }

protected:
    void onOpen() override;
    FocusMove onLeave(std::string_view control) override;
    std::optional<std::string> onConfirmChecks() override;
    void onSave() override;

private:
    // The control whose date is wrong (start first), nullopt when both are right.
    std::optional<std::string> dateFailure() const;
    // The registers valid over the period, into the list and REGISTRI.DAT; the choice
    // stays when its register is still listed.
    void buildList();

    ReportViewer& viewer_;
    std::vector<TableRecord> registers_;
    std::vector<std::string> entries_;
    RegisterPrintRequest request_;
};

} // namespace accise
