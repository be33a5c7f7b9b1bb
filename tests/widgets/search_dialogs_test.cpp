// The search windows on screen: the masked dates typed into the real widgets, the
// confirm button's checks sending the cursor back, the file label and the file
// button, the kind's radio group, and the report handed to the preview.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "core/files/recordfile.h"
#include "core/records/movement.h"
#include "core/tables/dates.h"
#include "logic/window_fixtures.h"
#include "qt/reportwindows/searchdialogs.h"

namespace accise {
namespace {

using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

struct SearchDialogs : ::testing::Test {
    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;

    void show(QDialog& dialog) {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    // Types into a masked field from its first position.
    static void typeInto(QLineEdit* field, const QString& text) {
        field->setFocus();
        field->home(false);
        field->end(true);
        QTest::keyClick(field, Qt::Key_Backspace);
        field->home(false);
        QTest::keyClicks(field, text);
    }
};

TEST_F(SearchDialogs, RegisterSearchChecksShowsTheFileLabelAndRuns) {
    ctx.mode = 'c';
    Movement sent = blankMovement();
    sent.TIPREC = "C";
    sent.TIPOPE = "I";
    sent.TIPMOV = "C";
    sent.DATMOV = dayNumber(2025, 12, 30);
    sent.DATFLU = dayNumber(2026, 1, 5);
    sent.NUMFLU = 1;
    writeWholeFile(work.folders.registerFile(2025), encodeMovement(sent));

    RegisterSearchDialog dialog(ctx, prompt, services);
    show(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Ricerca movimenti di carico inviati");
    auto* from = dialog.findChild<QLineEdit*>("MDADA");
    auto* to = dialog.findChild<QLineEdit*>("MDAAL");
    auto* open = dialog.findChild<QPushButton*>("BAPRI");
    auto* label = dialog.findChild<QLabel*>("lfile");
    ASSERT_TRUE(from && to && open && label);
    EXPECT_EQ(QApplication::focusWidget(), from);
    EXPECT_FALSE(open->isVisible());
    // The code's three-line hint, then the lookup key.
    EXPECT_EQ(dialog.findChild<QLineEdit*>("MITDES")->toolTip().count('\n'), 3);
    EXPECT_TRUE(dialog.findChild<QLineEdit*>("MITDES")->toolTip().endsWith(QStringLiteral("mostra l'archivio")));

    typeInto(from, "01012025");
    typeInto(to, "31121999"); // a year out of range: back to "Alla data", nothing runs
    dialog.confirmButton()->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), to);
    EXPECT_TRUE(label->text().isEmpty());

    // A search over January 2026 of the flows: the December load sent on 5 January is
    // found because the range of years takes in its register file.
    typeInto(from, "01122025");
    typeInto(to, "31012026");
    dialog.confirmButton()->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(label->text().toStdString(),
              "Ricerca salvata in: " + (work.folders.temp / "RICERCA_C.CSV").string());
    EXPECT_FALSE(open->isVisible());
    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);
    EXPECT_TRUE(open->isVisible());
    ASSERT_EQ(services.reports.size(), 1u);
    EXPECT_EQ(dialog.form().listed(), 1u);
    EXPECT_EQ(QApplication::focusWidget(), from);

    QTest::mouseClick(open, Qt::LeftButton);
    EXPECT_EQ(services.openedFiles.size(), 1u);
    dialog.reject();
}

TEST_F(SearchDialogs, DutySearchRadioGroupChoosesTheKindsExport) {
    ctx.mode = 'T';
    DutySearchDialog dialog(ctx, prompt, services, 1);
    show(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Ricerca nei registri tributi");
    const auto radios = dialog.findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), 3);
    EXPECT_TRUE(radios[1]->isChecked());
    EXPECT_EQ(radios[2]->text(), "Registro ravvedimenti");
    auto* from = dialog.findChild<QLineEdit*>("MDADA");
    auto* to = dialog.findChild<QLineEdit*>("MDAAL");
    EXPECT_EQ(QApplication::focusWidget(), from);

    typeInto(to, "23"); // beyond the last period
    dialog.confirmButton()->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), to);
    EXPECT_TRUE(services.reports.empty());

    // A click on the button itself (a radio button takes clicks on its circle and text).
    QTest::mouseClick(radios[2], Qt::LeftButton, {}, QPoint(5, radios[2]->height() / 2));
    EXPECT_TRUE(radios[2]->isChecked());
    typeInto(from, "012025");
    typeInto(to, "22");
    dialog.confirmButton()->setFocus();
    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);
    ASSERT_EQ(services.reports.size(), 1u);
    EXPECT_TRUE(fileExists(work.folders.inTemp("RICERCA_R.CSV")));
    EXPECT_EQ(dialog.form().kindChoice(), 2);
    EXPECT_TRUE(dialog.findChild<QPushButton*>("BAPRI")->isVisible());
    dialog.reject();
}

TEST_F(SearchDialogs, StockSearchRefusesAnEndBeforeTheStart) {
    StockSearchDialog dialog(ctx, prompt, services, "01/01/2009");
    show(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Ricerca giacenze iniziali");
    auto* from = dialog.findChild<QLineEdit*>("MDADA");
    auto* to = dialog.findChild<QLineEdit*>("MDAAL");
    EXPECT_EQ(from->text(), "01/01/2009");
    EXPECT_EQ(to->text().toStdString(), formatDate(todayDayNumber()));
    typeInto(from, "01012025");
    typeInto(to, "31122024");
    dialog.confirmButton()->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), to);
    typeInto(to, "31122025");
    dialog.confirmButton()->setFocus();
    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);
    EXPECT_EQ(services.reports.size(), 1u);
    EXPECT_EQ(QApplication::focusWidget(), from);
    EXPECT_EQ(to->text().toStdString(), formatDate(todayDayNumber()));
    dialog.reject();
}

} // namespace
} // namespace accise
