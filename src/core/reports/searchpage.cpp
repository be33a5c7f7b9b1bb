#include "core/reports/searchpage.h"

namespace accise {

SearchPage::SearchPage(PageCanvas& canvas, Layout layout, Completion complete)
    : page_(canvas, layout.bodyPoints, layout.leftE, layout.widthE - layout.leftE), layout_(layout),
      complete_(std::move(complete)) {}

void SearchPage::start() {
    page_.start();
    setUp();
}

void SearchPage::setUp() {
    page_.y = layout_.firstLine * page_.lh();
    page_.lastRule = page_.y;
}

void SearchPage::useFont(double points, bool bold) {
    page_.setFont(points);
    page_.setBold(bold);
}

void SearchPage::useHeadingFont(double points) {
    canvas().setFont(kReportFont, points * page_.scale());
}

void SearchPage::beginRow(bool struckOut) {
    if (page_.pastBottom()) {
        complete_(*this);
        page_.newPage();
        page_.setUp();
        setUp();
    }
    page_.setStrikeOut(struckOut);
    page_.y += page_.lh();
}

void SearchPage::endRow() {
    page_.setStrikeOut(false);
    page_.rowRule(page_.y + page_.lh() / 5);
}

void SearchPage::finish() {
    complete_(*this);
}

void SearchPage::title(double points, std::string_view text) {
    useFont(points, true);
    canvas().textCentred(centre(), 2 * lh(), text);
}

} // namespace accise
