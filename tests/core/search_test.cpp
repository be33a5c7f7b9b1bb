// The searches' core: which records each search lists, the texts of their export
// lines against export files written by hand, the quoting that keeps a note from
// shifting the columns, and the prints' pages.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "core/books/movementfile.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/reports/dutysearch.h"
#include "core/reports/registersearch.h"
#include "core/reports/searchcsv.h"
#include "core/reports/stocksearch.h"
#include "core/tables/dates.h"
#include "test_support.h"

namespace accise {
namespace {

using testing::TempDir;

std::string golden(const std::string& name) {
    std::ifstream in(std::string(ACCISE_SOURCE_DIR) + "/tests/data/search/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string fileText(const fs::path& file) {
    return readRecords(file, 1, IfMissing::Empty).bytes();
}

void writeRecords(const fs::path& file, const std::vector<Movement>& records) {
    std::string bytes;
    for (Movement m : records) {
        padMovement(m);
        bytes += encodeMovement(m);
    }
    writeWholeFile(file, bytes);
}

double day(int d, int m, int y) {
    return dayNumber(y, m, d);
}

Movement movement(const char* tipmov, double date) {
    Movement m = blankMovement();
    m.TIPREC = "C";
    m.TIPOPE = "I";
    m.STATO = " ";
    m.TIPMOV = tipmov;
    m.DATMOV = date;
    m.CODPAE = "IT";
    return m;
}

TEST(SearchCsv, FieldsWithSeparatorsQuotesOrLineBreaksAreQuoted) {
    EXPECT_EQ(csvField("plain text"), "plain text");
    EXPECT_EQ(csvField(" "), " ");
    EXPECT_EQ(csvField("a;b"), "\"a;b\"");
    EXPECT_EQ(csvField("il \"pils\""), "\"il \"\"pils\"\"\"");
    EXPECT_EQ(csvField("riga 1\r\nriga 2"), "\"riga 1\r\nriga 2\"");
    EXPECT_EQ(csvLine({"a", "", "b;c"}), "a;;\"b;c\";\r\n");
}

// The loads of two years' register files, written as the export shows them: a note
// with ";" and quotes, a packaged e-AD load corrected after sending (its superseded
// and cancellation records), a record of TIPOPE "D" without quantities, a DAA with no
// document date; the unloads and the records of other years are not listed.
TEST(RegisterSearch, ExportOfLoadsOverTwoYearsMatchesTheHandWrittenFile) {
    TempDir dir;
    const Folders folders = Folders::of(dir.path(), dir.path() / "temp");
    folders.create();

    Movement malt = movement("C", day(20, 12, 2024));
    malt.NUMOPE = 5;
    malt.PRODDO = "M000-11071099-00-0000";
    malt.TIPDOC = "DDT";
    malt.DATDOC = day(19, 12, 2024);
    malt.NUMDOC = "DDT 12";
    malt.CODPAE = "DE";
    malt.MITDES = "DE00MAL00001X";
    malt.TIPSTO = "S";
    malt.QTAKG = 1234.5;
    malt.CAUMOV = "105";
    malt.TIPREG = "M";
    malt.ANNPRO = "2024";
    malt.NUMPRO = "MP1";
    malt.ANNOTA = "malto; \"pils\" 2 qualità";
    Movement before = malt;
    before.DATMOV = day(31, 12, 2023); // in the 2024 file, but before the period
    writeRecords(folders.registerFile(2024), {before, malt, movement("S", day(21, 12, 2024))});

    Movement ead = movement("C", day(15, 3, 2025));
    ead.NUMOPE = 1;
    ead.PRODDO = "B000-22030001-00-0000";
    ead.TIPDOC = "EAD";
    ead.DATDOC = day(14, 3, 2025);
    ead.NUMDOC = "25ITABC0001";
    ead.NPRDAA = 3;
    ead.NUMCPR = 7;
    ead.DATROR = day(16, 3, 2025);
    ead.MITDES = "IT00MIA00777M";
    ead.TIPSTO = "N";
    ead.NUMCON = 1200;
    ead.VOLUNI = 0.33;
    ead.QTALIT = 396;
    ead.ETTOGR = 47.52;
    ead.GRAPLA = 12;
    ead.CAUMOV = "101";
    ead.POSFIS = "001";
    ead.ACCISA = 141.13;
    ead.GARANZ = 50;
    ead.TIPREG = "N";
    ead.ANNPRO = "2024";
    ead.NUMPRO = "FC1";
    Movement superseded = ead;
    superseded.STATO = "C";
    superseded.DATFLU = day(20, 3, 2025);
    superseded.NUMFLU = 2;
    Movement cancellation = ead;
    cancellation.TIPOPE = "C";
    cancellation.ANNOTA = "errore di quantità";
    Movement noQuantities = movement("C", day(30, 6, 2025));
    noQuantities.PRODDO = "B000-22030010-00-0000";
    noQuantities.TIPDOC = "DAA";
    noQuantities.NUMDOC = "X-9";
    noQuantities.MITDES = "IT00MIA00777M";
    noQuantities.TIPSTO = "S";
    noQuantities.QTALIT = 100;
    noQuantities.ACCISA = 3;
    noQuantities.GARANZ = 10;
    noQuantities.TIPOPE = "D";
    noQuantities.TIPREG = "F";
    noQuantities.ANNPRO = "2024";
    noQuantities.NUMPRO = "FS1";
    writeRecords(folders.registerFile(2025), {superseded, cancellation, movement("S", day(1, 7, 2025)), noQuantities});
    writeRecords(folders.registerFile(2026), {movement("C", day(2, 1, 2026))});

    const auto rows = runRegisterSearch(folders, {'C', day(1, 1, 2024), day(31, 12, 2025), ""});
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ((std::vector<bool>{rows[0].struckOut, rows[1].struckOut, rows[2].struckOut, rows[3].struckOut}),
              (std::vector<bool>{false, true, true, true}));
    EXPECT_TRUE(rows[3].closingOnly);
    writeRegisterSearchExport(registerSearchExportFile(folders), rows);
    EXPECT_EQ(fileText(folders.inTemp("RICERCA_C.CSV")), golden("RICERCA_C.CSV"));

    // Nothing listed: the header line alone; a missing year file is not created.
    const auto none = runRegisterSearch(folders, {'S', day(1, 1, 2030), day(31, 12, 2031), ""});
    EXPECT_TRUE(none.empty());
    EXPECT_FALSE(fileExists(folders.registerFile(2030)));
    writeRegisterSearchExport(registerSearchExportFile(folders), none);
    EXPECT_EQ(fileText(folders.inTemp("RICERCA_C.CSV")), encode1252(std::string(kRegisterSearchHeader) + "\r\n"));
}

TEST(RegisterSearch, ModesListTheirMovementTypeByMovementOrFlowDateAndTheCodeExactly) {
    Movement load = movement("C", day(10, 1, 2025));
    load.MITDES = "IT00MIA00777M";
    Movement sentLoad = load;
    sentLoad.DATMOV = day(20, 12, 2024);
    sentLoad.DATFLU = day(15, 1, 2025);
    sentLoad.NUMFLU = 1;
    const Movement unload = movement("S", day(10, 1, 2025));
    padMovement(load);
    padMovement(sentLoad);
    const double jan1 = day(1, 1, 2025), jan10 = day(10, 1, 2025), jan31 = day(31, 1, 2025);
    struct Case {
        const char* what;
        RegisterSearchCriteria criteria;
        const Movement& record;
        bool listed;
    } cases[] = {
        {"load by date", {'C', jan1, jan31, ""}, load, true},
        {"first day included", {'C', jan10, jan31, ""}, load, true},
        {"last day included", {'C', jan1, jan10, ""}, load, true},
        {"after the period", {'C', jan1, day(9, 1, 2025), ""}, load, false},
        {"unload in load mode", {'C', jan1, jan31, ""}, unload, false},
        {"unload mode", {'S', jan1, jan31, ""}, unload, true},
        {"load in unload mode", {'S', jan1, jan31, ""}, load, false},
        {"unsent load in sent mode", {'c', jan1, jan31, ""}, load, false},
        {"sent by flow date", {'c', jan1, jan31, ""}, sentLoad, true},
        {"sent, movement date outside", {'C', jan1, jan31, ""}, sentLoad, false},
        {"unsent unload in sent mode", {'s', jan1, jan31, ""}, unload, false},
        {"same code", {'C', jan1, jan31, "IT00MIA00777M"}, load, true},
        {"code padded", {'C', jan1, jan31, "IT00MIA00777M   "}, load, true},
        {"prefix of the code", {'C', jan1, jan31, "IT00MIA"}, load, false},
        {"other code", {'C', jan1, jan31, "IT00RMA00555K"}, load, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(registerSearchLists(c.criteria, c.record), c.listed) << c.what;
}

TEST(RegisterSearch, CellsFollowTheDocumentTypeAndTheMovement) {
    struct Case {
        const char* tipdoc;
        const char* tipmov;
        double datror;
        std::int32_t nprdaa;
        const char* receipt;   // field 8
        const char* guarantee; // field 19 for GARANZ 12,5
        const char* document;  // field 7
    } cases[] = {
        {"EAD", "S", 0, 0, " ", "-12,50", "N-1"},
        {"EAD", "C", day(31, 12, 1999), 0, " ", "12,50", "N-1"},
        {"EAD", "S", day(2, 1, 2000), 12, "02/01/2000", "-12,50", "N-1-12-045"},
        {"FBE", "C", day(5, 5, 2025), 0, "05/05/2025", "12,50", "N-1"},
        {"COD", "C", 0, 0, " ", "-12,50", "N-1"},
        {"DAA", "S", 0, 0, " ", "-12,50", "N-1"},
        {"DAA", "C", day(5, 5, 2025), 0, "---", "12,50", "N-1"},
        {"FBC", "S", 0, 0, "---", "-12,50", "N-1"},
        {"DAS", "S", day(5, 5, 2025), 0, "---", "12,50", "N-1"},
    };
    for (const Case& c : cases) {
        Movement m = movement(c.tipmov, day(5, 5, 2025));
        m.TIPDOC = c.tipdoc;
        m.DATROR = c.datror;
        m.NPRDAA = c.nprdaa;
        m.NUMCPR = 45;
        m.NUMDOC = "N-1";
        m.GARANZ = 12.5;
        const auto row = registerSearchRow(m);
        SCOPED_TRACE(std::string(c.tipdoc) + " " + c.tipmov);
        EXPECT_EQ(row.fields[7], c.receipt);
        EXPECT_EQ(row.fields[18], c.guarantee);
        EXPECT_EQ(row.fields[6], c.document);
    }
    // Bulk shows "sfuso  ", packaged its packages; quantities keep 5 decimals at most.
    Movement bulk = movement("S", day(5, 5, 2025));
    bulk.TIPSTO = "S";
    bulk.NUMCON = 9;
    bulk.QTALIT = 1000.123456;
    bulk.GRAPLA = 11.5;
    bulk.NUMOPE = 1234;
    EXPECT_EQ(registerSearchRow(bulk).fields[10], "sfuso  ");
    EXPECT_EQ(registerSearchRow(bulk).fields[12], "1.000,12346");
    EXPECT_EQ(registerSearchRow(bulk).fields[14], "11,5");
    EXPECT_EQ(registerSearchRow(bulk).fields[0], "1234");
    bulk.TIPSTO = "N";
    EXPECT_EQ(registerSearchRow(bulk).fields[10], "9");
}

// Duty records of kind D of 2025 from March to the first half of December: the file
// written by hand keeps the office's and the protocol's blanks and quotes the note.
TEST(DutySearch, ExportOfCreditsMatchesTheHandWrittenFile) {
    TempDir dir;
    const Folders folders = Folders::of(dir.path(), dir.path() / "temp");
    folders.create();
    auto credit = [](const char* period, const char* protocol, double date) {
        Movement m = blankMovement();
        m.TIPREC = "D";
        m.TIPOPE = "I";
        m.STATO = " ";
        m.CODPAE = period;
        m.ANNPRO = "2025";
        m.UFFDOG = "IT079100";
        m.NUMPRO = protocol;
        m.DATMOV = date;
        m.MITDES = "1402";
        return m;
    };
    Movement march = credit("03", "PR-77", day(10, 3, 2025));
    march.QTAKG = 1500;
    march.ETTOGR = 1200.5;
    march.ANNOTA = "rimborso; nota \"A\"";
    Movement december = credit("21", "PR-78", day(16, 12, 2025));
    december.QTAKG = 80;
    december.ETTOGR = 80;
    december.STATO = "C";
    december.DATFLU = day(20, 12, 2025);
    december.NUMFLU = 1;
    Movement cancellation = december;
    cancellation.STATO = " ";
    cancellation.TIPOPE = "C";
    cancellation.DATFLU = 0;
    cancellation.NUMFLU = 0;
    cancellation.ANNOTA = "rettifica";
    Movement summary = credit("05", "", day(31, 5, 2025));
    summary.TIPREC = "E";
    writeRecords(folders.dutyFile(2025), {credit("02", "PR-1", day(1, 2, 2025)), march, summary, december,
                                          cancellation, credit("22", "PR-79", day(31, 12, 2025))});

    DutySearchCriteria criteria{'D', false, 2025, 3, 21, false};
    const auto rows = runDutySearch(folders, criteria);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_FALSE(rows[0].struckOut);
    EXPECT_TRUE(rows[1].struckOut);
    EXPECT_TRUE(rows[2].struckOut);
    writeDutySearchExport(dutySearchExportFile(folders, 'D'), 'D', rows);
    EXPECT_EQ(fileText(folders.inTemp("RICERCA_D.CSV")), golden("RICERCA_D.CSV"));

    criteria.sentOnly = true; // mode t: the sent record alone
    ASSERT_EQ(runDutySearch(folders, criteria).size(), 1u);
    EXPECT_EQ(runDutySearch(folders, criteria)[0].fields[7], "1220.C01");
    criteria = {'D', false, 2024, 1, 22, false}; // no file for 2024: nothing, nothing created
    EXPECT_TRUE(runDutySearch(folders, criteria).empty());
    EXPECT_FALSE(fileExists(folders.dutyFile(2024)));
}

TEST(DutySearch, PeriodsByCodeOrByMonthAndTheFieldsOfEachKind) {
    Movement firstHalf = blankMovement();
    firstHalf.TIPREC = "E";
    firstHalf.CODPAE = "21";
    firstHalf.ANNPRO = "2025";
    firstHalf.DATMOV = day(15, 12, 2025);
    firstHalf.QTAKG = 1000;
    firstHalf.ETTOGR = 200;
    firstHalf.QTALIT = 50;
    firstHalf.VALAUX = 750;
    Movement november = firstHalf;
    november.CODPAE = "11";
    november.DATMOV = day(30, 11, 2025);
    struct Case {
        int first, last;
        bool alcopp;
        const Movement& record;
        bool listed;
    } cases[] = {
        {12, 22, false, firstHalf, true}, {12, 22, false, november, false}, {12, 22, true, firstHalf, true},
        {12, 22, true, november, false},  {1, 11, false, november, true},   {1, 11, false, firstHalf, false},
        {1, 12, true, firstHalf, true},   {11, 11, true, november, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dutySearchLists({'E', false, 2025, c.first, c.last, c.alcopp}, c.record), c.listed)
            << c.first << "-" << c.last << (c.alcopp ? " ALCOPP " : " ") << c.record.CODPAE;
    EXPECT_FALSE(dutySearchLists({'D', false, 2025, 1, 22, false}, firstHalf));

    const auto warehouse = dutySearchRow({'E', false, 2025, 1, 22, false}, firstHalf).fields;
    EXPECT_EQ(warehouse, (std::vector<std::string>{"21/2025", "1.000,00", "200,00", "50,00", "750,00", "", " ", " ", " ", ""}));
    const auto consignee = dutySearchRow({'E', false, 2025, 1, 22, true}, firstHalf).fields;
    EXPECT_EQ(consignee, (std::vector<std::string>{"15/12/2025", "1.000,00", "", "", "", "", " ", " ", " ", ""}));
    Movement correction = firstHalf;
    correction.TIPREC = "R";
    correction.GRAPLA = 2.5;
    correction.CONTIN = 1234;
    correction.VOLUNI = 3.4;
    const auto r = dutySearchRow({'R', false, 2025, 1, 22, false}, correction).fields;
    ASSERT_EQ(r.size(), dutySearchFieldCount('R'));
    EXPECT_EQ(r[5], "2,50");
    EXPECT_EQ(r[6], "1234"); // days of interest: a plain integer
    EXPECT_EQ(r[7], "3,40");
    EXPECT_EQ(dutySearchFieldCount('D'), 11u);
    EXPECT_EQ(dutySearchFieldCount('E'), 10u);
}

TEST(StockSearch, ListsTheStocksDatedInThePeriodWithTheirCorrections) {
    TempDir dir;
    const Folders folders = Folders::of(dir.path(), dir.path() / "temp");
    folders.create();
    EXPECT_TRUE(runStockSearch(folders, day(1, 1, 2009), day(31, 12, 2030)).empty());
    EXPECT_FALSE(fileExists(folders.initialStocks()));

    auto stock = [](double date, const char* protocol, double litres) {
        Movement m = movement("G", date);
        m.NUMPRO = protocol;
        m.ANNPRO = "2024";
        m.QTALIT = litres;
        m.ETTOGR = litres * 0.12;
        return m;
    };
    Movement sent = stock(day(31, 12, 2023), "FS1", 1000);
    sent.STATO = "C";
    sent.DATFLU = day(10, 1, 2024);
    sent.NUMFLU = 4;
    Movement cancellation = sent;
    cancellation.STATO = " ";
    cancellation.TIPOPE = "C";
    cancellation.DATFLU = 0;
    cancellation.NUMFLU = 0;
    cancellation.ANNOTA = std::string(80, 'x');
    Movement replacement = sent;
    replacement.STATO = "R";
    replacement.DATFLU = 0;
    replacement.NUMFLU = 0;
    replacement.QTALIT = 1100.5;
    Movement raw = stock(day(1, 1, 2024), "MP1", 0);
    raw.QTAKG = 2500;
    writeRecords(folders.initialStocks(),
                 {stock(day(30, 12, 2023), "OLD", 1), sent, cancellation, replacement, raw});

    const auto rows = runStockSearch(folders, day(31, 12, 2023), day(1, 1, 2024));
    ASSERT_EQ(rows.size(), 4u); // both ends included; the stock of 30/12 left out
    EXPECT_EQ(rows[0].date, "31/12/2023");
    EXPECT_EQ(rows[0].protocol, "FS1-2024");
    EXPECT_EQ(rows[0].quantity, "1.000,00000");
    EXPECT_EQ(rows[0].hectolitreDegrees, "120,00000");
    EXPECT_EQ(rows[0].flow, "0110.C04");
    EXPECT_EQ((std::vector<bool>{rows[0].struckOut, rows[1].struckOut, rows[2].struckOut, rows[3].struckOut}),
              (std::vector<bool>{true, true, false, false}));
    EXPECT_EQ(rows[1].operation, "C");
    EXPECT_EQ(rows[1].note, std::string(72, 'x'));
    EXPECT_EQ(rows[2].flow, " "); // unsent
    EXPECT_EQ(rows[2].quantity, "1.100,50000");
    EXPECT_EQ(rows[3].quantity, "2.500,00000"); // kilograms of raw materials
}

} // namespace
} // namespace accise
