#include "qt/reports/reportpdf.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include "qt/reports/qtpagecanvas.h"

namespace accise {

bool writeReportPdf(const QString& file, PageOrientation orientation, const ReportDrawing& draw) {
    QPdfWriter writer(file);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(300);
    writer.setPageOrientation(orientation == PageOrientation::Landscape ? QPageLayout::Landscape
                                                                        : QPageLayout::Portrait);
    QtPageCanvas canvas(writer);
    draw(canvas);
    canvas.finish();
    return !canvas.failed();
}

} // namespace accise
