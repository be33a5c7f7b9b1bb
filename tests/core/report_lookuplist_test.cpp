#include "core/reports/lookuplistreport.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "recording_canvas.h"

namespace accise {
namespace {

using testing::RecordingCanvas;

LookupReportData smallList() {
    LookupReportData d;
    d.title = "Lingue";
    d.widths = {6, 10};
    d.captions = {"Codice", "Descrizione"};
    d.rows = {{"it", "Italiano"}, {"de", "Tedesco"}};
    return d;
}

TEST(ReportLookupList, PageLayoutOfASmallList) {
    RecordingCanvas canvas;
    drawLookupReport(canvas, smallList());
    // 18 characters of 12 dots centred on 300: from 192 to 408; lines 24 dots high.
    EXPECT_EQ(canvas.joined(),
              "portrait\n"
              "pen 4\n"
              "font Courier New 12\n"
              "text 480 24 top 'Pagina 1'\n"
              "text 264 72 top 'Lingue'\n"
              "line 192 120 408 120\n"
              "line 192 168 408 168\n"
              "line 408 120 408 168\n"
              "line 192 120 192 168\n"
              "text 204 132 top 'Codice'\n"
              "line 276 120 276 168\n"
              "text 288 132 top 'Descrizione'\n"
              "text 204 192 top 'it'\n"
              "text 288 192 top 'Italiano'\n"
              "text 204 216 top 'de'\n"
              "text 288 216 top 'Tedesco'\n");
}

TEST(ReportLookupList, WideListsTurnLandscapeAndShrinkTheFontToFit) {
    struct Case {
        int total;                // characters of the table
        const char* orientation;
        const char* lastFont;     // the font the rows use
        const char* firstCaption; // where the first caption lands
    };
    const std::vector<Case> cases{
        // 90 × 12 dots do not fit the upright 600 either: 6 is the first size that does.
        {90, "portrait", "font Courier New 6", nullptr},
        // 91 × 12 = 1092 dots do not fit 800: 13, 12, ... 8 are tried; 91 × 8 = 728 fits.
        {91, "landscape", "font Courier New 8", "text 44 88 top 'A'"},
        // Nothing fits: the smallest size is kept.
        {400, "landscape", "font Courier New 3", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.total);
        LookupReportData d;
        d.widths = {c.total - 1};
        d.captions = {"A"};
        RecordingCanvas canvas;
        drawLookupReport(canvas, d);
        EXPECT_EQ(canvas.ops.front(), c.orientation);
        EXPECT_EQ(canvas.matching("font").back(), c.lastFont);
        if (c.firstCaption) {
            EXPECT_EQ(canvas.matching("text")[2], c.firstCaption);
        }
    }
}

TEST(ReportLookupList, FullPagesStartANewPageWithItsHeader) {
    LookupReportData d = smallList();
    d.rows.clear();
    for (int i = 0; i < 50; ++i) d.rows.push_back({std::to_string(i), "x"});
    RecordingCanvas canvas;
    drawLookupReport(canvas, d);
    // 800 / 24 = 33 lines, 10 reserved: 23 rows per page.
    EXPECT_EQ(canvas.matching("page").size(), 2u);
    EXPECT_EQ(canvas.matching("text 480 24 top"),
              (std::vector<std::string>{"text 480 24 top 'Pagina 1'", "text 480 24 top 'Pagina 2'",
                                        "text 480 24 top 'Pagina 3'"}));
    // The last row of page 1 and the first of page 2.
    auto at = [&](const std::string& op) { return std::find(canvas.ops.begin(), canvas.ops.end(), op); };
    EXPECT_LT(at("text 204 720 top '22'"), at("page"));
    EXPECT_GT(at("text 204 192 top '23'"), at("page"));
    EXPECT_NE(at("text 204 192 top '46'"), canvas.ops.end());
}

TEST(ReportLookupList, EmptyListPrintsOnePageWithItsHeader) {
    LookupReportData d = smallList();
    d.rows.clear();
    RecordingCanvas canvas;
    drawLookupReport(canvas, d);
    EXPECT_TRUE(canvas.matching("page").empty());
    EXPECT_EQ(canvas.matching("text").size(), 4u); // page number, title, two captions
}

} // namespace
} // namespace accise
