#include "reports/searchpage.h"

#include <algorithm>

namespace accise {

SearchPage::SearchPage(PageCanvas& canvas, Layout layout, Completion complete)
    : canvas_(canvas), layout_(layout), complete_(std::move(complete)) {}

void SearchPage::start() {
    canvas_.setOrientation(PageOrientation::Landscape);
    // One hundredth of an inch, never thinner than one dot.
    canvas_.setPenWidth(std::max(1.0, canvas_.resolution() / 100));
    setUp();
}

void SearchPage::useFont(double points, bool bold) {
    canvas_.setFont(kReportFont, points);
    canvas_.setBold(bold);
    e_ = canvas_.textWidth("E");
    lh_ = canvas_.lineHeight();
}

void SearchPage::setUp() {
    useBodyFont();
    left_ = centre() - layout_.leftE * e_;
    right_ = left_ + layout_.widthE * e_;
    bottom_ = canvas_.pageHeight() - 8 * lh_;
    y_ = layout_.firstLine * lh_;
    lastRule_ = y_;
}

void SearchPage::beginRow(bool struckOut) {
    if (y_ > bottom_) {
        complete_(*this);
        canvas_.newPage();
        setUp();
    }
    canvas_.setStrikeOut(struckOut);
    y_ += lh_;
}

void SearchPage::endRow() {
    canvas_.setStrikeOut(false);
    const double rule = y_ + lh_ / 5;
    ruleAcross(rule);
    lastRule_ = rule;
}

void SearchPage::finish() {
    complete_(*this);
}

void SearchPage::title(double points, std::string_view text) {
    useFont(points, true);
    canvas_.textCentred(centre(), 2 * lh_, text);
}

} // namespace accise
