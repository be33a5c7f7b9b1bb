#pragma once
// The page model the search prints share: a landscape page, Times New Roman on a grid
// of the letter "E"'s width (e) and the line height (lh) of the current font, the
// table between L and R, rows one lh apart with a thin rule under each, and a new page
// once the current line has passed the bottom limit B = H - 8·lh. A page is completed
// (title, frame, column headings) after its rows, so its column rules can end at the
// rule under its last row (Yr).
#include <functional>
#include <string_view>

#include "reports/pagecanvas.h"

namespace accise {

inline constexpr std::string_view kReportFont = "TIMES NEW ROMAN";

class SearchPage {
public:
    struct Layout {
        double bodyPoints = 8;
        double leftE = 0;    // L = C - leftE·e
        double widthE = 0;   // R = L + widthE·e
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

    // Selects a font and measures e and lh from it (the edges stay where the body
    // font put them).
    void useFont(double points, bool bold = false);
    void useBodyFont() { useFont(layout_.bodyPoints); }
    // A font for small headings: positions keep the e and lh of the font before.
    void useHeadingFont(double points) { canvas_.setFont(kReportFont, points); }

    PageCanvas& canvas() { return canvas_; }
    double e() const { return e_; }
    double lh() const { return lh_; }
    double centre() const { return canvas_.pageWidth() / 2; }
    double left() const { return left_; }
    double right() const { return right_; }
    double y() const { return y_; }
    double lastRule() const { return lastRule_; }
    // x of a column position in units of e from L.
    double at(double columnE) const { return left_ + columnE * e_; }

    void centred(double columnE, std::string_view text) { canvas_.textCentred(at(columnE), y_, text); }
    void rightAligned(double columnE, std::string_view text) { canvas_.textRight(at(columnE), y_, text); }
    void leftAligned(double columnE, std::string_view text) { canvas_.text(at(columnE), y_, text); }
    // The centred bold title on the line 2·lh of its font.
    void title(double points, std::string_view text);
    // Rules of the frame: across from L to R, and column rules from `top` down to Yr.
    void ruleAcross(double y) { canvas_.line(left_, y, right_, y); }
    void columnRule(double columnE, double top) { canvas_.line(at(columnE), top, at(columnE), lastRule_); }

private:
    void setUp();

    PageCanvas& canvas_;
    Layout layout_;
    Completion complete_;
    double e_ = 0, lh_ = 0, left_ = 0, right_ = 0, bottom_ = 0, y_ = 0, lastRule_ = 0;
};

} // namespace accise
