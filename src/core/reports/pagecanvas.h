#pragma once
// What the reports need of a printing facility, without naming one: pages in an
// orientation, fonts by name and size with bold and strike-out, text measurement,
// text at positions, lines, rectangles and new pages. Coordinates are device dots
// of the printable page (resolution() per inch), from its top left corner, y down.
// The desktop application draws on a printer, a preview or a PDF; tests record.
#include <string>
#include <string_view>

namespace accise {

enum class PageOrientation { Portrait, Landscape };

// Where the y of a text lies: its top (the lookup list) or its baseline (the reports).
enum class TextAnchor { Top, Baseline };

class PageCanvas {
public:
    virtual ~PageCanvas() = default;

    // Set before the first page is drawn.
    virtual void setOrientation(PageOrientation orientation) = 0;
    // Solid black pen of this width in dots (never thinner than one dot).
    virtual void setPenWidth(double dots) = 0;

    virtual double pageWidth() const = 0;
    virtual double pageHeight() const = 0;
    virtual double resolution() const = 0; // dots per inch

    // Selects a font; bold and strike-out are turned off.
    virtual void setFont(std::string_view name, double points) = 0;
    virtual void setBold(bool on) = 0;
    virtual void setStrikeOut(bool on) = 0;

    virtual double textWidth(std::string_view text) const = 0;
    // Height of a line of the current font (ascent + descent).
    virtual double lineHeight() const = 0;

    // Text beginning at x; y is its top or its baseline.
    virtual void text(double x, double y, std::string_view text, TextAnchor anchor = TextAnchor::Baseline) = 0;
    virtual void line(double x1, double y1, double x2, double y2) = 0;
    virtual void rectangle(double x1, double y1, double x2, double y2) = 0;
    // Closes the page; what follows goes to a new one.
    virtual void newPage() = 0;

    // Text centred on x / ending at x.
    void textCentred(double x, double y, std::string_view s, TextAnchor anchor = TextAnchor::Baseline) {
        text(x - textWidth(s) / 2, y, s, anchor);
    }
    void textRight(double x, double y, std::string_view s, TextAnchor anchor = TextAnchor::Baseline) {
        text(x - textWidth(s), y, s, anchor);
    }
};

} // namespace accise
