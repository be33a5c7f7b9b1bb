#include "logic/codetables/codetableeditor.h"
#include "logic/codetables/productcodeeditor.h"

#include <gtest/gtest.h>

#include "core/tables/codetables.h"
#include "core/tables/dates.h"
#include "logic/codetable_testdata.h"

namespace accise {
namespace {

using testing::DataFolder;
using testing::RecordingPrompt;
using testing::structureRecord;
using testing::tableRow;
using testing::writeRows;
using testing::writeStructure;

// The lookup list answers from a queue; the other services are not used here.
class FakeServices : public FormServices {
public:
    std::vector<std::int32_t> answers;
    std::vector<std::pair<std::string, char>> opened; // table and mode of each list

    bool hasLookupList() const override { return true; }
    std::int32_t openLookupList(CommandContext& ctx) override {
        opened.emplace_back(ctx.table, ctx.mode);
        std::int32_t n = -1;
        if (!answers.empty()) {
            n = answers.front();
            answers.erase(answers.begin());
        }
        ctx.chosenCode = n;
        return n;
    }
    bool hasCodeEditor() const override { return false; }
    std::optional<std::string> addNewCode(CommandContext&) override { return std::nullopt; }
    void openAddress(const std::string&) override {}
    bool startProgram(const std::string&) override { return false; }
    void openFile(const std::string&) override {}
    void showReport(const ReportJob&) override {}
};

CommandContext contextOf(const Folders& folders) {
    CommandContext ctx;
    ctx.folders = folders;
    return ctx;
}

std::vector<std::string> codesIn(const fs::path& file) {
    std::vector<std::string> codes;
    for (const auto& r : readTable(file)) codes.push_back(r.col[0]);
    return codes;
}

class CodeTableEditorTest : public ::testing::Test {
protected:
    DataFolder data;
    CommandContext ctx = contextOf(data.folders);
    RecordingPrompt prompt;
    FakeServices services;

    void SetUp() override {
        // Packaging: code, description and a countable flag in column 2.
        writeStructure(data.folders, structureRecord("T010", "Imballaggi", "Codice;Descrizione;Numerabile;",
                                                     {{"Codice", 2}, {"Descrizione", 60}, {"Numerabile (S/N)", 1}}));
        TableRecord withExtras = tableRow(5, "T010", {"CA", "Cassa", "S"});
        withExtras.col[6] = "nota";
        withExtras.nums[3] = 2.5;
        writeRows(data.folders.table("T010"), {tableRow(3, "T010", {"BT", "Bottiglia", "S"}), withExtras});
    }

    std::unique_ptr<CodeTableEditor> open(const std::string& table, EditorMode mode = EditorMode::Menu) {
        ctx.table = table;
        auto editor = std::make_unique<CodeTableEditor>(ctx, prompt, services, mode);
        editor->open();
        editor->keyTyped();
        return editor;
    }
    fs::path file() const { return data.folders.table("T010"); }
};

TEST_F(CodeTableEditorTest, NewCodeIsInsertedInOrderAndTheEditorResets) {
    auto e = open("T010");
    EXPECT_EQ(e->title(), "Imballaggi");
    e->setValue("LE1", "bo"); // the field makes it "BO"; the logic does too
    EXPECT_EQ(e->leave("LE1"), FocusMove::next());
    EXPECT_FALSE(e->rowLoaded());
    e->setValue("LE2", "Botte");
    e->setValue("LE3", "N");
    EXPECT_EQ(e->confirm(), std::nullopt);

    EXPECT_EQ(codesIn(file()), (std::vector<std::string>{"BO", "BT", "CA"}));
    const auto row = findCode(data.folders, "T010", "BO", prompt);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->number, 6);
    EXPECT_EQ(row->col[1], "Botte");
    EXPECT_EQ(row->col[2], "N");
    EXPECT_EQ(row->extra[0], "T010");
    EXPECT_FALSE(e->closeRequested());
    EXPECT_EQ(e->value("LE1"), "");
    EXPECT_EQ(e->focusAfterOpen(), "LE1");
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(CodeTableEditorTest, ExistingCodeLoadsForChangeKeepingWhatIsNotShown) {
    auto e = open("T010");
    e->setValue("LE1", "CA");
    e->leave("LE1");
    ASSERT_TRUE(e->rowLoaded());
    EXPECT_EQ(e->value("LE2"), "Cassa");
    EXPECT_EQ(e->value("LE3"), "S");

    e->setValue("LE2", "Cassa di legno");
    EXPECT_EQ(e->confirm(), std::nullopt);
    const auto rows = readTable(file());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].col[1], "Cassa di legno");
    EXPECT_EQ(rows[1].number, 4); // written again with the highest number left + 1
    EXPECT_EQ(rows[1].col[6], "nota");
    EXPECT_EQ(rows[1].nums[3], 2.5);
}

TEST_F(CodeTableEditorTest, ChangingALoadedCodeToAnotherExistingCodeIsRefused) {
    auto e = open("T010");
    e->setValue("LE1", "CA");
    e->leave("LE1");
    e->setValue("LE1", "BT");
    EXPECT_EQ(e->confirm(), std::optional<std::string>("LE1"));
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"CODICE GIA` UTILIZZATO"});
    EXPECT_EQ(codesIn(file()), (std::vector<std::string>{"BT", "CA"}));

    // A new code replaces the old row, in code order.
    e->setValue("LE1", "AA");
    EXPECT_EQ(e->confirm(), std::nullopt);
    EXPECT_EQ(codesIn(file()), (std::vector<std::string>{"AA", "BT"}));
}

TEST_F(CodeTableEditorTest, NewRowWithACodeAlreadyInTheTableIsRefused) {
    // Reached when the code field was never left (no row loaded): saving would duplicate it.
    auto e = open("T010");
    e->setValue("LE1", "BT");
    e->setValue("LE3", "S");
    EXPECT_EQ(e->confirm(), std::optional<std::string>("LE1"));
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"CODICE GIA` UTILIZZATO"});
    EXPECT_EQ(readTable(file()).size(), 2u);
}

TEST_F(CodeTableEditorTest, CodeAndFlagChecksSendTheCursorBack) {
    struct Case {
        const char* code;
        const char* flag;
        std::optional<std::string> confirmFocus;
    };
    const std::vector<Case> cases{
        {"", "S", "LE1"}, {" X", "S", "LE1"}, {"XX", "X", "LE3"}, {"XX", "", "LE3"}, {"XX", "n", "LE3"},
        {"XY", "S", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.code) + "/" + c.flag);
        auto e = open("T010");
        e->setValue("LE1", c.code);
        e->setValue("LE3", c.flag);
        if (c.confirmFocus) {
            EXPECT_EQ(e->leave(*c.confirmFocus), FocusMove::to(*c.confirmFocus));
        }
        EXPECT_EQ(e->confirm(), c.confirmFocus);
    }
}

TEST_F(CodeTableEditorTest, OnlyTheFlagChecksWaitForTheFirstKey) {
    ctx.table = "T010";
    CodeTableEditor e(ctx, prompt, services, EditorMode::Menu);
    e.open();
    // Before any key: the code is checked and its row loaded on leaving the field.
    EXPECT_EQ(e.leave("LE1"), FocusMove::to("LE1"));
    e.setValue("LE1", "CA");
    EXPECT_EQ(e.leave("LE1"), FocusMove::next());
    EXPECT_TRUE(e.rowLoaded());
    e.setValue("LE3", "X");
    EXPECT_EQ(e.leave("LE3"), FocusMove::next());
    e.keyTyped();
    EXPECT_EQ(e.leave("LE3"), FocusMove::to("LE3"));
}

TEST_F(CodeTableEditorTest, DeleteRemovesTheLoadedRow) {
    auto e = open("T010");
    e->setValue("LE1", "BT");
    e->leave("LE1");
    ASSERT_TRUE(e->rowLoaded());
    // Asked first, No by default: a slip deletes nothing.
    EXPECT_EQ(e->remove(), "LE1");
    EXPECT_TRUE(e->rowLoaded());
    EXPECT_EQ(codesIn(file()), (std::vector<std::string>{"BT", "CA"}));
    prompt.answers = {true};
    EXPECT_EQ(e->remove(), "LE1");
    EXPECT_EQ(prompt.questions, (std::vector<std::string>(2, std::string(kConfirmDeletion))));
    EXPECT_FALSE(e->rowLoaded());
    EXPECT_EQ(codesIn(file()), std::vector<std::string>{"CA"});
    // With nothing loaded, "Cancella" only resets, without asking.
    e->setValue("LE1", "CA");
    e->remove();
    EXPECT_EQ(codesIn(file()), std::vector<std::string>{"CA"});
    EXPECT_EQ(prompt.questions.size(), 2u);
}

TEST_F(CodeTableEditorTest, ListPutsTheChosenCodeIntoTheCodeField) {
    auto e = open("T010");
    services.answers = {5, -1};
    EXPECT_EQ(e->list(), "LE1");
    EXPECT_EQ(e->value("LE1"), "CA");
    EXPECT_EQ(services.opened.front().first, "T010");
    e->leave("LE1");
    EXPECT_TRUE(e->rowLoaded());
    e->clear();
    e->setValue("LE1", "ZZ");
    e->list();
    EXPECT_EQ(e->value("LE1"), "");
}

TEST_F(CodeTableEditorTest, ReturnModeClosesAndHandsBackTheCode) {
    auto e = open("T010", EditorMode::Return);
    e->setValue("LE1", "FU");
    e->leave("LE1");
    e->setValue("LE2", "Fusto");
    e->setValue("LE3", "N");
    EXPECT_EQ(e->confirm(), std::nullopt);
    EXPECT_TRUE(e->closeRequested());
    EXPECT_EQ(ctx.enteredCode, "FU");
}

TEST_F(CodeTableEditorTest, LanguageCodesAreLowerCase) {
    writeStructure(data.folders, structureRecord("T001", "Lingue", "", {{"Codice", 2}, {"Descrizione", 40}}));
    auto e = open("T001");
    EXPECT_EQ(e->field("LE1")->letterCase, LetterCase::Lower);
    e->setValue("LE1", "IT");
    e->leave("LE1");
    e->setValue("LE2", "Italiano");
    EXPECT_EQ(e->confirm(), std::nullopt);
    EXPECT_EQ(codesIn(data.folders.table("T001")), std::vector<std::string>{"it"});
    EXPECT_EQ(open("T010")->field("LE1")->letterCase, LetterCase::Upper);
}

TEST_F(CodeTableEditorTest, MissingStructureShowsOneMessageAndCloses) {
    ctx.table = "TA99";
    CodeTableEditor e(ctx, prompt, services, EditorMode::Menu);
    EXPECT_FALSE(e.hasStructure());
    e.open();
    EXPECT_TRUE(e.closeRequested());
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"STRUTTURA DELLA TABELLA MANCANTE"});
    EXPECT_FALSE(fileExists(data.folders.table("TA99")));
}

TEST_F(CodeTableEditorTest, WindowShapeFollowsTheStructure) {
    struct Case {
        std::vector<std::pair<std::string, int>> columns;
        std::vector<std::string> fields;
        int height;
    };
    const std::vector<Case> cases{
        {{{"Codice", 3}, {"Descrizione", 80}}, {"LE1", "LE2"}, 240},
        {{{"Codice", 3}, {"Descrizione", 80}, {"Flag", 1}}, {"LE1", "LE2", "LE3"}, 270},
        {{{"Codice", 3}, {"Descrizione", 80}, {"", 0}, {"Mittente (S/N)", 1}}, {"LE1", "LE2", "LE4"}, 310},
    };
    for (const auto& c : cases) {
        writeStructure(data.folders, structureRecord("TA05C", "Documenti", "", c.columns));
        ctx.table = "TA05C";
        CodeTableEditor e(ctx, prompt, services, EditorMode::Menu);
        std::vector<std::string> fields;
        for (const auto& f : e.fields()) fields.push_back(f.control);
        EXPECT_EQ(fields, c.fields);
        EXPECT_EQ(e.windowHeight(), c.height);
        EXPECT_EQ(e.field("LE1")->maxLength, 3);
        EXPECT_EQ(e.fieldCaption(2), "Descrizione");
    }
    ctx.maxWindowWidth = 500;
    CodeTableEditor e(ctx, prompt, services, EditorMode::Menu);
    EXPECT_EQ(e.windowWidth(90, 380), 490);
    EXPECT_EQ(e.windowWidth(90, 600), 500);
    EXPECT_EQ(e.fieldCaption(3), "");
}

class ProductCodeEditorTest : public ::testing::Test {
protected:
    DataFolder data;
    CommandContext ctx = contextOf(data.folders);
    RecordingPrompt prompt;
    FakeServices services;
    std::unique_ptr<ProductCodeEditor> e;

    void SetUp() override {
        writeStructure(data.folders, structureRecord("TA20", kProductCodeTitle, "", {{"Codice", 21}}));
        TableRecord beer = tableRow(1, "TA20", {"B000-22030000-00-0000", "Birra", "Ettogradi"});
        beer.ints[0] = 1;
        beer.nums[0] = dayNumber(2000, 1, 1);
        beer.nums[1] = dayNumber(2099, 12, 31);
        writeRows(data.folders.table("TA20"), {beer});
        ctx.table = "TA20";
        e = std::make_unique<ProductCodeEditor>(ctx, prompt, services);
        e->open();
        e->keyTyped();
    }

    void fill(const char* code, const char* from, const char* until, const char* unit) {
        e->setValue("ME0", code);
        e->setValue("Memo1", "Malto d'orzo");
        e->setValue("MDALLA", from);
        e->setValue("MALLA", until);
        e->setValue("RUM", unit);
    }
};

TEST_F(ProductCodeEditorTest, OnlyTheValidityCheckWaitsForTheFirstKey) {
    e->open(); // the guard armed again
    e->setValue("ME0", "B000-22030000-00-0000");
    EXPECT_EQ(e->leave("ME0"), FocusMove::next());
    EXPECT_TRUE(e->rowLoaded());
    e->setValue("MALLA", "31/12/1999");
    EXPECT_EQ(e->leave("MALLA"), FocusMove::next());
    e->keyTyped();
    EXPECT_EQ(e->leave("MALLA"), FocusMove::to("MALLA"));
}

TEST_F(ProductCodeEditorTest, OpensWithTodayAndTheDefaultEnd) {
    EXPECT_EQ(e->value("MDALLA"), formatDate(todayDayNumber()));
    EXPECT_EQ(e->value("MALLA"), "01/01/2050");
    EXPECT_EQ(e->field("ME0")->mask, "cccc-00000000-cc-cccc;1;_");
    EXPECT_EQ(e->focusAfterOpen(), "ME0");
}

TEST_F(ProductCodeEditorTest, ChecksCodeUnitAndValidity) {
    struct Case {
        const char* code;
        const char* from;
        const char* until;
        const char* unit;
        std::optional<std::string> focus;
    };
    const std::vector<Case> cases{
        {"M000-________-__-____", "01/01/2024", "31/12/2024", "0", "ME0"},
        {"M000-1_______-__-____", "01/01/2024", "31/12/2024", "", "RUM"},
        {"M000-11070000-00-0000", "32/01/2024", "31/12/2024", "0", "MDALLA"},
        {"M000-11070000-00-0000", "01/01/2024", "__/__/____", "0", "MALLA"},
        {"M000-11070000-00-0000", "01/01/2024", "31/12/2023", "0", "MALLA"},
        {"B000-22030000-00-0000", "01/01/2024", "31/12/2024", "0", "ME0"}, // already in the table
        {"M000-11070000-00-0000", "01/01/2024", "01/01/2024", "0", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.code) + " " + c.from + " " + c.until + " " + c.unit);
        e->clear();
        fill(c.code, c.from, c.until, c.unit);
        EXPECT_EQ(e->confirmChecks(), c.focus);
    }
    // Leaving the fields runs the same checks.
    fill("M000-________-__-____", "01/01/2024", "31/12/2023", "0");
    EXPECT_EQ(e->leave("ME0"), FocusMove::to("ME0"));
    EXPECT_EQ(e->leave("MDALLA"), FocusMove::to("MALLA"));
}

TEST_F(ProductCodeEditorTest, SavesTheRowAndKeepsTheDatesForTheNext) {
    fill("m000-11070000-00-0000", "01/01/2024", "31/12/2030", "2");
    e->leave("ME0");
    EXPECT_FALSE(e->rowLoaded());
    EXPECT_EQ(e->confirm(), std::nullopt);

    const auto row = findCode(data.folders, "TA20", "M000-11070000-00-0000", prompt);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->col[1], "Malto d'orzo");
    EXPECT_EQ(row->col[2], "Litri idrati");
    EXPECT_EQ(row->ints[0], 2);
    EXPECT_EQ(row->nums[0], dayNumber(2024, 1, 1));
    EXPECT_EQ(row->nums[1], dayNumber(2030, 12, 31));
    EXPECT_EQ(row->extra[0], "TA20");
    EXPECT_FALSE(e->closeRequested());
    EXPECT_EQ(e->value("ME0"), "");
    EXPECT_EQ(e->value("RUM"), "");
    EXPECT_EQ(e->value("MDALLA"), "01/01/2024");
}

TEST_F(ProductCodeEditorTest, ExistingCodeLoadsItsValuesAndListUsesModeT) {
    ctx.mode = 'G';
    services.answers = {1};
    e->list();
    EXPECT_EQ(services.opened.front(), (std::pair<std::string, char>{"TA20", 'T'}));
    EXPECT_EQ(e->value("ME0"), "B000-22030000-00-0000");
    e->leave("ME0");
    ASSERT_TRUE(e->rowLoaded());
    EXPECT_EQ(e->value("Memo1"), "Birra");
    EXPECT_EQ(e->value("MDALLA"), "01/01/2000");
    EXPECT_EQ(e->value("MALLA"), "31/12/2099");
    EXPECT_EQ(e->value("RUM"), "1");

    e->setValue("RUM", "0");
    EXPECT_EQ(e->confirm(), std::nullopt);
    const auto rows = readTable(data.folders.table("TA20"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].col[2], "Kilogrammi");
}

} // namespace
} // namespace accise
