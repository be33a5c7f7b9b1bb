#include "core/books/unsentcancel.h"

#include <algorithm>
#include <array>

#include "core/books/stock.h"
#include "core/files/lock.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"
#include "core/tables/registers.h"

namespace accise {
namespace {

constexpr std::array kModes{
    CancellationMode{'C', "Cancella i movimenti non ancora inviati al servizio telematico",
                     SelectionSource::RegisterFile, 'I'},
    CancellationMode{'c', "Cancella le rettifiche dei movimenti non ancora inviate al servizio telematico",
                     SelectionSource::RegisterFile, 'C'},
    CancellationMode{'I', "Cancella giacenze iniziali non ancora inviate al servizio telematico",
                     SelectionSource::InitialStocks, 'I'},
    CancellationMode{
        'i', "cancella le rettifiche delle giacenze iniziali non ancora inviate al servizio telematico",
        SelectionSource::InitialStocks, 'C'},
    CancellationMode{'T', "Cancella i record tributi D,E,R, non ancora inviati al servizio telematico",
                     SelectionSource::DutyFile, 'I'},
    CancellationMode{'t',
                     "Cancella le rettifiche dei tributi D,E,R, non ancora inviate al servizio telematico",
                     SelectionSource::DutyFile, 'C'},
    CancellationMode{'F', "Cancella le garanzie (record F) non ancora inviate al servizio telematico",
                     SelectionSource::GuaranteeFile, 'I'},
    CancellationMode{'f', "Cancella le rettifiche delle garanzie non ancora inviate al servizio telematico",
                     SelectionSource::GuaranteeFile, 'C'},
};

char flag(const std::string& s) {
    const std::string v = trimmed(s);
    return v.empty() ? ' ' : v[0];
}

std::string number(double x) {
    return formatNumber(x, 0, 0);
}
std::string amount(double x) {
    return formatNumber(x, 0, 2);
}

// The record as the files compare it: decoded and encoded again, so bytes that carry
// no meaning (unused gaps, characters beyond a text's length) do not count.
std::string normalised(std::string_view bytes) {
    return encodeMovement(decodeMovement(bytes));
}

void clearSuperseded(std::string& bytes) {
    Movement m = decodeMovement(bytes);
    m.STATO = " ";
    bytes = encodeMovement(m);
}

} // namespace

const CancellationMode* cancellationMode(char mode) {
    for (const auto& m : kModes)
        if (m.mode == mode) return &m;
    return nullptr;
}

bool cancellable(const CancellationMode& mode, const Movement& r) {
    return r.DATFLU == 0 && flag(r.STATO) != 'C' && flag(r.TIPOPE) == mode.operation;
}

std::string CancellationLines::lineOf(const Movement& m) {
    if (mode_ == 'F' || mode_ == 'f')
        return formatDate(m.DATMOV) + " garanzia |impegnato " + amount(m.QTAKG) + " |svincolato: " +
               amount(m.ETTOGR) + " |nuovo: " + amount(m.QTALIT) + " |scaduto: " + amount(m.VALAUX) +
               " |residuo: " + amount(m.GRAPLA);
    if (mode_ == 'T' || mode_ == 't') {
        const char kind = flag(m.TIPREC);
        const std::string period =
            (alcopp_ && (kind == 'E' || kind == 'R')) ? formatDate(m.DATMOV) : m.CODPAE + "/" + m.ANNPRO;
        switch (kind) {
        case 'D':
            return period + " crediti  |importo " + amount(m.QTAKG) + " |scontato: " + amount(m.ETTOGR);
        case 'E':
            if (alcopp_) return formatDate(m.DATMOV) + " accise |importo " + amount(m.QTAKG);
            return period + " accise | " + amount(m.QTAKG) + " |crediti: " + amount(m.ETTOGR) +
                   " |storni: " + amount(m.QTALIT) + " |TOTALE: " + amount(m.VALAUX);
        case 'R':
            return period + " ravvedimento |maggiori tributi: " + amount(m.QTAKG) +
                   " |sanzione: " + amount(m.VALAUX) + " |interessi: " + amount(m.VOLUNI);
        default:
            return period;
        }
    }

    const std::string quantity = number(m.QTAKG + m.QTALIT);
    const std::string degrees = m.ETTOGR > 0 ? " |la " + number(m.ETTOGR) : std::string("| ");
    const int type = registerTypeIndex(flag(m.TIPREG));
    if (type >= 0) registerPart_ = trimmed(registerTypeName(type));
    const char tipmov = flag(m.TIPMOV);
    if (tipmov == 'C' || tipmov == 'S') {
        const std::string direction = tipmov == 'C' ? " + CARICO   " : " - SCARICO  ";
        return direction + " " + formatDate(m.DATMOV) + " " + m.TIPDOC + " " + m.NUMDOC + " del " +
               formatDate(m.DATDOC) + " " + m.MITDES + " " + m.CODPAE + " |q. " + quantity + degrees + "| " +
               registerPart_ + " " + m.PRODDO;
    }
    if (tipmov == 'G')
        return formatDate(m.DATMOV) + " |q. " + quantity + degrees + "| " + registerPart_ + " prot. " +
               m.NUMPRO + " / " + m.ANNPRO;
    return quantity;
}

CancellationList buildCancellationList(const Folders& folders, char mode, int year, bool alcopp) {
    CancellationList list;
    const CancellationMode* info = cancellationMode(mode);
    std::string copies;
    if (info) {
        const fs::path file = selectionFile(folders, info->source, year);
        const RecordBlock block = readRecords(file, kMovementSize, IfMissing::Create);
        CancellationLines lines(mode, alcopp);
        for (std::size_t i = 0; i < block.count(); ++i) {
            Movement m = decodeMovement(block.at(i));
            if (!cancellable(*info, m)) continue;
            copies.append(block.at(i));
            list.records.push_back(m);
            trimMovement(m);
            list.lines.push_back(lines.lineOf(m));
            list.widest = std::max(list.widest, utf8Length(list.lines.back()));
        }
    }
    writeWholeFile(folders.inTemp(kCancellationListFile), copies);
    return list;
}

RemovalResult removeUnsentRecords(const Folders& folders, char mode, int year,
                                  const std::vector<std::size_t>& tickedLines, Prompt& prompt) {
    RemovalResult result;
    const CancellationMode* info = cancellationMode(mode);
    if (!info || tickedLines.empty()) return result;
    const RecordBlock copies =
        readRecords(folders.inTemp(kCancellationListFile), kMovementSize, IfMissing::Empty);
    const bool undoesCorrections = info->operation == 'C';

    const fs::path file = selectionFile(folders, info->source, year);
    FileLock lock(file, prompt);
    const RecordBlock block = readRecords(file, kMovementSize, IfMissing::Create);
    requireWholeRecords(file, block);
    std::vector<std::string> records;
    records.reserve(block.count());
    for (std::size_t i = 0; i < block.count(); ++i)
        records.emplace_back(block.at(i));

    auto findNumber = [&records](std::int32_t numrec) {
        return std::find_if(records.begin(), records.end(),
                            [numrec](const std::string& r) { return decodeMovement(r).NUMREC == numrec; });
    };

    // The removals made so far, for the stock of the next one.
    const bool counts = info->source == SelectionSource::RegisterFile;
    StockChange removals;

    bool changed = false;
    for (const std::size_t line : tickedLines) {
        if (line >= copies.count()) continue;
        const Movement copy = decodeMovement(copies.at(line));
        const auto it = findNumber(copy.NUMREC);
        if (it == records.end()) continue; // already gone: nothing left to remove
        const Movement current = decodeMovement(*it);
        // Sent or changed by another workstation since the list was built: it stays.
        if (normalised(*it) != normalised(copies.at(line)) || current.NUMFLU != 0 ||
            !cancellable(*info, current)) {
            result.left.push_back(current);
            continue;
        }
        const std::int32_t corrected = current.NUMRIF;
        auto isReplacement = [corrected](const Movement& m) {
            return m.NUMRIF == corrected && flag(m.STATO) == 'R';
        };
        if (undoesCorrections) {
            // A replacement already sent cannot be taken back: the correction stays whole.
            const bool replacementSent =
                std::any_of(records.begin(), records.end(), [&](const std::string& r) {
                    const Movement m = decodeMovement(r);
                    return isReplacement(m) && (m.NUMFLU != 0 || m.DATFLU != 0);
                });
            if (replacementSent) {
                result.left.push_back(current);
                continue;
            }
        }
        if (counts) {
            // What the removal takes from the register: the record itself, and when a
            // correction is undone, its replacement, while the corrected record counts again.
            StockChange trial = removals;
            trial.leaving.push_back(current);
            if (undoesCorrections)
                for (const std::string& r : records) {
                    Movement m = decodeMovement(r);
                    if (isReplacement(m)) trial.leaving.push_back(m);
                    if (m.NUMREC == corrected && flag(m.STATO) == 'C') {
                        m.STATO = " ";
                        trial.joining.push_back(m);
                    }
                }
            if (const auto shortfall = firstShortDay(folders, trial)) {
                result.shortStock.push_back({current, shortfall->day});
                continue;
            }
            removals = std::move(trial);
        }
        records.erase(it);
        result.removed.push_back(current);
        changed = true;
        if (!undoesCorrections) continue;
        for (auto r = records.begin(); r != records.end();) {
            const Movement m = decodeMovement(*r);
            if (m.NUMREC == corrected && flag(m.STATO) == 'C') clearSuperseded(*r);
            if (isReplacement(m)) {
                r = records.erase(r);
                continue;
            }
            ++r;
        }
    }
    if (changed) {
        std::string content;
        content.reserve(records.size() * kMovementSize);
        for (const auto& r : records)
            content += r;
        replaceFileContent(file, content);
    }
    return result;
}

std::string shortStockMessage(char mode, bool alcopp, const std::vector<RemovalResult::Short>& shortStock) {
    if (shortStock.empty()) return {};
    std::string text = "ATTENZIONE! I RECORD SEGUENTI NON SONO STATI CANCELLATI PERCHE' SENZA DI LORO LA "
                       "GIACENZA DEL REGISTRO SAREBBE NEGATIVA:";
    CancellationLines lines(mode, alcopp);
    for (const RemovalResult::Short& s : shortStock) {
        Movement m = s.record;
        trimMovement(m);
        text += "\r" + lines.lineOf(m) + " (giacenza negativa il " + formatDate(s.day) + ")";
    }
    return text;
}

std::string leftRecordsMessage(char mode, bool alcopp, const std::vector<Movement>& left) {
    if (left.empty()) return {};
    std::string text =
        "ATTENZIONE! I RECORD SEGUENTI NON SONO STATI CANCELLATI PERCHE' NEL FRATTEMPO SONO STATI "
        "INVIATI O MODIFICATI DA UN'ALTRA POSTAZIONE:";
    CancellationLines lines(mode, alcopp);
    for (Movement m : left) {
        trimMovement(m);
        text += "\r" + lines.lineOf(m);
    }
    return text;
}

} // namespace accise
