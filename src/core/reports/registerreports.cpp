#include "core/reports/registerreports.h"

#include <cmath>
#include <cstdio>

#include "core/files/ioerror.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/records/movementview.h"
#include "core/reports/reportrecords.h"
#include "core/tables/codetables.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"
#include "core/tables/registers.h"

namespace accise {
namespace {

namespace off = movement_offset;

struct PaddedKey {
    char tipreg;
    std::string annpro, numpro;
    explicit PaddedKey(const RegisterKey& k)
        : tipreg(k.TIPREG.empty() ? ' ' : k.TIPREG[0]), annpro(padded1252(k.ANNPRO, 4)),
          numpro(padded1252(k.NUMPRO, 10)) {}
    bool matches(const MovementView& r) const {
        return r.TIPREG() == tipreg && r.fieldEquals(off::ANNPRO, 4, annpro) &&
               r.fieldEquals(off::NUMPRO, 10, numpro);
    }
};

void roundQuantities(const fs::path& file, Movement& m) {
    for (auto [name, value] : {std::pair{"QTAKG", m.QTAKG}, {"ETTOGR", m.ETTOGR}, {"QTALIT", m.QTALIT}})
        if (!std::isfinite(value))
            throw IoError(file, "record n. " + std::to_string(m.NUMREC) + ": il campo " + name +
                                    " non è un numero valido (NaN o infinito); stampa non eseguita");
    m.QTAKG = roundTo(m.QTAKG, 5);
    m.ETTOGR = roundTo(m.ETTOGR, 5);
    m.QTALIT = roundTo(m.QTALIT, 5);
    m.ACCISA = roundTo(m.ACCISA, 2);
}

} // namespace

RegisterKey registerKeyOf(const TableRecord& reg) {
    const char letter = registerTypeLetter(reg.ints[kRegTypeInt]);
    const int year = yearOf(reg.nums[kRegProtocolDateNum]);
    char annpro[8];
    std::snprintf(annpro, sizeof annpro, "%04d", year);
    return {letter ? std::string(1, letter) : std::string(), annpro, trimmed(reg.col[kRegProtocolCol])};
}

std::string registerTypeDescription(const TableRecord& reg) {
    return std::string(registerTypeName(reg.ints[kRegTypeInt]));
}

std::vector<TableRecord> registersValidOver(const Folders& folders, double from, double to) {
    std::vector<TableRecord> valid;
    for (TableRecord& reg : readTable(folders.table(kRegistersTable)))
        if (registerFirstDay(reg) <= std::round(from) && registerLastDay(reg) >= std::round(to))
            valid.push_back(std::move(reg));
    return valid;
}

void writeRegisterList(const Folders& folders, const std::vector<TableRecord>& registers) {
    std::string bytes;
    bytes.reserve(registers.size() * kTableSize);
    for (TableRecord reg : registers) {
        padTable(reg);
        bytes += encodeTable(reg);
    }
    fs::create_directories(folders.temp);
    writeWholeFile(folders.inTemp(kRegisterListFile), bytes);
}

InitialStockFound findActiveInitialStock(const Folders& folders, const RegisterKey& key) {
    const PaddedKey padded(key);
    InitialStockFound found;
    const fs::path file = folders.initialStocks();
    forEachReportRecord(file, kMovementSize, [&](std::string_view bytes) {
        const MovementView r(bytes);
        if (!padded.matches(r) || r.STATO() == 'C' || r.TIPOPE() != 'I') return;
        if (++found.activeCount > 1) return;
        Movement m = decodeMovement(bytes);
        trimMovement(m);
        roundQuantities(file, m);
        requireFiniteFigures(file, bytes);
        found.stock = std::move(m);
    });
    return found;
}

std::string multipleStocksWarning(const TableRecord& reg, const InitialStockFound& found) {
    const RegisterKey key = registerKeyOf(reg);
    return "ATTENZIONE: IL REGISTRO " + key.NUMPRO + " - " + key.ANNPRO + " HA " +
           std::to_string(found.activeCount) +
           " GIACENZE INIZIALI ATTIVE; E' STATA CONTATA SOLO LA PRIMA (RECORD N. " +
           std::to_string(found.stock ? found.stock->NUMREC : 0) + " DEL " +
           formatDate(found.stock ? found.stock->DATMOV : 0) + ")";
}

void forEachRegisterMovement(const Folders& folders, const RegisterKey& key, int fromYear, int toYear,
                             const std::function<void(const Movement&)>& visit) {
    const PaddedKey padded(key);
    for (int year = fromYear; year <= toYear; ++year) {
        const fs::path file = folders.registerFile(year);
        forEachReportRecord(file, kMovementSize, [&](std::string_view bytes) {
            const MovementView r(bytes);
            const char tipmov = r.TIPMOV();
            if ((tipmov != 'C' && tipmov != 'S') || !padded.matches(r)) return;
            Movement m = decodeMovement(bytes);
            trimMovement(m);
            roundQuantities(file, m);
            requireFiniteFigures(file, bytes);
            visit(m);
        });
    }
}

bool isActiveMovement(const Movement& m) { return m.TIPOPE == "I" && m.STATO != "C"; }

} // namespace accise
