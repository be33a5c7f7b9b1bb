// The flow creation and reactivation windows on screen: the check list follows the
// logic's ticks, "Tutti"/"Nessuno" work, and the confirmation writes the flow.
#include <gtest/gtest.h>

#include <cstdlib>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "core/books/movementfile.h"
#include "core/files/recordfile.h"
#include "core/tables/company.h"
#include "core/tables/dates.h"
#include "logic/window_fixtures.h"
#include "qt/telematic/checklistwidget.h"
#include "qt/telematic/flowcreationdialog.h"
#include "qt/telematic/flowreactivationdialog.h"
#include "qt/telematic/servicesettingsdialog.h"
#include "core/flow/servicesettings.h"

namespace accise {
namespace {

using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

Movement load(std::int32_t numrec) {
    Movement m = blankMovement();
    m.NUMREC = numrec;
    m.TIPREC = "C";
    m.TIPOPE = "I";
    m.TIPREG = "M";
    m.TIPMOV = "C";
    m.TIPDOC = "DAA";
    m.DATMOV = todayDayNumber();
    m.QTAKG = 10 * numrec;
    return m;
}

int checked(const CheckListWidget& list) {
    int n = 0;
    for (int i = 0; i < list.count(); ++i) n += list.isTicked(i);
    return n;
}

struct FlowDialogs : ::testing::Test {
    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
    fs::path sign = work.dir / "dafirmare";
    int year = yearOf(todayDayNumber());

    void SetUp() override {
        fs::create_directories(sign);
        writeApplConfig(work.folders, {"/opt/fv", sign.string() + "/", (work.dir / "firmati").string() + "/", "x"});
        ctx.company = blankAddress();
        ctx.company.user_code = "AB12";
        ctx.company.postcode2 = "ALCODA";
        ctx.flowYear = std::to_string(year);
        writeWholeFile(work.folders.registerFile(year),
                       encodeMovement(load(1)) + encodeMovement(load(2)) + encodeMovement(load(3)));
    }
};

TEST_F(FlowDialogs, CreationListTicksAndConfirmation) {
    FlowCreationDialog dialog(ctx, prompt, services);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    auto* list = dialog.findChild<CheckListWidget*>("CELENCO");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(checked(*list), 3);
    EXPECT_EQ(list->font().family(), "Courier New");
    EXPECT_TRUE(dialog.findChild<QCheckBox*>("CFIRMA")->isChecked());
    EXPECT_EQ(dialog.findChild<QLabel*>("LFLUSSO")->text().toStdString(), sign.string() + "/");

    QTest::mouseClick(dialog.findChild<QPushButton*>("BNESSUNO"), Qt::LeftButton);
    EXPECT_EQ(checked(*list), 0);
    list->setFocus();
    list->setCurrentIndex(list->model()->index(1, 0));
    QTest::keyClick(list, Qt::Key_Space); // the clerk ticks the second line from the keyboard
    EXPECT_TRUE(list->isTicked(1));
    dialog.findChild<QCheckBox*>("CFIRMA")->setChecked(false);
    dialog.findChild<QLineEdit*>("NUMFLU")->setFocus(); // leaving DATFLU proposes 1
    QApplication::processEvents();
    EXPECT_EQ(dialog.findChild<QLineEdit*>("NUMFLU")->text(), "1");
    dialog.findChild<QLineEdit*>("NUMFLU")->setText("3");
    dialog.confirmButton()->setFocus();
    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);

    EXPECT_TRUE(fs::exists(sign / flowFileName("AB12", 3, todayDayNumber())));
    const auto records = readMovements(work.folders.registerFile(year));
    EXPECT_EQ(records[0].NUMFLU, 0);
    EXPECT_EQ(records[1].NUMFLU, 3);
    EXPECT_TRUE(services.startedPrograms.empty());
}

// Keyboard only: Enter walks the fields from the test host on, a typed real host is
// saved, a port that cannot be used keeps the cursor with its message.
TEST_F(FlowDialogs, ServiceSettingsByKeyboard) {
    ServiceSettingsDialog dialog(ctx, prompt, services);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(QApplication::focusWidget()->objectName(), "HOST_PROVA");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_EQ(QApplication::focusWidget()->objectName(), "HOST_REALE");
    QTest::keyClicks(QApplication::focusWidget(), "reale.example");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_EQ(QApplication::focusWidget()->objectName(), "PORTA_REALE");
    QTest::keyClicks(QApplication::focusWidget(), "0");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), "PORTA_REALE");
    EXPECT_EQ(prompt.messages, std::vector<std::string>{ServiceSettingsLogic::invalidMessage("PORTA_REALE")});
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    if (const char* shots = std::getenv("ACCISE_SCREENSHOTS"))
        dialog.grab().save(QString::fromLocal8Bit(shots) + QStringLiteral("/servizio-telematico.png"));
    dialog.confirmButton()->setFocus();
    QTest::keyClick(dialog.confirmButton(), Qt::Key_Return);
    const ServiceSettings s = readServiceSettings(work.folders);
    EXPECT_EQ(s.realHost, "reale.example");
    EXPECT_EQ(s.realPort, 443);
    EXPECT_TRUE(realEnvironmentProblem(s).empty());
}

TEST_F(FlowDialogs, ReactivationShowsTheWarningsAndTheFlowsRecords) {
    std::vector<Movement> records = readMovements(work.folders.registerFile(year));
    records[0].NUMFLU = 4;
    records[0].DATFLU = dayNumber(2020, 1, 2);
    writeWholeFile(work.folders.registerFile(year), encodeMovement(records[0]) + encodeMovement(records[1]));
    FlowReactivationDialog dialog(ctx, prompt, services);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    auto* list = dialog.findChild<CheckListWidget*>("CELENCO");
    EXPECT_EQ(list->count(), 0);
    ASSERT_EQ(QApplication::focusWidget(), dialog.findChild<QLineEdit*>("MDARI"));
    dialog.findChild<QLineEdit*>("MDARI")->setText("02/01/2020");
    dialog.findChild<QLineEdit*>("INUCO")->setFocus(); // leaving MDARI
    QApplication::processEvents();
    dialog.findChild<QLineEdit*>("INUCO")->setText("4");
    dialog.findChild<QLineEdit*>("ECONF")->setFocus(); // leaving INUCO builds the list
    QApplication::processEvents();
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(checked(*list), 1);
}

} // namespace
} // namespace accise
