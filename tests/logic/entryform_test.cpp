// The protocol every entry window shares: checks on leaving a field, the confirm
// sequence, the open guard, the lookup and new-code buttons, and the edit masks.
#include "logic/framework/entryform.h"

#include <gtest/gtest.h>

#include <functional>

#include "logic/framework/inputmask.h"
#include "logic/window_fixtures.h"

namespace accise {
namespace {

using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

// Two fields: CODE must not be empty, QTY must not be "0"; confirm checks CODE then QTY.
class ProbeForm : public EntryFormLogic {
public:
    ProbeForm(CommandContext& ctx, Prompt& prompt, FormServices& services, bool guarded)
        : EntryFormLogic(ctx, prompt, services) {
        addFields();
        if (guarded) useOpenGuard();
    }
    // Guarded on QTY only.
    ProbeForm(CommandContext& ctx, Prompt& prompt, FormServices& services, std::string_view guardedControl)
        : EntryFormLogic(ctx, prompt, services) {
        addFields();
        useOpenGuard({guardedControl});
    }
    void addFields() {
        addField(FieldSpec("CODE", 8, LetterCase::Upper));
        addField(FieldSpec("DESC").shownOnly());
        addField(FieldSpec("QTY", 10, LetterCase::AsTyped, KeyFilter::Decimal));
    }
    std::string title() const override { return "Prova"; }
    int saves = 0;
    int opens = 0;
    std::string lookup() { return lookupCodeInto("CODE", "TA03"); }
    std::string newCode() { return newCodeInto("CODE", "TA03"); }
    // A side button that empties the window ("&Svuota").
    std::optional<std::string> clear() {
        setValue("CODE", "");
        return "CODE";
    }

protected:
    void onOpen() override {
        ++opens;
        setValue("CODE", "");
        setValue("QTY", "1");
        setFocusAfterOpen("QTY");
    }
    FocusMove onLeave(std::string_view control) override {
        if (control == "CODE" && !codeOk()) return FocusMove::to("CODE");
        if (control == "QTY" && !qtyOk()) return FocusMove::to("QTY");
        if (control == "DESC") prompt().information("DESC CHECKED");
        return FocusMove::next();
    }
    std::optional<std::string> onConfirmChecks() override {
        if (!codeOk()) return "CODE";
        if (!qtyOk()) return "QTY";
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
    bool qtyOk() {
        if (value("QTY") != "0") return true;
        prompt().information("QUANTITA ZERO");
        return false;
    }
};

class EntryForm : public ::testing::Test {
protected:
    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
};

TEST_F(EntryForm, LeavingAFieldRunsItsCheckAndAFailureKeepsTheCursor) {
    ProbeForm form(ctx, prompt, services, false);
    form.open();
    EXPECT_EQ(form.focusAfterOpen(), "QTY");
    EXPECT_EQ(form.leave("CODE"), FocusMove::to("CODE"));
    form.setValue("CODE", "A");
    EXPECT_EQ(form.leave("CODE"), FocusMove::next());
    // A field shown only is never checked.
    EXPECT_EQ(form.leave("DESC"), FocusMove::next());
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"CODICE VUOTO"});
}

TEST_F(EntryForm, ConfirmRunsTheChecksInOrderAndSavesOnlyWhenAllPass) {
    ProbeForm form(ctx, prompt, services, false);
    form.open();
    form.setValue("QTY", "0");
    EXPECT_EQ(form.confirm(), "CODE"); // the first failing check wins
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"CODICE VUOTO"});
    form.setValue("CODE", "A");
    EXPECT_EQ(form.confirm(), "QTY");
    EXPECT_EQ(form.saves, 0);
    EXPECT_FALSE(form.closeRequested());
    form.setValue("QTY", "2");
    EXPECT_EQ(form.confirm(), std::nullopt);
    EXPECT_EQ(form.saves, 1);
    EXPECT_TRUE(form.closeRequested());
}

TEST_F(EntryForm, OpenGuardSkipsLeaveChecksUntilAKeyIsTypedAndIsArmedAgainAtEachOpening) {
    ProbeForm form(ctx, prompt, services, true);
    form.open();
    EXPECT_TRUE(form.checksSuspended());
    EXPECT_EQ(form.leave("CODE"), FocusMove::next());
    EXPECT_TRUE(prompt.messages.empty());
    form.keyTyped();
    EXPECT_EQ(form.leave("CODE"), FocusMove::to("CODE"));
    form.open();
    EXPECT_TRUE(form.checksSuspended());
    EXPECT_EQ(form.opens, 2);

    ProbeForm unguarded(ctx, prompt, services, false);
    unguarded.open();
    EXPECT_FALSE(unguarded.checksSuspended());
}

TEST_F(EntryForm, ReachingConfirmChecksAndPressingSavesOnlyWhileNothingChanged) {
    ProbeForm form(ctx, prompt, services, false);
    form.open();
    form.setValue("CODE", "A");
    // Passed, then pressed: saved once.
    EXPECT_EQ(form.cursorMoved("QTY", kConfirmControl), std::nullopt);
    EXPECT_EQ(form.confirmation(), EntryFormLogic::Confirmation::Passed);
    form.confirmPressed();
    EXPECT_EQ(form.saves, 1);
    EXPECT_TRUE(prompt.messages.empty());

    // Each way the window can change after the checks passed: the press checks again.
    struct Change {
        const char* what;
        std::function<void(ProbeForm&)> apply;
    };
    const Change changes[] = {
        {"side button empties the window", [](ProbeForm& f) { f.runAction(kConfirmControl, [&f] { return f.clear(); }); }},
        {"value changed", [](ProbeForm& f) { f.setValue("CODE", ""); }},
        {"cursor moved by the program from a field", [](ProbeForm& f) {
             f.runAction("QTY", [&f] { return f.clear(); });
         }},
    };
    for (const Change& change : changes) {
        form.open();
        form.setValue("CODE", "A");
        ASSERT_EQ(form.cursorMoved("QTY", kConfirmControl), std::nullopt) << change.what;
        change.apply(form);
        prompt.messages.clear();
        EXPECT_EQ(form.confirmPressed(), "CODE") << change.what;
        EXPECT_EQ(form.saves, 1) << change.what;
        EXPECT_EQ(prompt.messages, std::vector<std::string>{"CODICE VUOTO"}) << change.what;
    }

    // A typed key is a change; a key that only moves is not, nor a value given back
    // in the form its widget shows it.
    form.open();
    form.setValue("CODE", "A");
    ASSERT_EQ(form.cursorMoved("QTY", kConfirmControl), std::nullopt);
    form.keyPressed(FieldKey::Character);
    EXPECT_EQ(form.confirmation(), EntryFormLogic::Confirmation::Unchecked);
    ASSERT_EQ(form.cursorMoved("QTY", kConfirmControl), std::nullopt);
    form.keyPressed(FieldKey::Tab);
    form.syncValue("QTY", "1");
    form.syncValue("DESC", "shown");
    form.confirmPressed();
    EXPECT_EQ(form.saves, 2);
}

TEST_F(EntryForm, AFailureOnReachingConfirmCancelsTheClickAndAPressWithNoCheckRunsThem) {
    ProbeForm form(ctx, prompt, services, false);
    form.open();
    EXPECT_EQ(form.cursorMoved("QTY", kConfirmControl), "CODE");
    EXPECT_EQ(form.confirmPressed(), std::nullopt); // the click that brought the cursor there
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"CODICE VUOTO"});
    EXPECT_EQ(form.saves, 0);
    // Pressed without reaching it first (the button had the cursor already): checks, then save.
    EXPECT_EQ(form.confirmPressed(), "CODE");
    form.setValue("CODE", "A");
    EXPECT_EQ(form.confirmPressed(), std::nullopt); // saved, and this window closes
    EXPECT_EQ(form.saves, 1);
    EXPECT_TRUE(form.closeRequested());
}

TEST_F(EntryForm, AFieldLeftByAnyRouteGetsItsCheck) {
    ProbeForm form(ctx, prompt, services, false);
    form.open();
    // Leaving for another field or the confirm button checks the field left.
    EXPECT_EQ(form.cursorMoved("CODE", "QTY"), "CODE");
    EXPECT_EQ(form.cursorMoved("CODE", kConfirmControl), "CODE");
    EXPECT_EQ(form.confirmation(), EntryFormLogic::Confirmation::Failed);
    // A side button that sends the cursor elsewhere leaves the field too.
    EXPECT_EQ(form.runAction("CODE", [] { return std::optional<std::string>("QTY"); }), "CODE");
    EXPECT_EQ(prompt.messages.size(), 3u);
    // ... but not when it keeps the cursor there, or the cursor was on a button.
    EXPECT_EQ(form.runAction("CODE", [] { return std::optional<std::string>("CODE"); }), "CODE");
    EXPECT_EQ(form.runAction(kConfirmControl, [] { return std::optional<std::string>("QTY"); }), "QTY");
    EXPECT_EQ(form.runAction("CODE", [] { return std::optional<std::string>(); }), std::nullopt);
    // Leaving for "&Abbandona" checks nothing.
    EXPECT_EQ(form.cursorMoved("CODE", kAbandonControl), std::nullopt);
    EXPECT_EQ(prompt.messages.size(), 3u);
}

TEST(OpenGuardKeys, OnlyKeysThatChangeAFieldCountAsTyped) {
    const std::pair<FieldKey, bool> cases[] = {
        {FieldKey::Character, true}, {FieldKey::Erase, true}, {FieldKey::Enter, false},
        {FieldKey::Tab, false},      {FieldKey::Other, false},
    };
    for (const auto& [key, typed] : cases)
        EXPECT_EQ(countsAsTyped(key), typed) << static_cast<int>(key);
}

TEST_F(EntryForm, OpenGuardOnSomeControlsLeavesTheOthersChecked) {
    ProbeForm form(ctx, prompt, services, std::string_view("QTY"));
    form.open();
    form.setValue("QTY", "0");
    EXPECT_EQ(form.leave("QTY"), FocusMove::next());    // held back
    EXPECT_EQ(form.leave("CODE"), FocusMove::to("CODE")); // not guarded
    form.keyPressed(FieldKey::Enter);
    form.keyPressed(FieldKey::Tab);
    EXPECT_TRUE(form.checksSuspended());
    form.keyPressed(FieldKey::Character);
    EXPECT_FALSE(form.checksSuspended());
    EXPECT_EQ(form.leave("QTY"), FocusMove::to("QTY"));
}

TEST_F(EntryForm, LookupButtonPutsTheChosenRowsCodeOrEmptiesTheField) {
    testing::writeOfficeTable(work.folders);
    ProbeForm form(ctx, prompt, services, false);
    form.open();
    ctx.table = "PROTOCOLLI";
    services.lookupAnswer = 2;
    EXPECT_EQ(form.lookup(), "CODE");
    EXPECT_EQ(form.value("CODE"), "IT079100");
    EXPECT_EQ(ctx.table, "TA03"); // the list works on the current table
    EXPECT_EQ(ctx.chosenCode, 2);
    services.lookupAnswer = -1; // abandoned: no row of that number
    form.lookup();
    EXPECT_EQ(form.value("CODE"), "");
    services.lookupAnswer = 9; // a number the file does not hold
    form.setValue("CODE", "X");
    form.lookup();
    EXPECT_EQ(form.value("CODE"), "");
}

TEST_F(EntryForm, NewCodeButtonCopiesTheEnteredCodeBack) {
    ProbeForm form(ctx, prompt, services, false);
    form.open();
    form.setValue("CODE", "OLD");
    services.newCodeAnswer = std::nullopt; // editor closed without confirming
    form.newCode();
    EXPECT_EQ(form.value("CODE"), "OLD");
    services.newCodeAnswer = "IT099000";
    EXPECT_EQ(form.newCode(), "CODE");
    EXPECT_EQ(form.value("CODE"), "IT099000");
    EXPECT_EQ(services.editorTables, (std::vector<std::string>{"TA03", "TA03"}));
}

TEST(InputMask, StoredMasksBecomeToolkitMasks) {
    struct Case {
        const char* stored;
        const char* toolkit;
    };
    const Case cases[] = {
        {"!99/99/0000;1;_", "00/00/9999;_"},
        {"!00/00/0000;1;_", "99/99/9999;_"},
        {"cccc-00000000-cc-cccc;1;_", "xxxx-99999999-xx-xxxx;_"},
        {"LL-aa;0; ", "LL-nn; "},
        {"0 H\\0;1;*", "9 \\H\\0;*"}, // "H" and an escaped "0" are literals
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(toolkitInputMask(c.stored), c.toolkit) << c.stored;
}

TEST(FieldText, TidyNameAndFirstCharacterRule) {
    EXPECT_EQ(tidyName("  via roma  "), "Via roma ");
    EXPECT_EQ(tidyName(""), " ");
    EXPECT_EQ(tidyName("è bella"), "È bella ");
    for (const char* ok : {"A", "9b", "Èlite"})
        EXPECT_TRUE(startsWithDigitOrCapital(ok)) << ok;
    for (const char* bad : {"", " A", "a", "-1", "\"Q\""})
        EXPECT_FALSE(startsWithDigitOrCapital(bad)) << bad;
}

} // namespace
} // namespace accise

namespace accise {
namespace {

TEST(EntryFormAbandon, AsksOnlyWhenSomethingTypedIsStillThere) {
    WorkingFolder work;
    CommandContext ctx = work.context();
    FakeServices services;
    struct Case {
        const char* what;
        bool typed;          // a key that counts as typed
        const char* code;    // CODE afterwards ("" as it opened)
        std::vector<bool> answers;
        bool closes;
        std::size_t questions;
    };
    const Case cases[] = {
        {"nothing typed", false, "", {}, true, 0},
        {"typed and erased again", true, "", {}, true, 0},
        {"set by the window, not typed", false, "A", {}, true, 0},
        {"typed, No", true, "A", {false}, false, 1},
        {"typed, Yes", true, "A", {true}, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingPrompt prompt;
        prompt.answers = c.answers;
        ProbeForm form(ctx, prompt, services, false);
        form.open();
        if (c.typed) form.keyPressed(FieldKey::Character);
        form.setValue("CODE", c.code);
        EXPECT_EQ(form.abandonConfirmed(), c.closes);
        EXPECT_EQ(prompt.questions.size(), c.questions);
        if (c.questions) {
            EXPECT_EQ(prompt.questions.front(), kAbandonTypedValues);
        }
        // A Yes holds for the rest of the closing: the dialog's second call asks nothing.
        if (c.closes) {
            EXPECT_TRUE(form.abandonConfirmed());
            EXPECT_EQ(prompt.questions.size(), c.questions);
        }
    }
}

} // namespace
} // namespace accise
