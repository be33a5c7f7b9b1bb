#include "logic/reportwindows/booksauditwindow.h"

#include <memory>

#include "core/reports/textreport.h"
#include "logic/reportwindows/reportdates.h"

namespace accise {

BooksAuditLogic::BooksAuditLogic(CommandContext& ctx, Prompt& prompt, FormServices& services, ReportViewer& viewer)
    : EntryFormLogic(ctx, prompt, services), viewer_(viewer) {
    // ELENCO: the problem lines, shown only (the clerk scrolls them with the keys);
    // ESITO: the summary line.
    addField(FieldSpec("ELENCO"));
    addField(FieldSpec("ESITO").shownOnly());
}

void BooksAuditLogic::runAudit() {
    audit_ = readAudit();
    std::string list;
    // Named from the working folder, which the report names once on top.
    for (const AuditProblem& p : audit_.problems)
        list += (list.empty() ? "" : "\n") + auditLine(p, context().folders.working);
    setValue("ELENCO", list);
    setValue("ESITO", auditSummaryLine(audit_));
}

void BooksAuditLogic::onOpen() {
    runAudit();
    setFocusAfterOpen("ELENCO");
}

std::optional<std::string> BooksAuditLogic::onConfirmChecks() { return std::nullopt; }

std::vector<std::string> BooksAuditLogic::reportLines() const {
    std::vector<std::string> lines;
    lines.push_back("Cartella di lavoro: " + context().folders.working.string());
    lines.push_back("");
    for (const AuditProblem& p : audit_.problems) lines.push_back(auditLine(p, context().folders.working));
    if (!audit_.problems.empty()) lines.push_back("");
    lines.push_back(auditSummaryLine(audit_));
    return lines;
}

void BooksAuditLogic::onSave() {
    runAudit();
    auto lines = std::make_shared<std::vector<std::string>>(reportLines());
    const std::string title = std::string(booksauditwindow::kTitle) + " al " + todayText();
    viewer_.show({title, PageOrientation::Portrait, [title, lines](PageCanvas& canvas) { drawTextReport(canvas, title, *lines); }});
    setFocusAfterOpen("ELENCO");
}

} // namespace accise
