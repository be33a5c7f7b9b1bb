// "Dove sono i registri" on the main window, driven from the keyboard: the page has the
// cursor, the arrows pass over the headings, Enter runs the line's command, and the
// page is computed afresh when a window closes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>

#include "core/books/movementfile.h"
#include "logic/shell/commandtable.h"
#include "logic/shell/dashboarddeadlines.h"
#include "logic/window_fixtures.h"
#include "movement_fixture.h"
#include "qt/shell/dashboardview.h"
#include "qt/shell/mainwindow.h"
#include "qt/shell/shell.h"
#include "register_builder.h"

namespace accise {
namespace {

using namespace accise::testing;

class DashboardViewTest : public ::testing::Test {
protected:
    DashboardViewTest() {
        writeBrewery(work.folders, prompt);
        prompt.messages.clear();
        shell.window().setDashboardDay(*parseDate("20/03/2024")); // the fixture's registers are valid in 2024-2025
    }
    void showMain() {
        MainWindow& main = shell.window();
        main.show();
        QApplication::setActiveWindow(&main);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    }
    DashboardView* page() { return shell.window().dashboard(MenuPage::GeneralData); }
    // Down until the current line holds `text`; false when no line does.
    bool downTo(const QString& text) {
        for (int i = 0; i < page()->count(); ++i) {
            if (page()->currentItem() && page()->currentItem()->text().contains(text)) return true;
            QTest::keyClick(page(), Qt::Key_Down);
        }
        return false;
    }

    WorkingFolder work;
    RecordingPrompt prompt;
    Shell shell{work.folders, prompt};
};

TEST_F(DashboardViewTest, TheCursorIsOnTheFirstLineThatActsAndEnterRunsItsCommand) {
    std::vector<std::string> ran;
    shell.registry().add(kAuditCommand, [&](CommandContext&) { ran.push_back(kAuditCommand); });
    shell.window().setBooksAudit([] { return std::optional<int>(2); });
    std::vector<std::string> opened;
    shell.window().setFileOpener([&](const std::string& file) { opened.push_back(file); });
    shell.window().refreshDashboard();
    showMain();

    ASSERT_EQ(QApplication::focusWidget(), page());
    // Row 0 is the heading of the registers: the cursor starts on the first register.
    EXPECT_EQ(page()->currentRow(), 1);
    EXPECT_FALSE(page()->item(0)->flags() & Qt::ItemIsSelectable);
    EXPECT_EQ(page()->currentItem()->text().trimmed().toStdString().substr(0, 14), "Materie prime ");

    // The deadline line opens the table for editing, delivered on first use.
    ASSERT_TRUE(downTo("Versamento entro il"));
    QTest::keyClick(page(), Qt::Key_Return);
    EXPECT_EQ(opened, std::vector<std::string>{deadlinesFile(work.folders).string()});
    EXPECT_TRUE(fs::exists(deadlinesFile(work.folders)));

    // The audit's verdict opens its report.
    QTest::keyClick(page(), Qt::Key_End);
    EXPECT_EQ(page()->currentItem()->text().trimmed(), "2 problemi trovati");
    QTest::keyClick(page(), Qt::Key_Return);
    EXPECT_EQ(ran, std::vector<std::string>{kAuditCommand});
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(DashboardViewTest, ThePageIsComputedAfreshWhenAWindowCloses) {
    // The information window stands for any window: this one loads 300 kg of malt.
    shell.registry().add(handlers::kInfo, [&](CommandContext&) {
        Movement load = registerMovement("20/03/2024", "C", 0);
        load.TIPREG = "M";
        load.ANNPRO = "2024";
        load.NUMPRO = "MP1";
        load.QTAKG = 300;
        addToRegister(work.folders, load);
    });
    shell.window().updateCommandStates();
    shell.window().refreshDashboard();
    const auto registerLine = [&] {
        for (int i = 0; i < page()->count(); ++i)
            if (page()->item(i)->text().contains("prot. MP1")) return page()->item(i)->text();
        return QString();
    };
    const QString before = registerLine();
    EXPECT_TRUE(before.contains("5.000 kg")) << before.toStdString();
    ASSERT_FALSE(before.isEmpty());
    shell.window().commandAction("AINFO")->trigger();
    EXPECT_TRUE(registerLine().contains("5.300 kg")) << registerLine().toStdString();
}

} // namespace
} // namespace accise
