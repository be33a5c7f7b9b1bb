// The transmission window on screen: the wait counter runs once a second while the
// window stays responsive, the environment choice appears with the signed file, the
// checks on reaching "&CONFERMA" and a test send with its outcome in the report box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "core/files/recordfile.h"
#include "core/tables/company.h"
#include "logic/window_fixtures.h"
#include "qt/shell/qtprompt.h"
#include "qt/telematic/transmissiondialog.h"

namespace accise {
namespace {

using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

class OneAnswerAgency : public AgencyService {
public:
    int calls = 0;
    AgencyReply put(AgencyEnvironment, const std::optional<AgencyCredentials>&, const std::string&,
                    const std::string&) override {
        ++calls;
        return {true, "ricevuto con successo", {}, {}};
    }
    AgencyReply get(AgencyEnvironment, const std::optional<AgencyCredentials>&, const std::string&) override {
        ++calls;
        return {true, "", std::string("XXALCODA                   0000000000123451 SCARTATO\r\n ECampo errato\r\n"), {}};
    }
};

TEST(TransmissionDialog, WaitsOnceASecondThenSendsToTest) {
    WorkingFolder work;
    RecordingPrompt prompt;
    FakeServices services;
    OneAnswerAgency agency;
    CommandContext ctx = work.context();
    const fs::path signedDir = work.dir / "firmati";
    fs::create_directories(signedDir);
    writeApplConfig(work.folders, {"/opt/fv", (work.dir / "dafirmare").string(), signedDir.string(), "x"});
    ctx.company = blankAddress();
    ctx.flowFileName = "AB120315.C01";

    TransmissionDialog dialog(ctx, prompt, services, agency);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    auto* counter = dialog.findChild<QLabel*>("Label4");
    auto* choice = dialog.findChild<QGroupBox*>("GAMBIENTE");
    ASSERT_TRUE(counter && choice);
    const QString path = QString::fromStdString((signedDir / "AB120315.C01.p7m").string());
    EXPECT_EQ(counter->text(), path + " - 1");
    EXPECT_TRUE(counter->isVisible());
    EXPECT_FALSE(choice->isVisible());
    EXPECT_FALSE(dialog.findChild<QLabel*>("Label2")->isVisible());
    // The counter moves on by itself: the event loop runs, nothing blocks.
    QTRY_COMPARE_WITH_TIMEOUT(counter->text(), path + " - 3", 4000);
    EXPECT_FALSE(choice->isVisible());

    writeWholeFile(signedDir / "AB120315.C01.p7m", "firmato");
    QTRY_VERIFY_WITH_TIMEOUT(choice->isVisible(), 2500);
    QTest::qWait(50); // the layout places the choice that just appeared
    EXPECT_FALSE(counter->isVisible());
    EXPECT_EQ(dialog.findChild<QLabel*>("Label2")->text(), "AB120315.C01");
    EXPECT_FALSE(dialog.waitTimer().isActive());

    // Tab from the report reaches the environment choice before "&CONFERMA".
    dialog.findChild<QPlainTextEdit*>("RICHED")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), "RPROVA");
    EXPECT_TRUE(prompt.messages.empty());

    // No environment ticked: the click does not happen.
    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kNoEnvironment});
    EXPECT_EQ(agency.calls, 0);

    // The window grew when the choice appeared; click() is the button's own click.
    dialog.findChild<QRadioButton*>("RPROVA")->click();
    ASSERT_TRUE(dialog.findChild<QRadioButton*>("RPROVA")->isChecked());
    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);
    EXPECT_EQ(agency.calls, 2);
    EXPECT_EQ(prompt.messages.back(), kFileHasErrors);
    EXPECT_EQ(dialog.findChild<QPlainTextEdit*>("RICHED")->toPlainText(),
              QString::fromUtf8("N° REGISTRAZIONE DEL FILE: 000000000012345\nESITO NEGATIVO - SCARTATO\n SCARTATO\n"
                                "ERRORE SCARTATO: Campo errato"));
    EXPECT_EQ(readRecords(work.folders.inTemp(kReportFile), 1, IfMissing::Empty).bytes().substr(0, 4), "N\xB0 R");

    QTest::mouseClick(dialog.abandonButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog.form().abandoned());
    EXPECT_FALSE(dialog.isVisible());
}

} // namespace
} // namespace accise

namespace accise {
namespace {

// "PREMI OK PER INVIARLO NELL'AMBIENTE REALE": Enter or Esc on the question answers
// No, so a slip of the keyboard never reaches the real environment.
TEST(RealSendQuestion, EnterAndEscapeDoNotSend) {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        QTimer::singleShot(0, [key] {
            QWidget* box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            QTest::keyClick(box, key);
        });
        QtPrompt prompt;
        EXPECT_FALSE(prompt.okOrNo(kAcceptedInTest)) << key;
    }
}

} // namespace
} // namespace accise
