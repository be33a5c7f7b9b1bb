#include "core/reports/dutysearchprint.h"

#include <vector>

#include "core/reports/searchpage.h"

namespace accise {
namespace {

constexpr double kBodyPoints = 10;

struct Column {
    double at;
    bool right;
};
struct Heading {
    double at;
    const char* text;
};

// Everything that depends on the kind (and, for excise summaries, on the profile).
struct KindLayout {
    double halfWidthE; // L = C - half·e, R = C + half·e
    std::vector<Column> columns; // one per field shown, in field order
    std::vector<std::size_t> fields;
    std::vector<double> rules;
    std::vector<Heading> headings;
};

KindLayout layoutOf(char kind, bool alcopp) {
    // Fields of the export line that the print shows: period, the amounts, chapter, flow.
    switch (kind) {
    case 'D':
        return {45,
                {{6, false}, {17, false}, {28, false}, {40, false}, {59, true}, {73, true}, {77, false}, {85, false}},
                {0, 1, 2, 3, 4, 5, 6, 7},
                {12, 22, 34, 46, 60, 74, 80},
                {{6, "Periodo"},
                 {17, "Ufficio"},
                 {28, "N. Provv."},
                 {40, "Data provv."},
                 {53, "Importo compless."},
                 {67, "Importo scontato"},
                 {77, "Capit."},
                 {85, "Flusso"}}};
    case 'R':
        return {49,
                {{6, false},
                 {24, true},
                 {37, true},
                 {43, true},
                 {56, true},
                 {62, true},
                 {68, true},
                 {81, true},
                 {85, false},
                 {93, false}},
                {0, 1, 2, 3, 4, 5, 6, 7, 8, 9},
                {12, 25, 38, 44, 57, 63, 69, 82, 88},
                {{6, "Periodo"},
                 {18, "Importo magg."},
                 {31, "Sanzione minima"},
                 {41.5, "% riduz."},
                 {50.5, "Importo sanzione"},
                 {60, "Tasso"},
                 {66, "GG int."},
                 {75.5, "Importo interessi"},
                 {85, "Capit."},
                 {93, "Flusso"}}};
    default:
        if (alcopp)
            return {20,
                    {{6, false}, {23, true}, {27, false}, {35, false}},
                    {0, 1, 5, 6},
                    {12, 24, 30},
                    {{6, "Periodo"}, {18, "Accise a debito"}, {27, "Capit."}, {35, "Flusso"}}};
        return {38,
                {{6, false}, {23, true}, {35, true}, {47, true}, {59, true}, {63, false}, {71, false}},
                {0, 1, 2, 3, 4, 5, 6},
                {12, 24, 36, 48, 60, 66},
                {{6, "Periodo"},
                 {18, "Accise a debito"},
                 {30, "Crediti utilizz."},
                 {42, "Storni"},
                 {54, "Totale accisa"},
                 {63, "Capit."},
                 {71, "Flusso"}}};
    }
}

void completePage(SearchPage& page, const DutySearchPrint& print, const KindLayout& layout) {
    page.title(12, print.kindText + " dal " + print.fromText + " al " + print.toText + "/" +
                       std::to_string(print.criteria.year));
    page.useBodyFont();
    const double lh = page.lh();
    const double top = 5 * lh;
    page.ruleAcross(top);
    page.ruleAcross(top + 1.1 * lh);
    page.columnRule(0, top);
    page.columnRule(2 * layout.halfWidthE, top);
    for (double x : layout.rules) page.columnRule(x, top);
    for (const Heading& h : layout.headings) page.canvas().textCentred(page.at(h.at), top + 0.8 * lh, h.text);
}

} // namespace

void drawDutySearch(PageCanvas& canvas, const DutySearchPrint& print) {
    const KindLayout layout = layoutOf(print.criteria.kind, print.criteria.alcopp);
    SearchPage page(canvas, {kBodyPoints, layout.halfWidthE, 2 * layout.halfWidthE, 6},
                    [&](SearchPage& p) { completePage(p, print, layout); });
    page.start();
    for (const DutySearchRow& row : print.rows) {
        page.beginRow(row.struckOut);
        for (std::size_t i = 0; i < layout.columns.size(); ++i) {
            const std::size_t field = layout.fields[i];
            if (field >= row.fields.size()) continue;
            const std::string& text = row.fields[field];
            if (layout.columns[i].right) page.rightAligned(layout.columns[i].at, text);
            else page.centred(layout.columns[i].at, text);
        }
        page.endRow();
    }
    page.finish();
}

} // namespace accise
