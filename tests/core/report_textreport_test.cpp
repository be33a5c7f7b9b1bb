// The plain text report: lines wider than the page continue on the next printed line
// (counted in characters, not bytes), and every page carries the title and its number.
#include <gtest/gtest.h>

#include "core/reports/textreport.h"
#include "support/recording_canvas.h"

namespace accise {
namespace {

TEST(TextReport, WrapsLongLinesAndBreaksPages) {
    testing::RecordingCanvas canvas; // upright: 600 × 800 dots; Courier 10: 10 × 20 dots
    std::vector<std::string> lines;
    lines.push_back(std::string(51, 'a') + "àè" + std::string(7, 'b')); // 60 characters, 52 fit
    for (int i = 0; i < 40; ++i) lines.push_back("riga " + std::to_string(i));
    drawTextReport(canvas, "AB120315.C01", lines);

    std::vector<std::string> body;
    int titles = 0;
    for (const auto& t : canvas.texts) {
        if (t.text == "AB120315.C01") {
            ++titles;
            EXPECT_TRUE(t.bold);
        } else if (t.text.rfind("Pagina ", 0) != 0) {
            body.push_back(t.text);
        }
    }
    EXPECT_EQ(canvas.page, 2);
    EXPECT_EQ(titles, 2);
    ASSERT_EQ(body.size(), 42u);
    EXPECT_EQ(body[0], std::string(51, 'a') + "à");
    EXPECT_EQ(body[1], "è" + std::string(7, 'b'));
    EXPECT_EQ(body[41], "riga 39");
    // 33 printed lines fit a page: the 34th opens page 2, under its title.
    EXPECT_EQ(canvas.texts.back().page, 2);
    EXPECT_EQ(canvas.ops.front(), "portrait");
}

} // namespace
} // namespace accise
