// The duty-record windows typed into as a clerk would: a credit entered field by
// field, an excise summary whose negative total keeps what was typed, the voluntary
// correction under the registered consignee's profile, and a guarantee correction.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "core/books/movementfile.h"
#include "core/tables/dates.h"
#include "logic/window_fixtures.h"
#include "qt/duty/dutydialogs.h"
#include "register_builder.h"

namespace accise {
namespace {

using namespace accise::testing;

const std::string kYear = std::to_string(yearOf(todayDayNumber()));

class DutyDialogTest : public ::testing::Test {
protected:
    DutyDialogTest() {
        writeOfficeTable(work.folders);
        ctx.company.office = "IT012000";
    }

    void show(EntryDialog& dialog) {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    template <typename W = QLineEdit>
    static W* child(QWidget& dialog, const char* name) {
        return dialog.findChild<W*>(QString::fromLatin1(name));
    }
    static QWidget* focus() { return QApplication::focusWidget(); }
    static void typeAndEnter(const QString& text) {
        if (!text.isEmpty()) QTest::keyClicks(focus(), text);
        QTest::keyClick(focus(), Qt::Key_Return);
    }
    std::vector<Movement> records(const fs::path& file) const {
        auto all = readMovements(file);
        for (auto& m : all) trimMovement(m);
        return all;
    }

    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
};

TEST_F(DutyDialogTest, CreditTypedFieldByField) {
    ctx.mode = 'I';
    CreditsDialog dialog(ctx, prompt, services);
    show(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Inserisce crediti e riaccrediti");
    ASSERT_EQ(focus(), child(dialog, "ANNPRO"));
    EXPECT_EQ(child(dialog, "ANNPRO")->text().toStdString(), kYear);
    EXPECT_EQ(child(dialog, "DUFFDOG")->text(), "UFFICIO DELLE DOGANE DI MILANO 2");
    typeAndEnter("");
    ASSERT_EQ(focus(), child(dialog, "CODPAE"));
    typeAndEnter("12");
    ASSERT_EQ(focus(), child(dialog, "CODPAE")); // refused
    child(dialog, "CODPAE")->selectAll();
    typeAndEnter("3");
    ASSERT_EQ(focus(), child(dialog, "PROTOC"));
    EXPECT_EQ(child(dialog, "CODPAE")->text(), "03");
    EXPECT_EQ(child(dialog, "DCODPAE")->text().toStdString(), "Marzo - " + kYear);
    typeAndEnter("PR/7");
    ASSERT_EQ(focus(), child(dialog, "DATMOV"));
    child(dialog, "DATMOV")->selectAll();
    typeAndEnter("15032014");
    ASSERT_EQ(focus(), child(dialog, "CODUFF"));
    typeAndEnter("");
    ASSERT_EQ(focus(), child(dialog, "MITDES"));
    typeAndEnter("14ab");
    EXPECT_EQ(child(dialog, "MITDES")->text(), "14AB");
    ASSERT_EQ(focus(), child(dialog, "DOUBL1"));
    typeAndEnter("1234,5");
    EXPECT_EQ(child(dialog, "DOUBL1")->text(), "1.234,5");
    typeAndEnter("100");
    ASSERT_EQ(focus(), child(dialog, "ANNOTA"));
    QTest::keyClicks(focus(), "marzo");
    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(prompt.messages.empty());

    const auto all = records(work.folders.dutyFile(std::stoi(kYear)));
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].TIPREC, "D");
    EXPECT_EQ(all[0].CODPAE, "03");
    EXPECT_EQ(all[0].NUMPRO, "PR/7");
    EXPECT_EQ(formatDate(all[0].DATMOV), "15/03/2014");
    EXPECT_EQ(all[0].UFFDOG, "IT012000");
    EXPECT_EQ(all[0].MITDES, "14AB");
    EXPECT_DOUBLE_EQ(all[0].QTAKG, 1234.5);
    EXPECT_DOUBLE_EQ(all[0].ETTOGR, 100);
    EXPECT_EQ(all[0].ANNOTA, "marzo");
}

TEST_F(DutyDialogTest, NegativeSummaryTotalKeepsWhatWasTyped) {
    ctx.mode = 'I';
    ExciseSummaryPeriodDialog dialog(ctx, prompt, services);
    // Each message is a real window over the dialog: closing it gives the focus back.
    prompt.onInformation = [&](int) {
        {
            QDialog box(&dialog);
            box.show();
            QApplication::setActiveWindow(&box);
            EXPECT_TRUE(QTest::qWaitForWindowActive(&box));
        }
        QApplication::setActiveWindow(&dialog);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    };
    show(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Riepilogo accisa");
    child(dialog, "ANNPRO")->selectAll();
    typeAndEnter("2014");
    ASSERT_EQ(focus(), child(dialog, "CODPAE"));
    EXPECT_EQ(child(dialog, "CODPAE")->text(), "01"); // the first period of the year
    child(dialog, "CODPAE")->selectAll();
    typeAndEnter("05");
    EXPECT_EQ(child(dialog, "DCODPAE")->text(), "Maggio - 2014");
    ASSERT_EQ(focus(), child(dialog, "MITDES"));
    typeAndEnter("");
    child(dialog, "DOUBL1")->selectAll();
    typeAndEnter("100");
    child(dialog, "DOUBL2")->selectAll();
    typeAndEnter("150");
    typeAndEnter(""); // the reversals as proposed; the total is not in the tab order
    ASSERT_EQ(focus(), child(dialog, "ANNOTA"));
    QTest::qWait(20); // entering the notes computes the total
    // One message: the focus coming back to the notes after it computes nothing again.
    EXPECT_EQ(prompt.messages, std::vector<std::string>{duty::kNegativeAmount});
    EXPECT_EQ(dialog.focusWidget(), child(dialog, "DOUBL1"));
    EXPECT_EQ(child(dialog, "DOUBL4")->text(), "-50,00");
    EXPECT_EQ(child(dialog, "DOUBL1")->text(), "100");
    EXPECT_EQ(child(dialog, "DOUBL2")->text(), "150");
    EXPECT_EQ(child(dialog, "CODPAE")->text(), "05");
    EXPECT_TRUE(child(dialog, "DOUBL4")->isReadOnly());
}

TEST_F(DutyDialogTest, VoluntaryCorrectionOfTheConsigneeIsNamedByItsDate) {
    ctx.mode = 'I';
    ctx.alcopp = true;
    VoluntaryCorrectionDialog dialog(ctx, prompt, services);
    show(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Ravvedimento");
    ASSERT_EQ(focus(), child(dialog, "DATMOV"));
    EXPECT_TRUE(child(dialog, "ANNPRO")->isHidden());
    EXPECT_TRUE(child(dialog, "CODPAE")->isHidden());
    EXPECT_FALSE(child<QLabel>(dialog, "LDATA")->isHidden());
    child(dialog, "DATMOV")->selectAll();
    typeAndEnter("09032015");
    ASSERT_EQ(focus(), child(dialog, "MITDES"));
    typeAndEnter("");
    typeAndEnter("10");
    for (int i = 0; i < 4; ++i) typeAndEnter("");
    ASSERT_EQ(focus(), child(dialog, "INTER1"));
    QTest::keyClicks(focus(), "5-");
    EXPECT_EQ(child(dialog, "INTER1")->text(), "5"); // "-" only first
    child(dialog, "INTER1")->clear();
    typeAndEnter("-5");
    typeAndEnter("");
    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    const auto all = records(work.folders.dutyFile(2015));
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].TIPREC, "R");
    EXPECT_EQ(all[0].ANNPRO, "2015");
    EXPECT_EQ(all[0].CODPAE, "");
    EXPECT_EQ(formatDate(all[0].DATMOV), "09/03/2015");
    EXPECT_DOUBLE_EQ(all[0].QTAKG, 10);
    EXPECT_EQ(all[0].CONTIN, -5);
}

TEST_F(DutyDialogTest, GuaranteeCorrectionChangesOnlyTheNotes) {
    Movement sent = dutyRecord("F", "", "");
    sent.DATMOV = dayNumber(2014, 7, 3);
    sent.QTAKG = 70;
    sent.NUMFLU = 2;
    addDutyRecord(work.folders.guaranteeFile(2014), sent);
    ctx.mode = 'T';
    ctx.workingYear = "2014";
    ctx.chosenRecord = 1;

    GuaranteeDialog dialog(ctx, prompt, services);
    show(dialog);
    EXPECT_EQ(dialog.windowTitle(), "RETTIFICA: cancella garanzia inviata");
    ASSERT_EQ(focus(), child(dialog, "ANNOTA"));
    EXPECT_EQ(child(dialog, "DATMOV")->text(), "03/07/2014");
    EXPECT_EQ(child(dialog, "DOUBL1")->text(), "70,00");
    EXPECT_TRUE(child(dialog, "DATMOV")->isReadOnly());
    EXPECT_TRUE(child(dialog, "DOUBL1")->isReadOnly());
    EXPECT_FALSE(child(dialog, "ANNOTA")->isReadOnly());

    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{duty::kNoteRequired});
    EXPECT_TRUE(dialog.isVisible());
    QTest::keyClicks(child(dialog, "ANNOTA"), "importo errato");
    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    const auto all = records(work.folders.guaranteeFile(2014));
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].STATO, "C");
    EXPECT_EQ(all[1].TIPOPE, "C");
    EXPECT_EQ(all[1].NUMRIF, 1);
    EXPECT_EQ(all[1].ANNOTA, "importo errato");
}

} // namespace
} // namespace accise
