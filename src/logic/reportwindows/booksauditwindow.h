#pragma once
// The "Controllo dei registri" window (TFCONTROLLO): the books audit of the working
// folder, as `accise-cli check` prints it. Opening runs the audit and lists one line
// per problem; confirming runs it again (another desk may have written meanwhile)
// and opens the report in the preview, from which the clerk prints.
#include <string>
#include <vector>

#include "core/reports/booksaudit.h"
#include "logic/framework/entryform.h"
#include "logic/reportwindows/reportviewer.h"

namespace accise {

namespace booksauditwindow {
inline constexpr const char* kCommand = "ACONTROLLO";
inline constexpr const char* kTitle = "Controllo dei registri";
} // namespace booksauditwindow

class BooksAuditLogic : public EntryFormLogic {
public:
    BooksAuditLogic(CommandContext& ctx, Prompt& prompt, FormServices& services, ReportViewer& viewer);
    std::string title() const override { return booksauditwindow::kTitle; }

    // The audit the window shows (the last one run).
    const BooksAudit& audit() const { return audit_; }

    // The report's lines: one per problem, then the summary line.
    std::vector<std::string> reportLines() const;

protected:
    void onOpen() override;
    std::optional<std::string> onConfirmChecks() override;
    void onSave() override;
    // Reads the books; the desktop program shows its wait cursor meanwhile.
    virtual BooksAudit readAudit() { return auditBooks(folders()); }

private:
    void runAudit();

    ReportViewer& viewer_;
    BooksAudit audit_;
};

} // namespace accise
