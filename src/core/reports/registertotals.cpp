#include "core/reports/registertotals.h"

#include <cmath>

#include "core/files/text1252.h"
#include "core/reports/pageconventions.h"
#include "core/reports/registerreports.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"
#include "core/tables/registers.h"

namespace accise {
namespace {

constexpr double kBodyPoints = 10, kTitlePoints = 14;
constexpr double kEdgeE = 61;
constexpr double kFirstLine = 5.5; // in lh: the foot of the heading band
constexpr double kBandTop = 4;     // in lh

// Work numbers of a REGISTRI.DAT record (bytes 5224 to 5303).
constexpr std::size_t kFirstWorkNum = 20, kWorkNums = 10;
constexpr std::size_t kKilogramsNum = 21, kHectolitreDegreesNum = 22, kLitresNum = 23;

// The first `n` characters (not bytes) of a UTF-8 text.
std::string firstCharacters(const std::string& text, std::size_t n) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && count++ == n) return text.substr(0, i);
    return text;
}

class TotalsPrinter {
public:
    TotalsPrinter(PageCanvas& canvas, const RegisterTotals& totals)
        : page_(canvas, kBodyPoints, kEdgeE, kEdgeE), totals_(totals) {}

    void run() {
        page_.start();
        setUpPage();
        for (const RegisterTotalsLine& line : totals_.registers) {
            if (page_.pastBottom()) {
                completePage();
                page_.newPage();
                setUpPage();
            }
            row(line);
        }
        completePage();
        page_.y = page_.lastRule + 3 * page_.lh();
        page_.centred("TOTALE ACCISA ASSOLTA: " + formatNumber(totals_.excisePaid, 0, 2), page_.centre());
        for (const std::string& warning : totals_.warnings) {
            page_.y += 1.5 * page_.lh();
            if (page_.pastBottom()) {
                page_.newPage();
                setUpPage();
                page_.y = 2 * page_.lh();
            }
            page_.setBold(true);
            page_.at(warning, page_.left());
        }
    }

private:
    void setUpPage() {
        page_.setUp();
        page_.y = kFirstLine * page_.lh();
        page_.lastRule = page_.y;
    }

    void row(const RegisterTotalsLine& line) {
        const RegisterKey key = registerKeyOf(line.reg);
        page_.y += page_.lh();
        page_.centred(key.NUMPRO + " - " + key.ANNPRO, page_.fromLeft(9));
        page_.centred(registerTypeDescription(line.reg), page_.fromLeft(27));
        page_.rightAligned(formatNumber(line.stock.QTAKG, 9, 5), page_.fromLeft(50.5));
        page_.rightAligned(formatNumber(line.stock.ETTOGR, 9, 5), page_.fromLeft(65.5));
        page_.rightAligned(formatNumber(line.stock.QTALIT, 9, 5), page_.fromLeft(80.5));
        page_.at(firstCharacters(line.reg.col[kRegTitleCol], 40), page_.fromLeft(82.5));
        page_.y += 0.3 * page_.lh();
        page_.rowRule(page_.y);
    }

    // Over the rows of the page: the title, the heading band and the column rules.
    void completePage() {
        page_.setFont(kTitlePoints);
        page_.setBold(true);
        page_.y = 2 * page_.lh();
        page_.centred("TOTALI DI TUTTI I REGISTRI ALLA DATA: " + formatDate(totals_.date), page_.centre());

        page_.setFont(kBodyPoints);
        const double e = page_.e(), lh = page_.lh(), left = page_.left(), right = page_.right();
        const double top = kBandTop * lh;
        page_.line(left, top, right, top);
        page_.line(left, top + 1.5 * lh, right, top + 1.5 * lh);
        for (double at : {0.0, 18.0, 36.0, 51.0, 66.0, 81.0})
            page_.line(left + at * e, top, left + at * e, page_.lastRule);
        page_.line(right, top, right, page_.lastRule);
        page_.y = top + lh;
        const std::pair<double, const char*> captions[] = {{9, "Protocollo"}, {27, "Tipo di registro"},
                                                           {43.5, "Chilogrammi"}, {58.5, "Ettogradi"},
                                                           {73.5, "Litri"},      {101, "Prodotto"}};
        for (const auto& [at, text] : captions) page_.centred(text, left + at * e);
    }

    ReportPage page_;
    const RegisterTotals& totals_;
};

} // namespace

RegisterTotals computeRegisterTotals(const Folders& folders, double date) {
    RegisterTotals totals;
    totals.date = std::round(date);
    const CivilDate day = civilFromDay(totals.date);
    const double monthStart = dayNumber(day.year, day.month, 1);
    for (TableRecord& reg : registersValidOver(folders, totals.date, totals.date)) {
        RegisterTotalsLine line{std::move(reg), {}};
        const RegisterKey key = registerKeyOf(line.reg);
        const InitialStockFound found = findActiveInitialStock(folders, key);
        if (found.stock) {
            if (found.activeCount > 1) totals.warnings.push_back(multipleStocksWarning(line.reg, found));
            Quantities& q = line.stock;
            q = {found.stock->QTAKG, found.stock->ETTOGR, found.stock->QTALIT};
            forEachRegisterMovement(folders, key, yearOf(found.stock->DATMOV), day.year, [&](const Movement& m) {
                const double when = std::round(m.DATMOV);
                if (!isActiveMovement(m) || when > totals.date) return;
                const double sign = m.TIPMOV == "S" ? -1.0 : 1.0;
                q.QTAKG += sign * m.QTAKG;
                q.ETTOGR += sign * m.ETTOGR;
                q.QTALIT += sign * m.QTALIT;
                if (when >= monthStart && m.POSFIS == "001")
                    totals.excisePaid += m.TIPMOV == "C" ? -m.ACCISA : m.ACCISA;
            });
        }
        totals.registers.push_back(std::move(line));
    }
    return totals;
}

void writeRegisterTotalsList(const Folders& folders, const RegisterTotals& totals) {
    std::vector<TableRecord> rows;
    rows.reserve(totals.registers.size());
    for (const RegisterTotalsLine& line : totals.registers) {
        TableRecord reg = line.reg;
        for (std::size_t i = kFirstWorkNum; i < kFirstWorkNum + kWorkNums; ++i) reg.nums[i] = 0;
        reg.nums[kKilogramsNum] = line.stock.QTAKG;
        reg.nums[kHectolitreDegreesNum] = line.stock.ETTOGR;
        reg.nums[kLitresNum] = line.stock.QTALIT;
        rows.push_back(std::move(reg));
    }
    writeRegisterList(folders, rows);
}

void drawRegisterTotals(PageCanvas& canvas, const RegisterTotals& totals) { TotalsPrinter(canvas, totals).run(); }

std::string registerTotalsTitle(const RegisterTotals& totals) {
    return "Totali dei registri al " + formatDate(totals.date);
}

} // namespace accise
