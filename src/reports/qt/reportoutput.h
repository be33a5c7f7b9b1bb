#pragma once
// Where a report drawn on a page canvas goes: the printer chosen in the print
// dialog, an on-screen preview from which the user prints, or a PDF file.
#include <functional>

#include <QString>

#include "reports/pagecanvas.h"

class QWidget;

namespace accise {

using ReportDrawing = std::function<void(PageCanvas&)>;

// The platform's print dialog, then the report on the chosen printer. False when the
// dialog was cancelled.
bool printReport(QWidget* parent, PageOrientation orientation, const ReportDrawing& draw);

// The preview window, maximised and zoomed to the page width; the user prints from it.
void previewReport(QWidget* parent, PageOrientation orientation, const ReportDrawing& draw);

// The report as a PDF file (A4). False when the file cannot be written.
bool writeReportPdf(const QString& file, PageOrientation orientation, const ReportDrawing& draw);

} // namespace accise
