#pragma once
// Where a report drawn on a page canvas goes: the printer chosen in the print
// dialog, an on-screen preview from which the user prints, or a PDF file.
#include <functional>

#include <QString>

#include "core/reports/pagecanvas.h"
#include "qt/reports/reportpdf.h"

class QWidget;

namespace accise {

// The platform's print dialog, then the report on the chosen printer. False when the
// dialog was cancelled. `title` names the document; printing to a PDF file proposes
// "<working folder>/<title>.pdf".
bool printReport(QWidget* parent, PageOrientation orientation, const ReportDrawing& draw,
                 const QString& title = {});

// The preview window, maximised and zoomed to the page width; the user prints from
// it (with the same proposed PDF name).
void previewReport(QWidget* parent, PageOrientation orientation, const ReportDrawing& draw,
                   const QString& title = {});

// The PDF file proposed for a report: its title made a file name (characters that a
// file name cannot hold become "_"), ".pdf", in the working folder (the current one).
QString proposedPdfFile(const QString& title);


} // namespace accise
