#include "core/flow/flowlist.h"

#include <cmath>

#include "core/files/binary.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/records/movementview.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"

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

FlowList buildFlowList(const Folders& folders, int year, bool alcopp) {
    FlowList list;
    std::string selection;
    std::vector<Movement> dayCopies; // one movement per day that needs a guarantee; NUMRIF 1 once covered
    const auto add = [&](const std::string& bytes, const Movement& m) {
        list.lines.push_back(flowListLine(m, alcopp));
        selection += bytes;
    };
    // Each file is scanned in blocks: a year of 100 000 movements is never held whole.
    const auto unsentOf = [&](const fs::path& file, auto&& visit) {
        createIfMissing(file);
        forEachRecord(file, kMovementSize, [&](std::string_view stored) { visit(withWholeDay(stored)); });
    };

    unsentOf(folders.initialStocks(), [&](const std::string& bytes) {
        if (MovementView(bytes).NUMFLU() == 0) add(bytes, decodeMovement(bytes));
    });
    unsentOf(folders.registerFile(year), [&](const std::string& bytes) {
        if (MovementView(bytes).NUMFLU() != 0) return;
        const Movement m = decodeMovement(bytes);
        add(bytes, m);
        if (!needsGuarantee(m)) return;
        for (const Movement& c : dayCopies)
            if (c.DATMOV == m.DATMOV) return;
        Movement copy = m;
        copy.NUMRIF = 0;
        dayCopies.push_back(copy);
    });
    unsentOf(folders.guaranteeFile(year), [&](const std::string& bytes) {
        const Movement m = decodeMovement(bytes);
        for (Movement& c : dayCopies) {
            if (c.DATMOV == m.DATMOV) {
                c.NUMRIF = 1;
                break;
            }
        }
        if (m.NUMFLU == 0) add(bytes, m);
    });
    unsentOf(folders.dutyFile(year), [&](const std::string& bytes) {
        if (MovementView(bytes).NUMFLU() != 0) return;
        const Movement m = decodeMovement(bytes);
        if (isDutyKind(m)) add(bytes, m);
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
