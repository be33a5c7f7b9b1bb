#pragma once
// A working folder with customs registers, their product lists and movement files,
// for the tests of the register windows (initial stock, selection list, removal).
#include <cstdint>
#include <string>
#include <vector>

#include "core/books/movementfile.h"
#include "core/files/recordfile.h"
#include "core/records/movement.h"
#include "core/tables/dates.h"
#include "core/tables/registers.h"
#include "logic/window_fixtures.h"

namespace accise::testing {

// A PROTOCOLLI row: protocol `protocol`, dated 01/01 of `year`, valid the whole year.
inline TableRecord registerRow(std::int32_t number, const char* protocol, int typeIndex, int year,
                               const char* office = "IT012000") {
    TableRecord r = blankTable();
    r.number = number;
    r.col[kRegProtocolCol] = protocol;
    r.col[kRegOfficeCol] = office;
    r.col[kRegTitleCol] = "REGISTRO";
    r.ints[kRegTypeInt] = typeIndex;
    r.nums[kRegProtocolDateNum] = dayNumber(year, 1, 1);
    r.nums[kRegFirstDayNum] = dayNumber(year, 1, 1);
    r.nums[kRegLastDayNum] = dayNumber(year, 12, 31);
    r.extra[0] = "PROTOCOLLI";
    return r;
}

inline void writeTableFile(const fs::path& file, const std::vector<TableRecord>& rows) {
    std::string bytes;
    for (const TableRecord& r : rows)
        bytes += encodeTable(r);
    writeWholeFile(file, bytes);
}

inline void writeRegisters(const Folders& folders, const std::vector<TableRecord>& rows) {
    TableRecord structure = blankTable();
    structure.number = 1;
    structure.extra[0] = "PROTOCOLLI";
    structure.extra[1] = "Registri Doganali";
    writeWholeFile(folders.structure("PROTOCOLLI"), encodeTable(structure));
    writeTableFile(folders.table("PROTOCOLLI"), rows);
}

// A register's product list: one TA20 row per unit index given, in order.
inline void writeProductList(const Folders& folders, int registerNumber, const std::vector<int>& units) {
    std::vector<TableRecord> rows;
    for (std::size_t i = 0; i < units.size(); ++i) {
        TableRecord p =
            tableRow(static_cast<std::int32_t>(i + 1), "B000-2203000" + std::to_string(i) + "-00-0000",
                     "Prodotto " + std::to_string(i));
        p.extra[0] = "TA20";
        p.ints[0] = units[i];
        rows.push_back(p);
    }
    writeTableFile(folders.productList(registerNumber), rows);
}

// An initial stock of register `protocol` of `year`, type letter `type`.
inline Movement stockRecord(std::int32_t numrec, const char* protocol, const char* type, int year,
                            double date, double litres, std::int32_t flow = 0) {
    Movement m = blankMovement();
    m.NUMREC = numrec;
    m.NUMOPE = numrec;
    m.TIPREC = "C";
    m.TIPOPE = "I";
    m.TIPMOV = "G";
    m.TIPREG = type;
    m.UFFDOG = "IT012000";
    m.ANNPRO = std::to_string(year);
    m.NUMPRO = protocol;
    m.DATMOV = date;
    m.QTALIT = litres;
    m.ETTOGR = litres * 0.12;
    m.NUMFLU = flow;
    m.DATFLU = flow ? date + 5 : 0;
    padMovement(m);
    return m;
}

// A load ("C") or unload ("S") of register F 1 of 2015.
inline Movement movementRecord(std::int32_t numrec, const char* tipmov, double date, double litres,
                               std::int32_t flow = 0) {
    Movement m = blankMovement();
    m.NUMREC = numrec;
    m.NUMOPE = numrec;
    m.TIPREC = "C";
    m.TIPOPE = "I";
    m.TIPMOV = tipmov;
    m.TIPREG = "F";
    m.UFFDOG = "IT012000";
    m.ANNPRO = "2015";
    m.NUMPRO = "1";
    m.PRODDO = "B000-22030000-00-0000";
    m.TIPDOC = "DAA";
    m.NUMDOC = "D" + std::to_string(numrec);
    m.DATDOC = date;
    m.CODPAE = "IT";
    m.MITDES = "IT00000000001";
    m.DATMOV = date;
    m.QTALIT = litres;
    m.GRAPLA = 12;
    m.ETTOGR = litres * 0.12;
    m.NUMFLU = flow;
    m.DATFLU = flow ? date + 1 : 0;
    padMovement(m);
    return m;
}

inline void writeMovementFile(const fs::path& file, const std::vector<Movement>& records) {
    std::string bytes;
    for (const Movement& m : records)
        bytes += encodeMovement(m);
    writeWholeFile(file, bytes);
}

// The record numbers of a file, in file order.
inline std::vector<std::int32_t> numbersIn(const fs::path& file) {
    std::vector<std::int32_t> numbers;
    for (const Movement& m : readMovements(file))
        numbers.push_back(m.NUMREC);
    return numbers;
}

} // namespace accise::testing
