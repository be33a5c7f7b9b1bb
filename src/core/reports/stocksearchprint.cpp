#include "core/reports/stocksearchprint.h"

#include "core/reports/searchpage.h"

namespace accise {
namespace {

constexpr double kBodyPoints = 8;
constexpr double kHeadingPoints = 6;
constexpr double kRules[] = {0, 10, 13, 28, 48, 68, 76, 148};

struct Heading {
    double at;
    const char* text;
};
constexpr Heading kHeadings[] = {{5, "Data"},      {11.5, "R"},   {20.5, "Protocollo"}, {38, "Quantità"},
                                 {58, "Ettogradi"}, {72, "Flusso"}, {112, "Note"}};

void completePage(SearchPage& page, const StockSearchPrint& print) {
    page.title(12, "Ricerca giacenze iniziali dal " + print.from + " al " + print.to);
    page.useBodyFont();
    const double lh = page.lh();
    const double top = 5 * lh;
    page.ruleAcross(top);
    page.ruleAcross(top + lh);
    for (double x : kRules) page.columnRule(x, top);
    page.useHeadingFont(kHeadingPoints);
    for (const Heading& h : kHeadings) page.canvas().textCentred(page.at(h.at), top + 0.8 * lh, h.text);
}

} // namespace

void drawStockSearch(PageCanvas& canvas, const StockSearchPrint& print) {
    SearchPage page(canvas, {kBodyPoints, 74, 148, 6}, [&print](SearchPage& p) { completePage(p, print); });
    page.start();
    for (const StockSearchRow& row : print.rows) {
        page.beginRow(row.struckOut);
        page.centred(5, row.date);
        page.centred(11.5, row.operation);
        page.centred(20.5, row.protocol);
        page.rightAligned(47, row.quantity);
        page.rightAligned(67, row.hectolitreDegrees);
        page.centred(72, row.flow);
        page.leftAligned(78, row.note);
        page.endRow();
    }
    page.finish();
}

} // namespace accise
