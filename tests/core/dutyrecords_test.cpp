// Period codes and bounds of the duty year, the identity of a duty record, the excise
// summary computed from the register file, and the saving of duty records.
#include <gtest/gtest.h>

#include "core/books/movementfile.h"
#include "core/duty/dutyrecords.h"
#include "core/files/recordfile.h"
#include "core/tables/dates.h"
#include "register_builder.h"
#include "test_support.h"

using namespace accise;
using namespace accise::testing;

namespace {

struct Folder {
    TempDir dir;
    Folders folders = Folders::of(dir.path(), dir.path() / "temp");
    Folder() { folders.create(); }
};

} // namespace

TEST(PeriodCodes, TypedPeriodsAndTheirDescriptions) {
    struct Case {
        const char* typed;
        const char* code; // "" when refused
        const char* description;
    };
    const Case cases[] = {
        {"3", "03", "Marzo - 2014"},
        {"03", "03", "Marzo - 2014"},
        {"1", "01", "Gennaio - 2014"},
        {"11", "11", "Novembre - 2014"},
        {"21", "21", "1^ quindicina di dicembre - 2014"},
        {"22", "22", "2^ quindicina di dicembre - 2014"},
        {"12", "", ""},
        {"20", "", ""},
        {"0", "", ""},
        {"23", "", ""},
        {"", "", ""},
        {"1a", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const auto code = periodCode(c.typed);
        if (*c.code == '\0') {
            EXPECT_FALSE(code);
            continue;
        }
        ASSERT_TRUE(code);
        EXPECT_EQ(*code, c.code);
        EXPECT_EQ(periodDescription(*code, "2014"), c.description);
    }
}

TEST(PeriodCodes, BoundsIncludeLeapDaysAndSplitDecember) {
    struct Case {
        const char* code;
        int year;
        const char* first;
        const char* last;
    };
    const Case cases[] = {
        {"01", 2014, "01/01/2014", "31/01/2014"}, {"02", 2014, "01/02/2014", "28/02/2014"},
        {"02", 2016, "01/02/2016", "29/02/2016"}, {"02", 2100, "01/02/2100", "28/02/2100"},
        {"04", 2014, "01/04/2014", "30/04/2014"}, {"11", 2014, "01/11/2014", "30/11/2014"},
        {"21", 2014, "01/12/2014", "15/12/2014"}, {"22", 2014, "16/12/2014", "31/12/2014"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.code) + "/" + std::to_string(c.year));
        const auto bounds = periodBounds(c.code, c.year);
        ASSERT_TRUE(bounds);
        EXPECT_EQ(formatDate(bounds->first), c.first);
        EXPECT_EQ(formatDate(bounds->last), c.last);
    }
    EXPECT_FALSE(periodBounds("12", 2014));
}

TEST(PeriodCodes, ProposalFollowsTheLastActiveSummary) {
    const std::pair<const char*, const char*> next[] = {
        {"00", "01"}, {"01", "02"}, {"09", "10"}, {"10", "11"}, {"11", "21"}, {"21", "22"}, {"22", "22"}};
    for (const auto& [from, to] : next) EXPECT_EQ(nextPeriodCode(from), to) << from;

    Folder f;
    EXPECT_EQ(proposedSummaryPeriod(f.folders, 2014), "01");
    addDutyRecord(f.folders.dutyFile(2014), dutyRecord("E", "2014", "04"));
    addDutyRecord(f.folders.dutyFile(2014), dutyRecord("D", "2014", "09")); // credits do not count
    Movement superseded = dutyRecord("E", "2014", "07");
    superseded.STATO = "C";
    addDutyRecord(f.folders.dutyFile(2014), superseded);
    EXPECT_EQ(proposedSummaryPeriod(f.folders, 2014), "05");
}

TEST(DutyIdentity, FirstActiveEntryOfTheKindAndPeriodOrDay) {
    Folder f;
    const auto file = f.folders.dutyFile(2014);
    Movement cancelled = dutyRecord("D", "2014", "03");
    cancelled.STATO = "C";
    cancelled.NUMFLU = 4;
    addDutyRecord(file, cancelled);
    Movement cancellation = dutyRecord("D", "2014", "03");
    cancellation.TIPOPE = "C";
    addDutyRecord(file, cancellation);
    Movement credit = dutyRecord("D", "2014", "03");
    credit.NUMPRO = "PROT1";
    addDutyRecord(file, credit);
    addDutyRecord(file, dutyRecord("E", "2014", "05"));

    const auto found = findDutyRecordOfPeriod(file, DutyKind::Credit, "03");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->NUMPRO, "PROT1"); // trimmed
    EXPECT_FALSE(isSent(*found));
    EXPECT_FALSE(findDutyRecordOfPeriod(file, DutyKind::Summary, "03"));
    EXPECT_FALSE(findDutyRecordOfPeriod(file, DutyKind::Credit, "05"));
    EXPECT_FALSE(findDutyRecordOfPeriod(f.folders.dutyFile(2015), DutyKind::Credit, "03"));

    Movement day = dutyRecord("E", "", "");
    day.DATMOV = *parseDate("10/06/2014");
    day.NUMFLU = 2;
    addDutyRecord(file, day, true);
    const auto ofDay = findDutyRecordOfDay(file, DutyKind::Summary, *parseDate("10/06/2014"));
    ASSERT_TRUE(ofDay);
    EXPECT_TRUE(isSent(*ofDay));
    EXPECT_FALSE(findDutyRecordOfDay(file, DutyKind::Summary, *parseDate("11/06/2014")));
}

TEST(ExciseSummary, PeriodCountsTaxedUnloadsLoadsAndCredits) {
    Folder f;
    // February of a leap year: the 29th belongs to period 02, 1 March does not.
    addToRegister(f.folders, registerMovement("01/02/2016", "S", 100.10));
    addToRegister(f.folders, registerMovement("29/02/2016", "S", 200.20));
    addToRegister(f.folders, registerMovement("01/03/2016", "S", 999));
    addToRegister(f.folders, registerMovement("31/01/2016", "S", 999));
    addToRegister(f.folders, registerMovement("15/02/2016", "C", 30.5)); // reversal
    addToRegister(f.folders, registerMovement("15/02/2016", "S", 999, "000"));
    addToRegister(f.folders, registerMovement("15/02/2016", "S", 999, "002"));
    Movement superseded = registerMovement("16/02/2016", "S", 999);
    superseded.STATO = "C";
    addToRegister(f.folders, superseded);
    Movement cancellation = registerMovement("16/02/2016", "S", 999);
    cancellation.TIPOPE = "C";
    addToRegister(f.folders, cancellation);
    Movement replacement = registerMovement("16/02/2016", "S", 10);
    replacement.STATO = "R";
    addToRegister(f.folders, replacement);
    Movement other = registerMovement("17/02/2016", "G", 999); // neither load nor unload
    addToRegister(f.folders, other);

    const auto duty = f.folders.dutyFile(2016);
    Movement c1 = dutyRecord("D", "2016", "02");
    c1.ETTOGR = 100;
    Movement c2 = dutyRecord("D", "2016", "02");
    c2.ETTOGR = 50;
    Movement otherPeriod = dutyRecord("D", "2016", "03");
    otherPeriod.ETTOGR = 7;
    addDutyRecord(duty, c1, true); // by day: the second credit of the period is kept beside the first
    addDutyRecord(duty, c2, true);
    addDutyRecord(duty, otherPeriod, true);

    const auto s = summarisePeriod(f.folders, 2016, "02");
    ASSERT_TRUE(s);
    EXPECT_DOUBLE_EQ(s->exciseDue, 310.30);
    EXPECT_DOUBLE_EQ(s->creditsUsed, 150.00);
    EXPECT_DOUBLE_EQ(s->reversals, 30.50);
    EXPECT_DOUBLE_EQ(summaryTotal(s->exciseDue, s->creditsUsed, s->reversals), 129.80);
    EXPECT_DOUBLE_EQ(summaryTotal(100, 150, 0), -50.00);
}

TEST(ExciseSummary, DecemberHalvesSplitOnTheFifteenth) {
    Folder f;
    addToRegister(f.folders, registerMovement("01/12/2014", "S", 1));
    addToRegister(f.folders, registerMovement("15/12/2014", "S", 2));
    addToRegister(f.folders, registerMovement("16/12/2014", "S", 4));
    addToRegister(f.folders, registerMovement("31/12/2014", "S", 8));
    EXPECT_DOUBLE_EQ(summarisePeriod(f.folders, 2014, "21")->exciseDue, 3);
    EXPECT_DOUBLE_EQ(summarisePeriod(f.folders, 2014, "22")->exciseDue, 12);
    EXPECT_DOUBLE_EQ(summarisePeriod(f.folders, 2014, "11")->exciseDue, 0);
    EXPECT_FALSE(summarisePeriod(f.folders, 2014, "12"));
}

TEST(ExciseSummary, DayCountsTaxedReceiptsUnderItsDocumentTypes) {
    Folder f;
    addToRegister(f.folders, registerMovement("10/06/2014", "C", 1, "001", "DAA"));
    addToRegister(f.folders, registerMovement("10/06/2014", "C", 2, "001", "ROR"));
    addToRegister(f.folders, registerMovement("10/06/2014", "C", 4, "001", "FBR"));
    addToRegister(f.folders, registerMovement("10/06/2014", "C", 8, "001", "EAD"));
    addToRegister(f.folders, registerMovement("10/06/2014", "S", 16, "001", "DAA"));
    addToRegister(f.folders, registerMovement("10/06/2014", "C", 32, "000", "DAA"));
    addToRegister(f.folders, registerMovement("11/06/2014", "C", 64, "001", "DAA"));
    EXPECT_DOUBLE_EQ(summariseDay(f.folders, *parseDate("10/06/2014")), 7);
    EXPECT_DOUBLE_EQ(summariseDay(f.folders, *parseDate("12/06/2014")), 0);
}

TEST(DutySave, EntryReplacesUnsentSamePeriodAndCorrectionFollowsThePattern) {
    Folder f;
    RecordingPrompt prompt;
    const auto file = f.folders.dutyFile(2014);
    Movement first = dutyRecord("E", "2014", "03");
    first.QTAKG = 10;
    EXPECT_EQ(saveDutyEntry(file, first, DutyIdentity::Period, false, prompt), DutySaveOutcome::Saved);
    Movement second = dutyRecord("E", "2014", "03");
    second.QTAKG = 20;
    EXPECT_EQ(saveDutyEntry(file, second, DutyIdentity::Period, false, prompt), DutySaveOutcome::Replaced);
    auto all = readMovements(file);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_DOUBLE_EQ(all[0].QTAKG, 20);

    // Sent meanwhile: a new entry of the period is refused under the lock, and the
    // sent record stays as it is.
    Movement sent = decodeMovement(encodeMovement(all[0]));
    sent.NUMFLU = 4;
    sent.DATFLU = dayNumber(2014, 4, 2);
    writeWholeFile(file, encodeMovement(sent));
    Movement third = dutyRecord("E", "2014", "03");
    third.QTAKG = 30;
    EXPECT_EQ(saveDutyEntry(file, third, DutyIdentity::Period, false, prompt), DutySaveOutcome::AlreadySent);
    const auto after = readMovements(file);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_DOUBLE_EQ(after[0].QTAKG, 20);
    EXPECT_EQ(after[0].NUMFLU, 4);
    writeWholeFile(file, encodeMovement(all[0]));

    // Not yet sent: it cannot be corrected.
    EXPECT_EQ(saveDutyCorrection(file, all[0].NUMREC, "nota", std::nullopt, prompt), DutySaveOutcome::NotSent);
    EXPECT_EQ(saveDutyCorrection(file, 99, "nota", std::nullopt, prompt), DutySaveOutcome::NotFound);
}
