#pragma once
// A page canvas that records the drawing as text lines, with simple metrics: every
// character is `points` × `charWidth` dots wide and a line is `points` × `lineFactor`
// dots high (bold and strike-out do not change them). Pages are `width` × `height`
// dots in landscape and the other way round upright.
#include <algorithm>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/reports/pagecanvas.h"

namespace accise::testing {

class RecordingCanvas : public PageCanvas {
public:
    struct Text {
        int page;
        double x, y;
        std::string text;
        double points;
        bool bold, struck;
    };

    RecordingCanvas(double width = 800, double height = 600, double charWidth = 1, double lineFactor = 2)
        : width_(width), height_(height), charWidth_(charWidth), lineFactor_(lineFactor) {}

    std::vector<std::string> ops;
    std::vector<Text> texts; // every text drawn, with its page and style
    int page = 1;

    void setOrientation(PageOrientation o) override {
        landscape_ = o == PageOrientation::Landscape;
        ops.push_back(landscape_ ? "landscape" : "portrait");
    }
    void setPenWidth(double dots) override { ops.push_back("pen " + num(dots)); }
    double pageWidth() const override { return landscape_ ? width_ : height_; }
    double pageHeight() const override { return landscape_ ? height_ : width_; }
    double resolution() const override { return 72; }
    void setFont(std::string_view name, double points) override {
        points_ = points;
        bold_ = struck_ = false;
        ops.push_back("font " + std::string(name) + " " + num(points));
    }
    void setBold(bool on) override {
        bold_ = on;
        ops.push_back(on ? "bold" : "regular");
    }
    void setStrikeOut(bool on) override {
        struck_ = on;
        ops.push_back(on ? "strike" : "nostrike");
    }
    double textWidth(std::string_view text) const override {
        // Characters, not bytes: a UTF-8 continuation byte adds nothing.
        double n = 0;
        for (unsigned char c : text)
            if ((c & 0xC0) != 0x80) ++n;
        return n * points_ * charWidth_;
    }
    double lineHeight() const override { return lineFactor_ * points_; }
    void text(double x, double y, std::string_view s, TextAnchor anchor) override {
        ops.push_back("text " + num(x) + " " + num(y) + (anchor == TextAnchor::Top ? " top " : " base ") + "'" +
                      std::string(s) + "'");
        texts.push_back({page, x, y, std::string(s), points_, bold_, struck_});
    }
    void line(double x1, double y1, double x2, double y2) override {
        ops.push_back("line " + num(x1) + " " + num(y1) + " " + num(x2) + " " + num(y2));
    }
    void rectangle(double x1, double y1, double x2, double y2) override {
        ops.push_back("rect " + num(x1) + " " + num(y1) + " " + num(x2) + " " + num(y2));
    }
    void newPage() override {
        ops.push_back("page");
        ++page;
    }

    std::string joined() const {
        std::string all;
        for (const auto& op : ops) all += op + "\n";
        return all;
    }
    std::vector<std::string> matching(std::string_view prefix) const {
        std::vector<std::string> found;
        for (const auto& op : ops)
            if (op.starts_with(prefix)) found.push_back(op);
        return found;
    }
    // The texts drawn that equal `s`, in drawing order.
    std::vector<Text> textsEqual(std::string_view s) const {
        std::vector<Text> found;
        for (const auto& t : texts)
            if (t.text == s) found.push_back(t);
        return found;
    }
    // The texts of one page whose baseline is `y` (within a hundredth of a dot), left to right.
    std::vector<Text> lineAt(int onPage, double y) const {
        std::vector<Text> found;
        for (const auto& t : texts)
            if (t.page == onPage && t.y > y - 0.01 && t.y < y + 0.01) found.push_back(t);
        std::sort(found.begin(), found.end(), [](const Text& a, const Text& b) { return a.x < b.x; });
        return found;
    }

    static std::string num(double v) {
        std::ostringstream s;
        s << v;
        return s.str();
    }

private:
    double width_, height_, charWidth_, lineFactor_;
    bool landscape_ = false;
    double points_ = 10;
    bool bold_ = false, struck_ = false;
};

} // namespace accise::testing
