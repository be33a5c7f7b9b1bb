#include "core/books/initialstock.h"

#include <algorithm>
#include <cmath>

#include "core/files/lock.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/records/movementview.h"
#include "core/tables/codetables.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"
#include "core/tables/registers.h"

namespace accise {
namespace {

std::string t(const std::string& s) {
    return trimmed(s);
}

std::string protocolYear(const TableRecord& reg) {
    return std::to_string(yearOf(reg.nums[kRegProtocolDateNum]));
}

} // namespace

StockUnit stockUnitOf(const std::vector<TableRecord>& productList) {
    if (productList.empty()) return StockUnit::None;
    switch (productList.back().ints[0]) {
    case 0:
        return StockUnit::Kilograms;
    case 1:
        return StockUnit::LitresWithPlato;
    case 2:
        return StockUnit::Litres;
    default:
        return StockUnit::None; // a unit the program does not know stores nothing
    }
}

Movement initialStockBufferFor(const TableRecord& reg) {
    Movement m = blankMovement();
    m.TIPREG = std::string(1, registerTypeLetter(reg.ints[kRegTypeInt]));
    m.ANNPRO = protocolYear(reg);
    m.NUMPRO = padTo(t(reg.col[kRegProtocolCol]), 10);
    m.UFFDOG = t(reg.col[kRegOfficeCol]);
    m.DATMOV = registerFirstDay(reg);
    padMovement(m);
    return m;
}

bool isStockOfRegister(const Movement& stock, const TableRecord& reg) {
    return t(stock.TIPREG) == std::string(1, registerTypeLetter(reg.ints[kRegTypeInt])) &&
           t(stock.ANNPRO) == protocolYear(reg) && t(stock.NUMPRO) == t(reg.col[kRegProtocolCol]) &&
           t(stock.UFFDOG) == t(reg.col[kRegOfficeCol]);
}

bool isActiveInitialStock(const Movement& stock) {
    return t(stock.STATO) != "C" && t(stock.TIPOPE) == "I";
}

std::optional<Movement> activeInitialStockOf(const Folders& folders, const TableRecord& reg) {
    for (Movement& m : readMovements(folders.initialStocks())) {
        if (!isActiveInitialStock(m) || !isStockOfRegister(m, reg)) continue;
        trimMovement(m);
        return m;
    }
    return std::nullopt;
}

void setStockQuantities(Movement& stock, StockUnit unit, double quantity, double hectolitreDegrees) {
    stock.QTAKG = stock.ETTOGR = stock.QTALIT = 0;
    switch (unit) {
    case StockUnit::Kilograms:
        stock.QTAKG = roundTo(quantity, 5);
        break;
    case StockUnit::LitresWithPlato:
        stock.QTALIT = roundTo(quantity, 5);
        stock.ETTOGR = roundTo(hectolitreDegrees, 5);
        break;
    case StockUnit::Litres:
        stock.QTALIT = roundTo(quantity, 5);
        break;
    case StockUnit::None:
        break;
    }
}

StockAddResult addInitialStock(const Folders& folders, Movement stock, Prompt& prompt) {
    stock.TIPREC = "C";
    stock.TIPOPE = "I";
    stock.TIPMOV = "G";
    stock.STATO = " ";
    stock.DATFLU = 0;
    stock.NUMFLU = 0;
    padMovement(stock);
    stock.DATMOV = std::round(stock.DATMOV);
    const std::string key =
        t(stock.TIPREG) + "|" + t(stock.ANNPRO) + "|" + t(stock.NUMPRO) + "|" + t(stock.UFFDOG);

    const fs::path file = folders.initialStocks();
    FileLock lock(file, prompt);
    const RecordBlock block = readRecords(file, kMovementSize);
    requireWholeRecords(file, block);

    std::int32_t maxRec = 0, maxOpe = 0;
    std::size_t position = block.count();
    for (std::size_t i = 0; i < block.count(); ++i) {
        const Movement r = decodeMovement(block.at(i));
        maxRec = std::max(maxRec, r.NUMREC);
        const std::string tipope = t(r.TIPOPE);
        if (t(r.STATO) != "C" && (tipope == "I" || tipope == "A")) maxOpe = std::max(maxOpe, r.NUMOPE);
        if (isActiveInitialStock(r) &&
            t(r.TIPREG) + "|" + t(r.ANNPRO) + "|" + t(r.NUMPRO) + "|" + t(r.UFFDOG) == key)
            return {StockAddOutcome::AlreadyRegistered, 0};
        // Initial stocks are placed by date only: before the first record of a later day.
        if (position == block.count() && std::round(r.DATMOV) > stock.DATMOV) position = i;
    }
    // Never between a corrected record and the records of its correction, which follow it.
    while (position < block.count()) {
        const Movement r = decodeMovement(block.at(position));
        if (r.NUMRIF == 0 || (t(r.TIPOPE) != "C" && t(r.STATO) != "R")) break;
        ++position;
    }
    stock.NUMREC = maxRec + 1;
    stock.NUMOPE = maxOpe + 1;
    insertMovementAt(file, position, stock);
    return {StockAddOutcome::Added, stock.NUMREC};
}

CorrectionResult correctInitialStock(const Folders& folders, std::int32_t numrec, const std::string& note,
                                     const std::optional<Movement>& replacement, Prompt& prompt,
                                     const std::optional<Movement>& loaded) {
    std::optional<Movement> edited = replacement;
    if (edited) {
        edited->TIPREC = "C";
        edited->TIPMOV = "G";
        edited->NUMOPE = 0; // a replaced initial stock carries no operation number
    }
    return correctMovement(folders.initialStocks(), numrec, note, edited, prompt, ReplacementNUMOPE::AsGiven, loaded);
}

std::string correctionRefusal(CorrectionOutcome outcome) {
    switch (outcome) {
    case CorrectionOutcome::Done:
        return {};
    case CorrectionOutcome::NotFound:
        return "IL RECORD SCELTO NON ESISTE PIU': E' STATO CANCELLATO DA UN'ALTRA POSTAZIONE. NESSUNA "
               "RETTIFICA "
               "REGISTRATA";
    case CorrectionOutcome::NotSent:
        return "IL RECORD SCELTO NON RISULTA INVIATO AL SERVIZIO TELEMATICO. NESSUNA RETTIFICA REGISTRATA";
    case CorrectionOutcome::NotCorrectable:
        return "IL RECORD SCELTO E' GIA' STATO RETTIFICATO DA UN'ALTRA POSTAZIONE. NESSUNA RETTIFICA "
               "REGISTRATA";
    }
    return {};
}

std::optional<TableRecord> registerOfStock(const Folders& folders, const Movement& stock) {
    const std::string number = t(stock.NUMPRO);
    const std::string year = t(stock.ANNPRO);
    for (TableRecord& reg : readTable(folders.table(kRegistersTable)))
        if (t(reg.col[kRegProtocolCol]) == number && protocolYear(reg) == year) return std::move(reg);
    return std::nullopt;
}

std::optional<Movement> findMovement(const fs::path& file, std::int32_t numrec) {
    const RecordBlock block = readRecords(file, kMovementSize, IfMissing::Empty);
    for (std::size_t i = 0; i < block.count(); ++i)
        if (MovementView(block.at(i)).NUMREC() == numrec) return decodeMovement(block.at(i));
    return std::nullopt;
}

} // namespace accise
