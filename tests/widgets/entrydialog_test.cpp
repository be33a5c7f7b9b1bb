// The conventions of the entry windows on real widgets: key filters, letter case,
// masks, Enter, checks on leaving, the confirm button and the open guard.
#include "qt/framework/entrydialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include "logic/window_fixtures.h"

namespace accise {
namespace {

using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

// CODE must not be empty (checked on leaving and at confirmation).
class ProbeForm : public EntryFormLogic {
public:
    ProbeForm(CommandContext& ctx, Prompt& prompt, FormServices& services, bool guarded)
        : EntryFormLogic(ctx, prompt, services) {
        addField(FieldSpec("CODE", 8, LetterCase::Upper));
        addField(FieldSpec("QTY", 20, LetterCase::AsTyped, KeyFilter::Decimal));
        addField(FieldSpec("YEAR", 4, LetterCase::AsTyped, KeyFilter::UnsignedDigits));
        addField(FieldSpec("DATE").withMask("!99/99/0000;1;_"));
        addField(FieldSpec("NAME", 20, LetterCase::FirstCapital));
        addField(FieldSpec("PCODE", 21, LetterCase::Upper, KeyFilter::NextField, "cccc-00000000-cc-cccc;1;_"));
        if (guarded) useOpenGuard();
    }
    std::string title() const override { return "Prova"; }
    int saves = 0;
    // "&Svuota": empties the code.
    std::optional<std::string> clear() {
        setValue("CODE", "");
        return "CODE";
    }
    // A "..." button that fills the quantity and sends the cursor there.
    std::optional<std::string> fillQuantity() {
        setValue("QTY", "5");
        return "QTY";
    }

protected:
    void onOpen() override { setFocusAfterOpen("CODE"); }
    FocusMove onLeave(std::string_view control) override {
        if (control == "CODE" && !codeOk()) return FocusMove::to("CODE");
        return FocusMove::next();
    }
    std::optional<std::string> onConfirmChecks() override {
        if (!codeOk()) return "CODE";
        return std::nullopt;
    }
    void onSave() override {
        ++saves;
        requestClose();
    }

private:
    bool codeOk() {
        if (!value("CODE").empty()) return true;
        prompt().information("CODICE VUOTO");
        return false;
    }
};

class ProbeDialog : public EntryDialog {
public:
    ProbeDialog(CommandContext& ctx, Prompt& prompt, FormServices& services, bool guarded)
        : EntryDialog(form_, nullptr), form_(ctx, prompt, services, guarded) {
        auto* layout = new QVBoxLayout(this);
        for (const char* name : {"CODE", "QTY", "YEAR", "DATE", "NAME", "PCODE"}) {
            auto* line = new QLineEdit(this);
            line->setObjectName(QString::fromLatin1(name));
            layout->addWidget(line);
        }
        clear_ = makeSideButton(QStringLiteral("&Svuota"), QString(), QStringLiteral("BSVUOTA"));
        fill_ = makeSideButton(QStringLiteral("..."), QString(), QStringLiteral("BQTY"));
        layout->addWidget(clear_);
        layout->addWidget(fill_);
        connect(clear_, &QPushButton::clicked, this, [this] { runAction([this] { return form_.clear(); }); });
        connect(fill_, &QPushButton::clicked, this, [this] { runAction([this] { return form_.fillQuantity(); }); });
        auto* confirm = makeConfirmButton();
        auto* abandon = makeAbandonButton();
        layout->addWidget(confirm);
        layout->addWidget(abandon);
        finishSetup(confirm, abandon);
    }
    ProbeForm form_;
    QPushButton* clear_ = nullptr;
    QPushButton* fill_ = nullptr;
    QLineEdit* line(const char* name) const { return findChild<QLineEdit*>(QString::fromLatin1(name)); }
};

class EntryDialogTest : public ::testing::Test {
protected:
    void show(ProbeDialog& dialog) {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
};

TEST_F(EntryDialogTest, KeyFiltersLetterCaseAndMasks) {
    ProbeDialog dialog(ctx, prompt, services, false);
    show(dialog);
    ASSERT_EQ(QApplication::focusWidget(), dialog.line("CODE"));

    QTest::keyClicks(dialog.line("CODE"), "ab-12xyzw");
    EXPECT_EQ(dialog.line("CODE")->text(), "AB-12XYZ"); // capitals, at most 8

    QLineEdit* qty = dialog.line("QTY");
    QTest::keyClicks(qty, "1234567");
    EXPECT_EQ(qty->text(), "1.234.567");
    QTest::keyClicks(qty, ".5");
    EXPECT_EQ(qty->text(), "1.234.567,5"); // "." typed as ","
    QTest::keyClicks(qty, ",-x");
    EXPECT_EQ(qty->text(), "1.234.567,5"); // second ",", "-" after digits and letters refused
    QTest::keyClick(qty, Qt::Key_Backspace);
    QTest::keyClick(qty, Qt::Key_Backspace);
    EXPECT_EQ(qty->text(), "1.234.567");
    qty->clear();
    QTest::keyClicks(qty, "-1000");
    EXPECT_EQ(qty->text(), "-1.000");

    QTest::keyClicks(dialog.line("YEAR"), "2a0-24");
    EXPECT_EQ(dialog.line("YEAR")->text(), "2024");

    QLineEdit* date = dialog.line("DATE");
    date->setFocus();
    date->home(false);
    QTest::keyClicks(date, "0503");
    dialog.pullValues();
    EXPECT_EQ(dialog.logic().value("DATE"), "05/03/____"); // missing digits shown as "_"

    QTest::keyClicks(dialog.line("NAME"), "birra");
    EXPECT_EQ(dialog.line("NAME")->text(), "Birra");

    // A masked field converts the case without losing its empty positions.
    QLineEdit* code = dialog.line("PCODE");
    code->setFocus();
    code->home(false);
    QTest::keyClicks(code, "abcd22030001");
    EXPECT_EQ(code->displayText(), "ABCD-22030001-__-____");
    QTest::keyClicks(code, "x");
    EXPECT_EQ(code->displayText(), "ABCD-22030001-X_-____");
}

TEST_F(EntryDialogTest, CharactersTheFilesCannotHoldAreNeverTyped) {
    ProbeDialog dialog(ctx, prompt, services, false);
    show(dialog);
    QLineEdit* name = dialog.line("NAME");
    name->setFocus();
    // "€", "à" and "ß" are Windows-1252; the Greek letter and the emoji are not.
    for (const char32_t c : QString::fromUtf8("caf\u00e0 \u20ac\u03b1\u00df\U0001F37A").toUcs4()) {
        const QString text = QString::fromUcs4(&c, 1);
        QTest::sendKeyEvent(QTest::Press, name, Qt::Key_unknown, text, Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, name, Qt::Key_unknown, text, Qt::NoModifier);
    }
    EXPECT_EQ(name->text(), QString::fromUtf8("Caf\u00e0 \u20ac\u00df"));

    // What the files cannot hold is dropped from a paste.
    name->clear();
    QApplication::clipboard()->setText(QString::fromUtf8("Birra \u03b1 chiara"));
    QTest::keyClick(name, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(name->text(), QString::fromUtf8("Birra  chiara"));
}

TEST_F(EntryDialogTest, AConfirmationThatPassedDoesNotOutliveAChangeOfTheWindow) {
    ProbeDialog dialog(ctx, prompt, services, false);
    show(dialog);
    QTest::keyClicks(dialog.line("CODE"), "a");
    for (int i = 0; i < 6; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_EQ(QApplication::focusWidget(), dialog.confirmButton());
    EXPECT_EQ(dialog.form_.confirmation(), EntryFormLogic::Confirmation::Passed);
    // "&Svuota" never takes the cursor; it empties the window and puts the cursor on
    // the code without a check. Alt+C then clicks without moving the cursor.
    QTest::mouseClick(dialog.clear_, Qt::LeftButton);
    ASSERT_EQ(QApplication::focusWidget(), dialog.line("CODE"));
    prompt.messages.clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::AltModifier);
    QTest::qWait(200); // the button's animated click
    EXPECT_EQ(dialog.form_.saves, 0);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"CODICE VUOTO"});
    EXPECT_EQ(QApplication::focusWidget(), dialog.line("CODE"));
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(EntryDialogTest, ASideButtonThatMovesTheCursorChecksTheFieldItLeaves) {
    ProbeDialog dialog(ctx, prompt, services, false);
    show(dialog);
    ASSERT_EQ(QApplication::focusWidget(), dialog.line("CODE"));
    QTest::mouseClick(dialog.fill_, Qt::LeftButton);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"CODICE VUOTO"});
    EXPECT_EQ(QApplication::focusWidget(), dialog.line("CODE"));
    EXPECT_EQ(dialog.line("QTY")->text(), "5"); // the action itself ran
    QTest::keyClicks(dialog.line("CODE"), "a");
    QTest::mouseClick(dialog.fill_, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), dialog.line("QTY"));
    EXPECT_EQ(prompt.messages.size(), 1u);
}

TEST_F(EntryDialogTest, TabLeavesANumericFieldLikeEnter) {
    ProbeDialog dialog(ctx, prompt, services, false);
    show(dialog);
    QTest::keyClicks(dialog.line("CODE"), "a");
    QTest::keyClick(dialog.line("CODE"), Qt::Key_Return);
    QTest::keyClick(dialog.line("QTY"), Qt::Key_Return);
    ASSERT_EQ(QApplication::focusWidget(), dialog.line("YEAR"));
    QTest::keyClick(dialog.line("YEAR"), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dialog.line("DATE"));
    EXPECT_EQ(dialog.line("YEAR")->text(), "");
}

TEST_F(EntryDialogTest, EnterMovesOnAndAFailedCheckPutsTheCursorBack) {
    ProbeDialog dialog(ctx, prompt, services, false);
    show(dialog);
    QTest::keyClick(dialog.line("CODE"), Qt::Key_Return);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"CODICE VUOTO"});
    EXPECT_EQ(QApplication::focusWidget(), dialog.line("CODE"));

    QTest::keyClicks(dialog.line("CODE"), "a");
    QTest::keyClick(dialog.line("CODE"), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), dialog.line("QTY"));
    EXPECT_EQ(prompt.messages.size(), 1u);
    EXPECT_TRUE(dialog.isVisible()); // Enter never confirms from a field
}

TEST_F(EntryDialogTest, ReachingConfirmRunsTheChecksAndAFailureCancelsTheClick) {
    ProbeDialog dialog(ctx, prompt, services, true); // guarded: leaving CODE checks nothing yet
    show(dialog);
    QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"CODICE VUOTO"});
    EXPECT_EQ(QApplication::focusWidget(), dialog.line("CODE"));
    EXPECT_EQ(dialog.form_.saves, 0);
    EXPECT_TRUE(dialog.isVisible());

    QTest::keyClicks(dialog.line("CODE"), "b");
    for (int i = 0; i < 6; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), dialog.confirmButton());
    QTest::keyClick(dialog.confirmButton(), Qt::Key_Return);
    EXPECT_EQ(dialog.form_.saves, 1);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(EntryDialogTest, OpenGuardAndAbandon) {
    ProbeDialog dialog(ctx, prompt, services, true);
    show(dialog);
    QTest::keyClick(dialog.line("CODE"), Qt::Key_Return); // nothing typed yet: no check
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(QApplication::focusWidget(), dialog.line("QTY"));
    QTest::keyClicks(dialog.line("QTY"), "1");
    dialog.line("CODE")->setFocus();
    dialog.line("QTY")->setFocus(); // leaving the empty code now checks it
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"CODICE VUOTO"});

    // A quantity was typed: "&Abbandona" asks first, and Yes closes unsaved.
    prompt.answers = {true};
    QTest::mouseClick(dialog.abandonButton(), Qt::LeftButton);
    EXPECT_EQ(prompt.questions, std::vector<std::string>{std::string(kAbandonTypedValues)});
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.form_.saves, 0);
    EXPECT_TRUE(dialog.logic().closeRequested());
}

} // namespace
} // namespace accise
