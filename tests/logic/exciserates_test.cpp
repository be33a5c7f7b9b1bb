// The excise rates window: the key check that loads an existing row, the rate check
// (with the refusal of a rate below 0,000009), the duplicate refusal, the file order
// of the saved rows, the lists and the web button.
#include "logic/codetables/exciserateswindow.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "core/files/recordfile.h"
#include "core/tables/codetables.h"
#include "core/tables/company.h"
#include "core/tables/dates.h"
#include "logic/window_fixtures.h"

namespace accise {
namespace {

using namespace exciserates;
using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TableRecord rateRow(std::int32_t number, const char* country, const char* chapter, double day, double rate) {
    TableRecord r = blankTable();
    r.number = number;
    r.extra[0] = "ACCISE"; // the table name, as in every row of a code table
    r.col[0] = country;
    r.col[1] = chapter;
    r.nums[0] = day;
    r.nums[1] = rate;
    return r;
}

std::string encoded(const std::vector<TableRecord>& rows) {
    std::string bytes;
    for (const TableRecord& r : rows) bytes += encodeTable(r);
    return bytes;
}

class ExciseRatesWindow : public ::testing::Test {
protected:
    ExciseRatesWindow() {
        TableRecord structure = blankTable();
        structure.number = 1;
        structure.extra[0] = "ACCISE";
        writeWholeFile(work.folders.structure("ACCISE"), encodeTable(structure));
        structure.extra[0] = "T004";
        writeWholeFile(work.folders.structure("T004"), encodeTable(structure));
        writeWholeFile(work.folders.table("T004"), encodeTable(testing::tableRow(1, "DE", "GERMANIA")) +
                                                       encodeTable(testing::tableRow(2, "FR", "FRANCIA")) +
                                                       encodeTable(testing::tableRow(3, "IT", "ITALIA")));
    }

    // Opens the window and types a row (a key typed: the checks are on).
    void typeRow(const char* date, const char* country, const char* rate, const char* chapter = nullptr) {
        form.open();
        form.keyTyped();
        form.setValue("R10", date);
        ASSERT_EQ(form.leave("R10"), FocusMove::to("Le0")); // no country yet
        form.setValue("Le0", country);
        ASSERT_EQ(form.leave("Le0"), FocusMove::next());
        if (chapter) form.setValue("LE1", chapter);
        form.setValue("R11", rate);
    }

    std::vector<TableRecord> rates() const { return readTable(work.folders.table("ACCISE")); }

    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
    ExciseRatesLogic form{ctx, prompt, services};
};

TEST_F(ExciseRatesWindow, WithoutItsStructureTheWindowClosesWithTheMessage) {
    fs::remove(work.folders.structure("ACCISE"));
    form.open();
    EXPECT_TRUE(form.closeRequested());
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"STRUTTURA DELLA TABELLA MANCANTE"});
}

TEST_F(ExciseRatesWindow, OpeningProposesTodayAndTheChapterAndWaitsForAKey) {
    form.open();
    EXPECT_FALSE(form.closeRequested());
    EXPECT_EQ(form.value("R10"), formatDate(todayDayNumber()));
    EXPECT_EQ(form.value("LE1"), "1402");
    EXPECT_EQ(form.value("Le0"), "");
    EXPECT_FALSE(form.chapterShown());
    EXPECT_FALSE(form.rowLoaded());
    EXPECT_EQ(form.focusAfterOpen(), "R10");
    EXPECT_EQ(form.webCaption(), kWebFallbackCaption);

    // Nothing typed: leaving the fields checks nothing and the confirmation saves nothing.
    form.setValue("Le0", "XX");
    EXPECT_EQ(form.leave("Le0"), FocusMove::next());
    form.setValue("Le0", "IT");
    form.setValue("R11", "12,5");
    EXPECT_EQ(form.confirm(), "R10");
    EXPECT_TRUE(rates().empty());
    EXPECT_TRUE(prompt.messages.empty());
    // The rate check does not wait for a key.
    form.setValue("R11", "0");
    EXPECT_EQ(form.leave("R11"), FocusMove::to("R11"));
}

TEST_F(ExciseRatesWindow, KeyCheckOnLeavingTheDateOrTheCountry) {
    struct Case {
        const char* leaving;
        const char* date;
        const char* country;
        FocusMove move;
        const char* name; // DLE0 afterwards
    };
    const Case cases[] = {
        {"R10", "31/02/2014", "IT", FocusMove::to("R10"), ""},
        {"Le0", "__/__/____", "IT", FocusMove::to("R10"), ""},
        {"R10", "01/01/2014", "", FocusMove::to("Le0"), kUnknownCountry},
        {"Le0", "01/01/2014", "XX", FocusMove::to("Le0"), kUnknownCountry},
        {"Le0", "01/01/2014", "DE", FocusMove::next(), "GERMANIA"},
        {"R10", "01/01/2014", "IT", FocusMove::next(), "ITALIA"},
    };
    for (const Case& c : cases) {
        form.open();
        form.keyTyped();
        form.setValue("R10", c.date);
        form.setValue("Le0", c.country);
        EXPECT_EQ(form.leave(c.leaving), c.move) << c.leaving << " " << c.date << " " << c.country;
        EXPECT_EQ(form.value("DLE0"), c.name) << c.country;
        EXPECT_EQ(form.chapterShown(), std::string(c.country) == "IT");
        EXPECT_FALSE(form.rowLoaded());
    }
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(ExciseRatesWindow, SavedRowsAreOrderedByDateThenCountry) {
    typeRow("01/01/2014", "IT", "2,7", "1403");
    ASSERT_EQ(form.confirm(), std::nullopt);
    typeRow("01/01/2014", "DE", "0,79", "1402"); // the chapter of another country is not kept
    ASSERT_EQ(form.confirm(), std::nullopt);
    typeRow("01/07/2013", "IT", "2,35");
    ASSERT_EQ(form.confirm(), std::nullopt);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_FALSE(form.closeRequested());
    EXPECT_EQ(form.value("LE1"), "1402"); // reset for the next row
    EXPECT_EQ(form.value("Le0"), "");

    EXPECT_EQ(bytesOf(work.folders.table("ACCISE")),
              encoded({rateRow(3, "IT", "1402", dayNumber(2013, 7, 1), 2.35),
                       rateRow(2, "DE", "", dayNumber(2014, 1, 1), 0.79),
                       rateRow(1, "IT", "1403", dayNumber(2014, 1, 1), 2.7)}));
    EXPECT_FALSE(fs::exists(work.folders.table("ACCISE").string() + "$"));
}

TEST_F(ExciseRatesWindow, AnExistingRowIsLoadedWithItsRateRoundedToTwoDecimals) {
    writeWholeFile(work.folders.table("ACCISE"),
                   encoded({rateRow(1, "DE", "", dayNumber(2014, 1, 1), 0.79),
                            rateRow(2, "IT", "1402", dayNumber(2014, 1, 1), 2.98765)}));
    form.open();
    form.keyTyped();
    form.setValue("Le0", "IT");
    form.setValue("R10", "01/01/2014");
    EXPECT_EQ(form.leave("R10"), FocusMove::next());
    EXPECT_TRUE(form.rowLoaded());
    EXPECT_EQ(form.value("R11"), "2,99");
    EXPECT_EQ(form.value("LE1"), "1402");
    // Leaving the key again while a row is loaded keeps what is typed.
    form.setValue("R11", "3,1");
    form.leave("Le0");
    EXPECT_EQ(form.value("R11"), "3,1");
    form.setValue("R11", "2,99");

    ASSERT_EQ(form.confirm(), std::nullopt);
    EXPECT_FALSE(form.rowLoaded());
    EXPECT_EQ(bytesOf(work.folders.table("ACCISE")),
              encoded({rateRow(1, "DE", "", dayNumber(2014, 1, 1), 0.79),
                       rateRow(2, "IT", "1402", dayNumber(2014, 1, 1), 2.99)}));
}

TEST_F(ExciseRatesWindow, AKeyOfAnotherRowIsRefused) {
    writeWholeFile(work.folders.table("ACCISE"),
                   encoded({rateRow(1, "IT", "1402", dayNumber(2013, 7, 1), 2.35),
                            rateRow(2, "IT", "1402", dayNumber(2014, 1, 1), 2.7)}));
    const std::string before = bytesOf(work.folders.table("ACCISE"));
    // A loaded row moved onto the date of another row of its country.
    typeRow("01/01/2014", "IT", "2,7");
    ASSERT_TRUE(form.rowLoaded());
    form.setValue("R10", "01/07/2013");
    EXPECT_EQ(form.confirm(), "R10");
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kRatePresent});
    // A new row typed over an existing key without leaving the fields.
    prompt.messages.clear();
    typeRow("01/01/2015", "IT", "3");
    form.setValue("R10", "01/01/2014");
    EXPECT_EQ(form.confirm(), "R10");
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kRatePresent});
    EXPECT_EQ(bytesOf(work.folders.table("ACCISE")), before);

    // Moving a loaded row to a free date replaces it there.
    prompt.messages.clear();
    typeRow("01/07/2013", "IT", "2,35");
    form.setValue("R10", "01/07/2015");
    ASSERT_EQ(form.confirm(), std::nullopt);
    const auto rows = rates();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].nums[0], dayNumber(2014, 1, 1));
    EXPECT_EQ(rows[1].nums[0], dayNumber(2015, 7, 1));
    EXPECT_EQ(rows[1].number, 3);
}

TEST_F(ExciseRatesWindow, ARateBelowTheSmallestIsRefusedWithAMessage) {
    struct Case {
        const char* rate;
        bool accepted;
    };
    const Case cases[] = {{"", false},       {"0", false},       {"0,000004", false},
                          {"-1", false},     {"0,00001", true},  {"1.234,5", true}};
    for (const Case& c : cases) {
        typeRow("01/01/2014", "FR", c.rate);
        prompt.messages.clear();
        EXPECT_EQ(form.leave("R11"), c.accepted ? FocusMove::next() : FocusMove::to("R11")) << c.rate;
        EXPECT_EQ(form.confirmChecks(), c.accepted ? std::nullopt : std::optional<std::string>("R11")) << c.rate;
        const std::vector<std::string> expected =
            c.accepted ? std::vector<std::string>{} : std::vector<std::string>{kRateTooSmall, kRateTooSmall};
        EXPECT_EQ(prompt.messages, expected) << c.rate;
    }
    EXPECT_TRUE(rates().empty());
    form.confirmPressed();
    ASSERT_EQ(rates().size(), 1u);
    EXPECT_EQ(rates()[0].nums[1], 1234.5);
}

TEST_F(ExciseRatesWindow, TheListOfRatesLoadsTheChosenRow) {
    writeWholeFile(work.folders.table("ACCISE"), encoded({rateRow(7, "IT", "1402", dayNumber(2014, 1, 1), 2.7)}));
    form.open();
    services.lookupAnswer = -1;
    EXPECT_EQ(form.list(), "R10");
    EXPECT_FALSE(form.rowLoaded());
    services.lookupAnswer = 7;
    EXPECT_EQ(form.list(), "R10");
    EXPECT_EQ(services.lookupTables, (std::vector<std::string>{"ACCISE", "ACCISE"}));
    EXPECT_TRUE(form.rowLoaded());
    EXPECT_EQ(form.value("R10"), "01/01/2014");
    EXPECT_EQ(form.value("Le0"), "IT");
    EXPECT_EQ(form.value("DLE0"), "ITALIA");
    EXPECT_EQ(form.value("R11"), "2,70");

    EXPECT_EQ(form.remove(), "R10"); // answered No
    EXPECT_EQ(rates().size(), 1u);
    EXPECT_TRUE(form.rowLoaded());
    prompt.answers = {true};
    EXPECT_EQ(form.remove(), "R10");
    EXPECT_EQ(prompt.questions, (std::vector<std::string>(2, std::string(kConfirmDeletion))));
    EXPECT_TRUE(rates().empty());
    EXPECT_FALSE(form.rowLoaded());
    EXPECT_EQ(form.value("R11"), "");
}

TEST_F(ExciseRatesWindow, TheCountryListAndTheWebButton) {
    form.open();
    services.lookupAnswer = 2;
    EXPECT_EQ(form.chooseCountry(), "Le0");
    EXPECT_EQ(form.value("Le0"), "FR");
    EXPECT_EQ(services.lookupTables, std::vector<std::string>{"T004"});

    form.openWeb(); // no WEB.CFG: nothing opens
    EXPECT_TRUE(services.openedAddresses.empty());
    writeWebConfig(work.folders, {"seed", "uffici", " https://aliquote.example/accise ", "", "", "", "", ""});
    form.open();
    EXPECT_EQ(form.webCaption(), "https://aliquote.example/accise");
    form.openWeb();
    EXPECT_EQ(services.openedAddresses, std::vector<std::string>{"https://aliquote.example/accise"});
}

} // namespace
} // namespace accise
