#include "core/reports/registersearchprint.h"

#include "core/reports/searchpage.h"

namespace accise {
namespace {

constexpr double kBodyPoints = 8;
constexpr double kHeadingPoints = 6;

struct Column {
    double at;
    bool right;
    std::size_t field; // export field shown
};
// Number of packages to excise: left empty for TIPOPE "A" and "D".
constexpr Column kColumns[] = {
    {2, false, 0},     {5, false, 1},     {10.5, false, 2},  {24, false, 3},    {35, false, 4},
    {41.5, false, 5},  {58.5, false, 6},  {75.5, false, 7},  {81.5, false, 8},  {91, false, 9},
    {103.5, true, 10}, {113.5, true, 12}, {123.5, true, 13}, {128, true, 14},   {131, false, 15},
    {135, false, 16},  {145, true, 17},
};

struct Heading {
    double line; // in lh below T
    double at;
    const char* text;
};
constexpr Heading kHeadings[] = {
    {0.8, 2, "Nr."},
    {0.8, 5, "C"},
    {0.8, 10.5, "Data"},
    {0.8, 57, "Documenti d'accompagnamento delle movimentazioni"},
    {0.8, 89.5, "Movimentazioni"},
    {0.8, 101, "Nr."},
    {1.2, 135, "Posi-"},
    {2, 2, "Op."},
    {2, 5, "S"},
    {2, 10.5, "Operazione"},
    {2, 24, "Codice prodotto"},
    {2, 35, "Tipo"},
    {2, 41.5, "Data di"},
    {2, 58.5, "Numero identificativo"},
    {2, 75.5, "Data nota"},
    {2, 81.5, "Paese"},
    {2, 91, "Mittente/Destinatario"},
    {2, 101, "confezioni"},
    {2, 109, "Quantità"},
    {2, 119.5, "Ettogradi"},
    {2, 126.5, "Gr. Plato"},
    {2, 131, "Cau-"},
    {2, 135, "zione"},
    {2, 141.5, "Accisa"},
    {2, 149.5, "Garanzia"},
    {2, 156.5, "Nome"},
    {2.8, 41.5, "emissione"},
    {2.8, 75.5, "di ricezione"},
    {2.8, 131, "sale"},
    {2.8, 135, "fiscale"},
    {2.8, 156.5, "flusso"},
};
constexpr double kFullRules[] = {0, 4, 6, 15, 33, 80, 98, 104, 114, 124, 129, 133, 137, 146, 153, 160};
constexpr double kLowerRules[] = {37, 46, 71, 83};

void completePage(SearchPage& page, const RegisterSearchPrint& print) {
    page.title(12, print.caption + " dal " + print.from + " al " + print.to + " - " + print.code);
    page.useBodyFont();
    const double lh = page.lh();
    const double top = 5 * lh;
    page.ruleAcross(top);
    page.ruleAcross(top + 3 * lh);
    page.canvas().line(page.at(33), top + lh, page.at(98), top + lh);
    for (double x : kFullRules) page.columnRule(x, top);
    for (double x : kLowerRules) page.columnRule(x, top + lh);
    page.useHeadingFont(kHeadingPoints);
    for (const Heading& h : kHeadings) page.canvas().textCentred(page.at(h.at), top + h.line * lh, h.text);
}

} // namespace

void drawRegisterSearch(PageCanvas& canvas, const RegisterSearchPrint& print) {
    SearchPage page(canvas, {kBodyPoints, 80, 160, 8}, [&print](SearchPage& p) { completePage(p, print); });
    page.start();
    for (const RegisterSearchRow& row : print.rows) {
        page.beginRow(row.struckOut);
        for (const Column& c : kColumns) {
            if (row.closingOnly && c.field >= 10 && c.field <= 17) continue;
            const std::string& text = row.fields[c.field];
            if (c.right) page.rightAligned(c.at, text);
            else page.centred(c.at, text);
        }
        page.rightAligned(row.closingOnly ? 151.5 : 152.5, row.fields[18]);
        page.leftAligned(153.6, row.fields[19]);
        page.endRow();
    }
    page.finish();
}

} // namespace accise
