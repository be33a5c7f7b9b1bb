// The main window: both pages, every menu entry with its caption and Tag, which
// entries are enabled, the status bar and the link commands.
#include "qt/shell/mainwindow.h"

#include <gtest/gtest.h>

#include <functional>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "app/taskwindows.h"
#include "core/tables/company.h"
#include "logic/shell/commandtable.h"
#include "logic/window_fixtures.h"
#include "qt/shell/shell.h"

namespace accise {
namespace {

using testing::RecordingPrompt;
using testing::WorkingFolder;

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

class MainWindowTest : public ::testing::Test {
protected:
    WorkingFolder work;
    RecordingPrompt prompt;
    std::vector<std::string> opened;
    Shell shell{work.folders, prompt, [this](const std::string& a) { opened.push_back("web " + a); },
                [this](const std::string& p) {
                    opened.push_back("run " + p);
                    return true;
                }};
    MainWindowTest() { registerTaskWindows(shell); }
};

TEST_F(MainWindowTest, TwoPagesWithTheirMenuBars) {
    MainWindow& main = shell.window();
    ASSERT_EQ(main.pages()->count(), 2);
    EXPECT_EQ(main.pages()->tabText(0), "Dati Generali");
    EXPECT_EQ(main.pages()->tabText(1), "    Registro    ");
    EXPECT_EQ(main.pages()->currentIndex(), 0);
    EXPECT_EQ(main.minimumSize(), QSize(560, 420));
    EXPECT_EQ(main.size(), QSize(800, 600));
    EXPECT_FALSE(main.windowTitle().isEmpty());
}

TEST_F(MainWindowTest, EveryCommandIsInItsMenuWithCaptionAndTag) {
    MainWindow& main = shell.window();
    for (const CommandEntry& entry : commandTable()) {
        QAction* action = main.commandAction(entry.action);
        ASSERT_NE(action, nullptr) << entry.action;
        EXPECT_EQ(action->text(), qs(entry.caption)) << entry.action;
        EXPECT_EQ(action->data().toInt(), entry.tag.value_or(0)) << entry.action;
        QMenuBar* bar = main.pageMenuBar(entry.page);
        if (entry.menu.empty()) {
            EXPECT_TRUE(bar->actions().contains(action)) << entry.action;
            continue;
        }
        QMenu* menu = nullptr;
        for (QAction* top : bar->actions())
            if (top->menu() && top->text() == qs(entry.menu)) menu = top->menu();
        ASSERT_NE(menu, nullptr) << entry.menu;
        EXPECT_TRUE(menu->actions().contains(action)) << entry.action;
    }
}

TEST_F(MainWindowTest, OnlyCommandsWithARegisteredHandlerAreEnabled) {
    MainWindow& main = shell.window();
    for (const char* built : {"AAZIENDA", "APERAPPL", "AWEB", "AINFO", "ADOGANE", "AFIRMAVERIFICA", "AINSSCARICO"})
        EXPECT_TRUE(main.commandAction(built)->isEnabled()) << built;
    for (const CommandEntry& entry : commandTable())
        EXPECT_EQ(main.commandAction(entry.action)->isEnabled(), shell.registry().has(entry.handler))
            << entry.action;
    EXPECT_TRUE(main.commandAction("Action45")->isEnabled()); // the brew window
    // Initial stocks, the change and correction of movements, stocks and duty records,
    // the removals, packaging and the installation settings.
    for (const char* built :
         {"Action17", "Action18", "AGIACENZE", "Action20", "Action21", "AMODSCARICO", "ACANCSCARICO",
          "ARETTSCARICO", "Action2", "ACANCRETTSCAR", "ACANCGAR", "ACANCRETT", "Action4", "ARETTGAR", "Action48", "AIMPIANTO"})
        EXPECT_TRUE(main.commandAction(built)->isEnabled()) << built;
    // The searches: register (four commands), duty records (two), initial stocks.
    for (const char* built : {"Action35", "ARICSCARICHI", "ARICCARICHIINVIATI", "ARICSCARICHIINVIATI", "ARICDER",
                              "Action44", "Action19"})
        EXPECT_TRUE(main.commandAction(built)->isEnabled()) << built;
}

TEST_F(MainWindowTest, F10OrAltAloneOpensTheMenuBarOfThePageShown) {
    MainWindow& main = shell.window();
    main.show();
    QApplication::setActiveWindow(&main);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    struct Case {
        const char* how;
        int page;
        std::function<void()> press;
    };
    const Case cases[] = {
        {"Alt", 0, [&] {
             QTest::keyPress(&main, Qt::Key_Alt, Qt::AltModifier);
             QTest::keyRelease(&main, Qt::Key_Alt, Qt::NoModifier);
         }},
        {"F10", 1, [&] { QTest::keyClick(&main, Qt::Key_F10); }},
    };
    for (const Case& c : cases) {
        main.pages()->setCurrentIndex(c.page);
        c.press();
        QApplication::processEvents();
        QMenuBar* bar = main.pageMenuBar(c.page == 0 ? MenuPage::GeneralData : MenuPage::Register);
        ASSERT_NE(bar->activeAction(), nullptr) << c.how;
        EXPECT_EQ(bar->activeAction(), bar->actions().front()) << c.how;
        ASSERT_NE(QApplication::activePopupWidget(), nullptr) << c.how;
        QApplication::activePopupWidget()->close();
        QApplication::processEvents();
    }
}

TEST_F(MainWindowTest, StatusBarOnAnEmptyFolderAndLinkCommands) {
    MainWindow& main = shell.window();
    main.refreshStatusBar();
    EXPECT_EQ(prompt.messages.size(), 3u);
    EXPECT_TRUE(
        main.statusText().startsWith(QString::fromStdString(work.folders.working.string()) + "   *** "));

    prompt.messages.clear();
    main.commandAction("AEDIREALE")->trigger(); // incomplete configuration: messages, nothing opens
    EXPECT_EQ(prompt.messages.size(), 3u);
    EXPECT_TRUE(opened.empty());

    AddressRecord c = blankAddress();
    c.auth_type = "1";
    writeCompany(work.folders, c);
    writeApplConfig(work.folders, {"/opt/fv/FirmaVerifica", "/a/", "/b/", "/c/"});
    writeWebConfig(work.folders, {"seed", "uffici", "accise", "edi", "emcs", "prova", "emcs-prova", ""});
    prompt.messages.clear();
    main.commandAction("AEDIREALE")->trigger();
    main.commandAction("AEDIPROVA")->trigger();
    main.commandAction("AFIRMAVERIFICA")->trigger();
    main.commandAction("ADOGANE")->trigger(); // entry 8 empty: nothing
    EXPECT_TRUE(prompt.messages.empty());
    // The program is started by its absolute name: on Windows a name without a drive
    // takes the working folder's ("C:/opt/fv/FirmaVerifica").
    const std::string signer = (std::filesystem::absolute(work.folders.working) / "/opt/fv/FirmaVerifica").string();
    EXPECT_EQ(opened, (std::vector<std::string>{"web edi", "web prova", "run " + signer}));
    EXPECT_EQ(shell.context().tag, 7);
}

} // namespace
} // namespace accise

namespace accise {
namespace {

TEST_F(MainWindowTest, CtrlTabAndCtrlPageKeysSwitchPagesAsTheTabBarSays) {
    MainWindow& main = shell.window();
    main.show();
    QApplication::setActiveWindow(&main);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    EXPECT_TRUE(main.pages()->tabBar()->toolTip().contains("Ctrl+Tab"));
    EXPECT_TRUE(main.pages()->tabBar()->toolTip().contains("Ctrl+PagGi"));
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    const Case cases[] = {{Qt::Key_Tab, Qt::ControlModifier},
                          {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier},
                          {Qt::Key_PageDown, Qt::ControlModifier},
                          {Qt::Key_PageUp, Qt::ControlModifier}};
    for (const Case& c : cases) {
        const int before = main.pages()->currentIndex();
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &main;
        QTest::keyClick(target, c.key, c.modifiers);
        EXPECT_EQ(main.pages()->currentIndex(), 1 - before) << c.key;
    }
}

} // namespace
} // namespace accise
