#include "qt/reportwindows/booksauditdialog.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/framework/formwidgets.h"
#include "qt/reports/reportoutput.h"

namespace accise {

namespace {

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

BooksAudit WaitingBooksAudit::readAudit() {
    const WaitCursor wait;
    return BooksAuditLogic::readAudit();
}

void OrientedPreviewViewer::show(const ReportJob& job) {
    previewReport(parent_, job.orientation, job.draw, QString::fromStdString(job.title));
}

BooksAuditDialog::BooksAuditDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, QWidget* parent)
    : EntryDialog(form_, parent), viewer_(this), form_(ctx, prompt, services, viewer_) {
    setObjectName(QStringLiteral("TFCONTROLLO"));
    auto* list = new QPlainTextEdit(this);
    list->setObjectName(QStringLiteral("ELENCO"));
    list->setReadOnly(true); // shown only, but it takes the cursor so the keys scroll it
    list->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list->setMinimumSize(widthForChars(list, 100), 320);
    auto* summary = namedLabel(this, "ESITO");
    QFont bold = summary->font();
    bold.setBold(true);
    summary->setFont(bold);

    auto* confirm = makeConfirmButton();
    auto* abandon = makeAbandonButton();
    confirm->setToolTip(QStringLiteral("Controlla di nuovo i registri e mostra l'anteprima di stampa"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label(this, QStringLiteral("&Problemi trovati nei registri:"), list));
    layout->addWidget(list, 1);
    layout->addWidget(summary);
    layout->addLayout(confirmRow(confirm, abandon));
    finishSetup(confirm, abandon);
}

void registerBooksAuditWindow(WindowRegistry& registry, QWidget* parent, Prompt& prompt, FormServices& services) {
    Prompt* p = &prompt;
    FormServices* s = &services;
    registry.add(booksauditwindow::kCommand, [parent, p, s](CommandContext& ctx) {
        BooksAuditDialog dialog(ctx, *p, *s, parent);
        dialog.run();
    });
}

} // namespace accise
