#include "core/reports/registerprint.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/reports/pageconventions.h"
#include "core/reports/registerreports.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"
#include "core/tables/registers.h"

namespace accise {
namespace {

constexpr double kBodyPoints = 8, kTitlePoints = 14, kHeadingPoints = 10, kCaptionPoints = 6;
constexpr double kLeftE = 79, kRightE = 80;
constexpr double kFirstLine = 21; // in lh: the first row's line, under the heading block and the captions
constexpr double kFrameTop = 18;  // in lh: the top rule of the table

// The date a record prints: nothing for a document without a date.
std::string dateText(double day) { return std::round(day) == 0 ? std::string() : formatDate(day); }

// At least `digits` digits, with leading zeros.
std::string zeroPadded(long long n, int digits) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%0*lld", n < 0 ? "-" : "", digits, std::llabs(n));
    return text;
}

std::string quantity(double x) { return formatNumber(x, 0, 5); }

// The vertical rules of the table: position from L in e, and whether the rule starts
// under a group heading (T + lh) rather than at the top (T).
struct ColumnRule {
    double at;
    bool underGroup;
};
constexpr ColumnRule kColumnRules[] = {
    {0, false},  {4, false},  {13, false}, {31, false}, {35, true},   {44, true},  {70, true},
    {79, false}, {81, true},  {84, true},  {100, false}, {107, true}, {113, false}, {124, true},
    {135, false}, {138, true}, {141, true}, {150, true},
};

struct Caption {
    double line; // in lh below T
    double at;   // centre, in e from L
    const char* text;
};
constexpr Caption kCaptions[] = {
    {0.8, 2, "Nr."},
    {0.8, 8.5, "Data"},
    {0.8, 56, "Documenti d'accompagnamento delle movimentazioni"},
    {0.8, 89.5, "Movimentazioni"},
    {0.8, 107, "Stoccaggio"},
    {0.8, 124, "Quantità"},
    {0.8, 146, "Contabilità"},
    {2, 2, "Op."},
    {2, 8.5, "Operazione"},
    {2, 22, "Codice prodotto"},
    {2, 33, "Tipo"},
    {2, 39.5, "Data di"},
    {2, 58, "Numero identificativo"},
    {2, 74.5, "Data nota"},
    {2, 80, "T."},
    {2, 82.5, "Paese"},
    {2, 92, "Mittente/Destinatario"},
    {2, 103.5, "Volume"},
    {2, 110.5, "Numero"},
    {2, 119.5, "Ettogradi"},
    {2, 130, "Quantità"},
    {2, 136.5, "Cau-"},
    {2, 139.5, "Pos."},
    {2, 145.5, "Accisa"},
    {2, 154.5, "Accisa"},
    {2.8, 39.5, "emissione"},
    {2.8, 74.5, "di ricezione"},
    {2.8, 136.5, "sale"},
    {2.8, 139.5, "fisc."},
    {2.8, 145.5, "sospesa"},
    {2.8, 154.5, "assolta"},
};

class RegisterPrinter {
public:
    RegisterPrinter(PageCanvas& canvas, const RegisterPrintRequest& request, const RegisterPrintContent& content)
        : page_(canvas, kBodyPoints, kLeftE, kRightE), request_(request), content_(content),
          pageCounter_(request.firstPage - 1) {}

    void run() {
        page_.start();
        setUpPage();
        if (!content_.hasInitialStock || request_.mode == RegisterPrintMode::HeadingsOnly) {
            completePage();
            return;
        }
        totals_ = content_.opening;
        bool carryOverPending = true;
        for (const Movement& m : content_.rows) {
            if (carryOverPending) {
                carryOver();
                carryOverPending = false;
            }
            if (page_.pastBottom()) {
                completePage();
                page_.newPage();
                setUpPage();
                carryOver();
            }
            row(m);
        }
        closingTotals();
        if (!content_.warning.empty()) {
            page_.y += 1.5 * page_.lh();
            page_.setBold(true);
            page_.at(content_.warning, page_.fromLeft(1));
        }
        completePage();
    }

private:
    void setUpPage() {
        page_.setUp();
        page_.y = kFirstLine * page_.lh();
        page_.lastRule = page_.y;
    }

    void carryOver() {
        page_.setStrikeOut(false);
        page_.y += page_.lh();
        page_.centred("RIPORTI", page_.fromLeft(8.5));
        page_.rightAligned(quantity(totals_.ETTOGR), page_.fromLeft(123.5));
        page_.rightAligned(quantity(totals_.QTAKG + totals_.QTALIT), page_.fromLeft(134.5));
        page_.rowRule(page_.y + page_.lh() / 5);
    }

    void row(Movement m) {
        const bool active = isActiveMovement(m);
        const bool load = m.TIPMOV == "C";
        if (active) {
            if (!load) {
                m.QTAKG = -m.QTAKG;
                m.ETTOGR = -m.ETTOGR;
                m.QTALIT = -m.QTALIT;
            }
            totals_.QTAKG += m.QTAKG;
            totals_.ETTOGR += m.ETTOGR;
            totals_.QTALIT += m.QTALIT;
        }
        page_.setStrikeOut(m.STATO == "C" || m.TIPOPE == "C");
        page_.y += page_.lh();
        auto at = [this](double e) { return page_.fromLeft(e); };
        page_.centred(m.NUMOPE < 1 ? std::string() : std::to_string(m.NUMOPE), at(2));
        page_.centred(dateText(m.DATMOV), at(8.5));
        page_.centred(m.PRODDO, at(22));
        page_.centred(m.TIPDOC, at(33));
        page_.centred(dateText(m.DATDOC), at(39.5));
        std::string document = m.NUMDOC;
        if (m.NPRDAA != 0) {
            document += '-';
            document += zeroPadded(m.NPRDAA, 2);
            document += '-';
            document += zeroPadded(m.NUMCPR, 3);
        }
        page_.centred(document, at(57));
        if (m.TIPMOV == "S" && std::round(m.DATROR) > dayNumber(2000, 1, 1)) page_.centred(formatDate(m.DATROR), at(74.5));
        page_.centred(m.TIPMOV, at(80));
        page_.centred(m.CODPAE, at(82.5));
        page_.centred(m.MITDES, at(92));
        page_.rightAligned(m.TIPSTO == "S" ? std::string(" SFUSO ") : formatNumber(m.VOLUNI, 0, 0), at(106.5));
        page_.rightAligned(formatNumber(m.NUMCON, 0, -1), at(112.5));
        page_.rightAligned(quantity(m.ETTOGR), at(123.5));
        page_.rightAligned(quantity(m.QTAKG + m.QTALIT), at(134.5));
        page_.centred(m.CAUMOV, at(136.5));
        page_.centred(m.POSFIS, at(139.5));
        if (m.POSFIS == "001")
            page_.rightAligned(formatNumber(load ? -m.ACCISA : m.ACCISA, 0, 2), at(158.3));
        else if (m.POSFIS != "003")
            page_.rightAligned(formatNumber(m.ACCISA, 0, 2), at(149.3));
        page_.rowRule(page_.y + page_.lh() / 5);
    }

    void closingTotals() {
        page_.setStrikeOut(false);
        page_.y += 1.5 * page_.lh();
        page_.centred("TOTALI", page_.fromLeft(108));
        page_.rightAligned(quantity(totals_.ETTOGR), page_.fromLeft(123.5));
        page_.rightAligned(quantity(totals_.QTAKG + totals_.QTALIT), page_.fromLeft(134.5));
        page_.y += page_.lh() / 2;
        page_.line(page_.fromLeft(113), page_.y, page_.fromLeft(135), page_.y);
        for (double at : {113.0, 124.0, 135.0})
            page_.line(page_.fromLeft(at), page_.lastRule, page_.fromLeft(at), page_.y);
    }

    // Over the rows already printed: the heading block and the table frame, as the mode wants.
    void completePage() {
        switch (request_.mode) {
        case RegisterPrintMode::Complete:
            headingBlock();
            tableFrame();
            break;
        case RegisterPrintMode::MovementsOnly:
            tableFrame();
            break;
        case RegisterPrintMode::HeadingsOnly:
            for (int sheet = 0; sheet < request_.sheets; ++sheet) {
                if (sheet > 0) {
                    page_.newPage();
                    setUpPage();
                }
                headingBlock();
            }
            break;
        }
    }

    void headingBlock() {
        const double centre = page_.centre(), left = page_.left(), right = page_.right();
        page_.setFont(kTitlePoints);
        page_.setBold(true);
        page_.y = 2 * page_.lh();
        page_.centred("DEPOSITI FISCALI DI BIRRA", centre);

        page_.setFont(kHeadingPoints);
        const double e = page_.e(), lh = page_.lh();
        if (pageCounter_ >= 0) {
            ++pageCounter_;
            page_.at("PAG.  " + zeroPadded(pageCounter_, 2), right - 15 * e);
        }
        page_.setBold(true);
        page_.y += 1.5 * lh;
        page_.centred("REGISTRO DI CARICO e SCARICO - " + registerTypeDescription(request_.reg) + " - " +
                          request_.reg.col[kRegTitleCol],
                      centre);
        page_.setBold(false);
        page_.y += 2 * lh;
        const double y = page_.y;
        page_.at("RILASCIATO DALL'UFFICIO:", left + e);
        page_.at("ALLA DITTA:", centre + 2 * e);

        page_.setBold(true);
        const std::vector<std::string> office = wrapText(page_, request_.reg.col[kRegHeaderCol], centre - left - e);
        for (std::size_t k = 0; k < 4 && k < office.size(); ++k)
            page_.at(office[k], left + 0.5 * e, y + static_cast<double>(k + 1) * lh);
        page_.rectangle(left, y + lh / 5, centre, y + 4.3 * lh);

        const AddressRecord& c = request_.company;
        const std::string company[] = {c.name1, c.street1 + ", " + c.number1, c.postcode1 + " " + c.city1,
                                       "CODICE ACCISA: " + c.id1};
        for (std::size_t k = 0; k < 4; ++k) page_.at(company[k], centre + 1.3 * e, y + static_cast<double>(k + 1) * lh);
        page_.rectangle(centre + e, y + lh / 5, right, y + 4.3 * lh);
    }

    void tableFrame() {
        page_.setFont(kBodyPoints);
        const double e = page_.e(), lh = page_.lh(), left = page_.left(), right = page_.right();
        const double top = kFrameTop * lh, bottom = page_.lastRule;
        page_.line(left, top, right, top);
        page_.line(left + 31 * e, top + lh, right, top + lh);
        page_.line(left, top + 3 * lh, right, top + 3 * lh);
        for (const ColumnRule& r : kColumnRules) {
            const double x = left + r.at * e;
            page_.line(x, r.underGroup ? top + lh : top, x, bottom);
        }
        page_.line(right, top, right, bottom);
        // The captions in small print on the grid of the body font.
        page_.setFont(kCaptionPoints);
        for (const Caption& c : kCaptions) {
            page_.y = top + c.line * lh;
            page_.centred(c.text, left + c.at * e);
        }
        page_.setFont(kBodyPoints);
    }

    ReportPage page_;
    const RegisterPrintRequest& request_;
    const RegisterPrintContent& content_;
    int pageCounter_;
    Quantities totals_;
};

} // namespace

RegisterPrintContent readRegisterPrint(const Folders& folders, const RegisterPrintRequest& request) {
    RegisterPrintContent content;
    if (request.mode == RegisterPrintMode::HeadingsOnly) return content;
    const RegisterKey key = registerKeyOf(request.reg);
    const InitialStockFound found = findActiveInitialStock(folders, key);
    if (!found.stock) return content;
    content.hasInitialStock = true;
    if (found.activeCount > 1) content.warning = multipleStocksWarning(request.reg, found);
    content.opening = {found.stock->QTAKG, found.stock->ETTOGR, found.stock->QTALIT};
    const double from = std::round(request.from), to = std::round(request.to);
    forEachRegisterMovement(folders, key, yearOf(found.stock->DATMOV), yearOf(request.from), [&](const Movement& m) {
        const double day = std::round(m.DATMOV);
        if (day < from) {
            if (!isActiveMovement(m)) return;
            const double sign = m.TIPMOV == "C" ? 1.0 : -1.0;
            content.opening.QTAKG += sign * m.QTAKG;
            content.opening.ETTOGR += sign * m.ETTOGR;
            content.opening.QTALIT += sign * m.QTALIT;
        } else if (day <= to) {
            content.rows.push_back(m);
        }
    });
    return content;
}

void drawRegisterPrint(PageCanvas& canvas, const RegisterPrintRequest& request, const RegisterPrintContent& content) {
    RegisterPrinter(canvas, request, content).run();
}

std::string registerPrintTitle(const RegisterPrintRequest& request) {
    const RegisterKey key = registerKeyOf(request.reg);
    return "Registro " + key.TIPREG + " " + key.NUMPRO + "-" + key.ANNPRO + " dal " +
           formatDate(request.from) + " al " + formatDate(request.to);
}

} // namespace accise
