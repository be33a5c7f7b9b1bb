#include "core/books/recordselection.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/records/movementview.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"
#include "core/tables/repeatedtexts.h"

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

// The text of a field as the file stores it (Windows-1252), trimmed of the bytes up
// to a space at both ends: the bytes of what decoding and trimming the field gives.
std::string_view fieldBytes(std::string_view stored, std::size_t offset, std::size_t width) {
    std::size_t length = static_cast<unsigned char>(stored[offset]);
    if (length > width) length = width;
    std::string_view raw(stored.data() + offset + 1, length);
    return withoutBlanks(raw);
}

// The label of the last flow asked for: the rows of one flow follow each other.
class LastFlowLabel {
public:
    const std::string& of(std::int32_t flowNumber, double flowDate) {
        if (!known_ || flowNumber != number_ || valueBits(flowDate) != bits_) {
            text_ = flowLabel(flowNumber, flowDate);
            number_ = flowNumber;
            bits_ = valueBits(flowDate);
            known_ = true;
        }
        return text_;
    }

private:
    std::int32_t number_ = 0;
    std::uint64_t bits_ = 0;
    bool known_ = false;
    std::string text_;
};

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

std::int32_t SelectionRows::number(std::size_t row) const {
    return MovementView(stored(row)).NUMREC();
}

std::string_view SelectionRows::cellBytes(std::size_t row, std::size_t cell) const {
    if (cell >= cellCount_) return {};
    const std::size_t at = row * cellCount_ + cell;
    const std::size_t begin = at == 0 ? 0 : ends_[at - 1];
    return std::string_view(texts_).substr(begin, ends_[at] - begin);
}

std::string SelectionRows::cell(std::size_t row, std::size_t cell) const {
    return decode1252(cellBytes(row, cell));
}

std::vector<std::string> SelectionRows::cells(std::size_t row) const {
    std::vector<std::string> out;
    out.reserve(cellCount_);
    for (std::size_t c = 0; c < cellCount_; ++c) out.push_back(cell(row, c));
    return out;
}

// Fills a SelectionRows: a row's stored bytes, then each of its cells' bytes
// appended to text() and closed by endCell().
class SelectionRowsBuilder {
public:
    SelectionRowsBuilder(SelectionRows& rows, std::size_t cellCount, std::size_t rowsAtMost) : rows_(rows) {
        rows_ = SelectionRows();
        rows_.cellCount_ = cellCount;
        // One reservation each for as many rows as the file holds: the pages of what is
        // never filled are never touched.
        rows_.stored_.reserve(rowsAtMost * kMovementSize);
        rows_.ends_.reserve(rowsAtMost * cellCount);
        rows_.texts_.reserve(rowsAtMost * 128);
    }
    void startRow(std::string_view stored) { rows_.stored_.append(stored); }
    std::string& text() { return rows_.texts_; }
    void endCell() {
        if (rows_.texts_.size() > std::numeric_limits<std::uint32_t>::max())
            throw std::length_error("elenco dei record troppo grande");
        rows_.ends_.push_back(static_cast<std::uint32_t>(rows_.texts_.size()));
    }
    void cell(std::string_view bytes) {
        rows_.texts_.append(bytes);
        endCell();
    }
    // The length in bytes (= characters) of cell `cell` of the row just ended.
    std::size_t lastLength(std::size_t cell) const {
        const std::size_t at = rows_.ends_.size() - rows_.cellCount_ + cell;
        return rows_.ends_[at] - (at == 0 ? 0 : rows_.ends_[at - 1]);
    }

private:
    SelectionRows& rows_;
};

namespace {

// The register modes' cells straight from the stored bytes: a year's list may hold
// most of its 100 000 records, and decoding every field of each would be wasted.
class MovementCells {
public:
    explicit MovementCells(char mode) : withFlow_(mode == 'E' || mode == 'e') {}

    void add(SelectionRowsBuilder& out, std::string_view stored) {
        namespace o = movement_offset;
        const MovementView v(stored);
        out.cell(datmov_.of(v.DATMOV()));
        out.text() += ' ';
        out.cell(fieldBytes(stored, o::TIPMOV, 1));
        out.text() += fieldBytes(stored, o::NUMDOC, 21);
        out.text() += " del ";
        out.cell(datdoc_.of(v.DATDOC()));
        out.cell(fieldBytes(stored, o::PRODDO, 21));
        out.cell(numbers_.of(v.QTAKG() + v.QTALIT()));
        out.cell(numbers_.of(v.GRAPLA()));
        out.cell(fieldBytes(stored, o::CODPAE, 2));
        out.cell(fieldBytes(stored, o::MITDES, 16));
        out.cell(fieldBytes(stored, o::ANNOTA, 250));
        if (withFlow_)
            out.cell(flow_.of(v.NUMFLU(), v.DATFLU()));
        else
            out.endCell();
    }

private:
    bool withFlow_;
    LastDateText datmov_, datdoc_;
    NumberTexts numbers_{0, 0};
    LastFlowLabel flow_;
};

} // namespace

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

    // The size is only a hint for the reservations: a file that cannot be measured
    // is still read.
    std::error_code sizeError;
    const std::uintmax_t bytes = fs::file_size(file, sizeError);
    SelectionRowsBuilder rows(table.rows, columnSpecs.size(), sizeError ? 0 : bytes / kMovementSize);
    MovementCells movementCells(mode);

    // The file is scanned in blocks and a record is decoded only when the mode lists
    // it: on a year of 100 000 mostly sent movements most records are passed over.
    forEachRecord(file, kMovementSize, [&](std::string_view stored) {
        const MovementView view(stored);
        if (!selectable(mode, view)) return;
        rows.startRow(stored);
        if (info->source == SelectionSource::RegisterFile) {
            movementCells.add(rows, stored);
        } else {
            Movement m = decodeMovement(stored);
            trimMovement(m);
            const std::vector<std::string> cells =
                info->source == SelectionSource::InitialStocks ? stockCells(m) : dutyCells(m, alcopp);
            for (const std::string& c : cells) rows.cell(encode1252(c));
        }
        // A character is a byte in Windows-1252.
        for (std::size_t c = 0; c < columnSpecs.size(); ++c)
            if (columnSpecs[c].grows)
                table.columns[c].width = std::max(table.columns[c].width, static_cast<int>(rows.lastLength(c)));
    });
    return table;
}

} // namespace accise
