// The brew window typed into as a clerk would: the date, the document, the raw
// material in the grid, the litres and degree, the counter; confirmed and reset.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "core/books/movementfile.h"
#include "logic/window_fixtures.h"
#include "movement_fixture.h"
#include "qt/movements/brewdialog.h"

namespace accise {
namespace {

using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

QString textOf(BrewDialog& dialog, const char* control) {
    return qobject_cast<QLineEdit*>(dialog.control(control))->text();
}

// Types into the widget that has the cursor, then Enter.
void typeHere(const QString& text) {
    QWidget* widget = QApplication::focusWidget();
    ASSERT_NE(widget, nullptr);
    if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        line->selectAll();
        if (!line->inputMask().isEmpty()) line->home(false);
    }
    QTest::keyClicks(widget, text);
    QTest::keyClick(widget, Qt::Key_Return);
}

TEST(BrewDialogTest, ABrewTypedIntoTheWindowIsSavedAndTheWindowResets) {
    WorkingFolder work;
    RecordingPrompt prompt;
    FakeServices services;
    testing::writeBrewery(work.folders, prompt);
    CommandContext ctx = work.context();
    BrewDialog dialog(ctx, prompt, services);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    ASSERT_EQ(QApplication::focusWidget(), dialog.control("DATMOV"));
    EXPECT_FALSE(dialog.control("LITRI010")->isVisible()); // no split for this operator
    prompt.messages.clear(); // today has no in-process register

    typeHere("05032024");
    ASSERT_EQ(QApplication::focusWidget(), dialog.control("NUMDOC"));
    ASSERT_EQ(dialog.grid()->rowCount(), 1);
    EXPECT_EQ(dialog.grid()->item(0, 1)->text(), "M000-11071099-00-0000");
    EXPECT_EQ(dialog.grid()->item(0, 3)->text(), " 5.000");
    EXPECT_EQ(dialog.labelOf("LPROTOCOLLO")->text(), "protocollo: LAV1/2024 prodotto: B000-22030000-00-0000");
    typeHere("VIA 7");
    ASSERT_EQ(QApplication::focusWidget(), dialog.grid());
    typeHere("12x00"); // the letter is dropped
    EXPECT_EQ(dialog.grid()->item(0, 4)->text(), "1200,00000");
    ASSERT_EQ(QApplication::focusWidget(), dialog.control("DOUBL1_3")); // from the last row
    typeHere("1000");
    typeHere("12");
    EXPECT_EQ(textOf(dialog, "DOUBL2"), "120,00000");
    EXPECT_EQ(textOf(dialog, "DOUBL7"), "358,80");
    ASSERT_EQ(QApplication::focusWidget(), dialog.control("INTER1"));
    typeHere("120000");
    EXPECT_EQ(textOf(dialog, "INTER2"), "121000");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // INTER2 as proposed
    typeHere("Bionda");
    ASSERT_EQ(QApplication::focusWidget(), dialog.confirmButton());
    EXPECT_TRUE(prompt.messages.empty()) << prompt.messages.front();

    QTest::keyClick(dialog.confirmButton(), Qt::Key_Space);
    EXPECT_TRUE(prompt.messages.empty()) << prompt.messages.front();
    const auto records = readMovements(work.folders.registerFile(2024));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].TIPMOV + records[0].TIPREG, "CL");
    EXPECT_DOUBLE_EQ(records[0].QTALIT, 1000);
    EXPECT_EQ(records[1].TIPMOV + records[1].TIPREG, "SM");
    EXPECT_DOUBLE_EQ(records[1].QTAKG, 1200);
    // Reset for the next brew of the same day.
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), dialog.control("DATMOV"));
    EXPECT_EQ(textOf(dialog, "DATMOV"), "05/03/2024");
    EXPECT_EQ(textOf(dialog, "NUMDOC"), "");
    EXPECT_EQ(dialog.grid()->item(0, 3)->text(), " 3.800");
    EXPECT_EQ(dialog.grid()->item(0, 4)->text(), "");
}

// Back on the date with the grid filled, a new date asks before it empties the grid:
// Enter on the question keeps the old date and what was typed (No is the default).
TEST(BrewDialogTest, ANewDateAsksBeforeItEmptiesTheGrid) {
    WorkingFolder work;
    RecordingPrompt prompt;
    FakeServices services;
    testing::writeBrewery(work.folders, prompt);
    CommandContext ctx = work.context();
    BrewDialog dialog(ctx, prompt, services);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    prompt.messages.clear();
    typeHere("05032024");
    typeHere("VIA 7");
    typeHere("1200");
    typeHere("1000");
    typeHere("12");
    ASSERT_EQ(QApplication::focusWidget(), dialog.control("INTER1"));
    dialog.control("DATMOV")->setFocus(); // back on the date (as with a click)
    ASSERT_EQ(QApplication::focusWidget(), dialog.control("DATMOV"));

    typeHere("06032024"); // answered No
    EXPECT_EQ(prompt.questions, std::vector<std::string>{brew::kDataWillBeLost});
    EXPECT_EQ(QApplication::focusWidget(), dialog.control("DATMOV"));
    EXPECT_EQ(textOf(dialog, "DATMOV"), "05/03/2024");
    EXPECT_EQ(dialog.grid()->item(0, 4)->text(), "1200,00000");

    prompt.answers = {true};
    typeHere("06032024");
    EXPECT_EQ(textOf(dialog, "DATMOV"), "06/03/2024");
    EXPECT_EQ(dialog.grid()->item(0, 4)->text(), "");
    EXPECT_EQ(QApplication::focusWidget(), dialog.control("NUMDOC"));
    EXPECT_TRUE(readMovements(work.folders.registerFile(2024)).empty());
}

} // namespace
} // namespace accise
