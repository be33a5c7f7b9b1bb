#include "core/reports/registertotals.h"

#include <gtest/gtest.h>

#include "core/files/binary.h"
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

Movement withExcise(Movement m, const char* posfis, double accisa) {
    m.POSFIS = posfis;
    m.ACCISA = accisa;
    return m;
}

TEST(RegisterTotals, StockOfEveryValidRegisterAndTheExcisePaidInTheMonth) {
    ReportFolder f;
    f.addRegister("101", 0, "10/01/2024", "01/01/2024", "31/12/2026", "MALTO");
    f.addRegister("103", 2, "10/01/2024", "01/01/2024", "31/12/2026", "BIRRA SFUSA");
    f.addRegister("104", 3, "10/01/2024", "01/01/2024", "31/12/2026", "BIRRA IN FUSTI");
    f.addRegister("OLD", 2, "10/01/2020", "01/01/2020", "31/12/2024");  // ended before the date
    f.addRegister("NEW", 2, "10/01/2025", "16/05/2025", "31/12/2026");  // starts after it
    f.addStock(stockRecord("F", "2024", "103", "31/12/2024", 1000, 120));
    f.addStock(stockRecord("N", "2024", "104", "31/12/2024", 500, 60));
    f.addStock(stockRecord("F", "2024", "103", "31/12/2024", 1, 1)); // a second active stock: not added
    f.addStock(stockRecord("F", "2020", "OLD", "31/12/2020", 50, 6));

    auto f103 = [](const char* date, const char* tipmov, double litres) {
        return litresMovement("F", "2024", "103", date, tipmov, litres);
    };
    f.addMovement(withExcise(f103("10/03/2025", "C", 1000), "001", 30));  // an earlier month: stock only
    f.addMovement(withExcise(f103("01/05/2025", "S", 400), "001", 12.34));
    f.addMovement(withExcise(f103("02/05/2025", "C", 100), "001", 2.5)); // a load's excise is subtracted
    f.addMovement(withExcise(f103("03/05/2025", "S", 100), "002", 99));  // suspended: not paid
    Movement superseded = withExcise(f103("04/05/2025", "S", 70), "001", 7);
    superseded.STATO = "C";
    f.addMovement(superseded);
    Movement cancellation = withExcise(f103("04/05/2025", "S", 70), "001", 7);
    cancellation.TIPOPE = "C";
    f.addMovement(cancellation);
    Movement replacement = withExcise(f103("04/05/2025", "S", 60), "001", 6);
    replacement.STATO = "R";
    f.addMovement(replacement);
    f.addMovement(withExcise(f103("16/05/2025", "S", 300), "001", 9)); // after the date
    f.addMovement(withExcise(litresMovement("N", "2024", "104", "15/05/2025", "S", 20), "001", 0.66));
    // A register without an initial stock: listed with zero, its excise not counted.
    Movement malt = withExcise(litresMovement("M", "2024", "101", "05/05/2025", "C", 0), "001", 100);
    malt.QTAKG = 800;
    f.addMovement(malt);

    const RegisterTotals t = computeRegisterTotals(f.folders, day("15/05/2025"));
    ASSERT_EQ(t.registers.size(), 3u);
    EXPECT_EQ(t.registers[0].reg.col[0], "101");
    EXPECT_DOUBLE_EQ(t.registers[0].stock.QTAKG, 0);
    EXPECT_EQ(t.registers[1].reg.col[0], "103");
    // 1000 + 1000 - 400 + 100 - 100 - 60
    EXPECT_DOUBLE_EQ(t.registers[1].stock.QTALIT, 1540);
    EXPECT_NEAR(t.registers[1].stock.ETTOGR, 184.8, 1e-9);
    EXPECT_DOUBLE_EQ(t.registers[2].stock.QTALIT, 480);
    EXPECT_NEAR(t.excisePaid, 12.34 - 2.5 + 6 + 0.66, 1e-9);
    ASSERT_EQ(t.warnings.size(), 1u);
    EXPECT_NE(t.warnings[0].find("IL REGISTRO 103 - 2024 HA 2 GIACENZE INIZIALI ATTIVE"), std::string::npos);

    // The first of a month counts that day only.
    EXPECT_NEAR(computeRegisterTotals(f.folders, day("01/05/2025")).excisePaid, 12.34, 1e-9);

    // The register list of the temp folder carries the totals in its work numbers.
    writeRegisterTotalsList(f.folders, t);
    const RecordBlock list = readRecords(f.folders.inTemp(kRegisterListFile), kTableSize, IfMissing::Empty);
    ASSERT_EQ(list.count(), 3u);
    EXPECT_DOUBLE_EQ(binary::getDouble(list.at(1).data() + 5240 - 0), t.registers[1].stock.ETTOGR);
    EXPECT_DOUBLE_EQ(binary::getDouble(list.at(1).data() + 5248), 1540);
    EXPECT_DOUBLE_EQ(binary::getDouble(list.at(1).data() + 5224), 0);
    EXPECT_EQ(decodeTable(list.at(2)).col[0].substr(0, 3), "104");
}

// 10 points: e = 5, lh = 12.5 on a page 800 wide: L = 400 - 305 = 95, R = 705.
TEST(RegisterTotals, PageLayout) {
    RegisterTotals t;
    t.date = day("15/05/2025");
    t.excisePaid = -1234.5;
    TableRecord reg = blankTable();
    trimTable(reg);
    reg.col[0] = "103";
    reg.col[2] = "BIRRA SFUSA IN SERBATOI DI ACCIAIO INOX DELLA CANTINA NORD";
    reg.ints[0] = 2;
    reg.nums[0] = day("10/01/2024");
    t.registers.push_back({reg, {0, 184.8, 1540}});

    RecordingCanvas canvas(800, 600, 0.5, 1.25);
    drawRegisterTotals(canvas, t);
    const double L = 95, e = 5, lh = 12.5;
    auto centreOf = [](const RecordingCanvas::Text& x) { return x.x + static_cast<double>(x.text.size()) * x.points * 0.25; };
    auto rightOf = [](const RecordingCanvas::Text& x) { return x.x + static_cast<double>(x.text.size()) * x.points * 0.5; };

    const auto title = canvas.textsEqual("TOTALI DI TUTTI I REGISTRI ALLA DATA: 15/05/2025");
    ASSERT_EQ(title.size(), 1u);
    EXPECT_DOUBLE_EQ(title[0].y, 35);
    EXPECT_TRUE(title[0].bold);
    const auto row = canvas.lineAt(1, 6.5 * lh);
    ASSERT_EQ(row.size(), 6u);
    EXPECT_EQ(row[0].text, "103 - 2024");
    EXPECT_DOUBLE_EQ(centreOf(row[0]), L + 9 * e);
    EXPECT_EQ(row[1].text, "Finiti sfusi");
    EXPECT_DOUBLE_EQ(centreOf(row[1]), L + 27 * e);
    EXPECT_EQ(row[2].text, "         0,00000"); // width 9: padded to 10 before the decimals
    EXPECT_DOUBLE_EQ(rightOf(row[2]), L + 50.5 * e);
    EXPECT_EQ(row[3].text, "       184,80000");
    EXPECT_DOUBLE_EQ(rightOf(row[3]), L + 65.5 * e);
    EXPECT_EQ(row[4].text, "     1.540,00000");
    EXPECT_DOUBLE_EQ(rightOf(row[4]), L + 80.5 * e);
    EXPECT_EQ(row[5].text, "BIRRA SFUSA IN SERBATOI DI ACCIAIO INOX ");
    EXPECT_DOUBLE_EQ(row[5].x, L + 82.5 * e);
    // The rule under the row, 0.3 lh below it; the column rules end there.
    const double rule = 6.8 * lh;
    EXPECT_EQ(canvas.matching("line 95 " + RecordingCanvas::num(rule)).size(), 1u);
    EXPECT_EQ(canvas.matching("line 95 50 95 ").front(), "line 95 50 95 " + RecordingCanvas::num(rule));
    const auto excise = canvas.textsEqual("TOTALE ACCISA ASSOLTA: -1.234,50");
    ASSERT_EQ(excise.size(), 1u);
    EXPECT_DOUBLE_EQ(excise[0].y, rule + 3 * lh);
    EXPECT_DOUBLE_EQ(centreOf(excise[0]), 400);

    // No register valid on the date: the heading band only.
    RecordingCanvas empty(800, 600, 0.5, 1.25);
    t.registers.clear();
    drawRegisterTotals(empty, t);
    EXPECT_EQ(empty.matching("line 95 50 95 ").front(), "line 95 50 95 " + RecordingCanvas::num(5.5 * lh));
    EXPECT_DOUBLE_EQ(empty.textsEqual("TOTALE ACCISA ASSOLTA: -1.234,50")[0].y, 8.5 * lh);
    EXPECT_EQ(empty.textsEqual("Protocollo").size(), 1u);
}

TEST(RegisterTotals, ManyRegistersBreakIntoPagesWithTitleAndFrameOnEach) {
    RegisterTotals t;
    t.date = day("15/05/2025");
    for (int i = 0; i < 30; ++i) {
        TableRecord reg = blankTable();
        trimTable(reg);
        reg.col[0] = std::to_string(100 + i);
        reg.nums[0] = day("10/01/2024");
        t.registers.push_back({reg, {}});
    }
    // 400 high: bottom limit 300; rows every 1.3 lh = 16.25 from 68.75.
    RecordingCanvas canvas(800, 400, 0.5, 1.25);
    drawRegisterTotals(canvas, t);
    ASSERT_GT(canvas.page, 1);
    EXPECT_EQ(canvas.textsEqual("TOTALI DI TUTTI I REGISTRI ALLA DATA: 15/05/2025").size(),
              static_cast<std::size_t>(canvas.page));
    int rows = 0;
    for (const auto& x : canvas.texts)
        if (x.text.ends_with(" - 2024")) {
            ++rows;
            EXPECT_LE(x.y, 300 + 12.5 + 0.01) << x.text; // a row starts only while the line is not past the limit
        }
    EXPECT_EQ(rows, 30);
}

} // namespace
} // namespace accise
