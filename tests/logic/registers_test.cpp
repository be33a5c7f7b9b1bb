// The customs registers window: defaults, the product list by register type and its
// work file, loading a register, the confirmation checks in their order, and the
// files written by a save, a change and a deletion.
#include "logic/masterdata/registerswindow.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "core/files/recordfile.h"
#include "core/tables/codetables.h"
#include "core/tables/dates.h"
#include "core/tables/registers.h"
#include "logic/window_fixtures.h"

namespace accise {
namespace {

using namespace registerswindow;
using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TableRecord product(std::int32_t number, const char* code, const char* description) {
    TableRecord p = testing::tableRow(number, code, description);
    p.extra[0] = "TA20";
    p.col[2] = "Ettogradi";
    p.ints[0] = 1;
    p.nums[0] = dayNumber(2010, 1, 1); // the code's own validity, replaced in a register's list
    p.nums[1] = dayNumber(2050, 1, 1);
    p.nums[2] = 7;
    return p;
}

// TA20 in file order: two raw materials and three beers, numbered out of order.
const std::vector<TableRecord>& products() {
    static const std::vector<TableRecord> rows{
        product(4, "B000-22030001-00-0000", "Birra chiara"), product(2, "B000-22030009-00-0000", "Birra rossa"),
        product(1, "M100-10030000-00-0000", "Orzo"),        product(5, "B100-22030010-00-0000", "Birra in fusti"),
        product(3, "M200-11071000-00-0000", "Malto"),
    };
    return rows;
}

std::string encoded(const std::vector<TableRecord>& rows) {
    std::string bytes;
    for (const TableRecord& r : rows) bytes += encodeTable(r);
    return bytes;
}

class RegistersWindow : public ::testing::Test {
protected:
    RegistersWindow() {
        testing::writeOfficeTable(work.folders);
        TableRecord structure = blankTable();
        structure.number = 1;
        structure.extra[0] = "PROTOCOLLI";
        structure.extra[1] = "Registri Doganali";
        writeWholeFile(work.folders.structure("PROTOCOLLI"), encodeTable(structure));
        writeWholeFile(work.folders.table("TA20"), encoded(products()));
        ctx.company = blankAddress();
        ctx.company.office = "IT012000";
    }

    // Opens the window, types a protocol number and fills everything so that all
    // confirmation checks pass (the beer type, its first product ticked).
    void openFilled(const char* protocol = "PR-1") {
        form.open();
        form.keyTyped();
        form.setValue("LE0", protocol);
        EXPECT_EQ(form.leave("LE0"), FocusMove::next());
        form.setValue("R10", "15/12/2013");
        form.setValue("R11", "01/01/2014");
        form.setValue("R12", "31/12/2014");
        form.setValue("CINTERI0", "1");
        form.typeChosen();
        form.setProductChecked(0, true);
    }

    std::vector<TableRecord> registers() const { return readTable(work.folders.table("PROTOCOLLI")); }

    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
    RegistersLogic form{ctx, prompt, services};
};

TEST_F(RegistersWindow, WithoutItsStructureTheWindowClosesWithTheMessage) {
    fs::remove(work.folders.structure("PROTOCOLLI"));
    form.open();
    EXPECT_TRUE(form.closeRequested());
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"STRUTTURA DELLA TABELLA MANCANTE"});
}

TEST_F(RegistersWindow, OpeningProposesTheDatesAndTheCompanyOffice) {
    form.open();
    EXPECT_FALSE(form.closeRequested());
    const double today = todayDayNumber();
    const std::string year = std::to_string(yearOf(today));
    EXPECT_EQ(form.value("R10"), formatDate(today));
    EXPECT_EQ(form.value("R11"), "01/01/" + year);
    EXPECT_EQ(form.value("R12"), "31/12/" + year);
    EXPECT_EQ(form.value("LE1"), "IT012000");
    EXPECT_EQ(form.value("DLE1"), "UFFICIO DELLE DOGANE DI MILANO 2");
    EXPECT_EQ(form.value("LE0"), "");
    EXPECT_EQ(form.value("CINTERI0"), "-1");
    EXPECT_TRUE(form.productItems().empty());
    EXPECT_FALSE(form.registerLoaded());
    EXPECT_EQ(form.focusAfterOpen(), "LE0");
    EXPECT_TRUE(fs::exists(work.folders.inTemp(kWorkFile)));
    EXPECT_EQ(fs::file_size(work.folders.inTemp(kWorkFile)), 0u);
    EXPECT_TRUE(prompt.messages.empty());

    // Nothing typed yet: leaving a date or the office checks nothing.
    form.setValue("R10", "99/99/9999");
    EXPECT_EQ(form.leave("R10"), FocusMove::next());
    EXPECT_EQ(form.value("LE3"), "");
}

TEST_F(RegistersWindow, TheRegisterTypeDecidesWhichProductsAreOffered) {
    struct Case {
        const char* type;
        std::vector<std::string> items;
        std::vector<std::size_t> rows; // rows of TA20 copied into TA20.APP
    };
    const Case cases[] = {
        {"0", {"M100-10030000-00-0000 - Orzo", "M200-11071000-00-0000 - Malto"}, {2, 4}},
        {"1",
         {"B000-22030001-00-0000 - Birra chiara", "B000-22030009-00-0000 - Birra rossa",
          "B100-22030010-00-0000 - Birra in fusti"},
         {0, 1, 3}},
        {"3",
         {"B000-22030001-00-0000 - Birra chiara", "B000-22030009-00-0000 - Birra rossa",
          "B100-22030010-00-0000 - Birra in fusti"},
         {0, 1, 3}},
        {"-1", {}, {}},
    };
    form.open();
    for (const Case& c : cases) {
        form.setProductChecked(0, true);
        form.setValue("CINTERI0", c.type);
        EXPECT_EQ(form.typeChosen(), "CINTERI0");
        EXPECT_EQ(form.productItems(), c.items) << c.type;
        EXPECT_FALSE(form.productChecked(0)) << c.type; // a new list starts unticked
        std::vector<TableRecord> expected;
        for (std::size_t r : c.rows) expected.push_back(products()[r]);
        EXPECT_EQ(bytesOf(work.folders.inTemp(kWorkFile)), encoded(expected)) << c.type;
    }
    EXPECT_FALSE(form.checksSuspended()); // choosing a type counts as typing

    fs::remove(work.folders.table("TA20")); // no product table: nothing offered, nothing created
    form.setValue("CINTERI0", "2");
    form.typeChosen();
    EXPECT_TRUE(form.productItems().empty());
    EXPECT_FALSE(fs::exists(work.folders.table("TA20")));
}

TEST_F(RegistersWindow, LeavingTheDatesChecksThemAndProposesTheStampingOfficeText) {
    form.open();
    form.keyTyped();
    form.setValue("LE0", "1234/A");
    form.setValue("R10", "31/02/2014");
    EXPECT_EQ(form.leave("R10"), FocusMove::to("R10"));
    EXPECT_EQ(form.value("LE3"), "");
    form.setValue("R10", "20/12/2013");
    EXPECT_EQ(form.leave("R10"), FocusMove::next());
    const std::string header = "IT012000 di UFFICIO DELLE DOGANE DI MILANO 2 protocollo n. 1234/A del 20/12/2013";
    EXPECT_EQ(form.value("LE3"), header);
    // Once the text is there it is never replaced.
    form.setValue("R10", "21/12/2013");
    form.leave("R11");
    EXPECT_EQ(form.value("LE3"), header);
    // The first day proposes it too; the last day does not.
    form.setValue("LE3", "");
    form.leave("R12");
    EXPECT_EQ(form.value("LE3"), "");
    form.leave("R11");
    EXPECT_EQ(form.value("LE3"), "IT012000 di UFFICIO DELLE DOGANE DI MILANO 2 protocollo n. 1234/A del 21/12/2013");
    form.setValue("R12", "__/__/____");
    EXPECT_EQ(form.leave("R12"), FocusMove::to("R12"));
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(RegistersWindow, AnUnknownOfficeIsMarkedAndOpensTheOfficeList) {
    form.open();
    form.keyTyped();
    form.setValue("LE1", "IT999999");
    services.lookupAnswer = 2;
    EXPECT_EQ(form.leave("LE1"), FocusMove::to("LE1"));
    EXPECT_EQ(form.value("DLE1"), "CODICE NON VALIDO");
    EXPECT_EQ(services.lookupTables, std::vector<std::string>{"TA03"});
    EXPECT_EQ(form.value("LE1"), "IT079100");
    EXPECT_EQ(form.leave("LE1"), FocusMove::next());
    EXPECT_EQ(form.value("DLE1"), "UFFICIO DELLE DOGANE DI ROMA 1");
}

TEST_F(RegistersWindow, ConfirmationChecksRunInTheirOrderAndTheFirstFailureWins) {
    struct Case {
        std::vector<std::pair<const char*, const char*>> broken;
        bool untick;
        const char* focus;
        const char* message; // "" for none
    };
    const Case cases[] = {
        {{{"LE0", " "}, {"R10", "xx"}}, true, "LE0", ""},
        {{{"R11", "32/01/2014"}, {"R10", "1/1/2014"}}, true, "R10", ""}, // the first invalid date
        {{{"R12", "__/__/____"}, {"CINTERI0", "-1"}}, true, "R12", ""},
        {{{"R12", "31/12/2013"}, {"CINTERI0", "-1"}}, true, "R11", ""}, // last day before first day
        {{{"CINTERI0", "-1"}, {"LE1", "XX"}}, true, "CINTERI0", ""},
        {{{"LE1", "XX"}}, true, "CTA20", kSelectProduct},
        {{{"LE1", "XX"}}, false, "LE1", ""},
    };
    for (const Case& c : cases) {
        openFilled();
        prompt.messages.clear();
        if (c.untick) form.setProductChecked(0, false);
        for (const auto& [control, text] : c.broken) form.setValue(control, text);
        EXPECT_EQ(form.confirm(), c.focus);
        const std::vector<std::string> expected =
            *c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{};
        EXPECT_EQ(prompt.messages, expected) << c.focus;
    }
    EXPECT_EQ(form.value("DLE1"), "CODICE NON VALIDO");
    EXPECT_TRUE(registers().empty()); // nothing saved
    EXPECT_FALSE(fs::exists(work.folders.productList(1)));
}

TEST_F(RegistersWindow, SavingWritesTheRegisterInValidityOrderAndItsProductList) {
    // Three registers typed in the order: 2014, 2013, 2014 again (equal first days keep their arrival order).
    struct Typed {
        const char* protocol;
        const char* first;
        const char* type;
        std::vector<std::size_t> ticks;
    };
    const Typed typed[] = {{"A-2014", "01/01/2014", "1", {0, 2}}, {"B-2013", "01/07/2013", "0", {1}},
                           {"C-2014", "01/01/2014", "3", {1}}};
    for (const Typed& t : typed) {
        form.open();
        form.keyTyped();
        form.setValue("LE0", t.protocol);
        form.leave("LE0");
        form.setValue("R10", "10/12/2012");
        form.setValue("R11", t.first);
        form.setValue("R12", "31/12/2014");
        form.setValue("CINTERI0", t.type);
        form.typeChosen();
        form.setValue("LE3", "Ufficio vidimante");
        for (std::size_t item : t.ticks) form.setProductChecked(item, true);
        ASSERT_EQ(form.confirm(), std::nullopt) << t.protocol;
    }
    EXPECT_TRUE(prompt.messages.empty());

    // The window is ready for the next register.
    EXPECT_EQ(form.value("LE0"), "");
    EXPECT_EQ(form.value("LE2"), "");
    EXPECT_EQ(form.value("CINTERI0"), "-1");
    EXPECT_TRUE(form.productItems().empty());
    EXPECT_FALSE(form.closeRequested());

    auto reg = [](std::int32_t number, const char* protocol, const char* title, double first, int type) {
        TableRecord r = blankTable();
        r.number = number;
        r.extra[0] = "PROTOCOLLI";
        r.col[0] = protocol;
        r.col[1] = "IT012000";
        r.col[2] = title;
        r.col[3] = "Ufficio vidimante";
        r.ints[0] = type;
        r.nums[0] = dayNumber(2012, 12, 10);
        r.nums[1] = first;
        r.nums[2] = dayNumber(2014, 12, 31);
        return r;
    };
    const double jan2014 = dayNumber(2014, 1, 1);
    EXPECT_EQ(bytesOf(work.folders.table("PROTOCOLLI")),
              encoded({reg(2, "B-2013", "M200-11071000-00-0000 ", dayNumber(2013, 7, 1), 0),
                       reg(1, "A-2014", "B000-22030001-00-0000 B100-22030010-00-0000 ", jan2014, 1),
                       reg(3, "C-2014", "B000-22030009-00-0000 ", jan2014, 3)}));

    // Register 1's list: the ticked TA20 records with the register's dates in numbers 0 to 2.
    auto listed = [&](std::size_t row, double first) {
        TableRecord p = products()[row];
        p.nums[0] = dayNumber(2012, 12, 10);
        p.nums[1] = first;
        p.nums[2] = dayNumber(2014, 12, 31);
        return p;
    };
    EXPECT_EQ(bytesOf(work.folders.productList(1)), encoded({listed(0, jan2014), listed(3, jan2014)}));
    EXPECT_EQ(bytesOf(work.folders.productList(2)), encoded({listed(4, dayNumber(2013, 7, 1))}));
    EXPECT_FALSE(fs::exists(work.folders.table("PROTOCOLLI").string() + "$")); // locks released
    EXPECT_FALSE(fs::exists(work.folders.productList(1).string() + "$"));
    // The movement windows find the register of a product and a date.
    const auto found = registerValidFor(work.folders, "B100-22030010-00-0000", dayNumber(2014, 3, 1));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->number, 1);
}

TEST_F(RegistersWindow, LeavingTheProtocolNumberOfARegisterLoadsIt) {
    openFilled("PR-7");
    form.setValue("LE2", "Registro birre");
    form.setValue("LE3", "Ufficio");
    form.setProductChecked(2, true);
    ASSERT_EQ(form.confirm(), std::nullopt);

    form.open(); // nothing typed yet: the protocol number is looked up all the same
    form.setValue("LE0", "PR-7");
    EXPECT_EQ(form.leave("LE0"), FocusMove::to("LE2"));
    EXPECT_TRUE(form.registerLoaded());
    EXPECT_EQ(form.loadedNumber(), 1);
    EXPECT_EQ(form.value("CINTERI0"), "1");
    EXPECT_EQ(form.value("LE1"), "IT012000");
    EXPECT_EQ(form.value("DLE1"), "UFFICIO DELLE DOGANE DI MILANO 2");
    EXPECT_EQ(form.value("LE2"), "Registro birre");
    EXPECT_EQ(form.value("LE3"), "Ufficio");
    EXPECT_EQ(form.value("R10"), "15/12/2013");
    EXPECT_EQ(form.value("R11"), "01/01/2014");
    EXPECT_EQ(form.value("R12"), "31/12/2014");
    ASSERT_EQ(form.productItems().size(), 3u);
    EXPECT_TRUE(form.productChecked(0));
    EXPECT_FALSE(form.productChecked(1));
    EXPECT_TRUE(form.productChecked(2));

    // Leaving it again while a register is loaded loads nothing; an unknown number starts a new one.
    form.setValue("LE0", "PR-8");
    EXPECT_EQ(form.leave("LE0"), FocusMove::next());
    EXPECT_EQ(form.loadedNumber(), 1);
    form.clear();
    form.setValue("LE0", "PR-9");
    EXPECT_EQ(form.leave("LE0"), FocusMove::next());
    EXPECT_FALSE(form.registerLoaded());
}

TEST_F(RegistersWindow, ChangingARegisterKeepsItsNumberAndRewritesItsList) {
    openFilled("PR-1");
    ASSERT_EQ(form.confirm(), std::nullopt);
    openFilled("PR-2");
    form.setValue("R11", "01/06/2014");
    ASSERT_EQ(form.confirm(), std::nullopt);

    // Register 1 moves behind register 2 when its first day becomes later.
    form.setValue("LE0", "PR-1");
    form.leave("LE0");
    form.setValue("LE0", "PR-1b");
    form.setValue("R11", "01/07/2014");
    form.setProductChecked(0, false);
    form.setProductChecked(1, true);
    ASSERT_EQ(form.confirm(), std::nullopt);
    const auto regs = registers();
    ASSERT_EQ(regs.size(), 2u);
    EXPECT_EQ(regs[0].number, 2);
    EXPECT_EQ(regs[1].number, 1);
    EXPECT_EQ(regs[1].col[0], "PR-1b");
    const auto list = readProductList(work.folders, 1);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].col[0], "B000-22030009-00-0000");
    EXPECT_EQ(list[0].nums[1], dayNumber(2014, 7, 1));

    // A protocol number may not become another register's.
    form.setValue("LE0", "PR-1b");
    form.leave("LE0");
    form.setValue("LE0", "PR-2");
    EXPECT_EQ(form.confirm(), "LE0");
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kProtocolInUse});
    EXPECT_EQ(registers()[1].col[0], "PR-1b");
}

TEST_F(RegistersWindow, ANewRegisterCannotTakeAProtocolNumberInUse) {
    openFilled("PR-1");
    ASSERT_EQ(form.confirm(), std::nullopt);
    // Typed without leaving the field (so nothing was loaded) and confirmed.
    openFilled("PR-3");
    form.setValue("LE0", "PR-1");
    EXPECT_EQ(form.confirm(), "LE0");
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kProtocolInUse});
    EXPECT_EQ(registers().size(), 1u);
}

TEST_F(RegistersWindow, DeletingARegisterLeavesItsProductList) {
    openFilled("PR-1");
    ASSERT_EQ(form.confirm(), std::nullopt);
    const std::string list = bytesOf(work.folders.productList(1));
    form.setValue("LE0", "PR-1");
    form.leave("LE0");
    EXPECT_EQ(form.remove(), "LE0"); // answered No
    EXPECT_EQ(registers().size(), 1u);
    prompt.answers = {true};
    EXPECT_EQ(form.remove(), "LE0");
    EXPECT_EQ(prompt.questions, (std::vector<std::string>(2, std::string(kConfirmDeletion))));
    EXPECT_TRUE(registers().empty());
    EXPECT_EQ(bytesOf(work.folders.productList(1)), list);
    EXPECT_FALSE(form.registerLoaded());
    EXPECT_EQ(form.value("LE0"), "");
    // Without a loaded register the button only resets.
    form.remove();
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(RegistersWindow, TheListOfRegistersLoadsTheChosenOne) {
    openFilled("PR-1");
    ASSERT_EQ(form.confirm(), std::nullopt);
    form.open(); // nothing typed
    services.lookupAnswer = -1;
    EXPECT_EQ(form.list(), "LE0");
    EXPECT_FALSE(form.registerLoaded());
    EXPECT_FALSE(form.checksSuspended()); // using the list counts as typing
    services.lookupAnswer = 1;
    EXPECT_EQ(form.list(), "LE2");
    EXPECT_EQ(services.lookupTables, (std::vector<std::string>{"PROTOCOLLI", "PROTOCOLLI"}));
    EXPECT_TRUE(form.registerLoaded());
    EXPECT_EQ(form.value("LE0"), "PR-1");
    EXPECT_TRUE(form.productChecked(0));
}

TEST_F(RegistersWindow, AnEmptyTitleBecomesTheTickedCodesCutToTheFieldWidth) {
    std::vector<TableRecord> many;
    for (int i = 1; i <= 6; ++i) many.push_back(product(i, ("B000-2203000" + std::to_string(i) + "-00-0000").c_str(), "B"));
    writeWholeFile(work.folders.table("TA20"), encoded(many));
    openFilled();
    for (std::size_t i = 0; i < 6; ++i) form.setProductChecked(i, true);
    ASSERT_EQ(form.confirmChecks(), std::nullopt);
    EXPECT_EQ(form.value("LE2"), "B000-22030001-00-0000 B000-22030002-00-0000 B000-22030003-00-0000 B000-22030004-");
    EXPECT_EQ(form.value("LE2").size(), kTitleWidth);
    // A title typed by the user stays.
    form.setValue("LE2", "Mio registro");
    ASSERT_EQ(form.confirmChecks(), std::nullopt);
    EXPECT_EQ(form.value("LE2"), "Mio registro");
}

} // namespace
} // namespace accise
