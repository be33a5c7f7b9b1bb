// F1 opens the help of the window it is pressed in, the information window names the
// build's version, and window titles are never cut.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QTextBrowser>
#include <QTest>
#include <QTimer>

#include "logic/window_fixtures.h"
#include "qt/movements/movemententrydialog.h"
#include "qt/shell/helpwindow.h"
#include "qt/shell/infowindow.h"
#include "qt/shell/mainwindow.h"
#include "qt/shell/shell.h"
#include "qt/shell/titlefit.h"

namespace accise {
namespace {

using namespace accise::testing;

struct SeenHelp {
    QString page, title, text;
    bool shown = false;
};

// Presses F1 in `widget`; the help that opens is read and closed with Esc.
SeenHelp pressF1(QWidget* widget) {
    SeenHelp seen;
    QTimer::singleShot(50, [&] {
        auto* help = qobject_cast<HelpWindow*>(QApplication::activeModalWidget());
        if (!help) return;
        seen = {help->page(), help->windowTitle(), help->browser()->toPlainText(), true};
        QTest::keyClick(help->browser(), Qt::Key_Escape);
    });
    QTest::keyClick(widget, Qt::Key_F1);
    return seen;
}

class HelpTest : public ::testing::Test {
protected:
    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
    WindowRegistry registry;
    Shell shell{work.folders, prompt}; // installs F1 and the title fit
};

TEST_F(HelpTest, F1InAFieldOpensThePageOfItsWindow) {
    MovementEntryDialog dialog(ctx, prompt, services, registry);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    const SeenHelp seen = pressF1(dialog.control("TIPMOV"));
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.page, ":/help/MovementEntryDialog.md");
    EXPECT_EQ(seen.title, "Guida - " + dialog.windowTitle());
    EXPECT_TRUE(seen.text.contains("Movimento di carico o scarico"));
    EXPECT_TRUE(seen.text.contains("Alla conferma"));
    EXPECT_TRUE(dialog.isVisible()); // Esc closed the help, not the window
    dialog.reject();
}

TEST_F(HelpTest, F1OnTheMainWindowOpensItsPage) {
    MainWindow& main = shell.window();
    main.show();
    QApplication::setActiveWindow(&main);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    const SeenHelp seen = pressF1(QApplication::focusWidget() ? QApplication::focusWidget() : &main);
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.page, ":/help/MainWindow.md");
    EXPECT_TRUE(seen.text.contains("Ctrl+Tab"));
}

TEST(HelpPages, EveryWindowHasItsOwnPage) {
    for (const char* window :
         {"MainWindow", "MovementEntryDialog", "BrewDialog", "PackagingDialog", "InitialStockDialog",
          "RecordSelectionDialog", "CancelUnsentDialog", "CreditsDialog", "ExciseSummaryPeriodDialog",
          "ExciseSummaryDayDialog", "VoluntaryCorrectionDialog", "GuaranteeDialog", "FlowCreationDialog",
          "TransmissionDialog", "FlowReactivationDialog", "RegisterPrintDialog", "RegisterTotalsDialog",
          "RegisterSearchDialog", "DutySearchDialog", "StockSearchDialog", "LookupListDialog", "CompanyDataDialog",
          "OtherSitesDialog", "RegistersDialog", "CompanyProductsDialog", "AddressEntryDialog",
          "AddressDeleteDialog", "PathsDialog", "WebAddressesDialog", "InstallationSettingsDialog",
          "CodeTableDialog", "ProductCodeDialog", "ExciseRatesDialog", "InfoWindow"})
        EXPECT_EQ(HelpWindow::pageFor(QString::fromLatin1(window)), QStringLiteral(":/help/%1.md").arg(window));
    // A window without a page of its own gets the keys every window shares.
    EXPECT_EQ(HelpWindow::pageFor(QStringLiteral("QDialog")), ":/help/Generale.md");
}

TEST(InfoWindowText, GivesTheVersionOfTheBuildBesideTheDate) {
    InfoWindow info;
    EXPECT_TRUE(info.text().startsWith("Accise Birra versione ")) << info.text().toStdString();
    EXPECT_FALSE(info.text().contains("sviluppo")); // the build named its version
    EXPECT_TRUE(info.text().contains("ultimo aggiornamento: "));
}

TEST_F(HelpTest, AWindowNarrowerThanItsTitleIsWidened) {
    QDialog dialog;
    // A title short enough to fit any test screen once widened (Windows' offscreen
    // screen is 800 pixels wide).
    dialog.setWindowTitle("Firma e invio del flusso alla Dogana");
    dialog.resize(200, 120);
    dialog.show();
    EXPECT_GE(dialog.width(), widthForTitle(&dialog, dialog.windowTitle()));
    QDialog narrow;
    narrow.setWindowTitle("Info");
    narrow.resize(400, 120);
    narrow.show();
    EXPECT_EQ(narrow.width(), 400); // a title that fits changes nothing
}

} // namespace
} // namespace accise
