#include "core/reports/registerprint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "core/files/ioerror.h"

#include "core/reports/registerreports.h"
#include "recording_canvas.h"
#include "report_fixture.h"

namespace accise {
namespace {

using testing::day;
using testing::litresMovement;
using testing::RecordingCanvas;
using testing::ReportFolder;
using testing::stockRecord;

// On this canvas a character is half its point size wide and a line 1.25 × the point
// size high: at 8 points e = 4 and lh = 10, so on a page 800 wide C = 400, L = 84,
// R = 720, the table's top rule is at 180 and the first line at 210.
RecordingCanvas canvasOf(double height) { return RecordingCanvas(800, height, 0.5, 1.25); }
constexpr double L = 84, E = 4;
double col(double units) { return L + units * E; }

double widthOf(const RecordingCanvas::Text& t) {
    return static_cast<double>(std::count_if(t.text.begin(), t.text.end(),
                                             [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; })) *
           t.points * 0.5;
}

enum Align { Centre, Right, Left };
struct Placed {
    std::string text;
    Align align;
    double x;
};

// The texts of a line as they were placed: each checked at its centre, right end or start.
void expectLine(const RecordingCanvas& canvas, int page, double y, const std::vector<Placed>& expected,
                const std::string& label) {
    const auto found = canvas.lineAt(page, y);
    ASSERT_EQ(found.size(), expected.size()) << label << " at y " << y;
    for (const Placed& p : expected) {
        const auto it = std::find_if(found.begin(), found.end(), [&](const auto& t) { return t.text == p.text; });
        ASSERT_NE(it, found.end()) << label << ": '" << p.text << "' missing";
        const double x = p.align == Centre ? it->x + widthOf(*it) / 2 : p.align == Right ? it->x + widthOf(*it) : it->x;
        EXPECT_NEAR(x, p.x, 1e-9) << label << ": '" << p.text << "'";
    }
}

TableRecord bulkRegister() {
    TableRecord reg = blankTable();
    reg.col[kRegProtocolCol] = "103";
    reg.col[kRegTitleCol] = "BIRRA SFUSA";
    reg.col[kRegHeaderCol] = "UFFICIO DELLE DOGANE DI TORINO";
    reg.ints[kRegTypeInt] = 2;
    reg.nums[kRegProtocolDateNum] = day("10/01/2024");
    trimTable(reg);
    return reg;
}

RegisterPrintRequest request(RegisterPrintMode mode = RegisterPrintMode::Complete, int firstPage = 0) {
    RegisterPrintRequest r;
    r.reg = bulkRegister();
    r.company = blankAddress();
    trimAddress(r.company);
    r.company.name1 = "BIRRIFICIO ALFA SRL";
    r.company.street1 = "VIA ROMA";
    r.company.number1 = "12";
    r.company.postcode1 = "10100";
    r.company.city1 = "TORINO";
    r.company.id1 = "IT00TOB00001A";
    r.mode = mode;
    r.from = day("01/03/2025");
    r.to = day("31/03/2025");
    r.firstPage = firstPage;
    return r;
}

Movement bulkUnload() {
    Movement m = litresMovement("F", "2024", "103", "05/03/2025", "S", 100);
    trimMovement(m);
    m.NUMOPE = 7;
    m.PRODDO = "B000-22030010-00-0000";
    m.TIPDOC = "DAS";
    m.NUMDOC = "F-101";
    m.DATROR = day("06/03/2025");
    m.CODPAE = "IT";
    m.MITDES = "IT00TOA00999Z";
    m.NUMCON = 4;
    m.CAUMOV = "071";
    m.POSFIS = "001";
    m.ACCISA = 35.88;
    return m;
}

TEST(RegisterPrint, RowColumnsSignsStrikeOutAndTotals) {
    Movement packagedLoad = bulkUnload();
    packagedLoad.TIPMOV = "C";
    packagedLoad.NUMOPE = 0;
    packagedLoad.TIPSTO = "N";
    packagedLoad.VOLUNI = 0.33;
    packagedLoad.NUMCON = 1200;
    packagedLoad.QTALIT = 396;
    packagedLoad.ETTOGR = 47.52;
    packagedLoad.DATDOC = day("01/03/2025");
    packagedLoad.NUMDOC = "DDT 9";
    packagedLoad.NPRDAA = 5;
    packagedLoad.NUMCPR = 7;
    packagedLoad.ACCISA = 10;
    Movement superseded = bulkUnload();
    superseded.STATO = "C";
    superseded.POSFIS = "002";
    superseded.ACCISA = 5.5;
    Movement cancellation = packagedLoad;
    cancellation.TIPOPE = "C";
    cancellation.POSFIS = "003";
    Movement replacement = bulkUnload();
    replacement.STATO = "R";
    replacement.QTALIT = 50;
    replacement.ETTOGR = 6;

    const std::vector<Placed> common = {
        {"05/03/2025", Centre, col(8.5)}, {"B000-22030010-00-0000", Centre, col(22)},
        {"DAS", Centre, col(33)},          {"IT", Centre, col(82.5)},
        {"IT00TOA00999Z", Centre, col(92)}, {"071", Centre, col(136.5)},
    };
    struct Case {
        const char* label;
        Movement m;
        std::vector<Placed> texts; // besides the common ones
        bool struck;
        const char* totalHl; // TOTALI after the row, from 1000 litres / 120 hl
        const char* totalLitres;
    } cases[] = {
        {"active bulk unload, excise paid",
         bulkUnload(),
         {{"7", Centre, col(2)}, {"F-101", Centre, col(57)}, {"06/03/2025", Centre, col(74.5)},
          {"S", Centre, col(80)}, {" SFUSO ", Right, col(106.5)}, {"4", Right, col(112.5)},
          {"-12,00000", Right, col(123.5)}, {"-100,00000", Right, col(134.5)}, {"001", Centre, col(139.5)},
          {"35,88", Right, col(158.3)}},
         false, "108,00000", "900,00000"},
        {"packaged load: no operation number, document and receipt numbers, load excise negated",
         packagedLoad,
         {{"01/03/2025", Centre, col(39.5)}, {"DDT 9-05-007", Centre, col(57)}, {"C", Centre, col(80)},
          {"0,33", Right, col(106.5)}, {"1.200", Right, col(112.5)}, {"47,52000", Right, col(123.5)},
          {"396,00000", Right, col(134.5)}, {"001", Centre, col(139.5)}, {"-10,00", Right, col(158.3)}},
         false, "167,52000", "1.396,00000"},
        {"superseded unload: as stored, struck out, suspended excise",
         superseded,
         {{"7", Centre, col(2)}, {"F-101", Centre, col(57)}, {"06/03/2025", Centre, col(74.5)},
          {"S", Centre, col(80)}, {" SFUSO ", Right, col(106.5)}, {"4", Right, col(112.5)},
          {"12,00000", Right, col(123.5)}, {"100,00000", Right, col(134.5)}, {"002", Centre, col(139.5)},
          {"5,50", Right, col(149.3)}},
         true, "120,00000", "1.000,00000"},
        {"cancellation record: struck out, tax position 003 prints no excise",
         cancellation,
         {{"01/03/2025", Centre, col(39.5)}, {"DDT 9-05-007", Centre, col(57)}, {"C", Centre, col(80)},
          {"0,33", Right, col(106.5)}, {"1.200", Right, col(112.5)}, {"47,52000", Right, col(123.5)},
          {"396,00000", Right, col(134.5)}, {"003", Centre, col(139.5)}},
         true, "120,00000", "1.000,00000"},
        {"replacement counts like an active record",
         replacement,
         {{"7", Centre, col(2)}, {"F-101", Centre, col(57)}, {"06/03/2025", Centre, col(74.5)},
          {"S", Centre, col(80)}, {" SFUSO ", Right, col(106.5)}, {"4", Right, col(112.5)},
          {"-6,00000", Right, col(123.5)}, {"-50,00000", Right, col(134.5)}, {"001", Centre, col(139.5)},
          {"35,88", Right, col(158.3)}},
         false, "114,00000", "950,00000"},
    };
    for (const Case& c : cases) {
        RegisterPrintContent content;
        content.hasInitialStock = true;
        content.opening = {0, 120, 1000};
        content.rows = {c.m};
        RecordingCanvas canvas = canvasOf(600);
        drawRegisterPrint(canvas, request(), content);

        expectLine(canvas, 1, 220,
                   {{"RIPORTI", Centre, col(8.5)}, {"120,00000", Right, col(123.5)}, {"1.000,00000", Right, col(134.5)}},
                   c.label);
        std::vector<Placed> row = common;
        row.insert(row.end(), c.texts.begin(), c.texts.end());
        expectLine(canvas, 1, 230, row, c.label);
        for (const auto& t : canvas.lineAt(1, 230)) EXPECT_EQ(t.struck, c.struck) << c.label << ": " << t.text;
        expectLine(canvas, 1, 245,
                   {{"TOTALI", Centre, col(108)}, {c.totalHl, Right, col(123.5)}, {c.totalLitres, Right, col(134.5)}},
                   c.label);
        for (const auto& t : canvas.lineAt(1, 245)) EXPECT_FALSE(t.struck) << c.label;
        EXPECT_EQ(canvas.page, 1);
    }
}

// The vertical rules of the page `page` (ops between page breaks) at x, as "y1 y2".
std::vector<std::string> verticalsAt(const RecordingCanvas& canvas, int page, double x) {
    std::vector<std::string> found;
    int at = 1;
    const std::string prefix = "line " + RecordingCanvas::num(x) + " ";
    for (const auto& op : canvas.ops) {
        if (op == "page") ++at;
        if (at != page || !op.starts_with(prefix)) continue;
        const std::string rest = op.substr(prefix.size());
        const auto second = rest.find(' ');
        if (rest.substr(second + 1).starts_with(RecordingCanvas::num(x) + " ")) found.push_back(rest);
    }
    return found;
}

TEST(RegisterPrint, PagesBreakBelowTheBottomLimitAndCarryTheTotalsOver) {
    // Page 330 high: the bottom limit is 250. The rows of page 1 are at 230, 240, 250
    // and 260 (the line was exactly on the limit), then a new page.
    RegisterPrintContent content;
    content.hasInitialStock = true;
    content.opening = {0, 120, 1000};
    for (int i = 0; i < 10; ++i) {
        Movement m = bulkUnload();
        m.TIPMOV = "C";
        m.NUMOPE = i + 1;
        content.rows.push_back(m);
    }
    RecordingCanvas canvas = canvasOf(330);
    drawRegisterPrint(canvas, request(RegisterPrintMode::Complete, 5), content);
    ASSERT_EQ(canvas.page, 3);

    struct PageCase {
        int page;
        const char* number;
        const char* carriedHl;
        const char* carriedLitres;
        std::vector<std::string> operations;
        double lastRule;
    } pages[] = {
        {1, "PAG.  05", "120,00000", "1.000,00000", {"1", "2", "3", "4"}, 262},
        {2, "PAG.  06", "168,00000", "1.400,00000", {"5", "6", "7", "8"}, 262},
        {3, "PAG.  07", "216,00000", "1.800,00000", {"9", "10"}, 242},
    };
    for (const PageCase& p : pages) {
        const std::string label = "page " + std::to_string(p.page);
        expectLine(canvas, p.page, 220,
                   {{"RIPORTI", Centre, col(8.5)}, {p.carriedHl, Right, col(123.5)},
                    {p.carriedLitres, Right, col(134.5)}},
                   label);
        for (std::size_t r = 0; r < p.operations.size(); ++r) {
            const auto line = canvas.lineAt(p.page, 230 + 10 * static_cast<double>(r));
            ASSERT_FALSE(line.empty()) << label;
            EXPECT_EQ(line.front().text, p.operations[r]) << label;
        }
        EXPECT_TRUE(canvas.lineAt(p.page, 230 + 10 * static_cast<double>(p.operations.size())).empty()) << label;
        // Title, page number and the frame on every page; the column rules end at the last row's rule.
        const auto titles = canvas.textsEqual("DEPOSITI FISCALI DI BIRRA");
        EXPECT_EQ(std::count_if(titles.begin(), titles.end(), [&](const auto& t) { return t.page == p.page; }), 1)
            << label;
        const auto number = canvas.textsEqual(p.number);
        ASSERT_EQ(number.size(), 1u) << label;
        EXPECT_EQ(number[0].page, p.page);
        EXPECT_EQ(verticalsAt(canvas, p.page, L), std::vector<std::string>{"180 " + RecordingCanvas::num(L) + " " +
                                                                           RecordingCanvas::num(p.lastRule)})
            << label;
    }
    expectLine(canvas, 3, 255,
               {{"TOTALI", Centre, col(108)}, {"240,00000", Right, col(123.5)}, {"2.000,00000", Right, col(134.5)}},
               "closing totals");
}

TEST(RegisterPrint, ModesAndEmptyPeriods) {
    RegisterPrintContent stockOnly;
    stockOnly.hasInitialStock = true;
    stockOnly.opening = {0, 96, 800};
    RegisterPrintContent noStock;
    RegisterPrintContent oneRow = stockOnly;
    oneRow.rows = {bulkUnload()};

    struct Case {
        const char* label;
        RegisterPrintMode mode;
        int firstPage, sheets;
        const RegisterPrintContent* content;
        int pages;
        std::vector<std::string> pageNumbers;
        bool heading, frame, carryOver, totals;
        double rulesEnd; // where the column rules of the last page end
    } cases[] = {
        {"headings only: numbered sheets", RegisterPrintMode::HeadingsOnly, 5, 3, &oneRow, 3,
         {"PAG.  05", "PAG.  06", "PAG.  07"}, true, false, false, false, 0},
        {"period without movements: totals are the stock at its end", RegisterPrintMode::Complete, 0, 1, &stockOnly,
         1, {}, true, true, false, true, 210},
        {"register without an initial stock: heading and an empty frame", RegisterPrintMode::Complete, 1, 1,
         &noStock, 1, {"PAG.  01"}, true, true, false, false, 210},
        {"movements only: no heading block", RegisterPrintMode::MovementsOnly, 3, 1, &oneRow, 1, {}, false, true,
         true, true, 232},
    };
    for (const Case& c : cases) {
        RegisterPrintRequest r = request(c.mode, c.firstPage);
        r.sheets = c.sheets;
        RecordingCanvas canvas = canvasOf(600);
        drawRegisterPrint(canvas, r, *c.content);
        EXPECT_EQ(canvas.page, c.pages) << c.label;
        std::vector<std::string> numbers;
        for (const auto& t : canvas.texts)
            if (t.text.starts_with("PAG.")) numbers.push_back(t.text);
        EXPECT_EQ(numbers, c.pageNumbers) << c.label;
        EXPECT_EQ(canvas.textsEqual("DEPOSITI FISCALI DI BIRRA").size(), c.heading ? static_cast<std::size_t>(c.pages) : 0)
            << c.label;
        EXPECT_EQ(canvas.textsEqual("Mittente/Destinatario").size(), c.frame ? 1u : 0u) << c.label;
        EXPECT_EQ(canvas.textsEqual("RIPORTI").size(), c.carryOver ? 1u : 0u) << c.label;
        EXPECT_EQ(canvas.textsEqual("TOTALI").size(), c.totals ? 1u : 0u) << c.label;
        if (c.frame)
            EXPECT_EQ(verticalsAt(canvas, c.pages, L),
                      std::vector<std::string>{"180 " + RecordingCanvas::num(L) + " " + RecordingCanvas::num(c.rulesEnd)})
                << c.label;
        else
            EXPECT_TRUE(verticalsAt(canvas, 1, L).empty()) << c.label;
    }
    // Without movements the totals stand 1.5 lines under the first line.
    RecordingCanvas canvas = canvasOf(600);
    drawRegisterPrint(canvas, request(), stockOnly);
    expectLine(canvas, 1, 225,
               {{"TOTALI", Centre, col(108)}, {"96,00000", Right, col(123.5)}, {"800,00000", Right, col(134.5)}},
               "no movements");
}

TEST(RegisterPrint, HeadingBlockWithTheStampingOfficeWrappedInItsBox) {
    RegisterPrintRequest r = request(RegisterPrintMode::HeadingsOnly, 12);
    r.reg.col[kRegHeaderCol] =
        "AGENZIA DELLE DOGANE E DEI MONOPOLI - UFFICIO DELLE DOGANE DI TORINO - SEZIONE OPERATIVA TERRITORIALE DI "
        "PINEROLO, VIDIMATO IL 10/01/2024 CON IL PROTOCOLLO N. 103 DI 100 FOGLI NUMERATI DA 1 A 100, "
        "FIRMATO DAL FUNZIONARIO INCARICATO DEL SERVIZIO ACCISE SUI PRODOTTI ALCOLICI";
    RecordingCanvas canvas = canvasOf(600);
    drawRegisterPrint(canvas, r, RegisterPrintContent{});
    // 14 points: lh 17.5; then 10 points: e 5, lh 12.5.
    const double C = 400, R = 720, e = 5, lh = 12.5, top = 35;
    expectLine(canvas, 1, top, {{"DEPOSITI FISCALI DI BIRRA", Centre, C}, {"PAG.  12", Left, R - 15 * e}}, "title");
    EXPECT_TRUE(canvas.textsEqual("DEPOSITI FISCALI DI BIRRA")[0].bold);
    expectLine(canvas, 1, top + 1.5 * lh,
               {{"REGISTRO DI CARICO e SCARICO - Finiti sfusi - BIRRA SFUSA", Centre, C}}, "register title");
    const double y = top + 3.5 * lh;
    const auto labels = canvas.lineAt(1, y);
    ASSERT_EQ(labels.size(), 2u);
    EXPECT_EQ(labels[0].text, "RILASCIATO DALL'UFFICIO:");
    EXPECT_DOUBLE_EQ(labels[0].x, L + e);
    EXPECT_EQ(labels[1].text, "ALLA DITTA:");
    EXPECT_DOUBLE_EQ(labels[1].x, C + 2 * e);
    EXPECT_FALSE(labels[0].bold);

    const std::vector<std::string> company = {"BIRRIFICIO ALFA SRL", "VIA ROMA, 12", "10100 TORINO",
                                              "CODICE ACCISA: IT00TOB00001A"};
    std::string office;
    for (int k = 1; k <= 4; ++k) {
        const auto line = canvas.lineAt(1, y + k * lh);
        ASSERT_EQ(line.size(), 2u) << k;
        EXPECT_DOUBLE_EQ(line[0].x, L + 0.5 * e);
        EXPECT_LE(widthOf(line[0]), C - L - e) << line[0].text; // inside the left box
        EXPECT_TRUE(line[0].bold);
        office += (k > 1 ? " " : "") + line[0].text;
        EXPECT_EQ(line[1].text, company[static_cast<std::size_t>(k - 1)]);
        EXPECT_DOUBLE_EQ(line[1].x, C + 1.3 * e);
    }
    // The first four lines of the text, in order and whole words.
    EXPECT_TRUE(r.reg.col[kRegHeaderCol].starts_with(office)) << office;
    EXPECT_GT(office.size(), 200u);
    EXPECT_EQ(canvas.matching("rect"),
              (std::vector<std::string>{"rect 84 " + RecordingCanvas::num(y + lh / 5) + " 400 " +
                                            RecordingCanvas::num(y + 4.3 * lh),
                                        "rect 405 " + RecordingCanvas::num(y + lh / 5) + " 720 " +
                                            RecordingCanvas::num(y + 4.3 * lh)}));
}

TEST(RegisterPrint, ReadsTheOpeningStockAndThePeriodFromTheFiles) {
    ReportFolder f;
    const TableRecord reg = f.addRegister("103", 2, "10/01/2024", "01/01/2024", "31/12/2026");
    f.addStock(stockRecord("F", "2024", "999", "30/06/2024", 5000, 600)); // another register
    Movement cancelledStock = stockRecord("F", "2024", "103", "30/06/2024", 7777, 7);
    cancelledStock.STATO = "C";
    f.addStock(cancelledStock);
    f.addStock(stockRecord("F", "2024", "103", "30/06/2024", 1000, 120));

    auto move = [](const char* date, const char* tipmov, double litres) {
        return litresMovement("F", "2024", "103", date, tipmov, litres);
    };
    f.addMovement(move("05/09/2024", "C", 200)); // an earlier year from the stock's year on counts
    f.addMovement(move("10/10/2024", "S", 100));
    Movement superseded = move("11/10/2024", "S", 50);
    superseded.STATO = "C";
    f.addMovement(superseded);
    Movement cancellation = move("12/10/2024", "S", 50);
    cancellation.TIPOPE = "C";
    f.addMovement(cancellation);
    f.addMovement(litresMovement("F", "2024", "999", "01/11/2024", "C", 3000)); // another register
    Movement stockLine = move("02/11/2024", "G", 3000);                           // neither a load nor an unload
    f.addMovement(stockLine);
    f.addMovement(move("10/01/2025", "S", 100)); // before the period
    f.addMovement(move("01/03/2025", "C", 300)); // first day of the period
    f.addMovement(move("31/03/2025", "S", 10));  // last day
    f.addMovement(move("01/04/2025", "C", 999)); // after it

    RegisterPrintRequest r = request();
    r.reg = reg;
    const RegisterPrintContent content = readRegisterPrint(f.folders, r);
    EXPECT_TRUE(content.hasInitialStock);
    EXPECT_TRUE(content.warning.empty());
    EXPECT_DOUBLE_EQ(content.opening.QTALIT, 1000);
    EXPECT_DOUBLE_EQ(content.opening.ETTOGR, 120);
    ASSERT_EQ(content.rows.size(), 2u);
    EXPECT_EQ(content.rows[0].DATMOV, day("01/03/2025"));
    EXPECT_EQ(content.rows[1].DATMOV, day("31/03/2025"));
    EXPECT_EQ(content.rows[0].NUMPRO, "103"); // trimmed

    // A quantity that is not a number would make every total after it meaningless:
    // the report is refused, naming the record.
    Movement broken = move("20/03/2025", "C", 1);
    broken.QTALIT = std::numeric_limits<double>::quiet_NaN();
    f.addMovement(broken);
    try {
        readRegisterPrint(f.folders, r);
        ADD_FAILURE() << "a NaN quantity was printed";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("QTALIT"), std::string::npos) << e.what();
    }

    // The headings-only mode reads nothing; another register has no stock.
    r.mode = RegisterPrintMode::HeadingsOnly;
    EXPECT_FALSE(readRegisterPrint(f.folders, r).hasInitialStock);
    r.mode = RegisterPrintMode::Complete;
    r.reg.col[kRegProtocolCol] = "104";
    EXPECT_FALSE(readRegisterPrint(f.folders, r).hasInitialStock);
}

TEST(RegisterPrint, ASecondActiveInitialStockIsNamedNotAdded) {
    ReportFolder f;
    const TableRecord reg = f.addRegister("103", 2, "10/01/2024", "01/01/2024", "31/12/2026");
    f.addStock(stockRecord("F", "2024", "103", "30/06/2024", 1000, 120));
    f.addStock(stockRecord("F", "2024", "103", "30/09/2024", 400, 48));
    f.addMovement(litresMovement("F", "2024", "103", "01/03/2025", "C", 300));

    RegisterPrintRequest r = request();
    r.reg = reg;
    const RegisterPrintContent content = readRegisterPrint(f.folders, r);
    EXPECT_DOUBLE_EQ(content.opening.QTALIT, 1000);
    ASSERT_EQ(content.rows.size(), 1u);
    EXPECT_EQ(content.warning, "ATTENZIONE: IL REGISTRO 103 - 2024 HA 2 GIACENZE INIZIALI ATTIVE; E' STATA CONTATA "
                               "SOLO LA PRIMA (RECORD N. 1 DEL 30/06/2024)");
    RecordingCanvas canvas = canvasOf(600);
    drawRegisterPrint(canvas, r, content);
    ASSERT_EQ(canvas.textsEqual(content.warning).size(), 1u);
    EXPECT_GT(canvas.textsEqual(content.warning)[0].y, canvas.textsEqual("TOTALI")[0].y);
    expectLine(canvas, 1, 245,
               {{"TOTALI", Centre, col(108)}, {"156,00000", Right, col(123.5)}, {"1.300,00000", Right, col(134.5)}},
               "one stock counted");
}

} // namespace
} // namespace accise
