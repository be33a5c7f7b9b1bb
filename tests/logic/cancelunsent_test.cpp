// Removing unsent records: what each mode lists, the line texts, CANCELLA.MOV, the
// "SI" confirmation, the undoing of an unsent correction, and the records another
// workstation sent after the list was built, which stay.
#include "logic/movements/cancelunsentwindow.h"

#include <gtest/gtest.h>

#include "core/files/text1252.h"
#include "logic/register_fixtures.h"

namespace accise {
namespace {

using Focus = CancelUnsentLogic::Focus;
using testing::RecordingPrompt;
using testing::WorkingFolder;
using V = std::vector<std::int32_t>;

double day(int d, int m) {
    return dayNumber(2015, m, d);
}

// 2015.RGM: an unsent load (1), a sent unload (2), and two corrections of sent loads:
// 3 superseded by the cancellation 4 and the replacement 5 (modify), 6 superseded by
// the cancellation 7 only.
std::vector<Movement> registerFile() {
    using testing::movementRecord;
    Movement corrected = movementRecord(3, "C", day(12, 1), 30, 2);
    corrected.STATO = "C";
    Movement cancellation = movementRecord(4, "C", day(12, 1), 30);
    cancellation.TIPOPE = "C";
    cancellation.NUMRIF = 3;
    Movement replacement = movementRecord(5, "C", day(12, 1), 35);
    replacement.STATO = "R";
    replacement.NUMRIF = 3;
    Movement corrected2 = movementRecord(6, "S", day(13, 1), 8, 2);
    corrected2.STATO = "C";
    Movement cancellation2 = movementRecord(7, "S", day(13, 1), 8);
    cancellation2.TIPOPE = "C";
    cancellation2.NUMRIF = 6;
    return {movementRecord(1, "C", day(10, 1), 1000),
            movementRecord(2, "S", day(11, 1), 20, 3),
            corrected,
            cancellation,
            replacement,
            corrected2,
            cancellation2};
}

class CancelUnsent : public ::testing::Test {
protected:
    CancelUnsent() { testing::writeMovementFile(file, registerFile()); }

    // The window of `mode`, opened on 2015.
    CancelUnsentLogic& open(char mode) {
        ctx.mode = mode;
        form.emplace(ctx, prompt);
        form->open();
        EXPECT_EQ(form->leaveYear("2015"), Focus::Confirmation);
        return *form;
    }
    V numbersListed() const {
        V numbers;
        for (const Movement& m : form->list().records)
            numbers.push_back(m.NUMREC);
        return numbers;
    }
    std::string stateOf(std::int32_t numrec) const {
        for (const Movement& m : readMovements(file))
            if (m.NUMREC == numrec) return m.STATO;
        return "gone";
    }

    WorkingFolder work;
    fs::path file = work.folders.registerFile(2015);
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    std::optional<CancelUnsentLogic> form;
};

TEST_F(CancelUnsent, ModesListTheirUnsentRecordsAndCopyThemToCancellaMov) {
    open('C');
    EXPECT_EQ(form->title(), "Cancella i movimenti non ancora inviati al servizio telematico");
    EXPECT_EQ(numbersListed(), (V{1, 5})); // the replacement is an unsent insertion too
    EXPECT_EQ(testing::numbersIn(work.folders.inTemp("CANCELLA.MOV")), (V{1, 5}));
    EXPECT_EQ(form->lines()[0],
              " + CARICO    10/01/2015 DAA D1 del 10/01/2015 IT00000000001 IT |q. 1.000 |la 120| "
              "Finiti sfusi B000-22030000-00-0000");
    EXPECT_EQ(form->list().widest, utf8Length(form->lines()[0]));

    open('c');
    EXPECT_EQ(numbersListed(), (V{4, 7}));
    EXPECT_EQ(testing::numbersIn(work.folders.inTemp("CANCELLA.MOV")), (V{4, 7}));
    EXPECT_TRUE(form->lines()[1].starts_with(" - SCARICO   13/01/2015 DAA D7 del 13/01/2015"));

    // Initial stocks: the line of the example, without hectolitre-degrees.
    Movement stock = testing::stockRecord(1, "12", "F", 2015, day(1, 1), 500);
    stock.ETTOGR = 0;
    testing::writeMovementFile(work.folders.initialStocks(),
                               {stock, testing::stockRecord(2, "13", "F", 2015, day(1, 1), 5, 1)});
    open('I');
    EXPECT_EQ(form->lines(), std::vector<std::string>{"01/01/2015 |q. 500| | Finiti sfusi prot. 12 / 2015"});
    open('i');
    EXPECT_TRUE(form->lines().empty());
    EXPECT_EQ(form->windowWidth(8), 680);
}

TEST_F(CancelUnsent, DutyRecordLines) {
    auto duty = [](const char* kind) {
        Movement m = blankMovement();
        m.NUMREC = 1;
        m.TIPREC = kind;
        m.TIPOPE = "I";
        m.CODPAE = "03";
        m.ANNPRO = "2015";
        m.DATMOV = day(31, 3);
        m.QTAKG = 1234.5;
        m.ETTOGR = 10;
        m.QTALIT = 2;
        m.VALAUX = 1222.5;
        m.VOLUNI = 0.25;
        return m;
    };
    struct Case {
        const char* kind;
        bool alcopp;
        const char* line;
    };
    const Case cases[] = {
        {"D", false, "03/2015 crediti  |importo 1.234,50 |scontato: 10,00"},
        {"E", false, "03/2015 accise | 1.234,50 |crediti: 10,00 |storni: 2,00 |TOTALE: 1.222,50"},
        {"E", true, "31/03/2015 accise |importo 1.234,50"},
        {"R", false, "03/2015 ravvedimento |maggiori tributi: 1.234,50 |sanzione: 1.222,50 |interessi: 0,25"},
        {"R", true,
         "31/03/2015 ravvedimento |maggiori tributi: 1.234,50 |sanzione: 1.222,50 |interessi: 0,25"},
        {"D", true, "03/2015 crediti  |importo 1.234,50 |scontato: 10,00"},
    };
    for (const Case& c : cases) {
        CancellationLines lines('T', c.alcopp);
        EXPECT_EQ(lines.lineOf(duty(c.kind)), c.line);
    }
}

TEST_F(CancelUnsent, TickedRecordsAreRemovedAndUnsentCorrectionsUndone) {
    struct Case {
        const char* what;
        char mode;
        std::vector<std::size_t> ticks;
        const char* typed;
        V remaining;
        std::vector<std::pair<std::int32_t, const char*>> states;
    };
    const Case cases[] = {
        {"two loads, list order", 'C', {0, 1}, "SI", V{2, 3, 4, 6, 7}, {{3, "C"}, {4, " "}}},
        {"correction that modified", 'c', {0}, "si", V{1, 2, 3, 6, 7}, {{3, " "}, {6, "C"}}},
        {"correction that cancelled", 'c', {1}, "SI", V{1, 2, 3, 4, 5, 6}, {{6, " "}, {3, "C"}}},
        {"both corrections", 'c', {0, 1}, "SI", V{1, 2, 3, 6}, {{3, " "}, {6, " "}}},
        {"nothing ticked", 'C', {}, "SI", V{1, 2, 3, 4, 5, 6, 7}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::writeMovementFile(file, registerFile());
        open(c.mode);
        for (std::size_t t : c.ticks)
            form->setTicked(t, true);
        EXPECT_EQ(form->leaveConfirmation(c.typed), Focus::List);
        EXPECT_TRUE(form->closeRequested());
        EXPECT_EQ(testing::numbersIn(file), c.remaining);
        for (const auto& [numrec, state] : c.states)
            EXPECT_EQ(stateOf(numrec), state) << numrec;
    }
    EXPECT_TRUE(prompt.messages.empty());
}

// Guarantees (kind F, 2015.GAR) are removed by their own modes: an unsent guarantee in
// mode F; in mode f the cancellation of a sent one, which undoes its correction (the
// sent guarantee active again, the replacement gone). The duty file is not touched.
TEST_F(CancelUnsent, GuaranteesAreRemovedFromTheirOwnFile) {
    const fs::path guarantees = work.folders.guaranteeFile(2015);
    const auto guarantee = [](std::int32_t numrec, double date, std::int32_t flow) {
        Movement m = blankMovement();
        m.NUMREC = numrec;
        m.TIPREC = "F";
        m.TIPOPE = "I";
        m.DATMOV = date;
        m.QTAKG = 1000 + numrec;
        m.NUMFLU = flow;
        m.DATFLU = flow ? day(20, 2) : 0;
        padMovement(m);
        return m;
    };
    Movement corrected = guarantee(1, day(10, 2), 4);
    corrected.STATO = "C";
    Movement cancellation = guarantee(3, day(10, 2), 0);
    cancellation.TIPOPE = "C";
    cancellation.NUMRIF = 1;
    Movement replacement = guarantee(4, day(10, 2), 0);
    replacement.STATO = "R";
    replacement.NUMRIF = 1;
    const std::vector<Movement> content{corrected, cancellation, replacement, guarantee(2, day(11, 2), 0)};
    Movement credit = blankMovement();
    credit.NUMREC = 1;
    credit.TIPREC = "D";
    credit.TIPOPE = "I";
    padMovement(credit);
    testing::writeMovementFile(work.folders.dutyFile(2015), {credit});

    struct Case {
        char mode;
        V listed, remaining;
        const char* firstState; // of guarantee 1 afterwards
    };
    const Case cases[] = {{'F', V{4, 2}, V{1, 3, 4}, "C"}, {'f', V{3}, V{1, 2}, " "}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        testing::writeMovementFile(guarantees, content);
        open(c.mode);
        EXPECT_EQ(numbersListed(), c.listed);
        if (c.mode == 'F') {
            EXPECT_EQ(form->list().lines[1],
                      "11/02/2015 garanzia |impegnato 1.002,00 |svincolato: 0,00 |nuovo: 0,00 |scaduto: 0,00 "
                      "|residuo: 0,00");
        }
        form->setTicked(c.mode == 'F' ? 1 : 0, true);
        EXPECT_EQ(form->leaveConfirmation("SI"), Focus::List);
        EXPECT_EQ(testing::numbersIn(guarantees), c.remaining);
        EXPECT_EQ(readMovements(guarantees).front().STATO, c.firstState);
        EXPECT_EQ(testing::numbersIn(work.folders.dutyFile(2015)), V{1});
    }
}

// With the register's initial stock of 1 000 l (31/12/2014) and a sent unload of
// 2 010 l on 20/01, the fixture's stock is 2 000 on 10/01, 1 980 on 11/01, 2 015 on
// 12/01 (the replacement's load of 35) and 5 on 20/01. A removal that would leave a
// later day negative stays, and the clerk is told the first short day.
TEST_F(CancelUnsent, ARemovalThatWouldLeaveTheStockNegativeStays) {
    using testing::movementRecord;
    Movement stock = movementRecord(1, "G", dayNumber(2014, 12, 31), 1000, 1);
    appendMovement(ctx.folders.initialStocks(), stock, false, prompt);
    std::vector<Movement> records = registerFile();
    records.push_back(movementRecord(8, "S", day(20, 1), 2010, 4));
    struct Case {
        const char* what;
        char mode;
        std::vector<std::size_t> ticks;
        V remaining;
        const char* shortDay; // nullptr: nothing stays
    };
    const Case cases[] = {
        // Without the load of 1 000 on 10/01: 5 - 1 000 on 20/01.
        {"the load the later unload used", 'C', {0}, V{1, 2, 3, 4, 5, 6, 7, 8}, "20/01/2015"},
        // Undone, the correction brings back the load of 30 and takes the replacement's
        // 35 away: exactly 0 on 20/01.
        {"a correction undone down to nothing", 'c', {0}, V{1, 2, 3, 6, 7, 8}, nullptr},
        // Undone, the cancelled unload of 8 on 13/01 counts again: 5 - 8 on 20/01.
        {"a cancelled unload that would count again", 'c', {1}, V{1, 2, 3, 4, 5, 6, 7, 8}, "20/01/2015"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::writeMovementFile(file, records);
        prompt.messages.clear();
        open(c.mode);
        for (std::size_t t : c.ticks) form->setTicked(t, true);
        EXPECT_EQ(form->leaveConfirmation("SI"), Focus::List);
        EXPECT_EQ(testing::numbersIn(file), c.remaining);
        if (!c.shortDay) {
            EXPECT_TRUE(prompt.messages.empty());
            continue;
        }
        ASSERT_EQ(prompt.messages.size(), 1u);
        EXPECT_NE(prompt.messages[0].find("SAREBBE NEGATIVA"), std::string::npos) << prompt.messages[0];
        EXPECT_NE(prompt.messages[0].find(std::string("(giacenza negativa il ") + c.shortDay + ")"), std::string::npos)
            << prompt.messages[0];
    }
}

TEST_F(CancelUnsent, AnythingButSiRemovesNothingAndKeepsTheWindow) {
    open('C');
    form->tickAll();
    for (const char* typed : {"", "S", "NO", "SI "}) {
        EXPECT_EQ(form->leaveConfirmation(typed), Focus::List) << typed;
        EXPECT_FALSE(form->closeRequested());
    }
    EXPECT_EQ(testing::numbersIn(file), (V{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_TRUE(form->ticked(1));
    form->tickNone();
    EXPECT_FALSE(form->ticked(0));
    EXPECT_FALSE(form->ticked(1));
}

TEST_F(CancelUnsent, RecordsSentMeanwhileByAnotherWorkstationStay) {
    open('C');
    form->tickAll();
    // Record 1 goes out in a flow from another workstation before "SI".
    auto all = readMovements(file);
    all[0].NUMFLU = 4;
    all[0].DATFLU = day(20, 1);
    testing::writeMovementFile(file, all);
    EXPECT_EQ(form->leaveConfirmation("SI"), Focus::List);
    EXPECT_EQ(testing::numbersIn(file), (V{1, 2, 3, 4, 6, 7}));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].find("NON SONO STATI CANCELLATI"), std::string::npos);
    EXPECT_NE(prompt.messages[0].find("D1 del 10/01/2015"), std::string::npos);
    EXPECT_EQ(prompt.messages[0].find("D5 del"), std::string::npos);

    // A correction whose replacement was sent meanwhile stays whole.
    testing::writeMovementFile(file, registerFile());
    prompt.messages.clear();
    open('c');
    form->setTicked(0, true);
    all = readMovements(file);
    all[4].NUMFLU = 4;
    all[4].DATFLU = day(20, 1);
    testing::writeMovementFile(file, all);
    form->leaveConfirmation("SI");
    EXPECT_EQ(testing::numbersIn(file), (V{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(stateOf(3), "C");
    EXPECT_EQ(prompt.messages.size(), 1u);

    // A record already removed elsewhere is simply gone: nothing to tell.
    testing::writeMovementFile(file, registerFile());
    prompt.messages.clear();
    open('C');
    form->tickAll();
    deleteMovement(file, 1, prompt);
    form->leaveConfirmation("SI");
    EXPECT_EQ(testing::numbersIn(file), (V{2, 3, 4, 6, 7}));
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(CancelUnsent, YearFieldRebuildsOnlyForAnotherValidYear) {
    open('C');
    form->setTicked(1, true);
    EXPECT_EQ(form->leaveYear("2015"), Focus::Confirmation); // the same year: ticks kept
    EXPECT_TRUE(form->ticked(1));
    EXPECT_EQ(form->leaveYear("2007"), Focus::Year);
    EXPECT_EQ(form->leaveYear("2061"), Focus::Year);
    EXPECT_TRUE(form->ticked(1));
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(form->leaveYear(""), Focus::Year);
    EXPECT_EQ(prompt.messages.size(), 1u);

    EXPECT_EQ(form->leaveYear("2016"), Focus::Confirmation); // missing file: created empty
    EXPECT_TRUE(form->lines().empty());
    EXPECT_TRUE(fileExists(work.folders.registerFile(2016)));
    EXPECT_EQ(form->leaveYear("2015"), Focus::Confirmation);
    EXPECT_EQ(form->lines().size(), 2u);
    EXPECT_FALSE(form->ticked(1)); // rebuilt: ticks lost
}

} // namespace
} // namespace accise
