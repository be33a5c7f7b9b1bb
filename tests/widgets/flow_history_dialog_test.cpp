// The sent flows window driven by keyboard only, offscreen: a rejected flow's outcome
// shows its error line beside the record it names, a signed flow is sent from its row,
// a year without flows leaves no row to act on.
#include <gtest/gtest.h>

#include <cstdlib>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>

#include "core/books/movementfile.h"
#include "core/files/recordfile.h"
#include "core/flow/agencysoap.h"
#include "core/flow/flowfile.h"
#include "core/flow/flowlist.h"
#include "core/flow/sentflows.h"
#include "core/tables/company.h"
#include "core/tables/dates.h"
#include "logic/telematic/transmissionwindow.h"
#include "logic/window_fixtures.h"
#include "qt/telematic/flowhistorydialog.h"

namespace accise {
namespace {

using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

class NoAgency : public AgencyService {
public:
    int calls = 0;
    AgencyReply put(AgencyEnvironment, const std::optional<AgencyCredentials>&, const std::string&,
                    const std::string&) override {
        ++calls;
        return {false, {}, {}, "non previsto"};
    }
    AgencyReply get(AgencyEnvironment, const std::optional<AgencyCredentials>&, const std::string&) override {
        ++calls;
        return {false, {}, {}, "non previsto"};
    }
};

Movement unload(std::int32_t numrec, double litres) {
    Movement m = blankMovement();
    m.NUMREC = numrec;
    m.TIPREC = "C";
    m.TIPOPE = "I";
    m.TIPREG = "F";
    m.TIPMOV = "S";
    m.TIPDOC = "DAS";
    m.DATMOV = todayDayNumber();
    m.QTALIT = litres;
    return m;
}

TEST(FlowHistoryDialog, ByKeyboard) {
    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
    NoAgency agency;
    const fs::path sign = work.dir / "dafirmare", signedDir = work.dir / "firmati";
    fs::create_directories(sign);
    fs::create_directories(signedDir);
    writeApplConfig(work.folders, {"/opt/FirmaVerifica.exe", sign.string() + "/", signedDir.string() + "/", "x"});
    ctx.company = blankAddress();
    ctx.company.user_code = "AB12";
    ctx.company.postcode2 = "ALCODA";
    ctx.company.id1 = "IT00ABC12345X";
    const double today = todayDayNumber();
    const int year = yearOf(today);
    ctx.flowYear = std::to_string(year);
    const std::string rejected = flowFileName("AB12", 1, today), waiting = flowFileName("AB12", 2, today);

    // Flow 1: records 1 and 2, sent for real and rejected for line 4 (record 2).
    // Flow 2: record 3, signed and never sent.
    std::vector<Movement> records = {unload(1, 100), unload(2, 250), unload(3, 300)};
    const FlowCompany company = FlowCompany::of(ctx.company);
    writeWholeFile(sign / rejected, flowFileBytes(company, rejected, {records[0], records[1]}));
    writeWholeFile(sign / waiting, flowFileBytes(company, waiting, {records[2]}));
    writeWholeFile(signedDir / (rejected + ".p7m"), "firmato");
    writeWholeFile(signedDir / (waiting + ".p7m"), "firmato");
    std::string stored;
    for (std::size_t i = 0; i < records.size(); ++i) {
        records[i].DATFLU = today;
        records[i].NUMFLU = i < 2 ? 1 : 2;
        stored += encodeMovement(records[i]);
    }
    writeWholeFile(work.folders.registerFile(year), stored);
    appendSentFlowEvent(work.folders, {rejected, today, "INVIO", 'R', "20260101 120000", "reale.example:443"},
                        prompt);
    appendSentFlowEvent(work.folders,
                        {rejected, today, "ESITO", 'R', "20260101 120100", "000000000000777 ESITO NEGATIVO - SCARTATO"},
                        prompt);
    writeWholeFile(work.folders.inTemp(outcomeFileName(rejected + ".p7m")),
                   "AB12ALCODA0315     ITAB12X 0000000000007771 FLUSSO SCARTATO: 1 ERRORE\r\n"
                   " Eriga 4: quantita' non valida\r\n");

    FlowHistoryDialog dialog(ctx, prompt, services, agency);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QTableView* list = dialog.list();
    ASSERT_EQ(QApplication::focusWidget(), list);
    ASSERT_EQ(list->model()->rowCount(), 2);
    EXPECT_EQ(list->model()->index(0, 0).data().toString().toStdString(), rejected);
    EXPECT_EQ(list->model()->index(0, 10).data().toString().toStdString(), "ESITO NEGATIVO - SCARTATO");
    EXPECT_EQ(list->model()->index(1, 8).data().toString().toStdString(), "NO");

    // Enter on the rejected flow: its report, and the record its error line names.
    QTest::keyClick(list, Qt::Key_Return);
    auto* details = dialog.findChild<QPlainTextEdit*>(QStringLiteral("RDETTAGLI"));
    ASSERT_NE(details, nullptr);
    const std::string text = details->toPlainText().toStdString();
    EXPECT_NE(text.find("E riga 4: quantita' non valida\n    -> " + reactivationListLine(records[1], false)),
              std::string::npos)
        << text;
    if (const char* shots = std::getenv("ACCISE_SCREENSHOTS"))
        dialog.grab().save(QString::fromLocal8Bit(shots) + QStringLiteral("/flussi-trasmessi.png"));

    // Down, then I: the signed flow goes to the transmission window.
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_I);
    EXPECT_EQ(services.openedWindows, std::vector<std::string>{kTransmissionWindow});
    EXPECT_EQ(ctx.flowFileName, waiting);
    // E on a flow never sent asks nothing of the agency.
    QTest::keyClick(list, Qt::Key_E);
    EXPECT_EQ(prompt.messages.back(), kFlowNeverSent);
    EXPECT_EQ(agency.calls, 0);

    // Alt+A: the year; last year has no flows, and R then has no row to act on.
    QTest::keyClick(&dialog, Qt::Key_A, Qt::AltModifier);
    auto* yearEdit = dialog.findChild<QLineEdit*>(QStringLiteral("LANNO"));
    ASSERT_EQ(QApplication::focusWidget(), yearEdit);
    yearEdit->selectAll();
    QTest::keyClicks(yearEdit, QString::number(year - 1));
    QTest::keyClick(yearEdit, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), list);
    EXPECT_EQ(list->model()->rowCount(), 0);
    QTest::keyClick(list, Qt::Key_R);
    EXPECT_EQ(prompt.messages.back(), kNoFlowChosen);
    EXPECT_EQ(services.openedWindows.size(), 1u);
}

} // namespace
} // namespace accise
