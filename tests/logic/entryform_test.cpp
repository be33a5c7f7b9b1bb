// The protocol every entry window shares: checks on leaving a field, the confirm
// sequence, the open guard, the lookup and new-code buttons, and the edit masks.
#include "framework/entryform.h"

#include <gtest/gtest.h>

#include "framework/inputmask.h"
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
        addField(FieldSpec("CODE", 8, LetterCase::Upper));
        addField(FieldSpec("DESC").shownOnly());
        addField(FieldSpec("QTY", 10, LetterCase::AsTyped, KeyFilter::Decimal));
        if (guarded) useOpenGuard();
    }
    std::string title() const override { return "Prova"; }
    int saves = 0;
    int opens = 0;
    std::string lookup() { return lookupCodeInto("CODE", "TA03"); }
    std::string newCode() { return newCodeInto("CODE", "TA03"); }

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
