// Accise Birra: the excise books of a brewery. The working folder is the current
// directory; the temp, general data and registers folders are created when missing,
// and so are the delivered code tables.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>
#include <filesystem>

#include "app/taskwindows.h"
#include "core/files/folders.h"
#include "core/tables/deliveredtables.h"
#include "logic/shell/commands.h"
#include "qt/shell/mainwindow.h"
#include "qt/shell/qtprompt.h"
#include "qt/shell/screenshottour.h"
#include "qt/shell/shell.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("accise-birra"));
    QApplication::setApplicationDisplayName(QString::fromUtf8(accise::kApplicationTitle));
    QApplication::setQuitOnLastWindowClosed(true);

    // The toolkit's own dialogs (print, preview, file choice, message box buttons)
    // in Italian, like the rest of the program.
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QTranslator toolkitTexts;
    if (toolkitTexts.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&toolkitTexts);

    // Hidden switch for scripts/screenshots.sh.
    QString screenshotFolder;
    const QStringList args = QApplication::arguments();
    if (const auto i = args.indexOf(QStringLiteral("--screenshot-all")); i >= 0 && i + 1 < args.size())
        screenshotFolder = args[i + 1];

    accise::Folders folders =
        accise::Folders::of(std::filesystem::current_path(), accise::defaultTempFolder());
    try {
        folders.create();
        // As "accise-cli init": the delivered structure files and code tables that
        // the folder lacks, so a new folder is not a dead end; none is overwritten.
        accise::installDeliveredTables(folders);
    } catch (const std::exception& error) {
        accise::showCommandError(nullptr, error);
        return 1;
    }

    accise::QtPrompt prompt;
    accise::Shell shell(folders, prompt);
    accise::registerTaskWindows(shell);
    shell.window().show();

    if (!screenshotFolder.isEmpty()) {
        // The pictures of the main window show "Dove sono i registri" filled in.
        shell.window().refreshDashboard();
        auto* tour = new accise::ScreenshotTour(shell, screenshotFolder);
        tour->setSamples(accise::screenshotSamples);
        accise::registerScreenshotWindows(shell, *tour);
        tour->start();
    } else {
        // Once the window is on screen: the status bar and the readiness messages.
        QTimer::singleShot(0, &shell.window(), [&shell] { shell.window().refreshStatusBar(); });
    }
    return QApplication::exec();
}
