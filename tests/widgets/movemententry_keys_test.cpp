// The movement window from the keyboard: the lookup keys of its coded fields, the
// cursor and the description after a code chosen from a list, the question before
// typed values are abandoned, the refusals that say why, and a layout that never moves.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <map>

#include "core/books/movementfile.h"
#include "core/files/text1252.h"
#include "core/tables/codetables.h"
#include "logic/window_fixtures.h"
#include "movement_fixture.h"
#include "qt/movements/movemententrydialog.h"

namespace accise {
namespace {

using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

constexpr const char* kKeg = "B000-22030010-00-0000"; // bulk beer of register FS1

class MovementKeysTest : public ::testing::Test {
protected:
    MovementKeysTest() {
        testing::writeBrewery(work.folders, prompt);
        prompt.messages.clear();
    }
    void show() {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    QLineEdit* line(const char* name) const { return qobject_cast<QLineEdit*>(dialog.control(name)); }
    QWidget* focus() const { return QApplication::focusWidget(); }
    // Types into the field with the cursor and presses Enter, field after field, until
    // the cursor reaches `stop`.
    void typeUntil(const char* stop, const std::map<std::string, QString>& values) {
        QWidget* target = std::string(stop) == "BCONF" ? dialog.confirmButton() : dialog.control(stop);
        for (int step = 0; step < 40 && focus() != target; ++step) {
            auto* field = qobject_cast<QLineEdit*>(focus());
            ASSERT_NE(field, nullptr) << (focus() ? focus()->objectName().toStdString() : "no focus") << " "
                                      << (prompt.messages.empty() ? "" : prompt.messages.back());
            if (const auto it = values.find(field->objectName().toStdString()); it != values.end()) {
                if (!field->inputMask().isEmpty()) {
                    field->setText(it->second);
                    QTest::keyClick(field, Qt::Key_End); // a key typed: the open guard lets go
                } else {
                    field->selectAll();
                    QTest::keyClicks(field, it->second);
                }
            }
            QTest::keyClick(field, Qt::Key_Return);
        }
        ASSERT_EQ(focus(), target) << (focus() ? focus()->objectName().toStdString() : "");
    }
    std::int32_t ta20Number(const std::string& code) const {
        for (const TableRecord& row : readTable(work.folders.table("TA20")))
            if (trimmed(row.col[0]) == code) return row.number;
        return -1;
    }

    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
    WindowRegistry registry;
    MovementEntryDialog dialog{ctx, prompt, services, registry};
};

TEST_F(MovementKeysTest, F4AndAltDownOpenTheListsF2TheNewCodeEditorAndTheTooltipsSaySo) {
    show();
    // TIPMOV set without typing: the open guard stays, so moving between fields checks nothing.
    dialog.form().setValue("TIPMOV", "C");
    dialog.pushValues();
    struct Case {
        const char* field;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* lookupTable; // "" when the key opens no list
        const char* editorTable; // "" when the key opens no editor
    };
    const Case cases[] = {
        {"TIPDOC", Qt::Key_F4, Qt::NoModifier, "TA05C", ""},
        {"PRODDO", Qt::Key_Down, Qt::AltModifier, "TA20", ""},
        {"PRODAZ", Qt::Key_F4, Qt::NoModifier, "PRAZ", ""},
        {"POSFIS", Qt::Key_F4, Qt::NoModifier, "TA22", ""},
        {"MITDES", Qt::Key_F4, Qt::NoModifier, "INDIRIZZI_F", ""},
        {"CAUMOV", Qt::Key_F2, Qt::NoModifier, "", "TA21C"},
        {"CODPAE", Qt::Key_F2, Qt::NoModifier, "", "T004"},
        {"POSFIS", Qt::Key_F2, Qt::NoModifier, "", ""}, // the tax positions have no new-code button
        {"NUMDOC", Qt::Key_F4, Qt::NoModifier, "", ""}, // not a coded field
    };
    for (const Case& c : cases) {
        services.lookupTables.clear();
        services.editorTables.clear();
        dialog.focusControl(c.field);
        QTest::keyClick(focus(), c.key, c.modifiers);
        EXPECT_EQ(services.lookupTables, (*c.lookupTable ? std::vector<std::string>{c.lookupTable}
                                                           : std::vector<std::string>{}))
            << c.field;
        EXPECT_EQ(services.editorTables, (*c.editorTable ? std::vector<std::string>{c.editorTable}
                                                           : std::vector<std::string>{}))
            << c.field;
        // Nothing chosen: the cursor stays in the field.
        EXPECT_EQ(focus(), dialog.control(c.field)) << c.field;
    }
    EXPECT_TRUE(line("PRODDO")->toolTip().contains("F4")) << line("PRODDO")->toolTip().toStdString();
    EXPECT_FALSE(line("PRODDO")->toolTip().contains("F2"));
    EXPECT_TRUE(line("CAUMOV")->toolTip().contains("F2: Inserisce Nuovo Codice"));
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(MovementKeysTest, ACodeChosenFromTheListIsDescribedAtOnceAndTheCursorGoesToTheNextField) {
    show();
    typeUntil("PRODDO", {{"TIPMOV", "C"}, {"DATMOV", "05/03/2024"}, {"TIPDOC", "DDT"}, {"NUMDOC", "7"}});
    // F4 and a product chosen: described, and the cursor on the next field (TIPSTO),
    // never further.
    services.lookupAnswer = ta20Number(kKeg);
    ASSERT_GT(services.lookupAnswer, 0);
    QTest::keyClick(line("PRODDO"), Qt::Key_F4);
    EXPECT_EQ(line("PRODDO")->text(), kKeg);
    EXPECT_NE(line("DPRODDO")->text(), QString::fromUtf8(kInvalidCode));
    EXPECT_FALSE(line("DPRODDO")->text().isEmpty());
    EXPECT_EQ(focus(), dialog.control("TIPSTO"));
    EXPECT_TRUE(prompt.messages.empty()) << prompt.messages.front();

    // The same with the button: the "." beside CAUMOV fills it and moves on to the
    // next field shown (the quantity, for a bulk product).
    typeUntil("CAUMOV", {{"TIPSTO", "S"}});
    std::int32_t reason = -1;
    for (const TableRecord& row : readTable(work.folders.table("TA21C")))
        if (trimmed(row.col[0]) == "105") reason = row.number;
    services.lookupAnswer = reason;
    dialog.findChild<QPushButton*>("BCAUMOV")->click();
    EXPECT_EQ(line("CAUMOV")->text(), "105");
    EXPECT_FALSE(line("DCAUMOV")->text().isEmpty());
    EXPECT_EQ(focus(), dialog.control("DOUBL1_3"));

    // Typed by hand: the description follows the code as it changes, and an unfinished
    // code is no verdict yet (the box is empty, not "CODICE NON VALIDO").
    dialog.focusControl("CAUMOV");
    line("CAUMOV")->selectAll();
    QTest::keyClicks(line("CAUMOV"), "10");
    EXPECT_EQ(line("DCAUMOV")->text(), "");
    QTest::keyClicks(line("CAUMOV"), "5");
    EXPECT_FALSE(line("DCAUMOV")->text().isEmpty());
}

TEST_F(MovementKeysTest, EscOnTypedValuesAsksFirstAndNoKeepsThem) {
    // Nothing typed yet: Esc closes without a question.
    {
        MovementEntryDialog fresh(ctx, prompt, services, registry);
        fresh.show();
        QApplication::setActiveWindow(&fresh);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&fresh));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_FALSE(fresh.isVisible());
        EXPECT_TRUE(prompt.questions.empty());
    }
    show();
    typeUntil("TIPDOC", {{"TIPMOV", "C"}, {"DATMOV", "05/03/2024"}});
    QTest::keyClicks(line("TIPDOC"), "DD");
    prompt.answers = {false};
    QTest::keyClick(line("TIPDOC"), Qt::Key_Escape);
    EXPECT_EQ(prompt.questions, std::vector<std::string>{std::string(kAbandonTypedValues)});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(line("TIPDOC")->text(), "DD"); // nothing lost, the cursor where it was
    EXPECT_EQ(focus(), dialog.control("TIPDOC"));

    // "&Abbandona" asks the same; Yes closes.
    prompt.answers = {true};
    QTest::mouseClick(dialog.abandonButton(), Qt::LeftButton);
    EXPECT_EQ(prompt.questions.size(), 2u);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(readMovements(work.folders.registerFile(2024)).empty());
}

TEST_F(MovementKeysTest, AfterASavedMovementEscClosesWithoutAQuestion) {
    show();
    typeUntil("BCONF", {{"TIPMOV", "C"},
                        {"DATMOV", "05/03/2024"},
                        {"TIPDOC", "DDT"},
                        {"DATDOC", "04/03/2024"},
                        {"NUMDOC", "DDT 55"},
                        {"PRODDO", "M000-11071099-00-0000"},
                        {"TIPSTO", "S"},
                        {"CAUMOV", "105"},
                        {"DOUBL1_3", "1200"},
                        {"MITDES", testing::kSupplierExcise}});
    QTest::keyClick(dialog.confirmButton(), Qt::Key_Space);
    ASSERT_EQ(readMovements(work.folders.registerFile(2024)).size(), 1u);
    ASSERT_EQ(focus(), dialog.control("TIPMOV"));
    // The dates stay for the next movement, but nothing new was typed.
    QTest::keyClick(focus(), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(prompt.questions.empty());
}

TEST_F(MovementKeysTest, ARefusalAlwaysSaysWhyAndKeepsTheCursorOnTheField) {
    show();
    struct Case {
        const char* field;
        QString typed;
        std::string message;
    };
    const Case cases[] = {
        {"DATMOV", "31/02/2026", std::string(kDateNotValid)},
        {"PRODAZ", "NESSUNO", std::string(kInvalidCode)},
    };
    typeUntil("DATMOV", {{"TIPMOV", "C"}});
    for (const Case& c : cases) {
        typeUntil(c.field, {{"TIPDOC", "DDT"}, {"NUMDOC", "7"}});
        prompt.messages.clear();
        QLineEdit* field = line(c.field);
        if (field->inputMask().isEmpty()) {
            field->selectAll();
            QTest::keyClicks(field, c.typed);
        } else {
            field->setText(c.typed);
        }
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_EQ(prompt.messages, std::vector<std::string>{c.message}) << c.field;
        EXPECT_EQ(focus(), field) << c.field;
        // Put right, the cursor moves on.
        if (std::string(c.field) == "DATMOV") field->setText("05/03/2024");
        else field->clear();
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_NE(focus(), field) << c.field;
    }
    EXPECT_EQ(line("DPRODAZ")->text(), ""); // emptied with its code
}

TEST_F(MovementKeysTest, TheLayoutKeepsItsSizeAndPlacesWhateverIsTyped) {
    // Wine draws some texts of the fixture in a fallback face two pixels taller, which
    // moves the rows below them; the layout is checked where the fonts are the system's.
    if (testing::runningUnderWine()) GTEST_SKIP() << "Wine's fallback fonts change a row's height";
    show();
    const QSize size = dialog.size();
    const QPoint note = dialog.control("ANNOTA")->pos();
    const QPoint quantity = dialog.control("DOUBL1_3")->pos();
    // An unload of a packaged beer under an eAD (guarantee, eAD numbers, packages) and
    // then a load: rows appear and disappear, captions change.
    typeUntil("CAUMOV", {{"TIPMOV", "S"},
                         {"DATMOV", "05/03/2024"},
                         {"TIPDOC", "EAD"},
                         {"NUMDOC", "9"},
                         {"NILODD", "X1"},
                         {"NUMCPR", "1"},
                         {"PRODAZ", "BIONDA33"},
                         {"DOUBL5", "12"}});
    EXPECT_TRUE(dialog.control("INTER3")->isVisible());
    EXPECT_EQ(dialog.size(), size);
    EXPECT_EQ(dialog.control("ANNOTA")->pos(), note);
    EXPECT_EQ(dialog.control("DOUBL1_3")->pos(), quantity);
    dialog.focusControl("TIPMOV");
    line("TIPMOV")->selectAll();
    QTest::keyClicks(line("TIPMOV"), "C");
    QTest::keyClick(line("TIPMOV"), Qt::Key_Return);
    EXPECT_EQ(dialog.labelOf("LMOVIMENTO")->text(), "CARICO");
    EXPECT_EQ(dialog.size(), size);
    EXPECT_EQ(dialog.control("ANNOTA")->pos(), note);
    // No photo: its place stays empty, without a frame drawn round nothing.
    auto* photo = dialog.findChild<QLabel*>("FOTO");
    ASSERT_NE(photo, nullptr);
    EXPECT_TRUE(photo->pixmap().isNull()); // the fixture's products have none
    EXPECT_EQ(photo->frameShape(), QFrame::NoFrame);
}

} // namespace
} // namespace accise
