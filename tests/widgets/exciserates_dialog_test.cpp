// The excise rates window typed into as a clerk would: a new rate for Italy with its
// chapter, loaded again by its date and country, deleted; a rate of zero refused.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "core/files/recordfile.h"
#include "core/tables/codetables.h"
#include "core/tables/company.h"
#include "core/tables/dates.h"
#include "logic/window_fixtures.h"
#include "qt/codetables/exciseratesdialog.h"

namespace accise {
namespace {

using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

class ExciseRatesDialogTest : public ::testing::Test {
protected:
    ExciseRatesDialogTest() {
        TableRecord structure = blankTable();
        structure.number = 1;
        structure.extra[0] = "ACCISE";
        writeWholeFile(work.folders.structure("ACCISE"), encodeTable(structure));
        structure.extra[0] = "T004";
        writeWholeFile(work.folders.structure("T004"), encodeTable(structure));
        writeWholeFile(work.folders.table("T004"), encodeTable(testing::tableRow(1, "DE", "GERMANIA")) +
                                                       encodeTable(testing::tableRow(2, "IT", "ITALIA")));
        writeWebConfig(work.folders, {"", "", "https://aliquote.example", "", "", "", "", ""});
    }

    void show(EntryDialog& dialog) {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    template <typename W = QWidget>
    static W* child(QWidget& dialog, const char* name) {
        return dialog.findChild<W*>(QString::fromLatin1(name));
    }
    static QWidget* focus() { return QApplication::focusWidget(); }
    static void typeAndEnter(const QString& text) {
        if (!text.isEmpty()) QTest::keyClicks(focus(), text);
        QTest::keyClick(focus(), Qt::Key_Return);
    }
    static bool shown(QWidget& dialog, const char* name) { return !child(dialog, name)->isHidden(); }

    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
};

TEST_F(ExciseRatesDialogTest, RateForItalyTypedThenLoadedAndDeleted) {
    ExciseRatesDialog dialog(ctx, prompt, services);
    show(dialog);
    ASSERT_EQ(focus(), child(dialog, "R10"));
    EXPECT_EQ(child<QPushButton>(dialog, "BWEB")->text(), "https://aliquote.example");
    EXPECT_FALSE(shown(dialog, "LE1"));
    EXPECT_TRUE(shown(dialog, "BELENCA"));
    EXPECT_FALSE(shown(dialog, "LMODCANC"));
    EXPECT_FALSE(shown(dialog, "BCANCELLA"));

    child<QLineEdit>(dialog, "R10")->selectAll();
    typeAndEnter("01012014");
    ASSERT_EQ(focus(), child(dialog, "Le0")); // no country yet
    EXPECT_EQ(child<QLineEdit>(dialog, "DLE0")->text(), "CODICE NAZIONE SCONOSCIUTO");
    QTest::keyClicks(focus(), "it");
    EXPECT_EQ(child<QLineEdit>(dialog, "Le0")->text(), "IT");
    EXPECT_TRUE(shown(dialog, "LE1")); // the chapter of Italy
    typeAndEnter("");
    ASSERT_EQ(focus(), child(dialog, "LE1"));
    EXPECT_EQ(child<QLineEdit>(dialog, "LE1")->text(), "1402");
    EXPECT_EQ(child<QLineEdit>(dialog, "DLE0")->text(), "ITALIA");
    typeAndEnter("");
    ASSERT_EQ(focus(), child(dialog, "R11"));
    typeAndEnter("2,7");
    ASSERT_EQ(focus(), dialog.confirmButton());
    QTest::keyClick(dialog.confirmButton(), Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(focus(), child(dialog, "R10"));
    EXPECT_TRUE(prompt.messages.empty());
    auto rows = readTable(work.folders.table("ACCISE"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].col[0], "IT");
    EXPECT_EQ(rows[0].col[1], "1402");
    EXPECT_EQ(rows[0].nums[0], dayNumber(2014, 1, 1));
    EXPECT_EQ(rows[0].nums[1], 2.7);

    // The date stays; typing the country again loads the row.
    EXPECT_EQ(child<QLineEdit>(dialog, "R10")->text(), "01/01/2014");
    EXPECT_FALSE(shown(dialog, "LE1"));
    typeAndEnter("");
    typeAndEnter("IT");
    EXPECT_EQ(child<QLineEdit>(dialog, "R11")->text(), "2,70");
    EXPECT_TRUE(shown(dialog, "LMODCANC"));
    EXPECT_TRUE(shown(dialog, "BCANCELLA"));
    EXPECT_FALSE(shown(dialog, "BELENCA"));
    prompt.answers = {true}; // "CONFERMI LA CANCELLAZIONE ?": Yes
    QTest::mouseClick(child<QPushButton>(dialog, "BCANCELLA"), Qt::LeftButton);
    EXPECT_TRUE(readTable(work.folders.table("ACCISE")).empty());
    EXPECT_FALSE(shown(dialog, "LMODCANC"));
    EXPECT_EQ(child<QLineEdit>(dialog, "R11")->text(), "");

    QTest::mouseClick(child<QPushButton>(dialog, "BWEB"), Qt::LeftButton);
    EXPECT_EQ(services.openedAddresses, std::vector<std::string>{"https://aliquote.example"});
}

TEST_F(ExciseRatesDialogTest, ARateOfZeroIsRefusedWithTheCursorOnIt) {
    ExciseRatesDialog dialog(ctx, prompt, services);
    show(dialog);
    child<QLineEdit>(dialog, "R10")->selectAll();
    typeAndEnter("01012014");
    typeAndEnter("DE");
    ASSERT_EQ(focus(), child(dialog, "R11")); // no chapter for Germany
    QTest::keyClicks(focus(), "0");
    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"DIGITARE UN IMPORTO DELL'ACCISA DI ALMENO 0,00001"});
    EXPECT_EQ(focus(), child(dialog, "R11"));
    EXPECT_TRUE(readTable(work.folders.table("ACCISE")).empty());
}

} // namespace
} // namespace accise
