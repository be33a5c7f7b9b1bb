// Saving a movement in its four modes, checked through the register files.
#include <gtest/gtest.h>

#include <functional>

#include "core/books/movementcalc.h"
#include "core/books/movementsave.h"
#include "core/files/lock.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "movement_fixture.h"
#include "test_support.h"

namespace accise {
namespace {

using testing::RecordingPrompt;
using testing::TempDir;

class MovementSave : public ::testing::Test {
protected:
    MovementSave() { testing::writeBrewery(folders, prompt); }

    std::vector<Movement> year(int y) const { return readMovements(folders.registerFile(y)); }
    SaveResult save(EntryMode mode, const Movement& m, const Movement& selected = blankMovement()) {
        return saveMovement(folders, mode, m, selected, false, prompt);
    }
    // A movement already in its file, as the selection hands it over.
    Movement stored(const Movement& m) {
        const SaveResult r = save(EntryMode::Insert, m);
        for (const Movement& s : year(yearOf(m.DATMOV)))
            if (s.NUMREC == r.NUMREC) return s;
        ADD_FAILURE() << "not saved";
        return m;
    }
    void markSent(int y, std::int32_t numrec) {
        std::vector<Movement> records = year(y);
        std::string content;
        for (Movement& m : records) {
            if (m.NUMREC == numrec) {
                m.DATFLU = dayNumber(y, 6, 30);
                m.NUMFLU = 4;
            }
            content += encodeMovement(m);
        }
        replaceFileContent(folders.registerFile(y), content);
    }

    TempDir dir;
    Folders folders = Folders::of(dir.path(), dir.path() / "temp");
    RecordingPrompt prompt;
    const double march = dayNumber(2024, 3, 1);
};

TEST_F(MovementSave, InsertAppendsToTheYearsFileWhenTheRegisterHasAnInitialStock) {
    const SaveResult r = save(EntryMode::Insert, testing::fixtureUnload(march, 100));
    EXPECT_EQ(r.outcome, SaveOutcome::Saved);
    EXPECT_EQ(r.NUMREC, 1);
    EXPECT_EQ(r.NUMOPE, 1);
    EXPECT_EQ(r.file, folders.registerFile(2024));
    ASSERT_EQ(year(2024).size(), 1u);
    EXPECT_EQ(year(2024)[0].NUMDOC, "F-1                  ");

    Movement orphan = testing::fixtureUnload(march, 100);
    orphan.NUMPRO = "FS9";
    EXPECT_EQ(save(EntryMode::Insert, orphan).outcome, SaveOutcome::NoInitialStock);
    EXPECT_EQ(year(2024).size(), 1u);
}

TEST_F(MovementSave, ModifyReplacesTheUnsentMovementInOneChange) {
    const Movement first = stored(testing::fixtureUnload(march, 100));
    stored(testing::fixtureUnload(march + 1, 50));
    Movement changed = first;
    changed.NUMREC = 0;
    changed.NUMOPE = 0;
    changed.QTALIT = 80;
    changed.DATMOV = march + 2;
    const SaveResult r = save(EntryMode::Modify, changed, first);
    EXPECT_EQ(r.outcome, SaveOutcome::Saved);
    const auto records = year(2024);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].QTALIT, 50);
    EXPECT_EQ(records[1].QTALIT, 80); // placed by its new date, after the other
    EXPECT_EQ(records[1].NUMREC, r.NUMREC);
    EXPECT_EQ(r.NUMREC, 3); // numbered anew, as the record append numbers every new record
    EXPECT_FALSE(fileExists(lockMarkerOf(folders.registerFile(2024))));
}

TEST_F(MovementSave, ModifyChecksFirstAndNeverLosesTheMovement) {
    const Movement first = stored(testing::fixtureUnload(march, 100));
    Movement changed = first;
    changed.NUMREC = 0;
    changed.NUMPRO = "FS9"; // a register without an initial stock
    EXPECT_EQ(save(EntryMode::Modify, changed, first).outcome, SaveOutcome::NoInitialStock);
    ASSERT_EQ(year(2024).size(), 1u);
    EXPECT_EQ(year(2024)[0].NUMREC, first.NUMREC);

    // Removed by another workstation meanwhile: nothing is written.
    Movement gone = first;
    gone.NUMREC = 99;
    changed.NUMPRO = "FS1";
    EXPECT_EQ(save(EntryMode::Modify, changed, gone).outcome, SaveOutcome::RecordGone);
    EXPECT_EQ(year(2024).size(), 1u);

    // Sent meanwhile: it is corrected, not changed.
    markSent(2024, first.NUMREC);
    EXPECT_EQ(save(EntryMode::Modify, changed, first).outcome, SaveOutcome::RecordSent);
    ASSERT_EQ(year(2024).size(), 1u);
    EXPECT_EQ(year(2024)[0].QTALIT, 100);
}

TEST_F(MovementSave, ModifyToAnotherYearMovesTheRecordUnderBothLocks) {
    const Movement first = stored(testing::fixtureUnload(march, 100));
    Movement changed = first;
    changed.NUMREC = 0;
    changed.DATMOV = dayNumber(2025, 1, 15);
    // Another workstation holds the 2025 file for a moment: the save waits for it.
    const fs::path marker = lockMarkerOf(folders.registerFile(2025));
    writeWholeFile(marker, "");
    prompt.onInformation = [&](int) { fs::remove(marker); };
    const SaveResult r = save(EntryMode::Modify, changed, first);
    EXPECT_EQ(r.outcome, SaveOutcome::Saved);
    EXPECT_EQ(r.file, folders.registerFile(2025));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0], lockWaitMessage(folders.registerFile(2025)));
    EXPECT_TRUE(year(2024).empty());
    ASSERT_EQ(year(2025).size(), 1u);
    EXPECT_EQ(year(2025)[0].QTALIT, 100);
    EXPECT_EQ(year(2025)[0].NUMREC, 1);
    EXPECT_FALSE(fileExists(lockMarkerOf(folders.registerFile(2024))));
    EXPECT_FALSE(fileExists(marker));
}

TEST_F(MovementSave, CorrectionsStayRightAfterTheCorrectedRecord) {
    const Movement sent = stored(testing::fixtureUnload(march, 100));
    stored(testing::fixtureUnload(march + 5, 30));
    markSent(2024, sent.NUMREC);
    Movement selected = year(2024)[0];
    trimMovement(selected);

    // "e" with the date moved into 2025: the replacement stays in 2024, after the cancellation.
    Movement replacement = selected;
    replacement.NUMREC = 0;
    replacement.NUMFLU = 0;
    replacement.DATFLU = 0;
    replacement.NUMOPE = 0;
    replacement.DATMOV = dayNumber(2025, 1, 10);
    replacement.QTALIT = 90;
    replacement.ANNOTA = "quantità errata";
    const SaveResult r = save(EntryMode::CorrectionModify, replacement, selected);
    EXPECT_EQ(r.outcome, SaveOutcome::Saved);
    const auto records = year(2024);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].STATO, "C");
    EXPECT_EQ(records[1].TIPOPE, "C");
    EXPECT_EQ(records[1].NUMRIF, selected.NUMREC);
    EXPECT_EQ(trimmed(records[1].ANNOTA), "quantità errata");
    EXPECT_EQ(records[2].STATO, "R");
    EXPECT_EQ(records[2].QTALIT, 90);
    EXPECT_EQ(records[2].NUMOPE, selected.NUMOPE);
    EXPECT_EQ(records[2].NUMREC, 4);
    EXPECT_EQ(r.NUMREC, 4);
    EXPECT_TRUE(year(2025).empty());

    // A superseded record cannot be corrected again; an unsent one is changed, not corrected.
    EXPECT_EQ(save(EntryMode::CorrectionCancel, replacement, selected).outcome, SaveOutcome::NotCorrectable);
    Movement unsent = records[3];
    trimMovement(unsent);
    EXPECT_EQ(save(EntryMode::CorrectionCancel, unsent, unsent).outcome, SaveOutcome::NotCorrectable);
    EXPECT_EQ(year(2024).size(), 4u);
}

TEST_F(MovementSave, CorrectionCancelWritesOnlyTheCancellation) {
    const Movement sent = stored(testing::fixtureUnload(march, 100));
    markSent(2024, sent.NUMREC);
    Movement selected = year(2024)[0];
    trimMovement(selected);
    Movement note = selected;
    note.ANNOTA = "documento annullato";
    EXPECT_EQ(save(EntryMode::CorrectionCancel, note, selected).outcome, SaveOutcome::Saved);
    const auto records = year(2024);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].STATO, "C");
    EXPECT_EQ(records[1].TIPOPE, "C");
    EXPECT_EQ(records[1].NUMOPE, selected.NUMOPE);
    EXPECT_EQ(records[1].NUMFLU, 0);
}

// What the checks read without the lock, another desk may change before the save: the
// save reads it again under the lock and writes nothing when it changed. FS1 holds
// 1 000 l from 31/12/2023.
TEST_F(MovementSave, EverySaveReadsTheStockAgainUnderTheLock) {
    const double march20 = dayNumber(2024, 3, 20);
    struct Case {
        const char* what;
        std::function<void()> otherDesk; // what is saved between the checks and the save
        std::function<SaveResult()> save;
        std::string message;
    };
    Movement load = testing::fixtureUnload(march, 400);
    load.TIPMOV = "C";
    load.NUMDOC = "C-1";
    Movement backDated = testing::fixtureUnload(march, 600);
    backDated.NUMDOC = "F-2";
    const Case cases[] = {
        // Both desks saw 1 000 l; the second 600 would leave -200.
        {"a second desk's unload of the same day", [&] { stored(testing::fixtureUnload(march, 600)); },
         [&] { return save(EntryMode::Insert, backDated); }, kQuantityOverStock},
        // The 1st of March still holds 1 000 l, the 20th would hold -100.
        {"a later unload", [&] { stored(testing::fixtureUnload(march20, 500)); },
         [&] { return save(EntryMode::Insert, backDated); }, "LA GIACENZA DEL REGISTRO SAREBBE NEGATIVA IL 20/03/2024"},
        // 300 l turned into 900 while the 20th unloads 500: -400 on the 20th.
        {"a modified unload",
         [&] {
             stored(testing::fixtureUnload(march, 300));
             stored(testing::fixtureUnload(march20, 500));
         },
         [&] {
             const Movement old = year(2024)[0];
             Movement bigger = old;
             bigger.NUMREC = 0;
             bigger.QTALIT = 900;
             bigger.ETTOGR = 108;
             return save(EntryMode::Modify, bigger, old);
         },
         "LA GIACENZA DEL REGISTRO SAREBBE NEGATIVA IL 20/03/2024"},
        // A sent load of 400 that the 20th's 1 200 l used: cancelling it leaves -200.
        {"a cancelled load",
         [&] {
             markSent(2024, stored(load).NUMREC);
             stored(testing::fixtureUnload(march20, 1200));
         },
         [&] {
             const Movement selected = year(2024)[0];
             return save(EntryMode::CorrectionCancel, selected, selected);
         },
         "LA GIACENZA DEL REGISTRO SAREBBE NEGATIVA IL 20/03/2024"},
    };
    for (const Case& c : cases) {
        fs::remove(folders.registerFile(2024));
        c.otherDesk();
        const std::string before = readRecords(folders.registerFile(2024), kMovementSize).bytes();
        const SaveResult r = c.save();
        EXPECT_EQ(r.outcome, SaveOutcome::StockShort) << c.what;
        EXPECT_EQ(saveRefusalMessage(r, backDated), c.message) << c.what;
        EXPECT_EQ(readRecords(folders.registerFile(2024), kMovementSize).bytes(), before) << c.what;
    }

    // An identical document saved meanwhile: the save stops so that the clerk is warned;
    // once warned, the same save goes ahead.
    fs::remove(folders.registerFile(2024));
    save(EntryMode::Insert, testing::fixtureUnload(march, 100));
    const Movement same = testing::fixtureUnload(march, 100);
    const SaveResult unwarned = saveMovement(folders, EntryMode::Insert, same, blankMovement(), false, prompt);
    EXPECT_EQ(unwarned.outcome, SaveOutcome::DuplicateAppeared);
    EXPECT_EQ(saveRefusalMessage(unwarned, same), kDuplicateDocument);
    EXPECT_EQ(year(2024).size(), 1u);
    EXPECT_EQ(saveMovement(folders, EntryMode::Insert, same, blankMovement(), false, prompt, SaveBasis{true, {}}).outcome,
              SaveOutcome::Saved);
    EXPECT_EQ(year(2024).size(), 2u);
}

// The record being changed is the record loaded: found by its number and its bytes.
TEST_F(MovementSave, ARecordIsFoundByItsNumberAndItsStoredBytes) {
    stored(testing::fixtureUnload(march, 100));
    const Movement second = stored(testing::fixtureUnload(march + 1, 30));
    Movement changed = second;
    changed.NUMREC = 0;
    changed.QTALIT = 40;
    changed.ETTOGR = 4.8;

    // Another desk removed record 2 and saved its own movement, which got number 2 again.
    ASSERT_EQ(deleteMovement(folders.registerFile(2024), second.NUMREC, prompt), DeleteOutcome::Deleted);
    Movement other = testing::fixtureUnload(march + 2, 50);
    other.NUMDOC = "F-ALTRA";
    ASSERT_EQ(stored(other).NUMREC, second.NUMREC);
    EXPECT_EQ(save(EntryMode::Modify, changed, second).outcome, SaveOutcome::RecordGone);
    ASSERT_EQ(year(2024).size(), 2u);
    EXPECT_EQ(trimmed(year(2024)[1].NUMDOC), "F-ALTRA");
    EXPECT_EQ(year(2024)[1].QTALIT, 50);
}

// Mode "M" on an unsent cancellation or replacement: it stays one, in its place in the
// corrected record's file, even when the replacement is dated into the next year.
TEST_F(MovementSave, ModifyKeepsACorrectionACorrection) {
    const Movement sent = stored(testing::fixtureUnload(march, 100));
    markSent(2024, sent.NUMREC);
    stored(testing::fixtureUnload(march + 10, 30));
    Movement corrected = year(2024)[0];
    Movement replacement = corrected;
    replacement.NUMREC = replacement.NUMFLU = 0;
    replacement.DATFLU = 0;
    replacement.DATMOV = dayNumber(2025, 1, 10);
    replacement.QTALIT = 90;
    replacement.ANNOTA = "data errata";
    ASSERT_EQ(save(EntryMode::CorrectionModify, replacement, corrected).outcome, SaveOutcome::Saved);
    const fs::path file2024 = folders.registerFile(2024);
    const std::vector<Movement> group = year(2024); // 1 "C", 3 cancellation, 4 replacement, 2
    ASSERT_EQ(group.size(), 4u);

    // The replacement, read from the 2024 file where its group is.
    Movement typed = group[2];
    typed.QTALIT = 80;
    typed.ETTOGR = 9.6;
    typed.NUMRIF = 0;
    typed.STATO = " ";
    EXPECT_EQ(save(EntryMode::Modify, typed, group[2]).outcome, SaveOutcome::RecordGone); // looked for in 2025
    const SaveResult r =
        saveMovement(folders, EntryMode::Modify, typed, group[2], false, prompt, SaveBasis{false, file2024});
    ASSERT_EQ(r.outcome, SaveOutcome::Saved);
    std::vector<Movement> after = year(2024);
    ASSERT_EQ(after.size(), 4u);
    EXPECT_EQ(after[2].NUMREC, group[2].NUMREC);
    EXPECT_EQ(after[2].STATO, "R");
    EXPECT_EQ(after[2].NUMRIF, sent.NUMREC);
    EXPECT_EQ(after[2].NUMOPE, sent.NUMOPE);
    EXPECT_EQ(after[2].QTALIT, 80);
    EXPECT_EQ(formatDate(after[2].DATMOV), "10/01/2025");
    EXPECT_TRUE(year(2025).empty());

    // The cancellation takes the new note and keeps everything else.
    Movement note = after[1];
    note.TIPOPE = "I";
    note.NUMRIF = 0;
    note.QTALIT = 1;
    note.ANNOTA = "annullato per errore di data";
    ASSERT_EQ(saveMovement(folders, EntryMode::Modify, note, after[1], false, prompt, SaveBasis{false, file2024}).outcome,
              SaveOutcome::Saved);
    const Movement cancellation = year(2024)[1];
    EXPECT_EQ(cancellation.TIPOPE, "C");
    EXPECT_EQ(cancellation.NUMRIF, sent.NUMREC);
    EXPECT_EQ(cancellation.QTALIT, 100);
    EXPECT_EQ(trimmed(cancellation.ANNOTA), "annullato per errore di data");
    EXPECT_EQ(year(2024)[0].STATO, "C");
}

// The confirmation's one pass over the year's file against the separate readings it
// replaces (stock, duplicate warning, save), each on its own copy of the same brewery:
// the same figures, the same verdict, the same record numbers and the same file bytes.
TEST(NewMovementPass, GivesWhatTheSeparateReadingsGive) {
    const double march = dayNumber(2024, 3, 1);
    const auto brewery = [&](const Folders& folders, Prompt& prompt) {
        testing::writeBrewery(folders, prompt);
        // A load of the initial stock's year, so the stock reads the year before too.
        Movement lastYear = testing::fixtureUnload(dayNumber(2023, 12, 31), 40);
        lastYear.TIPMOV = "C";
        lastYear.NUMDOC = "C-0";
        appendMovement(folders.registerFile(2023), lastYear, false, prompt);
        Movement sold = testing::fixtureUnload(march, 300);
        appendMovement(folders.registerFile(2024), sold, false, prompt);
        sold.NUMDOC = "F-2";
        sold.QTALIT = 50;
        appendMovement(folders.registerFile(2024), sold, false, prompt);
        Movement superseded = testing::fixtureUnload(march, 70);
        superseded.NUMDOC = "F-3";
        superseded.STATO = "C";
        appendMovement(folders.registerFile(2024), superseded, false, prompt);
        appendMovement(folders.registerFile(2024), testing::fixtureUnload(march + 10, 20), false, prompt);
    };
    struct Case {
        const char* what;
        Movement movement;
        void (*beforeSave)(Movement&); // the fields the checks after the pass change
    };
    Movement superseded = testing::fixtureUnload(march, 70);
    superseded.NUMDOC = "F-3";
    Movement load = testing::fixtureUnload(march + 10, 5);
    load.TIPMOV = "C";
    load.NUMDOC = "C-1";
    Movement noCountry = testing::fixtureUnload(march + 20, 100);
    noCountry.CODPAE = "";
    const Case cases[] = {
        {"an unload after every record", testing::fixtureUnload(march + 20, 100), nullptr},
        {"an unload that goes between the records", testing::fixtureUnload(march, 100), nullptr},
        {"the same document again", testing::fixtureUnload(march, 300), nullptr},
        {"like a superseded record only", superseded, nullptr},
        {"a load of the last day", load, nullptr},
        {"a year without a file", testing::fixtureUnload(dayNumber(2025, 2, 1), 10), nullptr},
        {"a date changed after the pass", testing::fixtureUnload(march + 20, 100),
         [](Movement& m) { m.DATMOV -= 30; }},
        {"a country changed after the pass", testing::fixtureUnload(march, 300),
         [](Movement& m) { m.CODPAE = "SM"; }},
        // The window checks the country after the pass: it does not move a movement.
        {"a country set after the pass, after every record", noCountry, [](Movement& m) { m.CODPAE = "IT"; }},
    };
    TempDir templateDir;
    RecordingPrompt prompt;
    brewery(Folders::of(templateDir.path() / "work", templateDir.path() / "temp"), prompt);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir separateDir, onePassDir;
        fs::copy(templateDir.path() / "work", separateDir.path() / "work", fs::copy_options::recursive);
        fs::copy(templateDir.path() / "work", onePassDir.path() / "work", fs::copy_options::recursive);
        const Folders separate = Folders::of(separateDir.path() / "work", separateDir.path() / "temp");
        const Folders onePass = Folders::of(onePassDir.path() / "work", onePassDir.path() / "temp");
        Movement confirmed = c.movement;
        if (c.beforeSave) c.beforeSave(confirmed);
        const fs::path file = onePass.registerFile(yearOf(c.movement.DATMOV));

        const Quantities stock = stockForUnload(separate, c.movement, blankMovement());
        const bool duplicate = duplicateInRegister(separate, confirmed);
        const SaveResult saved = saveMovement(separate, EntryMode::Insert, confirmed, blankMovement(), false, prompt);

        NewMovementPass pass(onePass, c.movement, false, prompt, NewMovementPass::Lock::Hold);
        EXPECT_TRUE(fileExists(lockMarkerOf(file)));
        if (c.movement.TIPMOV == "S") {
            EXPECT_EQ(pass.stockForUnload().QTAKG, stock.QTAKG);
            EXPECT_EQ(pass.stockForUnload().ETTOGR, stock.ETTOGR);
            EXPECT_EQ(pass.stockForUnload().QTALIT, stock.QTALIT);
        }
        EXPECT_EQ(pass.duplicate(confirmed), duplicate);
        const SaveResult passSaved = pass.save(confirmed);
        EXPECT_FALSE(fileExists(lockMarkerOf(file)));
        EXPECT_EQ(passSaved.outcome, saved.outcome);
        EXPECT_EQ(passSaved.NUMREC, saved.NUMREC);
        EXPECT_EQ(passSaved.NUMOPE, saved.NUMOPE);
        EXPECT_EQ(passSaved.file.filename(), saved.file.filename());
        for (int y : {2024, 2025})
            EXPECT_EQ(readRecords(onePass.registerFile(y), kMovementSize, IfMissing::Empty).bytes(),
                      readRecords(separate.registerFile(y), kMovementSize, IfMissing::Empty).bytes())
                << y;
    }
}

// The figures the separate readings give on this brewery, so the comparison above
// does not rest on two equally wrong answers.
TEST(NewMovementPass, StockAndDuplicateOfTheFixture) {
    TempDir dir;
    const Folders folders = Folders::of(dir.path(), dir.path() / "temp");
    RecordingPrompt prompt;
    testing::writeBrewery(folders, prompt);
    const double march = dayNumber(2024, 3, 1);
    appendMovement(folders.registerFile(2024), testing::fixtureUnload(march, 300), false, prompt);
    {
        // 1000 litres of initial stock less the 300 sold; without the lock the save reads the file itself.
        NewMovementPass pass(folders, testing::fixtureUnload(march, 1), false, prompt, NewMovementPass::Lock::None);
        EXPECT_FALSE(pass.holdsLock());
        EXPECT_DOUBLE_EQ(pass.stockForUnload().QTALIT, 700);
        EXPECT_DOUBLE_EQ(pass.stockForUnload().ETTOGR, 84);
        EXPECT_TRUE(pass.duplicate(testing::fixtureUnload(march, 300)));
        EXPECT_FALSE(pass.duplicate(testing::fixtureUnload(march, 301)));
        const SaveResult r = pass.save(testing::fixtureUnload(march, 1));
        EXPECT_EQ(r.outcome, SaveOutcome::Saved);
        EXPECT_EQ(r.NUMREC, 2);
    }
    // Released without a save: the lock marker goes with the pass.
    const fs::path file = folders.registerFile(2024);
    {
        NewMovementPass pass(folders, testing::fixtureUnload(march, 1), false, prompt, NewMovementPass::Lock::Hold);
        EXPECT_TRUE(fileExists(lockMarkerOf(file)));
        pass.releaseLock();
        EXPECT_FALSE(fileExists(lockMarkerOf(file)));
    }
    {
        NewMovementPass pass(folders, testing::fixtureUnload(march, 1), false, prompt, NewMovementPass::Lock::Hold);
    }
    EXPECT_FALSE(fileExists(lockMarkerOf(file)));
    EXPECT_EQ(readMovements(file).size(), 2u);
}

} // namespace
} // namespace accise
