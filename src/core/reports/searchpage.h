#pragma once
// The row loop the search prints share, on the reports' page model (ReportPage):
// rows one lh apart from the report's first line, a thin rule under each, a new page
// once the current line has passed the bottom limit, and every page completed after
// its rows (title, frame, column headings), so its column rules end at the rule
// under its last row.
#include <functional>
#include <string_view>

#include "core/reports/pageconventions.h"

namespace accise {

class SearchPage {
public:
    struct Layout {
        double bodyPoints = 8;
        double leftE = 0;     // L = C - leftE·e
        double widthE = 0;    // R = L + widthE·e
        double firstLine = 6; // Y and Yr at the page set-up, in lh
    };
    // Draws the title, frame and headings over the rows of a finished page.
    using Completion = std::function<void(SearchPage&)>;

    SearchPage(PageCanvas& canvas, Layout layout, Completion complete);

    // Landscape, the thin pen, the first page set up.
    void start();
    // Before each row: a new page when the current line is past the bottom limit;
    // then the current line moves down by lh and the strike-out is set.
    void beginRow(bool struckOut);
    // After each row: the rule under it, which becomes the last rule Yr.
    void endRow();
    // After the last row: the last page completed.
    void finish();

    // Selects a font (scaled with the report) and measures e and lh from it; the
    // edges stay where the body font put them.
    void useFont(double points, bool bold = false);
    void useBodyFont() { useFont(layout_.bodyPoints); }
    // A font for small headings: positions keep the e and lh of the font before.
    void useHeadingFont(double points);

    PageCanvas& canvas() { return page_.canvas(); }
    double e() const { return page_.e(); }
    double lh() const { return page_.lh(); }
    double centre() const { return page_.centre(); }
    double lastRule() const { return page_.lastRule; }
    // x of a column position in units of e from L.
    double at(double columnE) const { return page_.fromLeft(columnE); }

    void centred(double columnE, std::string_view text) { page_.centred(text, at(columnE)); }
    void rightAligned(double columnE, std::string_view text) { page_.rightAligned(text, at(columnE)); }
    void leftAligned(double columnE, std::string_view text) { page_.at(text, at(columnE)); }
    // The centred bold title on the line 2·lh of its font.
    void title(double points, std::string_view text);
    // Rules of the frame: across from L to R, and column rules from `top` down to Yr.
    void ruleAcross(double y) { page_.line(page_.left(), y, page_.right(), y); }
    void columnRule(double columnE, double top) { page_.line(at(columnE), top, at(columnE), page_.lastRule); }

private:
    void setUp();

    ReportPage page_;
    Layout layout_;
    Completion complete_;
};

} // namespace accise
