#include "reports/qt/reportoutput.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>

#include "reports/qt/qtpagecanvas.h"

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

} // namespace

bool printReport(QWidget* parent, PageOrientation orientation, const ReportDrawing& draw) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(qtOrientation(orientation));
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    drawOn(printer, draw);
    return true;
}

void previewReport(QWidget* parent, PageOrientation orientation, const ReportDrawing& draw) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(qtOrientation(orientation));
    QPrintPreviewDialog preview(&printer, parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&draw](QPrinter* target) { drawOn(*target, draw); });
    preview.setWindowState(preview.windowState() | Qt::WindowMaximized);
    if (auto* widget = preview.findChild<QPrintPreviewWidget*>()) widget->fitToWidth();
    preview.exec();
}

bool writeReportPdf(const QString& file, PageOrientation orientation, const ReportDrawing& draw) {
    QPdfWriter writer(file);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(300);
    writer.setPageOrientation(qtOrientation(orientation));
    return drawOn(writer, draw);
}

} // namespace accise
