#include "cli/reportpdf.h"

#ifdef ACCISE_CLI_PDF
#include <QGuiApplication>

#include "qt/reports/reportpdf.h"
#endif

namespace accise::cli {

#ifdef ACCISE_CLI_PDF

namespace {
// Fonts need a GUI application; a command line has no display, so the off-screen
// platform serves unless the caller chose another.
void ensureGuiApplication() {
    if (QGuiApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "accise-cli";
    static char* argv[] = {name, nullptr};
    // Kept to the end of the process, never destroyed behind main's back.
    new QGuiApplication(argc, argv);
}
} // namespace

bool pdfAvailable() { return true; }

bool writePdf(const std::string& file, const ReportJob& job) {
    ensureGuiApplication();
    return writeReportPdf(QString::fromStdString(file), job.orientation, job.draw);
}

#else

bool pdfAvailable() { return false; }
bool writePdf(const std::string&, const ReportJob&) { return false; }

#endif

} // namespace accise::cli
