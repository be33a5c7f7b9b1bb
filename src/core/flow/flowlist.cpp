#include "core/flow/flowlist.h"

#include <cmath>
#include <map>

#include "core/files/binary.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/records/movementview.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"
#include "core/tables/repeatedtexts.h"

namespace accise {
namespace {

namespace off = movement_offset;

char flagOf(const std::string& text) { return text.empty() ? ' ' : text[0]; }
std::string amount(double v) { return formatNumber(v, 0, 2); }
std::string quantity(double v) { return formatNumber(v, 0, 5); }

// The stored bytes with DATMOV rounded to whole days, as the lists copy them.
std::string withWholeDay(std::string_view stored) {
    std::string bytes(stored);
    binary::putDouble(bytes.data() + off::DATMOV, std::round(binary::getDouble(bytes.data() + off::DATMOV)));
    return bytes;
}

// Fields shown as the file stores them, padded to their width.
std::string stored(const std::string& text, std::size_t width) { return padTo(text, width); }

std::string initialStockText(const Movement& m) {
    return formatDate(m.DATMOV) + " " + stored(m.TIPOPE, 1) + " GIACENZA INIZIALE: " + quantity(m.QTAKG + m.QTALIT) +
           " " + stored(m.NUMPRO, 10) + "-" + stored(m.ANNPRO, 4);
}

std::string movementText(const Movement& m) {
    return formatDate(m.DATMOV) + " " + stored(m.TIPOPE, 1) + directionText(m) + stored(m.TIPDOC, 3) + " n. " + trimmed(m.NUMDOC) + " " +
           trimmed(m.MITDES) + " q. " + amount(m.QTAKG + m.QTALIT) + " - " + trimmed(m.PRODDO) + " " +
           trimmed(m.PRODAZ);
}

std::string guaranteeText(const Movement& m) {
    return formatDate(m.DATMOV) + stored(m.TIPOPE, 1) + " Garanzia " + "| Imp. " + amount(m.QTAKG) + " | Svin. " +
           amount(m.ETTOGR) + " | Nuova " + amount(m.QTALIT) + " | Scad. " + amount(m.VALAUX) + " | Disp. " +
           amount(m.GRAPLA) + " |";
}

std::string dutyText(const Movement& m, bool alcopp) {
    const std::string period = stored(m.ANNPRO, 4) + " " + stored(m.CODPAE, 2) + " " + stored(m.TIPOPE, 1);
    const std::string day = formatDate(m.DATMOV) + " " + stored(m.TIPOPE, 1);
    switch (flagOf(m.TIPREC)) {
    case 'D':
        return period + " Crediti e riaccrediti " + "| Importo " + amount(m.QTAKG) + " | Scontato " +
               amount(m.ETTOGR) + " |";
    case 'E':
        if (alcopp) return day + " Riepilogo accisa " + "| Importo " + amount(m.QTAKG) + " " + trimmed(m.ANNOTA);
        return period + " Riepilogo accisa " + "| Importo " + amount(m.QTAKG) + " | Crediti " + amount(m.ETTOGR) +
               " |" + "| Storni " + amount(m.QTALIT) + "| Totale a saldo " + amount(m.VALAUX);
    case 'R': {
        const std::string body = "| Importo sanzione " + amount(m.VALAUX) + "| Importo interessi " + amount(m.VOLUNI);
        return (alcopp ? day : period) + " Ravvedimento " + body + " | " + trimmed(m.ANNOTA);
    }
    default: return {};
    }
}

bool needsGuarantee(const Movement& m) {
    const char tipmov = flagOf(m.TIPMOV);
    const std::string doc = trimmed(m.TIPDOC);
    return tipmov == 'A' || (tipmov == 'S' && (doc == "EAD" || doc == "FBE"));
}

bool isDutyKind(const Movement& m) {
    const char k = flagOf(m.TIPREC);
    return k == 'D' || k == 'E' || k == 'R';
}

} // namespace

FlowSource flowSourceOf(const Movement& record) {
    switch (flagOf(record.TIPREC)) {
    case 'C': return flagOf(record.TIPMOV) == 'G' ? FlowSource::InitialStocks : FlowSource::Register;
    case 'F': return FlowSource::Guarantees;
    default: return FlowSource::Duty;
    }
}

fs::path flowSourcePath(const Folders& folders, int year, FlowSource source) {
    switch (source) {
    case FlowSource::InitialStocks: return folders.initialStocks();
    case FlowSource::Register: return folders.registerFile(year);
    case FlowSource::Guarantees: return folders.guaranteeFile(year);
    case FlowSource::Duty: return folders.dutyFile(year);
    }
    return {};
}

fs::path selectionFile(const Folders& folders) { return folders.inTemp("APPOGGIO.DAT"); }
fs::path guaranteeCheckFile(const Folders& folders) { return folders.inTemp("GARANZIA.DAT"); }
fs::path reactivationFile(const Folders& folders) { return folders.inTemp("CANCELLA.MOV"); }

std::string registerTypeLabel(const std::string& tipreg) {
    switch (flagOf(tipreg)) {
    case 'M': return "Mat. Prime";
    case 'L': return "Lavorazioni";
    case 'F':
    case 'N': return "Pr. Finiti";
    default: return " ";
    }
}

std::string directionText(const Movement& m) {
    const std::string doc = trimmed(m.TIPDOC);
    switch (flagOf(m.TIPMOV)) {
    case 'C': return " Carico      ";
    case 'S': return " Scarico     ";
    case 'A':
        if (doc == "ROR" || doc == "FBR") return " Fine circol.";
        if (doc == "COD" || doc == "FBC") return " Cambio Dest.";
        return " Chiusura    "; // a closing record of another document type
    default: return std::string(13, ' ');
    }
}

std::string flowListLine(const Movement& m, bool alcopp) {
    switch (flowSourceOf(m)) {
    case FlowSource::InitialStocks: return initialStockText(m) + " " + registerTypeLabel(m.TIPREG);
    case FlowSource::Register: return movementText(m) + " " + registerTypeLabel(m.TIPREG);
    case FlowSource::Guarantees: return guaranteeText(m);
    case FlowSource::Duty: return dutyText(m, alcopp);
    }
    return {};
}

std::string reactivationListLine(const Movement& m, bool alcopp) {
    switch (flowSourceOf(m)) {
    case FlowSource::InitialStocks: return initialStockText(m);
    case FlowSource::Register: return movementText(m);
    case FlowSource::Guarantees: return guaranteeText(m);
    case FlowSource::Duty: return dutyText(m, alcopp);
    }
    return {};
}

std::string missingGuaranteeMessage(double day) { return "ATTENZIONE MANCA LA GARANZIA DEL " + formatDate(day); }

namespace {

// The fields of a movement line that movementview.h does not name (offset, width).
constexpr std::size_t kPRODAZ = 68, kPRODAZWidth = 20, kTIPDOC = 180, kTIPDOCWidth = 3;

// The stored text of a field as decodeMovement gives it, cut or padded with spaces
// to `chars` characters (one character per stored byte).
void appendStored(std::string& out, std::string_view stored, std::size_t offset, std::size_t width,
                  std::size_t chars) {
    std::size_t length = static_cast<unsigned char>(stored[offset]);
    if (length > width) length = width;
    if (length > chars) length = chars;
    out += decode1252(stored.substr(offset + 1, length));
    out.append(chars - length, ' ');
}

// A field's text trimmed at both ends, as Windows-1252 bytes.
std::string_view trimmedBytes(std::string_view stored, std::size_t offset, std::size_t width) {
    std::size_t length = static_cast<unsigned char>(stored[offset]);
    if (length > width) length = width;
    std::string_view raw = stored.substr(offset + 1, length);
    return withoutBlanks(raw);
}

void appendTrimmed(std::string& out, std::string_view stored, std::size_t offset, std::size_t width) {
    const std::string_view bytes = trimmedBytes(stored, offset, width);
    bool ascii = true;
    for (const char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii)
        out += bytes;
    else
        out += decode1252(bytes);
}

// The flow creation list's line of an unsent movement of the register file straight
// from its stored bytes (DATMOV already whole): flowListLine of the decoded record,
// without decoding the fields the line does not show. A year may hold 100 000 of them.
class MovementLines {
public:
    std::string line(std::string_view bytes) {
        namespace o = movement_offset;
        const MovementView v(bytes);
        const std::string_view tipdoc = trimmedBytes(bytes, kTIPDOC, kTIPDOCWidth);
        std::string out;
        out.reserve(128);
        out += date_.of(v.DATMOV());
        out += ' ';
        appendStored(out, bytes, o::TIPOPE, 1, 1);
        out += direction(v.TIPMOV(), tipdoc);
        appendStored(out, bytes, kTIPDOC, kTIPDOCWidth, 3);
        out += " n. ";
        appendTrimmed(out, bytes, o::NUMDOC, 21);
        out += ' ';
        appendTrimmed(out, bytes, o::MITDES, 16);
        out += " q. ";
        out += amounts_.of(v.QTAKG() + v.QTALIT());
        out += " - ";
        appendTrimmed(out, bytes, o::PRODDO, 21);
        out += ' ';
        appendTrimmed(out, bytes, kPRODAZ, kPRODAZWidth);
        out += ' ';
        out += registerLabel(v.TIPREG());
        return out;
    }

    // What needsGuarantee says of the decoded record.
    static bool needsGuarantee(std::string_view bytes) {
        const char tipmov = MovementView(bytes).TIPMOV();
        const std::string_view doc = trimmedBytes(bytes, kTIPDOC, kTIPDOCWidth);
        return tipmov == 'A' || (tipmov == 'S' && (doc == "EAD" || doc == "FBE"));
    }

private:
    static const char* direction(char tipmov, std::string_view doc) {
        switch (tipmov) {
        case 'C': return " Carico      ";
        case 'S': return " Scarico     ";
        case 'A':
            if (doc == "ROR" || doc == "FBR") return " Fine circol.";
            if (doc == "COD" || doc == "FBC") return " Cambio Dest.";
            return " Chiusura    ";
        default: return "             ";
        }
    }
    static const char* registerLabel(char tipreg) {
        switch (tipreg) {
        case 'M': return "Mat. Prime";
        case 'L': return "Lavorazioni";
        case 'F':
        case 'N': return "Pr. Finiti";
        default: return " ";
        }
    }

    LastDateText date_;
    NumberTexts amounts_{0, 2};
};

} // namespace

FlowList buildFlowList(const Folders& folders, int year, bool alcopp) {
    FlowList list;
    std::string selection;
    std::vector<Movement> dayCopies; // one movement per day that needs a guarantee; NUMRIF 1 once covered
    std::map<double, std::size_t> dayCopyOf; // the copy of each day (a day that is not a number has none)
    const auto add = [&](std::string_view bytes, std::string line) {
        list.lines.push_back(std::move(line));
        selection += bytes;
    };
    // The selection file holds at most every record of the four files: one reservation
    // (the sizes are only a hint; a file that cannot be measured is still read).
    std::uintmax_t sizes = 0;
    for (const fs::path& file : {folders.initialStocks(), folders.registerFile(year), folders.guaranteeFile(year),
                                 folders.dutyFile(year)}) {
        std::error_code error;
        const std::uintmax_t size = fs::file_size(file, error);
        if (!error) sizes += size;
    }
    selection.reserve(static_cast<std::size_t>(sizes));
    // Each file is scanned in blocks: a year of 100 000 movements is never held whole.
    // A record is copied (with its day made whole) only when it is unsent.
    std::string bytes;
    const auto unsentOf = [&](const fs::path& file, bool everyRecord, auto&& visit) {
        createIfMissing(file);
        forEachRecord(file, kMovementSize, [&](std::string_view stored) {
            if (!everyRecord && MovementView(stored).NUMFLU() != 0) return;
            bytes.assign(stored);
            binary::putDouble(bytes.data() + off::DATMOV, std::round(binary::getDouble(bytes.data() + off::DATMOV)));
            visit(std::string_view(bytes));
        });
    };

    unsentOf(folders.initialStocks(), false,
             [&](std::string_view r) { add(r, flowListLine(decodeMovement(r), alcopp)); });
    MovementLines movementLines;
    unsentOf(folders.registerFile(year), false, [&](std::string_view r) {
        // A record of the register file that is not a movement has the line of its kind.
        const MovementView v(r);
        add(r, v.TIPREC() == 'C' && v.TIPMOV() != 'G' ? movementLines.line(r) : flowListLine(decodeMovement(r), alcopp));
        if (!MovementLines::needsGuarantee(r)) return;
        const double day = MovementView(r).DATMOV();
        if (day == day && dayCopyOf.count(day)) return;
        Movement copy = decodeMovement(r);
        copy.NUMRIF = 0;
        if (day == day) dayCopyOf.emplace(day, dayCopies.size());
        dayCopies.push_back(copy);
    });
    unsentOf(folders.guaranteeFile(year), true, [&](std::string_view r) {
        const Movement m = decodeMovement(r);
        if (m.DATMOV == m.DATMOV)
            if (const auto it = dayCopyOf.find(m.DATMOV); it != dayCopyOf.end()) dayCopies[it->second].NUMRIF = 1;
        if (m.NUMFLU == 0) add(r, flowListLine(m, alcopp));
    });
    unsentOf(folders.dutyFile(year), false, [&](std::string_view r) {
        const Movement m = decodeMovement(r);
        if (isDutyKind(m)) add(r, flowListLine(m, alcopp));
    });

    std::string guaranteeChecks;
    for (const Movement& c : dayCopies) {
        guaranteeChecks += encodeMovement(c);
        if (c.NUMRIF == 0) list.missingGuarantees.push_back(missingGuaranteeMessage(c.DATMOV));
    }
    replaceFileContent(guaranteeCheckFile(folders), guaranteeChecks);
    replaceFileContent(selectionFile(folders), selection);
    return list;
}

std::vector<std::string> buildReactivationList(const Folders& folders, int year, double flowDate, int flowNumber,
                                               bool alcopp) {
    std::vector<std::string> lines;
    std::string selection;
    int counter = 1;
    for (FlowSource source : {FlowSource::InitialStocks, FlowSource::Register, FlowSource::Guarantees,
                              FlowSource::Duty}) {
        const RecordBlock block = readRecords(flowSourcePath(folders, year, source), kMovementSize);
        for (std::size_t i = 0; i < block.count(); ++i) {
            const MovementView r(block.at(i));
            if (r.NUMFLU() != flowNumber ||
                std::round(binary::getDouble(block.at(i).data() + off::DATFLU)) != std::round(flowDate))
                continue;
            const std::string bytes = withWholeDay(block.at(i));
            const Movement m = decodeMovement(bytes);
            // A record of an unknown kind in the duty file has no line of its own.
            if (source == FlowSource::Duty && !isDutyKind(m)) continue;
            selection += bytes;
            lines.push_back(std::to_string(++counter) + "|" + reactivationListLine(m, alcopp));
        }
    }
    replaceFileContent(reactivationFile(folders), selection);
    return lines;
}

} // namespace accise
