// A save is confirmed: after "&CONFERMA" the movement window's save line says which
// record was written and keeps it while the form waits for the next movement; the
// excise summary closes and the main window's status bar says what it saved.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <map>

#include "core/books/movementfile.h"
#include "logic/window_fixtures.h"
#include "movement_fixture.h"
#include "qt/duty/dutydialogs.h"
#include "qt/movements/movemententrydialog.h"
#include "qt/shell/mainwindow.h"
#include "register_builder.h"

namespace accise {
namespace {

using namespace accise::testing;

class SaveLineTest : public ::testing::Test {
protected:
    void show(QDialog& dialog) {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    // Types each value into the field that has the cursor, Enter after each, until the
    // cursor reaches the confirm button.
    void typeUntilConfirm(EntryDialog& dialog, const std::map<std::string, QString>& values) {
        for (int step = 0; step < 80 && QApplication::focusWidget() != dialog.confirmButton(); ++step) {
            QWidget* widget = QApplication::focusWidget();
            ASSERT_NE(widget, nullptr);
            const auto it = values.find(widget->objectName().toStdString());
            if (auto* line = qobject_cast<QLineEdit*>(widget); it != values.end() && line) {
                if (!line->inputMask().isEmpty()) {
                    line->setText(it->second);
                } else {
                    line->selectAll();
                    QTest::keyClicks(line, it->second);
                }
            }
            QTest::keyClick(widget, Qt::Key_Return);
        }
        ASSERT_EQ(QApplication::focusWidget(), dialog.confirmButton()) << prompt.messages.size();
    }
    static QString saveLine(EntryDialog& dialog) {
        auto* line = dialog.findChild<QLabel*>(QStringLiteral("LSALVATAGGIO"));
        return line ? line->text() : QStringLiteral("<no save line>");
    }

    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
    WindowRegistry registry;
    std::vector<std::string> announced;
};

TEST_F(SaveLineTest, MovementWindowSaysWhichRecordItWroteAndKeepsItForTheNext) {
    writeBrewery(work.folders, prompt);
    prompt.messages.clear();
    ctx.saveAnnounced = [this](const std::string& text) { announced.push_back(text); };
    MovementEntryDialog dialog(ctx, prompt, services, registry);
    show(dialog);
    EXPECT_EQ(saveLine(dialog), ""); // nothing saved yet
    EXPECT_TRUE(dialog.findChild<QLabel*>(QStringLiteral("LSALVATAGGIO"))->isVisible());

    // 1 200 kg of malt loaded.
    typeUntilConfirm(dialog, {{"TIPMOV", "C"},
                              {"DATMOV", "05/03/2024"},
                              {"TIPDOC", "DDT"},
                              {"DATDOC", "04/03/2024"},
                              {"NUMDOC", "DDT 55"},
                              {"PRODDO", "M000-11071099-00-0000"},
                              {"TIPSTO", "S"},
                              {"CAUMOV", "105"},
                              {"DOUBL1_3", "1200"},
                              {"MITDES", kSupplierExcise}});
    QTest::keyClick(dialog.confirmButton(), Qt::Key_Space);
    ASSERT_TRUE(prompt.messages.empty()) << prompt.messages.front();
    const auto first = readMovements(work.folders.registerFile(2024));
    ASSERT_EQ(first.size(), 1u);
    const QString loadLine = QString("Movimento n. %1 registrato (Carico, 1.200 kg)").arg(first[0].NUMREC);
    EXPECT_EQ(saveLine(dialog), loadLine);
    // The form is empty for the next movement; the line stays while it is typed.
    EXPECT_EQ(qobject_cast<QLineEdit*>(dialog.control("TIPMOV"))->text(), "");
    QTest::keyClicks(dialog.control("TIPMOV"), "S");
    EXPECT_EQ(saveLine(dialog), loadLine);

    // 1 000 l at 12 degrees Plato released for consumption: 120 hl-degrees, excise 358,80.
    typeUntilConfirm(dialog, {{"TIPMOV", "S"},
                              {"TIPDOC", "DAS"},
                              {"NUMDOC", "F-9"},
                              {"PRODDO", "B000-22030010-00-0000"},
                              {"TIPSTO", "S"},
                              {"DOUBL5", "12"},
                              {"CAUMOV", "071"},
                              {"DOUBL1_3", "1000"},
                              {"POSFIS", "001"},
                              {"MITDES", kClientExcise}});
    EXPECT_EQ(saveLine(dialog), loadLine); // reaching the button saves nothing yet
    QTest::keyClick(dialog.confirmButton(), Qt::Key_Space);
    ASSERT_TRUE(prompt.messages.empty()) << prompt.messages.front();
    const auto both = readMovements(work.folders.registerFile(2024));
    ASSERT_EQ(both.size(), 2u);
    const QString unloadLine =
        QString("Movimento n. %1 registrato (Scarico, 1.000 l, accisa 358,80)").arg(both[1].NUMREC);
    EXPECT_EQ(saveLine(dialog), unloadLine);
    EXPECT_EQ(announced, (std::vector<std::string>{loadLine.toStdString(), unloadLine.toStdString()}));
    dialog.reject();
}

TEST_F(SaveLineTest, ExciseSummaryClosesAndTheMainWindowSaysWhatItSaved) {
    writeOfficeTable(work.folders);
    ctx.company.office = "IT012000";
    ctx.mode = 'I';
    MainWindow main(ctx, prompt, registry);
    EXPECT_EQ(main.savedText(), "");
    ExciseSummaryPeriodDialog dialog(ctx, prompt, services);
    show(dialog);
    auto* year = dialog.findChild<QLineEdit*>(QStringLiteral("ANNPRO"));
    year->selectAll();
    QTest::keyClicks(year, "2014");
    // May 2014: excise 200, credits 50, no reversals: 150 to pay.
    typeUntilConfirm(dialog, {{"CODPAE", "05"}, {"DOUBL1", "200"}, {"DOUBL2", "50"}, {"DOUBL3", "0"}});
    QTest::keyClick(dialog.confirmButton(), Qt::Key_Space);
    ASSERT_TRUE(prompt.messages.empty()) << prompt.messages.front();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(main.savedText(), "Riepilogo accisa periodo 05/2014 registrato (da versare 150,00)");
}

} // namespace
} // namespace accise
