#include "qt/reports/reportoutput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QKeySequence>
#include <QMessageBox>
#include <QShortcut>
#include <QEvent>
#include <QLineEdit>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QPrinter>

#include "qt/reports/qtpagecanvas.h"

namespace accise {
namespace {

QPageLayout::Orientation qtOrientation(PageOrientation o) {
    return o == PageOrientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

bool drawOn(QPagedPaintDevice& device, const ReportDrawing& draw) {
    QtPageCanvas canvas(device);
    draw(canvas);
    canvas.finish();
    return !canvas.failed();
}

// While it lives, every print dialog that appears (also the one the preview opens)
// proposes the report's PDF file instead of the toolkit's "print.pdf" in the home
// folder. The toolkit offers no setting for it without making the file the chosen
// printer, so the dialog's file field is filled when it is shown.
class PdfNameProposal : public QObject {
public:
    explicit PdfNameProposal(QString file) : file_(std::move(file)) {
        if (!file_.isEmpty()) QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* dialog = qobject_cast<QPrintDialog*>(watched))
                if (auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("filename"))) field->setText(file_);
        return false;
    }

private:
    QString file_;
};

void prepare(QPrinter& printer, PageOrientation orientation, const QString& title) {
    printer.setPageOrientation(qtOrientation(orientation));
    if (!title.isEmpty()) printer.setDocName(title);
}

} // namespace

QString proposedPdfFile(const QString& title) {
    QString name = title.trimmed();
    static const QString kForbidden = QStringLiteral("/\\:*?\"<>|");
    for (QChar& c : name)
        if (kForbidden.contains(c) || c.unicode() < 32) c = QLatin1Char('_');
    if (name.isEmpty()) name = QStringLiteral("stampa");
    return QDir::current().absoluteFilePath(name + QStringLiteral(".pdf"));
}

bool printReport(QWidget* parent, PageOrientation orientation, const ReportDrawing& draw, const QString& title) {
    QPrinter printer(QPrinter::HighResolution);
    prepare(printer, orientation, title);
    PdfNameProposal proposal(proposedPdfFile(title));
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    drawOn(printer, draw);
    return true;
}

void previewReport(QWidget* parent, PageOrientation orientation, const ReportDrawing& draw, const QString& title) {
    QPrinter printer(QPrinter::HighResolution);
    prepare(printer, orientation, title);
    PdfNameProposal proposal(proposedPdfFile(title));
    QPrintPreviewDialog preview(&printer, parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&draw](QPrinter* target) { drawOn(*target, draw); });
    // Maximised; also sized to the screen, where no window manager maximises it.
    if (QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        preview.setGeometry(screen->availableGeometry());
    preview.setWindowState(preview.windowState() | Qt::WindowMaximized);
    if (auto* widget = preview.findChild<QPrintPreviewWidget*>()) widget->fitToWidth();
    addPreviewKeys(preview, orientation, draw, title);
    preview.exec();
}

void addPreviewKeys(QPrintPreviewDialog& preview, PageOrientation orientation, const ReportDrawing& draw,
                    const QString& title, PreviewChoices choices) {
    if (!choices.printer)
        choices.printer = [](QPrinter& printer, QWidget* parent) {
            QPrintDialog dialog(&printer, parent);
            return dialog.exec() == QDialog::Accepted;
        };
    if (!choices.pdfFile)
        choices.pdfFile = [](QWidget* parent, const QString& proposed) {
            return QFileDialog::getSaveFileName(parent, QStringLiteral("Salva in PDF"), proposed,
                                                QStringLiteral("Documenti PDF (*.pdf)"));
        };
    if (!choices.tell)
        choices.tell = [](QWidget* parent, const QString& text) {
            QMessageBox::information(parent, parent->windowTitle(), text);
        };
    if (!title.isEmpty()) preview.setWindowTitle(title);
    auto* print = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), &preview);
    QObject::connect(print, &QShortcut::activated, &preview, [&preview, printer = choices.printer] {
        auto* widget = preview.findChild<QPrintPreviewWidget*>();
        QPrinter* target = widget ? preview.printer() : nullptr;
        if (!target || !printer(*target, &preview)) return;
        widget->print();
    });
    auto* save = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), &preview);
    QObject::connect(save, &QShortcut::activated, &preview,
                     [&preview, orientation, draw, title, pdfFile = choices.pdfFile, tell = choices.tell] {
                         const QString file = pdfFile(&preview, proposedPdfFile(title));
                         if (file.isEmpty()) return;
                         tell(&preview, writeReportPdf(file, orientation, draw)
                                            ? QStringLiteral("PDF salvato in: ") + file
                                            : QStringLiteral("IMPOSSIBILE SCRIVERE IL FILE ") + file);
                     });
}


} // namespace accise
