// The search prints on a recording canvas (a character is `points` dots wide, a line
// 2 × points high, a landscape page 1600 × 600 dots, wide enough that nothing is scaled): pages broken at the bottom limit,
// every page completed with its title and frame, column rules ending at the last
// row's rule, struck-out corrections and the columns each kind shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "core/reports/dutysearchprint.h"
#include "core/reports/registersearchprint.h"
#include "core/reports/stocksearchprint.h"
#include "recording_canvas.h"

namespace accise {
namespace {

using testing::RecordingCanvas;

constexpr double kWidth = 1600, kHeight = 600;

long count(const std::vector<std::string>& ops, std::string_view op) {
    return std::count(ops.begin(), ops.end(), std::string(op));
}

RegisterSearchRow registerRow(const char* numope) {
    RegisterSearchRow row;
    row.fields[0] = numope;
    row.fields[10] = "12";
    row.fields[12] = "396";
    row.fields[18] = "-5,00";
    row.fields[19] = "0320.C02";
    return row;
}

TEST(SearchPrint, AnEmptyRegisterSearchIsOnePageWithTitleAndHeadingBand) {
    RecordingCanvas canvas(kWidth, kHeight);
    drawRegisterSearch(canvas, {"Ricerca movimenti di carico", "01/01/2025", "31/12/2025", "IT00MIA00777M", {}});
    const auto& ops = canvas.ops;
    EXPECT_EQ(ops.front(), "landscape");
    EXPECT_EQ(count(ops, "page"), 0);
    // Title: 12 points bold, centred on 800, on the line 2·lh = 48.
    const std::string title = "Ricerca movimenti di carico dal 01/01/2025 al 31/12/2025 - IT00MIA00777M";
    EXPECT_EQ(count(ops, "text " + std::to_string(800 - 6 * static_cast<int>(title.size())) + " 48 base '" + title + "'"), 1)
        << canvas.joined();
    // 8 points: e = 8, lh = 16, L = 800 - 80·8 = 160, R = L + 160·8 = 1440; T = 80;
    // the column rules end at the first line 8·lh = 128.
    EXPECT_EQ(count(ops, "line 160 80 1440 80"), 1);
    EXPECT_EQ(count(ops, "line 160 128 1440 128"), 1); // T + 3·lh
    EXPECT_EQ(count(ops, "line 160 80 160 128"), 1);
    EXPECT_EQ(count(ops, "line 1440 80 1440 128"), 1);
    EXPECT_EQ(count(ops, "line 456 96 456 128"), 1); // L + 37·e from T + lh

    // On paper narrower than 160·e every font shrinks together: the frame stays on the page.
    RecordingCanvas narrow; // 800 dots
    drawRegisterSearch(narrow, {"Ricerca movimenti di carico", "01/01/2025", "31/12/2025", "", {}});
    const auto rules = narrow.matching("line ");
    ASSERT_FALSE(rules.empty());
    for (const auto& rule : rules) {
        std::istringstream in(rule.substr(5));
        double x1 = 0, y1 = 0, x2 = 0;
        in >> x1 >> y1 >> x2;
        EXPECT_GE(std::min(x1, x2), 0) << rule;
        EXPECT_LE(std::max(x1, x2), 800) << rule;
    }
}

TEST(SearchPrint, RegisterRowsBreakPagesAtTheBottomLimitAndStrikeCorrections) {
    RegisterSearchPrint print{"Ricerca movimenti di scarico", "01/01/2025", "31/12/2025", "", {}};
    for (int i = 1; i <= 23; ++i) print.rows.push_back(registerRow(std::to_string(i).c_str()));
    print.rows[1].struckOut = true;
    print.rows[2].closingOnly = true;
    RecordingCanvas canvas(kWidth, kHeight);
    drawRegisterSearch(canvas, print);
    const auto& ops = canvas.ops;
    // B = 600 - 8·16 = 472: rows from 144 on; the 22nd row starts at 464 (not past
    // B) and stays, the 23rd starts at 480 and goes to a new page, on its first line.
    ASSERT_EQ(count(ops, "page"), 1);
    const auto pageAt = std::find(ops.begin(), ops.end(), "page");
    const auto firstRow = std::find(ops.begin(), ops.end(), "text 172 144 base '1'");
    const auto row22 = std::find(ops.begin(), ops.end(), "text 168 480 base '22'");
    const auto row23 = std::find(ops.begin(), ops.end(), "text 168 144 base '23'");
    EXPECT_LT(firstRow, pageAt);
    EXPECT_LT(row22, pageAt);
    EXPECT_GT(row23, pageAt);
    ASSERT_NE(row23, ops.end());
    // Both pages completed: the title on each, the left rule down to the last row's rule.
    EXPECT_EQ(canvas.matching("text 440 48 base 'Ricerca movimenti di scarico dal").size(), 2u);
    EXPECT_EQ(count(ops, "line 160 80 160 483.2"), 1); // 480 + lh/5
    EXPECT_EQ(count(ops, "line 160 80 160 147.2"), 1); // the second page's one row
    // The second row struck out, and only it.
    const auto second = std::find(ops.begin(), ops.end(), "text 172 160 base '2'");
    ASSERT_NE(second, ops.end());
    EXPECT_EQ(*std::prev(second), "strike");
    EXPECT_EQ(count(ops, "strike"), 1);
    // TIPOPE "A" / "D": no packages nor quantity, the guarantee at 151,5·e.
    EXPECT_EQ(count(ops, "text 1332 176 base '-5,00'"), 1); // L + 151,5·e - 5 characters
    EXPECT_EQ(count(ops, "text 1340 160 base '-5,00'"), 1); // the others at 152,5·e
    EXPECT_EQ(count(ops, "text 972 176 base '12'"), 0);
    EXPECT_EQ(count(ops, "text 972 160 base '12'"), 1);     // packages right-aligned at 103.5·e
    EXPECT_EQ(count(ops, "text 1388.8 160 base '0320.C02'"), 1); // flow label from 153.6·e
}

TEST(SearchPrint, DutyEdgesAndColumnsFollowTheKindAndTheProfile) {
    DutySearchRow row;
    row.fields = {"15/12/2025", "1.000,00", "", "", "", "1402", " ", "I", " ", ""};
    struct Case {
        char kind;
        bool alcopp;
        int left, right; // 10 points: e = 10, C = 800
        const char* heading;
    } cases[] = {
        {'E', false, 420, 1180, "Crediti utilizz."},
        {'E', true, 600, 1000, "Accise a debito"},
        {'D', false, 350, 1250, "Importo scontato"},
        {'R', false, 310, 1290, "Importo interessi"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.kind) + (c.alcopp ? " ALCOPP" : ""));
        RecordingCanvas canvas(kWidth, kHeight);
        DutySearchPrint print{{c.kind, false, 2025, 12, 22, c.alcopp}, "Registro accise", "12/2025", "22", {}};
        if (c.kind == 'E') print.rows = {row};
        drawDutySearch(canvas, print);
        const auto& ops = canvas.ops;
        // T = 5·lh = 100; the heading line T + 1.1·lh.
        EXPECT_EQ(count(ops, "line " + std::to_string(c.left) + " 100 " + std::to_string(c.right) + " 100"), 1)
            << canvas.joined();
        bool headed = false;
        for (const auto& op : canvas.matching("text "))
            headed = headed || op.ends_with("'" + std::string(c.heading) + "'");
        EXPECT_TRUE(headed);
        const std::string title = "Registro accise dal 12/2025 al 22/2025";
        EXPECT_EQ(count(ops, "text " + std::to_string(800 - 6 * static_cast<int>(title.size())) + " 48 base '" + title + "'"), 1);
        // Rows from the first line 6·lh = 120: one row ends its column rules at 144.
        const std::string end = c.kind == 'E' ? "144" : "120";
        EXPECT_EQ(count(ops, "line " + std::to_string(c.left) + " 100 " + std::to_string(c.left) + " " + end), 1);
    }
    // The excise due right-aligned at 23·e; with ALCOPP the chapter is centred at 27·e.
    RecordingCanvas consignee(kWidth, kHeight);
    drawDutySearch(consignee, {{'E', false, 2025, 12, 22, true}, "Registro accise", "12/2025", "22", {row}});
    EXPECT_EQ(count(consignee.ops, "text 750 140 base '1.000,00'"), 1) << consignee.joined();
    EXPECT_EQ(count(consignee.ops, "text 850 140 base '1402'"), 1);
}

TEST(SearchPrint, StockRowsShowTheirColumnsAndStrikeCorrections) {
    StockSearchRow active{"31/12/2024", "I", "FS1-2024", "1.000,00000", "120,00000", " ", "nota", false};
    StockSearchRow cancelled = active;
    cancelled.operation = "C";
    cancelled.struckOut = true;
    RecordingCanvas canvas(kWidth, kHeight);
    drawStockSearch(canvas, {"01/01/2009", "31/12/2024", {active, cancelled}});
    const auto& ops = canvas.ops;
    // 8 points: L = 800 - 74·8 = 208; first line 6·lh = 96; rows at 112 and 128.
    EXPECT_EQ(count(ops, "text 832 112 base 'nota'"), 1) << canvas.joined(); // from 78·e
    EXPECT_EQ(count(ops, "text 496 112 base '1.000,00000'"), 1);               // right-aligned at 47·e
    const auto struck = std::find(ops.begin(), ops.end(), "text 208 128 base '31/12/2024'");
    ASSERT_NE(struck, ops.end());
    EXPECT_EQ(*std::prev(struck), "strike");
    EXPECT_EQ(count(ops, "line 208 80 208 131.2"), 1);
    const std::string title = "Ricerca giacenze iniziali dal 01/01/2009 al 31/12/2024";
    EXPECT_EQ(count(ops, "text " + std::to_string(800 - 6 * static_cast<int>(title.size())) + " 48 base '" + title + "'"), 1);
}

} // namespace
} // namespace accise
