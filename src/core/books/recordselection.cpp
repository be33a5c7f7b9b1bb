#include "core/books/recordselection.h"

#include <algorithm>

#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/records/movementview.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"

namespace accise {
namespace {

constexpr std::array kModes{
    SelectionMode{'M', "MODIFICA UN MOVIMENTO", SelectionSource::RegisterFile},
    SelectionMode{'E', "RETTIFICA: cancella un movimento già inviato al sistema telematico",
                  SelectionSource::RegisterFile},
    SelectionMode{'e', "RETTIFICA: modifica i dati di un movimento già inviato al sistema telematico",
                  SelectionSource::RegisterFile},
    SelectionMode{'I', "RETTIFICA: cancella la giacenza iniziale inviata", SelectionSource::InitialStocks},
    SelectionMode{'i', "RETTIFICA: modifica la giacenza iniziale inviata", SelectionSource::InitialStocks},
    SelectionMode{'T', "RETTIFICA: cancella tributi già inviati", SelectionSource::DutyFile},
    SelectionMode{'t', "RETTIFICA: modifica i dati dei tributi già inviati", SelectionSource::DutyFile},
    SelectionMode{'F', "RETTIFICA: cancella garanzie già inviate", SelectionSource::GuaranteeFile},
    SelectionMode{'f', "RETTIFICA: modifica i dati delle garanzie già inviate", SelectionSource::GuaranteeFile},
};

// One column of a mode: caption, starting width, whether it widens to its texts.
struct ColumnSpec {
    const char* caption;
    int start;
    bool grows;
};

constexpr ColumnSpec kMovementColumns[] = {
    {"DATA MOV.", 11, false},
    {"C/S", 3, false},
    {"N. e DATA DOCUMENTO", 0, true},
    {" CODICE PRODOTTO ", 0, true},
    {"LITRI", 6, true},
    {"GRADO", 6, true},
    {"PAESE", 6, false},
    {"Mitt./Dest.", 0, true},
    {"NOTA", 5, true},
    {"N. FLUSSO", 10, false},
};
constexpr ColumnSpec kStockColumns[] = {
    {"  DATA", 11, false},   {"PROTOCOLLO", 11, true}, {"GIACENZA INIZ.", 15, true},
    {"ETTOGRADI", 14, true}, {"NOTA", 6, true},        {"N. FLUSSO", 10, false},
};
constexpr ColumnSpec kDutyColumns[] = {
    {"TIPO RECORD", 15, false}, {"PERIODO", 11, false}, {"IMPORTO", 12, false},
    {"N. FLUSSO", 10, false},   {"NOTA", 6, true},
};

char flag(const std::string& s) {
    const std::string v = trimmed(s);
    return v.empty() ? ' ' : v[0];
}

std::string label(const Movement& m) {
    return flowLabel(m.NUMFLU, m.DATFLU);
}

// The register modes' cells straight from the stored bytes: a year's list may hold
// most of its 100 000 records, and decoding every field of each would be wasted.
std::vector<std::string> movementCells(const MovementView& v, char mode) {
    namespace o = movement_offset;
    return {formatDate(v.DATMOV()),
            " " + v.text(o::TIPMOV, 1),
            v.text(o::NUMDOC, 21) + " del " + formatDate(v.DATDOC()),
            v.text(o::PRODDO, 21),
            formatNumber(v.QTAKG() + v.QTALIT(), 0, 0),
            formatNumber(v.GRAPLA(), 0, 0),
            v.text(o::CODPAE, 2),
            v.text(o::MITDES, 16),
            v.text(o::ANNOTA, 250),
            (mode == 'E' || mode == 'e') ? flowLabel(v.NUMFLU(), v.DATFLU()) : std::string()};
}

std::vector<std::string> stockCells(const Movement& m) {
    return {formatDate(m.DATMOV),
            m.NUMPRO + "-" + m.ANNPRO,
            formatNumber(m.QTAKG + m.QTALIT, 11, 5),
            formatNumber(m.ETTOGR, 11, 5),
            m.ANNOTA,
            label(m)};
}

std::vector<std::string> dutyCells(const Movement& m, bool alcopp) {
    std::string kind;
    switch (flag(m.TIPREC)) {
    case 'D':
        kind = "CREDITI - D";
        break;
    case 'E':
        kind = "ACCISE - E ";
        break;
    case 'R':
        kind = "RAVVEDIMENTO-R";
        break;
    case 'F':
        kind = "GARANZIA - F";
        break;
    default:
        break;
    }
    // A guarantee is kept by day whatever the profile.
    const bool byDay = alcopp || flag(m.TIPREC) == 'F';
    const std::string period = byDay ? formatDate(m.DATMOV) : m.CODPAE + "-" + m.ANNPRO;
    const double amount = (!alcopp && flag(m.TIPREC) == 'E') ? m.VALAUX : m.QTAKG;
    return {kind, period, formatNumber(amount, 8, 2), label(m), m.ANNOTA};
}

} // namespace

const SelectionMode* selectionMode(char mode) {
    for (const auto& m : kModes)
        if (m.mode == mode) return &m;
    return nullptr;
}

fs::path selectionFile(const Folders& folders, SelectionSource source, int year) {
    switch (source) {
    case SelectionSource::RegisterFile:
        return folders.registerFile(year);
    case SelectionSource::InitialStocks:
        return folders.initialStocks();
    case SelectionSource::DutyFile:
        return folders.dutyFile(year);
    case SelectionSource::GuaranteeFile:
        return folders.guaranteeFile(year);
    }
    return {};
}

namespace {

// The filter of a mode on the four fields it looks at.
bool selectable(char mode, char stato, char tipmov, char tipope, std::int32_t numflu) {
    if (stato == 'C') return false;
    const bool loadOrUnload = tipmov == 'C' || tipmov == 'S';
    const bool sentInsertion = numflu > 0 && tipope == 'I';
    switch (mode) {
    case 'M':
        return loadOrUnload && numflu == 0;
    case 'E':
    case 'e':
        return loadOrUnload && sentInsertion;
    case 'I':
    case 'i':
    case 'T':
    case 't':
    case 'F':
    case 'f':
        return sentInsertion;
    default:
        return false;
    }
}

} // namespace

bool selectable(char mode, const Movement& r) {
    return selectable(mode, flag(r.STATO), flag(r.TIPMOV), flag(r.TIPOPE), r.NUMFLU);
}

bool selectable(char mode, const MovementView& r) {
    return selectable(mode, r.STATO(), r.TIPMOV(), r.TIPOPE(), r.NUMFLU());
}

SelectionTable buildSelectionTable(const Folders& folders, char mode, int year, bool alcopp) {
    SelectionTable table;
    const SelectionMode* info = selectionMode(mode);
    if (!info) return table;
    const fs::path file = selectionFile(folders, info->source, year);
    if (!fileExists(file)) return table;

    std::vector<ColumnSpec> columnSpecs;
    switch (info->source) {
    case SelectionSource::RegisterFile:
        columnSpecs.assign(std::begin(kMovementColumns), std::end(kMovementColumns));
        break;
    case SelectionSource::InitialStocks:
        columnSpecs.assign(std::begin(kStockColumns), std::end(kStockColumns));
        break;
    case SelectionSource::DutyFile:
    case SelectionSource::GuaranteeFile:
        columnSpecs.assign(std::begin(kDutyColumns), std::end(kDutyColumns));
        break;
    }
    for (std::size_t i = 0; i < columnSpecs.size(); ++i)
        table.columns[i] = {columnSpecs[i].caption, columnSpecs[i].start};

    // The file is scanned in blocks and a record is decoded only when the mode lists
    // it: on a year of 100 000 mostly sent movements most records are passed over.
    forEachRecord(file, kMovementSize, [&](std::string_view stored) {
        const MovementView view(stored);
        if (!selectable(mode, view)) return;
        SelectionRow row{view.NUMREC(), {}, std::string(stored)};
        if (info->source == SelectionSource::RegisterFile) {
            row.cells = movementCells(view, mode);
        } else {
            Movement m = decodeMovement(stored);
            trimMovement(m);
            row.cells = info->source == SelectionSource::InitialStocks ? stockCells(m) : dutyCells(m, alcopp);
        }
        for (std::size_t c = 0; c < columnSpecs.size(); ++c)
            if (columnSpecs[c].grows)
                table.columns[c].width =
                    std::max(table.columns[c].width, static_cast<int>(utf8Length(row.cells[c])));
        table.rows.push_back(std::move(row));
    });
    return table;
}

} // namespace accise
