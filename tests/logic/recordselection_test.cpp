// The record selection list: which records each mode lists, its columns and
// TABELLA.TXT, sorting, the year field, and the command that then opens the window of
// the chosen record, never another one.
#include "logic/movements/recordselectionwindow.h"

#include <gtest/gtest.h>

#include "core/books/movementfile.h"
#include "core/books/recordselection.h"
#include "core/files/text1252.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"
#include "logic/movements/initialstockcommand.h"
#include "logic/movements/recordselectioncommand.h"
#include "logic/register_fixtures.h"
#include "logic/shell/commands.h"

namespace accise {
namespace {

using testing::RecordingPrompt;
using testing::WorkingFolder;

double day(int d, int m) {
    return dayNumber(2015, m, d);
}

// 2015.RGM: each record in a different state.
std::vector<Movement> registerFile() {
    using testing::movementRecord;
    Movement superseded = movementRecord(3, "C", day(12, 1), 30, 2);
    superseded.STATO = "C";
    Movement cancellation = movementRecord(4, "C", day(12, 1), 30);
    cancellation.TIPOPE = "C";
    cancellation.NUMRIF = 3;
    Movement replacement = movementRecord(5, "C", day(12, 1), 35);
    replacement.STATO = "R";
    replacement.NUMRIF = 3;
    Movement closing = movementRecord(6, "A", day(13, 1), 0);
    return {movementRecord(1, "C", day(10, 1), 1000),
            movementRecord(2, "S", day(11, 1), 20, 3),
            superseded,
            cancellation,
            replacement,
            closing,
            movementRecord(7, "C", day(14, 1), 40, 4)};
}

Movement dutyRecord(std::int32_t numrec, const char* kind, std::int32_t flow) {
    Movement m = blankMovement();
    m.NUMREC = numrec;
    m.TIPREC = kind;
    m.TIPOPE = "I";
    m.CODPAE = "03";
    m.ANNPRO = "2015";
    m.QTAKG = 150.5;
    m.VALAUX = 99;
    m.DATMOV = day(31, 3);
    m.NUMFLU = flow;
    m.DATFLU = flow ? day(10, 4) : 0;
    padMovement(m);
    return m;
}

class RecordSelection : public ::testing::Test {
protected:
    RecordSelection() {
        testing::writeMovementFile(work.folders.registerFile(2015), registerFile());
        testing::writeRegisters(work.folders, {testing::registerRow(1, "20", 1, 2015)});
        Movement superseded = testing::stockRecord(2, "20", "L", 2015, day(1, 1), 500, 1);
        superseded.STATO = "C";
        testing::writeMovementFile(work.folders.initialStocks(),
                                   {testing::stockRecord(1, "20", "L", 2015, day(1, 1), 1000, 2), superseded,
                                    testing::stockRecord(3, "99", "F", 2015, day(1, 1), 10, 2),
                                    testing::stockRecord(4, "20", "L", 2015, day(1, 1), 7)});
        testing::writeMovementFile(
            work.folders.dutyFile(2015),
            {dutyRecord(1, "D", 5), dutyRecord(2, "E", 5), dutyRecord(3, "R", 5), dutyRecord(4, "E", 0)});
    }

    std::vector<std::int32_t> listed(char mode) {
        std::vector<std::int32_t> numbers;
        const SelectionTable table = buildSelectionTable(work.folders, mode, 2015, false);
        for (std::size_t i = 0; i < table.rows.size(); ++i)
            numbers.push_back(table.rows.number(i));
        return numbers;
    }

    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
};

TEST_F(RecordSelection, EachModeListsItsRecordsNeverASupersededOne) {
    using V = std::vector<std::int32_t>;
    EXPECT_EQ(listed('M'), (V{1, 4, 5})); // unsent loads and unloads, correction records included
    EXPECT_EQ(listed('E'), (V{2, 7}));    // sent insertions still active
    EXPECT_EQ(listed('e'), (V{2, 7}));
    EXPECT_EQ(listed('I'), (V{1, 3}));
    EXPECT_EQ(listed('i'), (V{1, 3}));
    EXPECT_EQ(listed('T'), (V{1, 2, 3}));
    EXPECT_EQ(listed('t'), (V{1, 2, 3}));
    EXPECT_TRUE(listed('X').empty());
}

TEST_F(RecordSelection, ColumnsOfTheModeWidenToTheirTexts) {
    const SelectionTable m = buildSelectionTable(work.folders, 'M', 2015, false);
    const std::vector<SelectionColumn> expected{{"DATA MOV.", 11},
                                                {"C/S", 3},
                                                {"N. e DATA DOCUMENTO", 17},
                                                {" CODICE PRODOTTO ", 21},
                                                {"LITRI", 6},
                                                {"GRADO", 6},
                                                {"PAESE", 6},
                                                {"Mitt./Dest.", 13},
                                                {"NOTA", 5},
                                                {"N. FLUSSO", 10},
                                                {"", 0}};
    EXPECT_EQ(std::vector<SelectionColumn>(m.columns.begin(), m.columns.end()), expected);
    EXPECT_EQ(m.rows.cells(0),
              (std::vector<std::string>{"10/01/2015", " C", "D1 del 10/01/2015", "B000-22030000-00-0000",
                                        "1.000", "12", "IT", "IT00000000001", "", ""}));
    // The flow label only in the correction modes.
    EXPECT_EQ(buildSelectionTable(work.folders, 'E', 2015, false).rows.cell(0, 9), "0112.C03");

    const SelectionTable stocks = buildSelectionTable(work.folders, 'I', 2015, false);
    EXPECT_EQ(stocks.rows.cells(0), (std::vector<std::string>{"01/01/2015", "20-2015", "       1.000,00000",
                                                              "         120,00000", "", "0106.C02"}));
    EXPECT_EQ(stocks.columns[2], (SelectionColumn{"GIACENZA INIZ.", 18}));

    const auto duty = [&](bool alcopp) { return buildSelectionTable(work.folders, 'T', 2015, alcopp); };
    EXPECT_EQ(duty(false).rows.cells(0),
              (std::vector<std::string>{"CREDITI - D", "03-2015", "      150,50", "0410.C05", ""}));
    EXPECT_EQ(duty(false).rows.cell(1, 2), "       99,00"); // an excise summary shows its total
    EXPECT_EQ(duty(true).rows.cell(1, 1), "31/03/2015");
    EXPECT_EQ(duty(true).rows.cell(1, 2), "      150,50");

    // No file: no columns; a file without listed records: the columns without the empty ones.
    EXPECT_EQ(buildSelectionTable(work.folders, 'M', 2016, false).columns[0].width, 0);
    testing::writeMovementFile(work.folders.registerFile(2016),
                               {testing::movementRecord(1, "C", day(1, 1), 1, 9)});
    const SelectionTable none = buildSelectionTable(work.folders, 'M', 2016, false);
    EXPECT_TRUE(none.rows.empty());
    EXPECT_EQ(none.columns[0].width, 11);
    EXPECT_EQ(none.columns[2].width, 0);
}

TEST_F(RecordSelection, WindowWritesTabellaAndShowsTheColumnsOfPositiveWidth) {
    ctx.mode = 'M';
    RecordSelectionLogic list(ctx, prompt);
    list.open();
    ASSERT_TRUE(list.leaveYear("2015"));
    EXPECT_EQ(list.title(), "MODIFICA UN MOVIMENTO");
    EXPECT_EQ(ctx.workingYear, "2015");
    EXPECT_EQ(ctx.chosenRecord, -1);
    ASSERT_EQ(list.rowCount(), 3u);
    EXPECT_EQ(list.columns().size(), 10u);
    EXPECT_EQ(list.columns()[1], (LookupColumn{5, "C/S"})); // raised to 5

    RecordBlock file = readRecords(work.folders.inTemp("TABELLA.TXT"), 1, IfMissing::Empty);
    const std::string first = "10/01/2015\r\n@1\r\n\t C\r\n\tD1 del 10/01/2015\r\n\tB000-22030000-00-0000\r\n"
                              "\t1.000\r\n\t12\r\n\tIT\r\n\tIT00000000001\r\n\t\r\n\t\r\n";
    EXPECT_EQ(file.bytes().substr(0, first.size()), first);

    // Without rows the columns that start at 0 are absent and the cells follow the columns.
    ASSERT_TRUE(list.leaveYear("2016"));
    EXPECT_EQ(list.rowCount(), 0u);
    EXPECT_TRUE(list.columns().empty()); // no 2016 file at all
    const auto size = list.windowSize(8, 12);
    EXPECT_EQ(size.width, 500);
    EXPECT_EQ(size.height, 300);
}

TEST_F(RecordSelection, YearFieldKeepsTheCursorOnAYearOutOfRange) {
    ctx.mode = 'M';
    RecordSelectionLogic list(ctx, prompt);
    list.open();
    ASSERT_TRUE(list.leaveYear("2015"));
    for (const char* year : {"2007", "2061", "0"}) {
        EXPECT_FALSE(list.leaveYear(year)) << year;
        EXPECT_EQ(ctx.workingYear, "2015"); // the list and its year stay as they were
        EXPECT_EQ(list.rowCount(), 3u);
    }
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_FALSE(list.leaveYear(""));
    EXPECT_EQ(prompt.messages.size(), 1u);
    EXPECT_TRUE(list.leaveYear("2008"));
    EXPECT_TRUE(list.leaveYear("2060"));
}

TEST_F(RecordSelection, SortingComparesTheTextsSoDatesSortByDay) {
    testing::writeMovementFile(
        work.folders.registerFile(2015),
        {testing::movementRecord(1, "C", day(15, 1), 9), testing::movementRecord(2, "C", day(2, 3), 10)});
    ctx.mode = 'M';
    RecordSelectionLogic list(ctx, prompt);
    list.open();
    ASSERT_TRUE(list.leaveYear("2015"));
    list.sortBy(0);
    EXPECT_EQ(list.cellText(0, 0), "02/03/2015");
    list.sortBy(4); // "10" before "9"
    EXPECT_EQ(list.rowNumber(0), 2);
    list.sortBy(0); // ascending again
    EXPECT_EQ(list.rowNumber(0), 2);

    list.choose(1);
    EXPECT_EQ(ctx.chosenRecord, 1);
    EXPECT_EQ(ctx.selectedRecord.NUMREC, 1);
    EXPECT_TRUE(list.closeRequested());
}

// The rows keep their texts as the file's Windows-1252 bytes: TABELLA.TXT holds those
// bytes, the window shows them in UTF-8 and a width counts characters, not bytes. The
// figures and dates of many rows, each formatted as formatNumber and formatDate do,
// and the row chosen after a sort hands over that record's bytes as listed.
TEST_F(RecordSelection, RowsKeepTheirTextsAndBytesAsListed) {
    std::vector<Movement> records;
    for (std::int32_t i = 1; i <= 400; ++i) {
        Movement m = testing::movementRecord(i, i % 3 ? "C" : "S", day(1 + i % 28, 1 + i % 12), 0.25 * i + i % 7);
        m.GRAPLA = 4 + (i % 23) * 0.1;
        m.QTAKG = i % 5 ? 0 : 1e6 + i;
        if (i == 7) {
            m.MITDES = "Caffè €";
            m.ANNOTA = "nota è";
            m.DATDOC = 0;
        }
        padMovement(m);
        records.push_back(m);
    }
    testing::writeMovementFile(work.folders.registerFile(2015), records);
    ctx.mode = 'M';
    RecordSelectionLogic list(ctx, prompt);
    list.open();
    ASSERT_TRUE(list.leaveYear("2015"));
    ASSERT_EQ(list.rowCount(), records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        const Movement& m = records[i];
        SCOPED_TRACE(m.NUMREC);
        EXPECT_EQ(list.rowNumber(i), m.NUMREC);
        EXPECT_EQ(list.cellText(i, 0), formatDate(m.DATMOV));
        EXPECT_EQ(list.cellText(i, 2), "D" + std::to_string(m.NUMREC) + " del " + formatDate(m.DATDOC));
        EXPECT_EQ(list.cellText(i, 4), formatNumber(m.QTAKG + m.QTALIT, 0, 0));
        EXPECT_EQ(list.cellText(i, 5), formatNumber(m.GRAPLA, 0, 0));
    }
    EXPECT_EQ(list.cellText(6, 7), "Caffè €");
    EXPECT_EQ(list.cellText(6, 8), "nota è");
    EXPECT_EQ(list.columns()[7], (LookupColumn{13, "Mitt./Dest."})); // "IT00000000001": 13 characters
    EXPECT_EQ(list.columns()[8], (LookupColumn{6, "NOTA"}));         // "nota è": 6 characters, 7 bytes in UTF-8

    const RecordBlock tabella = readRecords(work.folders.inTemp("TABELLA.TXT"), 1, IfMissing::Empty);
    const std::string seventh = "@7\r\n\t C\r\n\tD7 del 30/12/1899\r\n\tB000-22030000-00-0000\r\n\t" +
                                formatNumber(records[6].QTALIT, 0, 0) + "\r\n\t" + formatNumber(records[6].GRAPLA, 0, 0) +
                                "\r\n\tIT\r\n\tCaff\xE8 \x80\r\n\tnota \xE8\r\n\t\r\n";
    EXPECT_NE(tabella.bytes().find(seventh), std::string::npos);
    std::vector<LookupRow> written;
    for (std::size_t i = 0; i < list.rowCount(); ++i) {
        std::vector<std::string> cells;
        for (std::size_t c = 0; c < list.columns().size(); ++c) cells.push_back(list.cellText(i, c));
        written.push_back({list.rowNumber(i), cells});
    }
    EXPECT_EQ(tabella.bytes(), lookupFileText(written));

    list.sortBy(4); // by litres, as text
    const RecordBlock file = readRecords(work.folders.registerFile(2015), kMovementSize);
    for (const int index : {0, 123, 399}) {
        list.choose(index);
        const std::int32_t number = list.rowNumber(static_cast<std::size_t>(index));
        EXPECT_EQ(ctx.chosenRecord, number);
        EXPECT_EQ(encodeMovement(ctx.selectedRecord), file.at(static_cast<std::size_t>(number - 1)));
    }
}

// The command with a selection window that chooses record `numrec` of 2015, after
// which `meanwhile` runs (another workstation at work), and windows that record
// their opening.
class ChangeCommand : public RecordSelection {
protected:
    ChangeCommand() {
        registry.add(kRecordSelection, [this](CommandContext& c) {
            RecordSelectionLogic list(c, prompt);
            list.open();
            list.leaveYear("2015");
            for (std::size_t i = 0; i < list.rowCount(); ++i)
                if (list.rowNumber(i) == numrec) list.choose(static_cast<int>(i));
            if (meanwhile) meanwhile();
        });
        for (std::string_view name :
             {kMovementWindow, kInitialStockWindow, kCreditsWindow, kVoluntaryCorrectionWindow,
              std::string_view(kExciseSummaryAlcopp), std::string_view(kExciseSummaryAlcoda)})
            registry.add(name, [this, name](CommandContext& c) {
                opened.emplace_back(name);
                buffer = c.movementBuffer;
            });
    }
    void run(char mode, std::int32_t chosen) {
        ctx.mode = mode;
        numrec = chosen;
        opened.clear();
        runRecordChangeCommand(registry, ctx, prompt);
    }

    WindowRegistry registry;
    std::int32_t numrec = -1;
    std::function<void()> meanwhile;
    std::vector<std::string> opened;
    Movement buffer;
};

TEST_F(ChangeCommand, OpensTheWindowOfTheModeOnTheChosenRecord) {
    run('M', 5);
    EXPECT_EQ(opened, std::vector<std::string>{"TFMOVIMENTI"});
    EXPECT_EQ(ctx.selectedRecord.NUMREC, 5);
    EXPECT_EQ(buffer.NUMREC, 5);

    run('e', 7);
    EXPECT_EQ(opened, std::vector<std::string>{"TFMOVIMENTI"});

    run('i', 1);
    EXPECT_EQ(opened, std::vector<std::string>{"TFGIACENZA"});
    EXPECT_EQ(ctx.chosenRegister.number, 1);
    EXPECT_EQ(buffer.QTALIT, 1000);
    EXPECT_EQ(buffer.TIPREG, "L");
    EXPECT_EQ(buffer.DATMOV, day(1, 1));

    run('I', 3); // its register (protocol 99) is not in PROTOCOLLI: the command ends
    EXPECT_TRUE(opened.empty());

    struct Duty {
        std::int32_t numrec;
        bool alcopp;
        std::string_view window;
    };
    for (const Duty& d : {Duty{1, false, kCreditsWindow}, Duty{2, false, kExciseSummaryAlcoda},
                          Duty{2, true, kExciseSummaryAlcopp}, Duty{3, false, kVoluntaryCorrectionWindow}}) {
        ctx.alcopp = d.alcopp;
        run('t', d.numrec);
        EXPECT_EQ(opened, std::vector<std::string>{std::string(d.window)});
    }

    run('M', -1); // abandoned
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(prompt.messages.empty());
}

// Guarantees are corrected through their own list (modes F and f, 2015.GAR): the
// chosen one opens the guarantee window in mode T or t on that record, never on the
// duty record that has the same number in 2015.DER.
TEST_F(ChangeCommand, AGuaranteeIsCorrectedThroughItsOwnList) {
    Movement sent = dutyRecord(1, "F", 6);
    sent.CODPAE = "";
    sent.ANNPRO = "";
    sent.QTAKG = 2500;
    padMovement(sent);
    Movement unsent = dutyRecord(2, "F", 0);
    testing::writeMovementFile(work.folders.guaranteeFile(2015), {sent, unsent});
    EXPECT_EQ(listed('F'), (std::vector<std::int32_t>{1}));
    EXPECT_EQ(listed('f'), (std::vector<std::int32_t>{1}));
    const SelectionTable table = buildSelectionTable(work.folders, 'F', 2015, false);
    ASSERT_EQ(table.rows.size(), 1u);
    EXPECT_EQ(table.rows.cell(0, 0), "GARANZIA - F");
    EXPECT_EQ(table.rows.cell(0, 1), "31/03/2015"); // by day whatever the profile

    registry.add(kGuaranteeWindow, [this](CommandContext& c) {
        opened.emplace_back(kGuaranteeWindow);
        buffer = c.movementBuffer;
    });
    for (const auto& [listMode, windowMode] : {std::pair{'F', 'T'}, std::pair{'f', 't'}}) {
        SCOPED_TRACE(listMode);
        run(listMode, 1);
        EXPECT_EQ(opened, std::vector<std::string>{std::string(kGuaranteeWindow)});
        EXPECT_EQ(ctx.mode, windowMode);
        EXPECT_EQ(trimmed(buffer.TIPREC), "F");
        EXPECT_DOUBLE_EQ(buffer.QTAKG, 2500);
    }
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(ChangeCommand, NeverOpensOnARecordThatChangedAfterTheListWasBuilt) {
    const fs::path file = work.folders.registerFile(2015);
    struct Case {
        const char* what;
        char mode;
        std::int32_t chosen;
        std::function<void()> meanwhile;
        const char* message;
    };
    const Case cases[] = {
        {"removed", 'M', 1, [&] { deleteMovement(file, 1, prompt); }, kChosenRecordGone},
        {"removed, its number given to a new record", 'E', 7,
         [&] {
             // Written straight to the file: the store itself never deletes a sent record.
             auto all = readMovements(file);
             all.back() = testing::movementRecord(7, "S", day(20, 1), 5, 6);
             testing::writeMovementFile(file, all);
         },
         kChosenRecordChanged},
        {"sent", 'M', 1,
         [&] {
             auto all = readMovements(file);
             all[0].NUMFLU = 9;
             all[0].DATFLU = day(1, 2);
             testing::writeMovementFile(file, all);
         },
         kChosenRecordChanged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testing::writeMovementFile(file, registerFile());
        prompt.messages.clear();
        meanwhile = c.meanwhile;
        run(c.mode, c.chosen);
        EXPECT_TRUE(opened.empty());
        EXPECT_EQ(prompt.messages, std::vector<std::string>{c.message});
    }
}

} // namespace
} // namespace accise
