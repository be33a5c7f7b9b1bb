#include "core/reports/lookuplistreport.h"

#include <algorithm>

namespace accise {
namespace {

constexpr std::string_view kFont = "Courier New";
constexpr double kBodySize = 12;
constexpr double kPenDots = 4;
// Header rows, in line heights from the top of the page.
constexpr double kPageNumberY = 1, kTitleY = 3, kBandTopY = 5, kCaptionY = 5.5, kBandBottomY = 7, kFirstRowY = 8;
// Lines of the page that rows may not use: the header band and a bottom margin.
constexpr int kReservedLines = 10;

struct Geometry {
    double c = 0;    // character width
    double h = 0;    // line height
    double left = 0; // left edge of the table
    double right = 0;
    std::vector<double> columnLeft;
    int rowsPerPage = 1;
};

// The font that makes the table fit across the page, and the grid measured from it.
Geometry measure(PageCanvas& canvas, const LookupReportData& data) {
    const int total = data.totalCharacters();
    const double pageWidth = canvas.pageWidth();
    canvas.setFont(kFont, kBodySize);
    Geometry g;
    g.c = canvas.textWidth("W");
    if (pageWidth < g.c * total) {
        for (int size = 13; size >= 3; --size) {
            canvas.setFont(kFont, size);
            if (canvas.textWidth("M") * total < pageWidth) break;
        }
        g.c = canvas.textWidth("M");
    }
    g.h = canvas.lineHeight();
    // A page too short for the header still takes one row per page.
    g.rowsPerPage = std::max(1, static_cast<int>(canvas.pageHeight() / g.h) - kReservedLines);
    g.left = pageWidth / 2 - g.c * total / 2;
    g.right = g.left + g.c * total;
    double x = g.left;
    for (int width : data.widths) {
        g.columnLeft.push_back(x);
        x += g.c * (width + 1);
    }
    return g;
}

void drawHeader(PageCanvas& canvas, const LookupReportData& data, const Geometry& g, int page) {
    const double h = g.h;
    canvas.text(canvas.pageWidth() - 10 * g.c, kPageNumberY * h, "Pagina " + std::to_string(page), TextAnchor::Top);
    canvas.textCentred(canvas.pageWidth() / 2, kTitleY * h, data.title, TextAnchor::Top);
    canvas.line(g.left, kBandTopY * h, g.right, kBandTopY * h);
    canvas.line(g.left, kBandBottomY * h, g.right, kBandBottomY * h);
    canvas.line(g.right, kBandTopY * h, g.right, kBandBottomY * h);
    for (std::size_t i = 0; i < g.columnLeft.size(); ++i) {
        const double x = g.columnLeft[i];
        canvas.line(x, kBandTopY * h, x, kBandBottomY * h);
        if (i < data.captions.size()) canvas.text(x + g.c, kCaptionY * h, data.captions[i], TextAnchor::Top);
    }
}

} // namespace

int LookupReportData::totalCharacters() const {
    int total = 0;
    for (int w : widths) total += w + 1;
    return total;
}

PageOrientation lookupReportOrientation(const LookupReportData& data) {
    return data.totalCharacters() < kLandscapeFromCharacters ? PageOrientation::Portrait : PageOrientation::Landscape;
}

void drawLookupReport(PageCanvas& canvas, const LookupReportData& data) {
    canvas.setOrientation(lookupReportOrientation(data));
    canvas.setPenWidth(kPenDots);
    const Geometry g = measure(canvas, data);

    int page = 1;
    drawHeader(canvas, data, g, page);
    int onPage = 0;
    for (const auto& row : data.rows) {
        if (onPage == g.rowsPerPage) {
            canvas.newPage();
            drawHeader(canvas, data, g, ++page);
            onPage = 0;
        }
        const double y = (kFirstRowY + onPage) * g.h;
        for (std::size_t i = 0; i < row.size() && i < g.columnLeft.size(); ++i)
            canvas.text(g.columnLeft[i] + g.c, y, row[i], TextAnchor::Top);
        ++onPage;
    }
}

} // namespace accise
