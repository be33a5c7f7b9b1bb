#include "core/reports/dutysearch.h"

#include "core/files/recordfile.h"
#include "core/reports/reportrecords.h"
#include "core/files/text1252.h"
#include "core/reports/searchcsv.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"

namespace accise {
namespace {

std::string amount(double x) {
    return formatNumber(x, 0, 2);
}

} // namespace

std::string dutySearchCaption(char mode) {
    return mode == 't' ? "Ricerca tributi inviate" : "Ricerca nei registri tributi";
}

std::string_view dutySearchHeader(char kind) {
    switch (kind) {
    case 'D':
        return "Periodo;Ufficio;N°Provv.;Data Provv.;Importo Compl.;Importo Scont.;Capitolo;Flusso;T.;S.;Note;";
    case 'R':
        return "Periodo;Importo Magg.;Sanzione min.;%riduz.;Importo sanzione;Tasso;GG interessi;Importo interessi;"
               "Capitolo;Flusso;T.;S.;Note;";
    default:
        return "Periodo;Accise a debito;Crediti Usati;Storni;Totale;Capitolo;Flusso;T.;S.;Note;";
    }
}

std::size_t dutySearchFieldCount(char kind) {
    return kind == 'D' ? 11 : kind == 'R' ? 13 : 10;
}

int dutyRecordPeriod(const Movement& record, bool alcopp) {
    if (alcopp) return civilFromDay(record.DATMOV).month;
    return parseInteger(trimmed(record.CODPAE));
}

bool dutySearchLists(const DutySearchCriteria& criteria, const Movement& record) {
    const int period = dutyRecordPeriod(record, criteria.alcopp);
    if (period < criteria.firstPeriod || period > criteria.lastPeriod) return false;
    if (trimmed(record.TIPREC) != std::string(1, criteria.kind)) return false;
    return !criteria.sentOnly || record.NUMFLU > 0;
}

DutySearchRow dutySearchRow(const DutySearchCriteria& criteria, const Movement& r) {
    DutySearchRow row;
    row.record = r;
    const std::string stato = padTo(r.STATO, 1);
    const std::string tipope = padTo(r.TIPOPE, 1);
    row.struckOut = stato == "C" || tipope == "C";
    auto& f = row.fields;
    f.push_back(criteria.alcopp ? exportDate(r.DATMOV) : trimmed(r.CODPAE) + "/" + trimmed(r.ANNPRO));
    switch (criteria.kind) {
    case 'D':
        // The office and the protocol keep the blanks of their fixed widths.
        f.insert(f.end(), {padTo(r.UFFDOG, 8), padTo(r.NUMPRO, 10), exportDate(r.DATMOV), amount(r.QTAKG),
                           amount(r.ETTOGR)});
        break;
    case 'R':
        f.insert(f.end(), {amount(r.QTAKG), amount(r.ETTOGR), amount(r.QTALIT), amount(r.VALAUX), amount(r.GRAPLA),
                           std::to_string(r.CONTIN), amount(r.VOLUNI)});
        break;
    default:
        f.push_back(amount(r.QTAKG));
        if (criteria.alcopp) f.insert(f.end(), {"", "", ""});
        else f.insert(f.end(), {amount(r.ETTOGR), amount(r.QTALIT), amount(r.VALAUX)});
        break;
    }
    f.insert(f.end(), {trimmed(r.MITDES), r.DATFLU > 1000 ? flowLabel(r.NUMFLU, r.DATFLU) : " ", tipope, stato,
                       trimmed(r.ANNOTA)});
    return row;
}

std::vector<DutySearchRow> runDutySearch(const Folders& folders, const DutySearchCriteria& criteria) {
    std::vector<DutySearchRow> rows;
    const fs::path file = folders.dutyFile(criteria.year);
    forEachReportRecord(file, kMovementSize, [&](std::string_view bytes) {
        const Movement m = decodeMovement(bytes);
        if (!dutySearchLists(criteria, m)) return;
        requireFiniteFigures(file, bytes);
        rows.push_back(dutySearchRow(criteria, m));
    });
    return rows;
}

std::filesystem::path dutySearchExportFile(const Folders& folders, char kind) {
    return folders.inTemp(std::string("RICERCA_") + kind + ".CSV");
}

void writeDutySearchExport(const std::filesystem::path& file, char kind, const std::vector<DutySearchRow>& rows) {
    std::vector<std::vector<std::string>> lines;
    lines.reserve(rows.size());
    for (const auto& row : rows) lines.push_back(row.fields);
    writeCsvFile(file, dutySearchHeader(kind), lines);
}

} // namespace accise
