#pragma once
// A report drawn on a page canvas, written as a PDF file. Needs only Qt's GUI module
// (fonts and the PDF writer), so the command-line tool can use it too.
#include <functional>

#include <QString>

#include "core/reports/pagecanvas.h"

namespace accise {

using ReportDrawing = std::function<void(PageCanvas&)>;

// The report as a PDF file (A4). False when the file cannot be written.
bool writeReportPdf(const QString& file, PageOrientation orientation, const ReportDrawing& draw);

} // namespace accise
