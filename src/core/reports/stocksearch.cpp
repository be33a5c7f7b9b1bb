#include "core/reports/stocksearch.h"

#include "core/files/recordfile.h"
#include "core/reports/reportrecords.h"
#include "core/files/text1252.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"

namespace accise {

StockSearchRow stockSearchRow(const Movement& stored) {
    Movement m = stored;
    trimMovement(m);
    StockSearchRow row;
    row.date = formatDate(m.DATMOV);
    row.operation = m.TIPOPE;
    row.protocol = m.NUMPRO + "-" + m.ANNPRO;
    row.quantity = formatNumber(m.QTAKG + m.QTALIT, 0, 5);
    row.hectolitreDegrees = formatNumber(m.ETTOGR, 0, 5);
    row.flow = m.NUMFLU >= 1 ? flowLabel(m.NUMFLU, m.DATFLU) : " ";
    row.note = trimmed(padTo(m.ANNOTA, kStockSearchNoteChars));
    row.struckOut = m.STATO == "C" || m.TIPOPE == "C";
    return row;
}

std::vector<StockSearchRow> runStockSearch(const Folders& folders, double from, double to) {
    std::vector<StockSearchRow> rows;
    const fs::path file = folders.initialStocks();
    forEachReportRecord(file, kMovementSize, [&](std::string_view bytes) {
        const Movement m = decodeMovement(bytes);
        if (m.DATMOV < from || m.DATMOV > to) return;
        requireFiniteFigures(file, bytes);
        rows.push_back(stockSearchRow(m));
    });
    return rows;
}

} // namespace accise
