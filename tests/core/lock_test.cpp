// Lock markers and the two generic maintenance operations on record files.
#include <gtest/gtest.h>

#include "core/files/ioerror.h"
#include "core/files/lock.h"
#include "core/files/recordfile.h"
#include "core/files/recordops.h"
#include "core/files/text1252.h"
#include "core/records/tablerecord.h"
#include "test_support.h"

using namespace accise;
using accise::testing::RecordingPrompt;
using accise::testing::TempDir;

TEST(LockMarker, FreeFileLocksAtOnceAndUnlockRemovesTheMarker) {
    TempDir dir;
    RecordingPrompt prompt;
    const auto file = dir / "2014.RGM";
    lockFile(file, prompt);
    EXPECT_TRUE(fileExists(dir / "2014.RGM$"));
    EXPECT_TRUE(prompt.messages.empty());
    unlockFile(file);
    EXPECT_FALSE(fileExists(dir / "2014.RGM$"));
    EXPECT_NO_THROW(unlockFile(file)); // a marker that vanished meanwhile is no error
}

TEST(LockMarker, WaitsUntilTheOtherUserReleases) {
    TempDir dir;
    const auto file = dir / "T.TAB";
    writeWholeFile(lockMarkerOf(file), "");
    RecordingPrompt prompt;
    prompt.onInformation = [&](int attempt) {
        if (attempt == 2) unlockFile(file); // released while the second message is shown
    };
    lockFile(file, prompt);
    ASSERT_EQ(prompt.messages.size(), 2u);
    EXPECT_EQ(prompt.messages[0], "ATTENDERE! IL FILE: " + file.string() +
                                      " E` APERTO DA UN ALTRO UTENTE \r\r PREMI OK PER RIPROVARE ");
    EXPECT_TRUE(prompt.questions.empty());
    EXPECT_TRUE(fileExists(lockMarkerOf(file)));
}

TEST(LockMarker, OffersTheOverrideFromTheEleventhAttempt) {
    TempDir dir;
    const auto file = dir / "T.TAB";
    writeWholeFile(lockMarkerOf(file), "");
    RecordingPrompt prompt;
    prompt.answers = {false, true}; // No at attempt 11, Yes at attempt 12
    std::vector<std::size_t> questionsSeenAt;
    prompt.onInformation = [&](int) { questionsSeenAt.push_back(prompt.questions.size()); };
    lockFile(file, prompt);
    EXPECT_EQ(prompt.messages.size(), 12u);
    ASSERT_EQ(prompt.questions.size(), 2u);
    // Attempts 1 to 11 show the wait message before any question is asked.
    EXPECT_EQ(questionsSeenAt[10], 0u);
    EXPECT_EQ(questionsSeenAt[11], 1u);
    EXPECT_NE(prompt.questions[0].find("PREMI \"YES\" SE NESSUN UTENTE STA UTILIZZANDO IL FILE"), std::string::npos);
    EXPECT_TRUE(fileExists(lockMarkerOf(file)));
    unlockFile(file);
    EXPECT_FALSE(fileExists(lockMarkerOf(file)));
}

namespace {

std::string tableRow(std::int32_t number, const std::string& code) {
    TableRecord t = blankTable();
    t.number = number;
    t.col[0] = code;
    return encodeTable(t);
}

std::vector<std::pair<int, std::string>> rowsOf(const fs::path& file) {
    std::vector<std::pair<int, std::string>> rows;
    const RecordBlock block = readRecords(file, kTableSize);
    for (std::size_t i = 0; i < block.count(); ++i) {
        TableRecord t = decodeTable(block.at(i));
        rows.emplace_back(t.number, trimmed(t.col[0]));
    }
    return rows;
}

} // namespace

TEST(OrderedInsertion, NumbersAndPlacesByKeyWithEqualKeysInArrivalOrder) {
    TempDir dir;
    RecordingPrompt prompt;
    const auto file = dir / "TA03.TAB";
    const auto key = textKeyAt(tableColumnOffset(0), kTableTextWidth);
    EXPECT_EQ(orderedInsert(file, kTableSize, tableRow(0, "M"), key, prompt), 1); // missing file: created, number 1
    orderedInsert(file, kTableSize, tableRow(0, "B"), key, prompt);
    orderedInsert(file, kTableSize, tableRow(0, "M"), key, prompt);
    orderedInsert(file, kTableSize, tableRow(0, "Z"), key, prompt);
    orderedInsert(file, kTableSize, tableRow(0, "a"), key, prompt); // lower case sorts after capitals
    orderedInsert(file, kTableSize, tableRow(40, "C"), key, prompt); // a given number is kept
    const std::vector<std::pair<int, std::string>> expected = {{2, "B"}, {40, "C"}, {1, "M"},
                                                               {3, "M"}, {4, "Z"}, {5, "a"}};
    EXPECT_EQ(rowsOf(file), expected);
    EXPECT_FALSE(fileExists(lockMarkerOf(file)));
}

TEST(RecordDelete, ClosesTheGapAndIgnoresUnknownNumbers) {
    TempDir dir;
    RecordingPrompt prompt;
    const auto file = dir / "T.TAB";
    const auto key = textKeyAt(tableColumnOffset(0), kTableTextWidth);
    for (const char* code : {"A", "B", "C"}) orderedInsert(file, kTableSize, tableRow(0, code), key, prompt);
    const std::string before = readRecords(file, kTableSize).bytes();
    EXPECT_FALSE(recordDelete(file, kTableSize, 99, prompt));
    EXPECT_EQ(readRecords(file, kTableSize).bytes(), before);
    EXPECT_TRUE(recordDelete(file, kTableSize, 3, prompt)); // the last record
    EXPECT_EQ(rowsOf(file), (std::vector<std::pair<int, std::string>>{{1, "A"}, {2, "B"}}));
    EXPECT_TRUE(recordDelete(file, kTableSize, 1, prompt));
    EXPECT_EQ(rowsOf(file), (std::vector<std::pair<int, std::string>>{{2, "B"}}));
}

TEST(RecordFile, WritersRefuseAFileWithATruncatedRecordAndLeaveItAlone) {
    TempDir dir;
    RecordingPrompt prompt;
    const auto file = dir / "T.TAB";
    const std::string damaged = tableRow(1, "A") + std::string(100, 'x');
    writeWholeFile(file, damaged);
    const auto key = textKeyAt(tableColumnOffset(0), kTableTextWidth);
    EXPECT_THROW(orderedInsert(file, kTableSize, tableRow(0, "B"), key, prompt), IoError);
    EXPECT_THROW(recordDelete(file, kTableSize, 1, prompt), IoError);
    EXPECT_EQ(readRecords(file, kTableSize).bytes(), damaged);
    EXPECT_EQ(readRecords(file, kTableSize).count(), 1u); // readers see the whole records
    EXPECT_FALSE(fileExists(lockMarkerOf(file)));
}

TEST(RecordFile, AFolderWhereAFileIsExpectedIsAnIoError) {
    TempDir dir;
    std::filesystem::create_directory(dir / "X.TAB");
    EXPECT_THROW(readRecords(dir / "X.TAB", kTableSize), IoError);
}

TEST(OrderedReplace, SameResultAsDeleteThenInsertInOneChange) {
    struct Case {
        const char* name;
        std::int32_t oldNumber;
        std::string code;
        std::int32_t number;
    };
    const std::vector<Case> cases = {
        {"moves to its new place", 1, "Z", 0},
        {"the highest number comes back", 3, "A", 0},
        {"keeps a given number", 2, "C", 2},
        {"an absent old number only inserts", 9, "B", 0},
    };
    const auto key = textKeyAt(tableColumnOffset(0), kTableTextWidth);
    for (const auto& c : cases) {
        TempDir dir;
        RecordingPrompt prompt;
        const auto twoSteps = dir / "A.TAB";
        const auto oneStep = dir / "B.TAB";
        for (const auto& file : {twoSteps, oneStep})
            for (const char* code : {"B", "D", "F"}) orderedInsert(file, kTableSize, tableRow(0, code), key, prompt);
        recordDelete(twoSteps, kTableSize, c.oldNumber, prompt);
        const auto expected = orderedInsert(twoSteps, kTableSize, tableRow(c.number, c.code), key, prompt);
        EXPECT_EQ(orderedReplace(oneStep, kTableSize, c.oldNumber, tableRow(c.number, c.code), key, prompt), expected)
            << c.name;
        EXPECT_EQ(readRecords(oneStep, kTableSize).bytes(), readRecords(twoSteps, kTableSize).bytes()) << c.name;
        EXPECT_FALSE(fileExists(lockMarkerOf(oneStep)));
    }
}
