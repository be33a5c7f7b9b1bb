#include "core/tables/codetables.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "core/files/lock.h"
#include "core/files/recordfile.h"
#include "core/tables/dates.h"
#include "test_support.h"

namespace accise {
namespace {

using testing::RecordingPrompt;
using testing::TempDir;

TableRecord row(std::int32_t number, std::string c0, std::string c1 = "", std::string c2 = "") {
    TableRecord t = blankTable();
    t.number = number;
    t.col[0] = std::move(c0);
    t.col[1] = std::move(c1);
    t.col[2] = std::move(c2);
    return t;
}

TableRecord rate(std::int32_t number, std::string country, double from, double amount) {
    TableRecord t = row(number, std::move(country), "1402");
    t.nums[kRateDateNum] = from;
    t.nums[kRateAmountNum] = amount;
    return t;
}

std::string fileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class CodeTables : public ::testing::Test {
protected:
    void SetUp() override { folders.create(); }

    void writeRecords(const fs::path& file, const std::vector<TableRecord>& records) {
        std::string content;
        for (const TableRecord& r : records) content += encodeTable(r);
        writeWholeFile(file, content);
    }
    void writeStructure(std::string_view table, std::int32_t keyCount) {
        TableRecord s = blankTable();
        s.number = keyCount;
        s.extra[0] = std::string(table);
        writeRecords(folders.structure(table), {s});
    }
    // (number, column 0) of every record, in file order.
    std::vector<std::pair<std::int32_t, std::string>> keys(const fs::path& file) {
        std::vector<std::pair<std::int32_t, std::string>> out;
        for (const TableRecord& r : readTable(file)) out.emplace_back(r.number, r.col[0]);
        return out;
    }

    TempDir dir;
    Folders folders = Folders::of(dir.path(), dir / "temp");
    RecordingPrompt prompt;
};

TEST_F(CodeTables, FindByKeyComparesEveryKeyColumnAndTakesTheFirstMatch) {
    writeStructure("T2", 2);
    writeRecords(folders.table("T2"),
                 {row(1, "A", "X", "p"), row(2, "A", "Y", "p"), row(3, "A", "Y", "q"), row(4, "AB", "X")});
    struct Case {
        const char* c0;
        const char* c1;
        std::int32_t expected; // 0 = not found
    };
    const Case cases[] = {
        {"A", "Y", 2},   // duplicate keys: the one nearer the start
        {"A", "X", 1},   // column 2 is not part of the key
        {"A", "Z", 0},   // differs only in column 1
        {"A ", "X", 1},  // compared on the padded text
        {"a", "X", 0},   // byte-wise, so case matters
        {"AB", "Y", 0},
        {"", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.c0) + "/" + c.c1);
        const auto found = findByKey(folders, "T2", row(0, c.c0, c.c1, "zzz"), prompt);
        EXPECT_EQ(found ? found->number : 0, c.expected);
    }
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(CodeTables, FindCodeReturnsTheRecordTrimmed) {
    writeStructure("TA03", 1);
    writeRecords(folders.table("TA03"), {row(7, "IT000100", "Ufficio di Roma"), row(8, "IT000200", "Milano")});
    const auto found = findCode(folders, "TA03", "IT000200", prompt);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->number, 8);
    EXPECT_EQ(found->col[1], "Milano");
    EXPECT_EQ(found->col[2], "");
    EXPECT_FALSE(findCode(folders, "TA03", "IT000300", prompt));
}

TEST_F(CodeTables, MissingOrEmptyStructureShowsTheMessageAndFindsNothing) {
    writeRecords(folders.table("TA03"), {row(1, "X")});
    const std::vector<std::pair<const char*, std::string>> structures = {
        {"missing", ""}, {"empty", std::string()}, {"less than one record", std::string(100, ' ')}};
    for (const auto& [label, content] : structures) {
        SCOPED_TRACE(label);
        RecordingPrompt shown;
        fs::remove(folders.structure("TA03"));
        if (std::string_view(label) != "missing") writeWholeFile(folders.structure("TA03"), content);
        EXPECT_FALSE(readStructure(folders, "TA03"));
        EXPECT_FALSE(findCode(folders, "TA03", "X", shown));
        EXPECT_EQ(shown.messages, std::vector<std::string>{"STRUTTURA DEL FILE MANCANTE"});
    }
    EXPECT_FALSE(fs::exists(folders.structure("NONE")));
    readStructure(folders, "NONE");
    EXPECT_FALSE(fs::exists(folders.structure("NONE"))) << "a lookup never creates a structure file";
}

TEST_F(CodeTables, MissingTableFileIsCreatedEmptyAndFindsNothing) {
    writeStructure("T004", 1);
    EXPECT_FALSE(findCode(folders, "T004", "IT", prompt));
    EXPECT_TRUE(prompt.messages.empty());
    ASSERT_TRUE(fs::exists(folders.table("T004")));
    EXPECT_EQ(fs::file_size(folders.table("T004")), 0u);
}

TEST_F(CodeTables, DamagedKeyCountStillComparesTheCode) {
    writeRecords(folders.table("T"), {row(1, "A", "x")});
    for (const std::int32_t keyCount : {0, -3, 15}) {
        SCOPED_TRACE(keyCount);
        writeStructure("T", keyCount);
        EXPECT_FALSE(findCode(folders, "T", "B", prompt)) << "a key count of 0 must not match every record";
        // Beyond 10 every column is a key, so the search's blank description differs from "x".
        const bool expectFound = keyCount <= 10;
        EXPECT_EQ(findCode(folders, "T", "A", prompt).has_value(), expectFound);
    }
}

TEST_F(CodeTables, FindByNumberReturnsTheTrimmedRecordAndCreatesAMissingFile) {
    const fs::path file = folders.table("T010");
    EXPECT_FALSE(findByNumber(file, 1));
    EXPECT_TRUE(fs::exists(file));
    writeRecords(file, {row(3, "C", "cassa"), row(1, "A", "fusto")});
    const auto found = findByNumber(file, 1);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->col[0], "A");
    EXPECT_EQ(found->col[1], "fusto");
    EXPECT_FALSE(findByNumber(file, 2));
}

TEST_F(CodeTables, InsertKeepsColumnZeroOrderAndNumbersNewRecords) {
    const fs::path file = folders.table("T001");
    EXPECT_EQ(insertTableRecord(file, row(0, "it", "Italiano"), prompt), 1) << "a missing file gets number 1";
    fs::remove(file);

    writeRecords(file, {row(5, "B"), row(2, "D")});
    EXPECT_EQ(insertTableRecord(file, row(0, "C"), prompt), 6);
    EXPECT_EQ(insertTableRecord(file, row(0, "B", "second B"), prompt), 7);
    EXPECT_EQ(insertTableRecord(file, row(0, "A"), prompt), 8);
    EXPECT_EQ(insertTableRecord(file, row(42, "E"), prompt), 42) << "a given number is kept";
    EXPECT_EQ(insertTableRecord(file, row(0, "B "), prompt), 43) << "trailing blanks make an equal key";

    using K = std::vector<std::pair<std::int32_t, std::string>>;
    EXPECT_EQ(keys(file), (K{{8, "A"}, {5, "B"}, {7, "B"}, {43, "B"}, {6, "C"}, {2, "D"}, {42, "E"}}));
    EXPECT_FALSE(fs::exists(lockMarkerOf(file)));

    // The record is stored padded: byte for byte its encoding.
    TableRecord expected = row(7, "B", "second B");
    EXPECT_EQ(fileBytes(file).substr(2 * kTableSize, kTableSize), encodeTable(expected));
}

TEST_F(CodeTables, DeleteClosesTheGapAndAnAbsentNumberLeavesTheFileIntact) {
    const fs::path file = folders.table("T001");
    writeRecords(file, {row(1, "A"), row(2, "B"), row(3, "C")});
    const std::string before = fileBytes(file);

    EXPECT_FALSE(deleteTableRecord(file, 9, prompt));
    EXPECT_EQ(fileBytes(file), before);

    EXPECT_TRUE(deleteTableRecord(file, 2, prompt));
    EXPECT_EQ(fileBytes(file), before.substr(0, kTableSize) + before.substr(2 * kTableSize));
    EXPECT_TRUE(deleteTableRecord(file, 3, prompt));
    EXPECT_EQ(fileBytes(file), before.substr(0, kTableSize));
    EXPECT_FALSE(fs::exists(lockMarkerOf(file)));
}

TEST_F(CodeTables, RateInForceIsTheLastOnOrBeforeTheDay) {
    writeRecords(folders.table("ACCISE"), {rate(3, "DE", dayNumber(2013, 1, 1), 0.79),
                                           rate(1, "IT", dayNumber(2014, 1, 1), 2.70),
                                           rate(2, "IT", dayNumber(2015, 1, 1), 3.04)});
    struct Case {
        const char* country;
        double date;
        std::int32_t expected; // 0 = not found
    };
    const Case cases[] = {
        {"IT", dayNumber(2013, 12, 31), 0}, // before the first rate of the country
        {"IT", dayNumber(2014, 1, 1), 1},
        {"IT", dayNumber(2014, 6, 15), 1},
        {"IT", dayNumber(2015, 6, 15), 2},
        {"DE", dayNumber(2014, 6, 15), 3},
        {"FR", dayNumber(2014, 6, 15), 0},
        {"it", dayNumber(2014, 6, 15), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.country) + " " + formatDate(c.date));
        const auto found = exciseRate(folders, RateMode::InForce, c.country, c.date);
        EXPECT_EQ(found ? found->number : 0, c.expected);
    }
    const auto it2015 = exciseRate(folders, RateMode::InForce, "IT", dayNumber(2015, 6, 15));
    ASSERT_TRUE(it2015);
    EXPECT_DOUBLE_EQ(it2015->nums[kRateAmountNum], 3.04);
    EXPECT_EQ(it2015->col[kRateChapterCol], "1402");
}

TEST_F(CodeTables, RateInForceNotAboveOneThousandthIsNotFound) {
    const double y2014 = dayNumber(2014, 1, 1);
    const double y2015 = dayNumber(2015, 1, 1);
    writeRecords(folders.table("ACCISE"), {rate(1, "IT", y2014, 2.7), rate(2, "FR", y2014, 0.001),
                                           rate(3, "ES", y2014, 0.0011), rate(4, "IT", y2015, 0.0)});
    EXPECT_TRUE(exciseRate(folders, RateMode::InForce, "IT", y2014 + 10));
    EXPECT_FALSE(exciseRate(folders, RateMode::InForce, "IT", y2015 + 10)) << "a zero rate from 2015 on";
    EXPECT_FALSE(exciseRate(folders, RateMode::InForce, "FR", y2015));
    EXPECT_TRUE(exciseRate(folders, RateMode::InForce, "ES", y2015));
    // The exact lookup finds the row whatever its rate.
    const auto zero = exciseRate(folders, RateMode::Exact, "IT", y2015);
    ASSERT_TRUE(zero);
    EXPECT_EQ(zero->number, 4);
}

TEST_F(CodeTables, ExactRateMatchesCountryAndDayOnly) {
    const double day = dayNumber(2014, 1, 1);
    writeRecords(folders.table("ACCISE"),
                 {rate(1, "IT", day, 2.7), rate(2, "IT", day + 0.5, 2.9), rate(3, "DE", day, 0.8)});
    const auto sameDay = exciseRate(folders, RateMode::Exact, "IT", day + 0.75);
    ASSERT_TRUE(sameDay);
    EXPECT_EQ(sameDay->number, 1) << "the first row of the same day and country";
    EXPECT_FALSE(exciseRate(folders, RateMode::Exact, "IT", day + 1));
    EXPECT_FALSE(exciseRate(folders, RateMode::Exact, "IT", day - 1)) << "no \"on or before\" in exact mode";
    EXPECT_FALSE(exciseRate(folders, RateMode::Exact, "FR", day));
    EXPECT_TRUE(fs::exists(folders.table("ACCISE")));
}

TEST_F(CodeTables, InsertedRatesAreOrderedByDateThenCountry) {
    const fs::path file = folders.table("ACCISE");
    EXPECT_EQ(insertExciseRate(folders, rate(0, "IT", dayNumber(2014, 1, 1), 2.7), prompt), 1);
    EXPECT_EQ(insertExciseRate(folders, rate(0, "DE", dayNumber(2014, 1, 1), 0.8), prompt), 2);
    EXPECT_EQ(insertExciseRate(folders, rate(0, "IT", dayNumber(2013, 7, 1), 2.5), prompt), 3);
    EXPECT_EQ(insertExciseRate(folders, rate(0, "AT", dayNumber(2015, 1, 1), 1.0), prompt), 4);
    EXPECT_EQ(insertExciseRate(folders, rate(0, "IT", dayNumber(2014, 1, 1), 2.8), prompt), 5)
        << "same date and country goes after the existing row";
    EXPECT_EQ(insertExciseRate(folders, rate(9, "FR", dayNumber(2014, 1, 1), 1.1), prompt), 9);

    using K = std::vector<std::pair<std::int32_t, std::string>>;
    EXPECT_EQ(keys(file), (K{{3, "IT"}, {2, "DE"}, {9, "FR"}, {1, "IT"}, {5, "IT"}, {4, "AT"}}));
    EXPECT_FALSE(fs::exists(lockMarkerOf(file)));
}

} // namespace
} // namespace accise
