#include "core/reports/pageconventions.h"

#include <algorithm>
#include <vector>

namespace accise {

ReportPage::ReportPage(PageCanvas& canvas, double bodyPoints, double leftE, double rightE)
    : canvas_(canvas), bodyPoints_(bodyPoints), leftE_(leftE), rightE_(rightE) {}

void ReportPage::start() {
    canvas_.setOrientation(PageOrientation::Landscape);
    canvas_.setPenWidth(std::max(1.0, canvas_.resolution() / 100));
    scale_ = 1;
    canvas_.setFont(kReportFont, bodyPoints_);
    const double wanted = (leftE_ + rightE_) * canvas_.textWidth("E");
    // A little room at both sides, so the outer rules are not cut by the margin.
    const double room = canvas_.pageWidth() * 0.99;
    if (wanted > room && wanted > 0) scale_ = room / wanted;
    setUp();
}

void ReportPage::setUp() {
    width_ = canvas_.pageWidth();
    height_ = canvas_.pageHeight();
    centre_ = width_ / 2;
    setFont(bodyPoints_);
    left_ = centre_ - leftE_ * e_;
    right_ = centre_ + rightE_ * e_;
    bottom_ = height_ - 8 * lh_;
}

void ReportPage::newPage() { canvas_.newPage(); }

void ReportPage::measure() {
    e_ = canvas_.textWidth("E");
    lh_ = canvas_.lineHeight();
}

void ReportPage::setFont(double points) {
    canvas_.setFont(kReportFont, points * scale_);
    measure();
}

void ReportPage::setBold(bool on) { canvas_.setBold(on); }

void ReportPage::setStrikeOut(bool on) { canvas_.setStrikeOut(on); }

void ReportPage::centred(std::string_view text, double x) {
    if (!text.empty()) canvas_.textCentred(x, y, text);
}

void ReportPage::rightAligned(std::string_view text, double x) {
    if (!text.empty()) canvas_.textRight(x, y, text);
}

void ReportPage::at(std::string_view text, double x) {
    if (!text.empty()) canvas_.text(x, y, text);
}

void ReportPage::at(std::string_view text, double x, double ly) {
    y = ly;
    at(text, x);
}

void ReportPage::line(double x1, double y1, double x2, double y2) { canvas_.line(x1, y1, x2, y2); }

void ReportPage::rectangle(double x1, double y1, double x2, double y2) { canvas_.rectangle(x1, y1, x2, y2); }

void ReportPage::rowRule(double ry) {
    canvas_.line(left_, ry, right_, ry);
    lastRule = ry;
}

std::vector<std::string> wrapText(const ReportPage& page, std::string_view text, double maxWidth) {
    std::vector<std::string> lines;
    std::string current;
    auto fits = [&](const std::string& s) { return page.textWidth(s) <= maxWidth; };
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && text[at] == ' ') ++at;
        if (at >= text.size()) break;
        std::size_t end = text.find(' ', at);
        if (end == std::string_view::npos) end = text.size();
        std::string word(text.substr(at, end - at));
        at = end;
        const std::string joined = current.empty() ? word : current + " " + word;
        if (fits(joined)) {
            current = joined;
            continue;
        }
        if (!current.empty()) lines.push_back(current);
        current.clear();
        // A word wider than the box is cut where it stops fitting (at a character
        // boundary of its UTF-8 text).
        while (!fits(word)) {
            std::size_t cut = word.size();
            while (cut > 1 && !fits(word.substr(0, cut))) {
                --cut;
                while (cut > 1 && (static_cast<unsigned char>(word[cut]) & 0xC0) == 0x80) --cut;
            }
            lines.push_back(word.substr(0, cut));
            word.erase(0, cut);
        }
        current = word;
    }
    if (!current.empty()) lines.push_back(current);
    return lines;
}

} // namespace accise
