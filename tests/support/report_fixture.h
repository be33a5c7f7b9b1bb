#pragma once
// A working folder for the report tests: registers, initial stocks and register
// files written record by record exactly as given (file order is the test's order).
#include <string>
#include <vector>

#include "core/files/folders.h"
#include "core/files/recordfile.h"
#include "core/records/movement.h"
#include "core/records/tablerecord.h"
#include "core/tables/dates.h"
#include "core/tables/registers.h"
#include "test_support.h"

namespace accise::testing {

inline double day(const std::string& ddmmyyyy) { return *parseDate(ddmmyyyy); }

struct ReportFolder {
    TempDir dir;
    Folders folders = Folders::of(dir.path() / "lavoro", dir.path() / "temp");

    ReportFolder() { folders.create(); }

    // A register of type index `type` (0 M, 1 L, 2 F, 3 N) appended to PROTOCOLLI.TAB.
    TableRecord addRegister(const std::string& protocol, int type, const std::string& protocolDate,
                            const std::string& firstDay, const std::string& lastDay,
                            const std::string& title = "BIRRA", const std::string& office = "UFFICIO DI TORINO") {
        TableRecord reg = blankTable();
        reg.number = ++registers;
        reg.extra[0] = "PROTOCOLLI";
        reg.col[kRegProtocolCol] = protocol;
        reg.col[kRegOfficeCol] = "IT079100";
        reg.col[kRegTitleCol] = title;
        reg.col[kRegHeaderCol] = office;
        reg.ints[kRegTypeInt] = type;
        reg.nums[kRegProtocolDateNum] = day(protocolDate);
        reg.nums[kRegFirstDayNum] = day(firstDay);
        reg.nums[kRegLastDayNum] = day(lastDay);
        append(folders.table(kRegistersTable), encodeTable(padded(reg)));
        return reg;
    }
    void addStock(Movement m) { addTo(folders.initialStocks(), std::move(m)); }
    void addMovement(Movement m) { addTo(folders.registerFile(yearOf(m.DATMOV)), std::move(m)); }
    void addToFile(const std::filesystem::path& file, Movement m) { addTo(file, std::move(m)); }

    int registers = 0;
    int records = 0;

private:
    static TableRecord padded(TableRecord t) {
        padTable(t);
        return t;
    }
    void addTo(const std::filesystem::path& file, Movement m) {
        if (m.NUMREC == 0) m.NUMREC = ++records;
        padMovement(m);
        append(file, encodeMovement(m));
    }
    static void append(const std::filesystem::path& file, const std::string& bytes) {
        createIfMissing(file);
        const auto size = std::filesystem::file_size(file);
        writeBytesAt(file, size, bytes);
    }
};

// A record of the register `protocol` of type letter `tipreg`, protocol year `annpro`.
inline Movement registerRecord(const std::string& tipreg, const std::string& annpro, const std::string& protocol) {
    Movement m = blankMovement();
    m.TIPREC = "C";
    m.TIPOPE = "I";
    m.STATO = " ";
    m.TIPREG = tipreg;
    m.ANNPRO = annpro;
    m.NUMPRO = protocol;
    m.UFFDOG = "IT079100";
    return m;
}

inline Movement stockRecord(const std::string& tipreg, const std::string& annpro, const std::string& protocol,
                            const std::string& date, double litres, double hectolitreDegrees, double kg = 0) {
    Movement m = registerRecord(tipreg, annpro, protocol);
    m.TIPMOV = "G";
    m.DATMOV = day(date);
    m.QTALIT = litres;
    m.ETTOGR = hectolitreDegrees;
    m.QTAKG = kg;
    return m;
}

// A load ("C") or unload ("S") of bulk litres at 12 degrees Plato.
inline Movement litresMovement(const std::string& tipreg, const std::string& annpro, const std::string& protocol,
                               const std::string& date, const char* tipmov, double litres) {
    Movement m = registerRecord(tipreg, annpro, protocol);
    m.TIPMOV = tipmov;
    m.DATMOV = day(date);
    m.QTALIT = litres;
    m.ETTOGR = litres * 12 / 100;
    m.TIPSTO = "S";
    return m;
}

} // namespace accise::testing
