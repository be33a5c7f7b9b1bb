// The record append (numbering, register order, replacement), delete and correction.
#include <gtest/gtest.h>

#include <limits>

#include "core/books/movementfile.h"
#include "core/files/ioerror.h"
#include "core/files/lock.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "test_support.h"

using namespace accise;
using accise::testing::RecordingPrompt;
using accise::testing::TempDir;

namespace {

Movement movement(double date, const char* tipmov, std::int32_t numcpr = 0, const char* tiprec = "C") {
    Movement m = blankMovement();
    m.DATMOV = date;
    m.TIPREC = tiprec;
    m.TIPOPE = "I";
    m.TIPMOV = tipmov;
    m.NUMCPR = numcpr;
    m.STATO = " ";
    return m;
}

Movement duty(const char* tiprec, const char* period, double date = 42000) {
    Movement m = movement(date, " ", 0, tiprec);
    m.CODPAE = period;
    return m;
}

struct Fixture {
    TempDir dir;
    RecordingPrompt prompt;
    fs::path file = dir / "2014.RGM";

    // Marks record `index` as sent in flow 1, keeping its place.
    void markSent(std::size_t index) {
        std::string bytes = readRecords(file, kMovementSize).bytes();
        Movement m = decodeMovement(std::string_view(bytes).substr(index * kMovementSize, kMovementSize));
        m.NUMFLU = 1;
        bytes.replace(index * kMovementSize, kMovementSize, encodeMovement(m));
        writeWholeFile(file, bytes);
    }

    AppendResult add(Movement m, bool alcopp = false) { return appendMovement(file, m, alcopp, prompt); }
    std::vector<std::int32_t> numrecs() const {
        std::vector<std::int32_t> out;
        for (const auto& m : readMovements(file)) out.push_back(m.NUMREC);
        return out;
    }
};

} // namespace

TEST(RecordAppend, FirstAppendCreatesTheFileWithNumbersOne) {
    Fixture f;
    const AppendResult r = f.add(movement(41999.4, "C"));
    EXPECT_EQ(r.NUMREC, 1);
    EXPECT_EQ(r.NUMOPE, 1);
    const auto all = readMovements(f.file);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].DATMOV, 41999.0); // rounded to a whole day
    EXPECT_EQ(all[0].PRODDO, std::string(21, ' ')); // stored padded
    EXPECT_FALSE(fileExists(lockMarkerOf(f.file)));
}

TEST(RecordAppend, PlacesMovementsInRegisterOrder) {
    struct Case {
        const char* name;
        std::vector<Movement> existing;
        Movement added;
        std::vector<std::int32_t> expectedOrder; // NUMRECs in file order; the new one is last numbered
    };
    const std::vector<Case> cases = {
        {"later date goes after", {movement(100, "C")}, movement(101, "C"), {1, 2}},
        {"earlier date goes before", {movement(100, "C")}, movement(99, "S"), {2, 1}},
        {"equal NUMCPR keeps arrival order", {movement(100, "C", 5)}, movement(100, "C", 5), {1, 2}},
        {"smaller NUMCPR goes first", {movement(100, "C", 5)}, movement(100, "C", 4), {2, 1}},
        {"load before the unloads of its day",
         {movement(100, "C"), movement(100, "S"), movement(100, "S")},
         movement(100, "C", 9),
         {1, 4, 2, 3}},
        {"unload before the closing records of its day",
         {movement(100, "S"), movement(100, "A")},
         movement(100, "S", 0),
         {1, 3, 2}},
        {"load after a closing record of the previous day", {movement(99, "A")}, movement(100, "C"), {1, 2}},
        {"initial stocks by date only", {movement(100, "G"), movement(102, "G")}, movement(101, "G"), {1, 3, 2}},
    };
    for (const auto& c : cases) {
        Fixture f;
        for (const auto& m : c.existing) f.add(m);
        f.add(c.added);
        EXPECT_EQ(f.numrecs(), c.expectedOrder) << c.name;
    }
}

TEST(RecordAppend, DutyRecordOfAPeriodReplacesTheUnsentOneOrGoesBeforeLaterPeriods) {
    Fixture f;
    f.add(duty("E", "01"));
    f.add(duty("E", "03"));
    Movement again = duty("E", "01");
    again.ACCISA = 12.5;
    const AppendResult r = f.add(again);
    EXPECT_TRUE(r.replaced);
    auto all = readMovements(f.file);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].NUMREC, 3);
    EXPECT_EQ(all[0].ACCISA, 12.5);

    // Once sent, the period's record stays; the new one goes before the next period.
    Movement sent = all[0];
    sent.NUMFLU = 4;
    deleteMovement(f.file, 3, f.prompt);
    insertMovementAt(f.file, 0, sent);
    const AppendResult r2 = f.add(duty("E", "01"));
    EXPECT_FALSE(r2.replaced);
    EXPECT_EQ(f.numrecs(), (std::vector<std::int32_t>{3, 4, 2}));
}

TEST(RecordAppend, RegisteredConsigneeKeepsDutyRecordsByDay) {
    Fixture f;
    f.add(duty("E", "  ", 100), true);
    f.add(duty("E", "  ", 102), true);
    EXPECT_TRUE(f.add(duty("E", "  ", 100), true).replaced);
    EXPECT_FALSE(f.add(duty("D", "  ", 100), true).replaced); // credits are never replaced by day
    EXPECT_FALSE(f.add(duty("E", "  ", 101), true).replaced);
    EXPECT_EQ(f.numrecs(), (std::vector<std::int32_t>{3, 4, 5, 2}));
}

TEST(RecordAppend, IdenticalMovementsAreBothKeptAndLongTextsAreCut) {
    Fixture f;
    Movement m = movement(100, "S");
    m.NUMDOC = std::string(30, '9');
    f.add(m);
    f.add(m);
    const auto all = readMovements(f.file);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].NUMDOC, std::string(21, '9'));
}

TEST(RecordDelete, LargestNumberComesBackOnTheNextAppend) {
    Fixture f;
    f.add(movement(100, "C"));
    f.add(movement(101, "C"));
    EXPECT_EQ(deleteMovement(f.file, 2, f.prompt), DeleteOutcome::Deleted);
    EXPECT_EQ(deleteMovement(f.file, 2, f.prompt), DeleteOutcome::NotFound);
    EXPECT_EQ(f.add(movement(102, "C")).NUMREC, 2);
}

TEST(Correction, WritesThePatternAndTheNextOperationNumberFollowsTheRules) {
    for (bool modify : {false, true}) {
        Fixture f;
        f.add(movement(100, "C"));
        f.add(movement(101, "S"));
        // Mark record 2 (NUMOPE 2) as sent.
        Movement sent = readMovements(f.file)[1];
        sent.NUMFLU = 1;
        sent.DATFLU = 102;
        deleteMovement(f.file, 2, f.prompt);
        insertMovementAt(f.file, 1, sent);

        std::optional<Movement> replacement;
        if (modify) {
            replacement = sent;
            replacement->QTALIT = 55;
            replacement->NUMOPE = sent.NUMOPE;
        }
        const CorrectionResult r = correctMovement(f.file, 2, "errore di quantità", replacement, f.prompt);
        ASSERT_EQ(r.outcome, CorrectionOutcome::Done);
        const auto all = readMovements(f.file);
        ASSERT_EQ(all.size(), modify ? 4u : 3u);
        EXPECT_EQ(all[1].STATO, "C");
        EXPECT_EQ(all[1].NUMFLU, 1); // the sent record keeps its flow
        EXPECT_EQ(all[2].NUMREC, 3);
        EXPECT_EQ(all[2].NUMRIF, 2);
        EXPECT_EQ(all[2].TIPOPE, "C");
        EXPECT_EQ(all[2].NUMFLU, 0);
        EXPECT_EQ(all[2].NUMOPE, 2);
        EXPECT_EQ(trimmed(all[2].ANNOTA), "errore di quantità");
        if (modify) {
            EXPECT_EQ(all[3].NUMREC, 4);
            EXPECT_EQ(all[3].STATO, "R");
            EXPECT_EQ(all[3].TIPOPE, "I");
            EXPECT_EQ(all[3].QTALIT, 55);
        }
        // Modify: the replacement carries NUMOPE 2, so the next is 3. Cancel only: 2 again.
        EXPECT_EQ(f.add(movement(103, "C")).NUMOPE, modify ? 3 : 2);
    }
}

TEST(Correction, RefusesUnsentSupersededAndUnknownRecords) {
    Fixture f;
    f.add(movement(100, "C"));
    EXPECT_EQ(correctMovement(f.file, 1, "x", std::nullopt, f.prompt).outcome, CorrectionOutcome::NotSent);
    EXPECT_EQ(correctMovement(f.file, 9, "x", std::nullopt, f.prompt).outcome, CorrectionOutcome::NotFound);
    Movement sent = readMovements(f.file)[0];
    sent.NUMFLU = 1;
    deleteMovement(f.file, 1, f.prompt);
    insertMovementAt(f.file, 0, sent);
    EXPECT_EQ(correctMovement(f.file, 1, "x", std::nullopt, f.prompt).outcome, CorrectionOutcome::Done);
    EXPECT_EQ(correctMovement(f.file, 1, "x", std::nullopt, f.prompt).outcome,
              CorrectionOutcome::NotCorrectable);
    EXPECT_EQ(readMovements(f.file).size(), 2u);
}

TEST(RecordAppend, TruncatedFileIsRefusedAndLeftUnchanged) {
    Fixture f;
    f.add(movement(100, "C"));
    std::string bytes = readRecords(f.file, kMovementSize).bytes();
    bytes.resize(bytes.size() - 10);
    writeWholeFile(f.file, bytes);
    EXPECT_THROW(f.add(movement(101, "C")), IoError);
    EXPECT_EQ(readRecords(f.file, kMovementSize).bytes(), bytes);
    EXPECT_FALSE(fileExists(lockMarkerOf(f.file)));
}

TEST(RecordDelete, SentRecordsAndCorrectionsAreNeverDeleted) {
    Fixture f;
    f.add(movement(100, "C")); // 1: sent, then corrected: superseded
    f.add(movement(101, "C")); // 2: sent
    f.add(movement(102, "C")); // 3: unsent
    f.markSent(0);
    f.markSent(1);
    ASSERT_EQ(correctMovement(f.file, 1, "x", std::nullopt, f.prompt).outcome, CorrectionOutcome::Done); // 4: its cancellation
    const std::string before = readRecords(f.file, kMovementSize).bytes();
    const std::pair<std::int32_t, DeleteOutcome> cases[] = {
        {1, DeleteOutcome::PartOfCorrection}, {4, DeleteOutcome::PartOfCorrection}, {2, DeleteOutcome::Sent}};
    for (const auto& [numrec, outcome] : cases) {
        EXPECT_EQ(deleteMovement(f.file, numrec, f.prompt), outcome) << numrec;
        EXPECT_EQ(readRecords(f.file, kMovementSize).bytes(), before) << numrec;
    }
    EXPECT_EQ(deleteMovement(f.file, 3, f.prompt), DeleteOutcome::Deleted);
}

TEST(RecordAppend, NeverLandsInsideACorrectedRecordsGroup) {
    Fixture f;
    f.add(movement(100, "C")); // 1
    f.add(movement(105, "C")); // 2
    f.markSent(0);
    // The replacement moves the movement to a later day than record 2.
    Movement replacement = readMovements(f.file)[0];
    replacement.DATMOV = 110;
    ASSERT_EQ(correctMovement(f.file, 1, "data errata", replacement, f.prompt).outcome, CorrectionOutcome::Done);
    ASSERT_EQ(f.numrecs(), (std::vector<std::int32_t>{1, 3, 4, 2}));
    // A load of day 103 belongs before record 2 (day 105), which is right after the group.
    const AppendResult r = f.add(movement(103, "C"));
    EXPECT_EQ(f.numrecs(), (std::vector<std::int32_t>{1, 3, 4, 5, 2}));
    EXPECT_EQ(r.position, 3u);
    // One of day 101 would go before the replacement (day 110): it goes after the group too.
    f.add(movement(101, "C"));
    EXPECT_EQ(f.numrecs(), (std::vector<std::int32_t>{1, 3, 4, 6, 5, 2}));
}

TEST(RecordAppend, ABatchIsWrittenWholeOrNotAtAll) {
    Fixture f;
    f.add(movement(100, "C"));
    // Two at the end and one that goes before the first: one rewrite, numbered in order.
    const auto results = appendMovements(f.file, {movement(101, "C"), movement(99, "C"), movement(102, "S")}, false, f.prompt);
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[1].NUMREC, 3);
    EXPECT_EQ(results[1].NUMOPE, 3);
    EXPECT_EQ(f.numrecs(), (std::vector<std::int32_t>{3, 1, 2, 4}));
    // All after the file's records, but ordered among themselves: a load before an
    // unload of the same day.
    const auto atEnd = appendMovements(f.file, {movement(103, "S"), movement(103, "C")}, false, f.prompt);
    EXPECT_EQ(atEnd[1].position, 4u);
    EXPECT_EQ(f.numrecs(), (std::vector<std::int32_t>{3, 1, 2, 4, 6, 5}));

    // A bad record anywhere in the batch: nothing of it is written.
    const std::string before = readRecords(f.file, kMovementSize).bytes();
    Movement bad = movement(103, "C");
    bad.QTALIT = std::numeric_limits<double>::quiet_NaN();
    EXPECT_THROW(appendMovements(f.file, {movement(103, "C"), bad}, false, f.prompt), IoError);
    EXPECT_EQ(readRecords(f.file, kMovementSize).bytes(), before);
    EXPECT_FALSE(fileExists(lockMarkerOf(f.file)));
}

TEST(RecordNumbers, AnExhaustedNUMRECIsRefusedInsteadOfWrapping) {
    Fixture f;
    Movement last = movement(100, "C");
    last.NUMREC = 2147483647;
    last.NUMOPE = 5;
    f.add(last);
    try {
        f.add(movement(101, "C"));
        ADD_FAILURE() << "no error";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("numeri di record esauriti"), std::string::npos);
    }
    f.markSent(0);
    const std::string before = readRecords(f.file, kMovementSize).bytes();
    EXPECT_THROW(correctMovement(f.file, 2147483647, "x", std::nullopt, f.prompt), IoError);
    EXPECT_EQ(readRecords(f.file, kMovementSize).bytes(), before);
    EXPECT_FALSE(fileExists(lockMarkerOf(f.file)));
}

TEST(Correction, AReplacementWithoutNUMOPETakesTheCorrectedRecordsWhenAsked) {
    Fixture f;
    f.add(movement(100, "C"));
    f.add(movement(101, "C"));
    f.markSent(1);
    Movement replacement = readMovements(f.file)[1];
    replacement.NUMOPE = 0;
    const auto r = correctMovement(f.file, 2, "x", replacement, f.prompt, ReplacementNUMOPE::FromCorrected);
    ASSERT_EQ(r.outcome, CorrectionOutcome::Done);
    EXPECT_EQ(readMovements(f.file).back().NUMOPE, 2);
}

// A correction group is never broken by a plain append: the unsent replacement of a
// period (ALCODA) or day (ALCOPP) is not overwritten, whatever the path the append takes.
TEST(RecordAppend, AnUnsentReplacementIsNeverReplacedByAPlainRecord) {
    for (const bool alcopp : {false, true}) {
        Fixture f;
        f.add(duty("E", "03"));
        f.markSent(0);
        ASSERT_EQ(correctMovement(f.file, 1, "importo errato", duty("E", "03"), f.prompt).outcome,
                  CorrectionOutcome::Done);
        const std::string before = readRecords(f.file, kMovementSize).bytes();
        EXPECT_THROW(f.add(duty("E", "03"), alcopp), IoError) << alcopp;
        EXPECT_THROW(appendMovements(f.file, {duty("D", "01"), duty("E", "03")}, alcopp, f.prompt), IoError) << alcopp;
        EXPECT_EQ(readRecords(f.file, kMovementSize).bytes(), before) << alcopp;
        // Another period (day) is added as before.
        EXPECT_FALSE(f.add(duty("E", "04", 42001), alcopp).replaced) << alcopp;
    }
}

// The record a caller loaded is found by its number and its bytes: the number given
// again after a delete is another record.
TEST(RecordDelete, ARecordLoadedBeforeItsNumberWasGivenAgainIsNotTouched) {
    Fixture f;
    f.add(movement(42000, "C"));
    f.add(movement(42001, "S"));
    const Movement loaded = readMovements(f.file)[1];
    ASSERT_EQ(deleteMovement(f.file, 2, f.prompt), DeleteOutcome::Deleted);
    Movement other = movement(42002, "S");
    other.NUMDOC = "ALTRA POSTAZIONE";
    EXPECT_EQ(f.add(other).NUMREC, 2); // the largest number comes back
    EXPECT_EQ(deleteMovement(f.file, 2, f.prompt, loaded), DeleteOutcome::NotFound);
    f.markSent(0);
    Movement sentLoaded = readMovements(f.file)[0];
    sentLoaded.ANNOTA = "come letto prima di un'altra modifica";
    EXPECT_EQ(correctMovement(f.file, 1, "x", std::nullopt, f.prompt, ReplacementNUMOPE::AsGiven, sentLoaded).outcome,
              CorrectionOutcome::NotFound);
    EXPECT_EQ(f.numrecs(), (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(deleteMovement(f.file, 2, f.prompt, readMovements(f.file)[1]), DeleteOutcome::Deleted);
}
