#include "core/reports/registersearch.h"

#include <cstdio>

#include "core/files/recordfile.h"
#include "core/reports/reportrecords.h"
#include "core/files/text1252.h"
#include "core/reports/searchcsv.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"

namespace accise {
namespace {

constexpr std::size_t kCodeWidth = 16;

std::string withDigits(std::int32_t n, int digits) {
    char text[24];
    std::snprintf(text, sizeof text, "%0*d", digits, static_cast<int>(n));
    return text;
}

std::string quantity(double x) {
    return formatNumber(roundTo(x, 5), 0, 0);
}

bool negatedGuarantee(const std::string& tipdoc, const std::string& tipmov) {
    return ((tipdoc == "EAD" || tipdoc == "DAA") && tipmov == "S") || tipdoc == "COD" || tipdoc == "FBC";
}

// The receipt-note date: shown for the documents that have one.
std::string receiptNoteDate(const std::string& tipdoc, const std::string& tipmov, double datror) {
    const bool hasNote = tipdoc == "EAD" || tipdoc == "FBE" || tipdoc == "COD" || (tipdoc == "DAA" && tipmov == "S");
    if (!hasNote) return "---";
    return datror > dayNumber(2000, 1, 1) ? formatDate(datror) : " ";
}

} // namespace

bool isRegisterSearchMode(char mode) {
    return mode == 'C' || mode == 'S' || mode == 'c' || mode == 's';
}

std::string registerSearchCaption(char mode) {
    switch (mode) {
    case 'C':
        return "Ricerca movimenti di carico";
    case 'S':
        return "Ricerca movimenti di scarico";
    case 'c':
        return "Ricerca movimenti di carico inviati";
    case 's':
        return "Ricerca movimenti di scarico inviati";
    default:
        return {};
    }
}

bool registerSearchLists(const RegisterSearchCriteria& criteria, const Movement& record) {
    const bool byFlow = criteria.mode == 'c' || criteria.mode == 's';
    const double day = byFlow ? record.DATFLU : record.DATMOV;
    if (day < criteria.from || day > criteria.to) return false;
    if (!trimmed(criteria.code).empty() &&
        padded1252(record.MITDES, kCodeWidth) != padded1252(criteria.code, kCodeWidth))
        return false;
    const char wanted = (criteria.mode == 'c' || criteria.mode == 'C') ? 'C' : 'S';
    return trimmed(record.TIPMOV) == std::string(1, wanted);
}

RegisterSearchRow registerSearchRow(const Movement& stored) {
    Movement m = stored;
    trimMovement(m);
    RegisterSearchRow row;
    row.closingOnly = m.TIPOPE == "A" || m.TIPOPE == "D";
    row.struckOut = m.STATO == "C" || m.TIPOPE == "C" || m.TIPOPE == "D";
    auto& f = row.fields;
    f[0] = m.NUMOPE < 1 ? " " : std::to_string(m.NUMOPE);
    f[1] = m.TIPMOV;
    f[2] = formatDate(m.DATMOV);
    f[3] = m.PRODDO;
    f[4] = m.TIPDOC;
    f[5] = exportDate(m.DATDOC);
    f[6] = m.NPRDAA >= 1 ? m.NUMDOC + "-" + withDigits(m.NPRDAA, 2) + "-" + withDigits(m.NUMCPR, 3) : m.NUMDOC;
    f[7] = receiptNoteDate(m.TIPDOC, m.TIPMOV, m.DATROR);
    f[8] = m.CODPAE;
    f[9] = m.MITDES;
    if (!row.closingOnly) {
        f[10] = m.TIPSTO == "S" ? "sfuso  " : formatNumber(m.NUMCON, 0, -1);
        f[11] = formatNumber(m.VOLUNI, 0, 0);
        f[12] = quantity(m.QTAKG + m.QTALIT);
        f[13] = quantity(m.ETTOGR);
        f[14] = quantity(m.GRAPLA);
        f[15] = m.CAUMOV;
        f[16] = m.POSFIS;
        f[17] = formatNumber(m.ACCISA, 0, 2);
    }
    f[18] = formatNumber(negatedGuarantee(m.TIPDOC, m.TIPMOV) ? -m.GARANZ : m.GARANZ, 0, 2);
    f[19] = m.DATFLU > 1000 ? flowLabel(m.NUMFLU, m.DATFLU) : " ";
    f[20] = m.TIPOPE;
    f[21] = m.STATO;
    f[22] = m.TIPREG;
    f[23] = m.ANNPRO;
    f[24] = m.NUMPRO;
    f[25] = m.ANNOTA;
    return row;
}

std::vector<RegisterSearchRow> runRegisterSearch(const Folders& folders, const RegisterSearchCriteria& criteria) {
    std::vector<RegisterSearchRow> rows;
    const int first = yearOf(criteria.from);
    const int last = yearOf(criteria.to);
    for (int year = first; year >= 1 && year <= last; ++year) {
        const fs::path file = folders.registerFile(year);
        forEachReportRecord(file, kMovementSize, [&](std::string_view bytes) {
            const Movement m = decodeMovement(bytes);
            if (!registerSearchLists(criteria, m)) return;
            requireFiniteFigures(file, bytes);
            rows.push_back(registerSearchRow(m));
            rows.back().year = year;
            rows.back().record = m;
        });
    }
    return rows;
}

std::filesystem::path registerSearchExportFile(const Folders& folders) {
    return folders.inTemp("RICERCA_C.CSV");
}

void writeRegisterSearchExport(const std::filesystem::path& file, const std::vector<RegisterSearchRow>& rows) {
    std::vector<std::vector<std::string>> lines;
    lines.reserve(rows.size());
    for (const auto& row : rows) lines.emplace_back(row.fields.begin(), row.fields.end());
    writeCsvFile(file, kRegisterSearchHeader, lines);
}

} // namespace accise
