#include "core/reports/pageconventions.h"

#include <gtest/gtest.h>

#include "recording_canvas.h"

namespace accise {
namespace {

using testing::RecordingCanvas;

// Characters half as wide as the point size, lines 1.25 × the point size: at 8 points
// e = 4 and lh = 10.
RecordingCanvas canvasOf(double width, double height) { return RecordingCanvas(width, height, 0.5, 1.25); }

TEST(ReportPage, StartSetsLandscapeThinPenAndTheGridOfTheBodyFont) {
    RecordingCanvas canvas = canvasOf(800, 600);
    ReportPage page(canvas, 8, 79, 80);
    page.start();
    EXPECT_EQ(canvas.ops.at(0), "landscape");
    EXPECT_EQ(canvas.ops.at(1), "pen 1"); // a hundredth of an inch at 72 dpi is below one dot
    EXPECT_EQ(canvas.ops.back(), "font TIMES NEW ROMAN 8");
    EXPECT_DOUBLE_EQ(page.scale(), 1);
    EXPECT_DOUBLE_EQ(page.e(), 4);
    EXPECT_DOUBLE_EQ(page.lh(), 10);
    EXPECT_DOUBLE_EQ(page.centre(), 400);
    EXPECT_DOUBLE_EQ(page.left(), 400 - 79 * 4);
    EXPECT_DOUBLE_EQ(page.right(), 400 + 80 * 4);
    EXPECT_DOUBLE_EQ(page.bottom(), 600 - 80);

    // Another size measures e and lh again; the edges stay those of the page set-up.
    page.setFont(14);
    EXPECT_DOUBLE_EQ(page.e(), 7);
    EXPECT_DOUBLE_EQ(page.lh(), 17.5);
    EXPECT_DOUBLE_EQ(page.left(), 84);
    // Bold is a style: the grid stays.
    page.setBold(true);
    EXPECT_DOUBLE_EQ(page.e(), 7);
}

TEST(ReportPage, ANarrowPaperScalesEveryFontSoTheReportFits) {
    RecordingCanvas canvas = canvasOf(500, 400);
    ReportPage page(canvas, 8, 79, 80);
    page.start();
    // 159 e of 4 dots = 636 dots do not fit 500: everything shrinks by one factor.
    const double scale = 500 * 0.99 / 636;
    EXPECT_NEAR(page.scale(), scale, 1e-12);
    EXPECT_NEAR(page.right() - page.left(), 495, 1e-9);
    EXPECT_DOUBLE_EQ(page.centre(), 250);
    page.setFont(14);
    EXPECT_NEAR(page.e(), 7 * scale, 1e-12);
    EXPECT_EQ(canvas.ops.back(), "font TIMES NEW ROMAN " + RecordingCanvas::num(14 * scale));
}

TEST(ReportPage, RowsBreakOnlyBelowTheBottomLimit) {
    RecordingCanvas canvas = canvasOf(800, 600);
    ReportPage page(canvas, 8, 79, 80);
    page.start();
    page.y = page.bottom();
    EXPECT_FALSE(page.pastBottom()); // a row on the limit still goes on this page
    page.y += 0.001;
    EXPECT_TRUE(page.pastBottom());
}

TEST(ReportPage, WrapsTextAtBlanksIntoLinesThatFit) {
    RecordingCanvas canvas = canvasOf(800, 600);
    ReportPage page(canvas, 10, 10, 10); // 5 dots a character
    page.start();
    struct Case {
        std::string text;
        double width;
        std::vector<std::string> lines;
    } cases[] = {
        {"", 50, {}},
        {"   ", 50, {}},
        {"UFFICIO DELLE DOGANE DI TORINO", 70, {"UFFICIO DELLE", "DOGANE DI", "TORINO"}},
        {"UFFICIO  DI   TORINO", 200, {"UFFICIO DI TORINO"}},
        {"ABCDEFGHIJKL X", 25, {"ABCDE", "FGHIJ", "KL X"}},
        {"àèìòù", 10, {"àè", "ìò", "ù"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(wrapText(page, c.text, c.width), c.lines) << c.text;
        for (const auto& l : wrapText(page, c.text, c.width)) EXPECT_LE(page.textWidth(l), c.width) << l;
    }
}

} // namespace
} // namespace accise
