#pragma once
// The "Controllo dei registri" window on screen: the problems the books audit found,
// one per line, and the preview of the report, and its registration.
#include "core/files/prompt.h"
#include "logic/framework/formservices.h"
#include "logic/reportwindows/booksauditwindow.h"
#include "logic/shell/windowregistry.h"
#include "qt/framework/entrydialog.h"

class QWidget;

namespace accise {

// Opens a report in the preview in the orientation the report asks for.
class OrientedPreviewViewer : public ReportViewer {
public:
    explicit OrientedPreviewViewer(QWidget* parent) : parent_(parent) {}
    void show(const ReportJob& job) override;

private:
    QWidget* parent_;
};

// The audit with the wait cursor while it reads every file of the books.
class WaitingBooksAudit : public BooksAuditLogic {
public:
    using BooksAuditLogic::BooksAuditLogic;

protected:
    BooksAudit readAudit() override;
};

class BooksAuditDialog : public EntryDialog {
    Q_OBJECT
public:
    BooksAuditDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent = nullptr);
    BooksAuditLogic& form() { return form_; }

private:
    OrientedPreviewViewer viewer_;
    WaitingBooksAudit form_;
};

void registerBooksAuditWindow(WindowRegistry& registry, QWidget* parent, Prompt& prompt, FormServices& services);

} // namespace accise
