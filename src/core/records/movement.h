#pragma once
// The movement record (592 bytes): register movements, initial stocks, duty records
// and the work files built from them. Field names are those of the entry windows.
#include <cstdint>
#include <string>
#include <string_view>

namespace accise {

inline constexpr std::size_t kMovementSize = 592;

struct Movement {
    std::int32_t NUMREC = 0;  // record number, unique in its file
    std::int32_t NUMRIF = 0;  // in a correction: NUMREC of the corrected record
    double DATFLU = 0;        // date of the flow that carried it; 0 while unsent
    std::int32_t NUMFLU = 0;  // number of that flow; 0 while unsent
    std::string STATO;        // " " active, "C" superseded, "R" replacement
    double DATMOV = 0;        // movement date (day number)
    std::string TIPREC;       // "C" movement / initial stock, "D", "E", "R" duty records, "F" guarantee
    std::string TIPOPE;       // "I" insertion, "C" cancellation record of a correction
    std::string TIPREG;       // register type "M", "L", "F", "N"
    std::string UFFDOG;       // customs office of the register
    std::string ANNPRO;       // year of the register's protocol date
    std::string NUMPRO;       // protocol number of the register
    std::int32_t NUMOPE = 0;  // operation number ("N.Op.")
    std::string PRODAZ;       // company product code
    std::string PRODDO;       // TA20 product code
    double QTAKG = 0;
    double ETTOGR = 0;
    double QTALIT = 0;
    std::int32_t CONTIN = 0;
    std::int32_t CONTFI = 0;
    double VALAUX = 0;
    double GRAPLA = 0;
    std::string TIPSTO;       // "S" bulk, "N" packaged
    double VOLUNI = 0;
    std::int32_t NUMCON = 0;
    std::string TIPDOC;
    std::string NUMDOC;
    double DATDOC = 0;
    std::string DOCCUM;
    std::string CODPAE;       // country; in duty records the period code
    std::string MITDES;       // sender or recipient
    std::string TIPMOV;       // "C" load, "S" unload, "G" initial stock, "A" closing record
    std::string CAUMOV;
    std::string POSFIS;
    double ACCISA = 0;
    double GARANZ = 0;
    std::string ANNOTA;
    std::int32_t NPRDAA = 0;
    std::string NILODD;
    std::int32_t NUMCPR = 0;
    double DATROR = 0;
    std::string TIPDES;
};

// Every text field at its full width of spaces, every number 0.
Movement blankMovement();
void padMovement(Movement& m);
void trimMovement(Movement& m);

// The record as stored: texts padded, unused bytes zero.
std::string encodeMovement(const Movement& m);
// Reads a stored record (kMovementSize bytes). Texts keep their stored form (padded);
// false when a length byte exceeded its field's width (the text is cut to the width).
bool decodeMovement(std::string_view bytes, Movement& m);
Movement decodeMovement(std::string_view bytes);

// Byte-wise comparison of a text as the files hold it (padded to the width).
bool sameField(std::string_view a, std::string_view b, std::size_t width);

} // namespace accise
