#pragma once
// The page model every printed report of the registers shares: a landscape page,
// Times New Roman laid out on a grid of character widths (e, the width of "E") and
// line heights (lh) measured from the current font, baselines set explicitly, thin
// black rules, and pages broken at a fixed distance from the bottom (8 lines).
//
// A report is as wide as a fixed number of e around the page centre C: left edge
// L = C - a·e, right edge R = C + b·e, measured with the body font when a page is
// set up. When the paper is too narrow for that width every font is scaled down by
// the same factor, so the report keeps its proportions on any paper the printer has.
#include <string>
#include <string_view>
#include <vector>

#include "core/reports/pagecanvas.h"

namespace accise {

inline constexpr std::string_view kReportFont = "TIMES NEW ROMAN";

class ReportPage {
public:
    // `leftE`, `rightE`: the report's edges in units of e of the body font from C.
    ReportPage(PageCanvas& canvas, double bodyPoints, double leftE, double rightE);

    // Before the first page: landscape, the thin pen (one hundredth of an inch, at
    // least one dot), the scale that makes the report fit the paper; then setUp().
    void start();
    // Geometry measured again (after every new page too): page size, C, the body font
    // and its e and lh, L, R, the bottom limit. Bold and strike-out off.
    void setUp();
    // Closes the page; the caller sets the new one up.
    void newPage();

    // Selects Times New Roman at `points` (scaled), bold and strike-out off; e and lh
    // are measured again. L and R stay those of the page set-up. Bold and strike-out
    // are styles of the same font: they do not change e and lh.
    void setFont(double points);
    void setBold(bool on);
    void setStrikeOut(bool on);

    double e() const { return e_; }
    double lh() const { return lh_; }
    double width() const { return width_; }
    double height() const { return height_; }
    double centre() const { return centre_; }
    double left() const { return left_; }
    double right() const { return right_; }
    // H - 8·lh of the body font: a row starts a new page when the current line is below it.
    double bottom() const { return bottom_; }
    double scale() const { return scale_; }
    // The current line's y is past the bottom limit: the next row goes on a new page.
    bool pastBottom() const { return y > bottom_; }

    // The baseline of the line being printed, and the y of the rule under the last row.
    double y = 0;
    double lastRule = 0;

    // Text on the current line: centred on x, ending at x, beginning at x.
    void centred(std::string_view text, double x);
    void rightAligned(std::string_view text, double x);
    void at(std::string_view text, double x);
    // Text beginning at x on the line ly, which becomes the current line.
    void at(std::string_view text, double x, double ly);
    void line(double x1, double y1, double x2, double y2);
    void rectangle(double x1, double y1, double x2, double y2);
    // The thin rule under a data row, from L to R at `ry`; it becomes the last rule.
    void rowRule(double ry);

    double textWidth(std::string_view text) const { return canvas_.textWidth(text); }
    // Positions from L in units of e of the current font.
    double fromLeft(double units) const { return left_ + units * e_; }

    PageCanvas& canvas() { return canvas_; }

private:
    void measure();

    PageCanvas& canvas_;
    double bodyPoints_;
    double leftE_, rightE_;
    double scale_ = 1;
    double e_ = 0, lh_ = 0;
    double width_ = 0, height_ = 0, centre_ = 0, left_ = 0, right_ = 0, bottom_ = 0;
};

// Splits `text` at blanks into lines that each fit `maxWidth` in the page's current
// font; a word longer than the width is cut where it no longer fits.
std::vector<std::string> wrapText(const ReportPage& page, std::string_view text, double maxWidth);

} // namespace accise
