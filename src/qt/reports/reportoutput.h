#pragma once
// Where a report drawn on a page canvas goes: the printer chosen in the print
// dialog, an on-screen preview from which the user prints, or a PDF file.
#include <functional>

#include <QString>

#include "core/reports/pagecanvas.h"
#include "qt/reports/reportpdf.h"

class QPrinter;
class QPrintPreviewDialog;
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

// What the preview's keys ask the clerk: the printer (the print dialog; false when
// cancelled) and the PDF file to save (a save dialog; empty when cancelled). The
// preview uses the platform's dialogs; a test passes its own answers.
struct PreviewChoices {
    std::function<bool(QPrinter& printer, QWidget* parent)> printer;
    std::function<QString(QWidget* parent, const QString& proposed)> pdfFile;
    // What the clerk is told after a save: the file written, or that it could not be.
    std::function<void(QWidget* parent, const QString& text)> tell;
};

// The keys of a preview window: Ctrl+P prints (after the print dialog), Ctrl+S saves
// the report as a PDF file (after a save dialog proposing proposedPdfFile(title)),
// Esc closes it (a dialog's own key). Its caption becomes the report's title.
void addPreviewKeys(QPrintPreviewDialog& preview, PageOrientation orientation, const ReportDrawing& draw,
                    const QString& title, PreviewChoices choices = {});

// The PDF file proposed for a report: its title made a file name (characters that a
// file name cannot hold become "_"), ".pdf", in the working folder (the current one).
QString proposedPdfFile(const QString& title);


} // namespace accise
