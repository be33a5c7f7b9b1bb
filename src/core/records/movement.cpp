#include "core/records/movement.h"

#include "core/records/recordfields.h"

namespace accise {

const FieldList<Movement>& movementFields() {
    using M = Movement;
    static const FieldList<Movement> fields = {
        {"NUMREC", 0, 0, &M::NUMREC},   {"NUMRIF", 4, 0, &M::NUMRIF},   {"DATFLU", 8, 0, &M::DATFLU},
        {"NUMFLU", 16, 0, &M::NUMFLU},  {"STATO", 20, 1, &M::STATO},    {"DATMOV", 24, 0, &M::DATMOV},
        {"TIPREC", 32, 1, &M::TIPREC},  {"TIPOPE", 34, 1, &M::TIPOPE},  {"TIPREG", 36, 1, &M::TIPREG},
        {"UFFDOG", 38, 8, &M::UFFDOG},  {"ANNPRO", 47, 4, &M::ANNPRO},  {"NUMPRO", 52, 10, &M::NUMPRO},
        {"NUMOPE", 64, 0, &M::NUMOPE},  {"PRODAZ", 68, 20, &M::PRODAZ}, {"PRODDO", 89, 21, &M::PRODDO},
        {"QTAKG", 112, 0, &M::QTAKG},   {"ETTOGR", 120, 0, &M::ETTOGR}, {"QTALIT", 128, 0, &M::QTALIT},
        {"CONTIN", 136, 0, &M::CONTIN}, {"CONTFI", 140, 0, &M::CONTFI}, {"VALAUX", 144, 0, &M::VALAUX},
        {"GRAPLA", 152, 0, &M::GRAPLA}, {"TIPSTO", 160, 1, &M::TIPSTO}, {"VOLUNI", 168, 0, &M::VOLUNI},
        {"NUMCON", 176, 0, &M::NUMCON}, {"TIPDOC", 180, 3, &M::TIPDOC}, {"NUMDOC", 184, 21, &M::NUMDOC},
        {"DATDOC", 208, 0, &M::DATDOC}, {"DOCCUM", 216, 21, &M::DOCCUM}, {"CODPAE", 238, 2, &M::CODPAE},
        {"MITDES", 241, 16, &M::MITDES}, {"TIPMOV", 258, 1, &M::TIPMOV}, {"CAUMOV", 260, 3, &M::CAUMOV},
        {"POSFIS", 264, 3, &M::POSFIS}, {"ACCISA", 272, 0, &M::ACCISA}, {"GARANZ", 280, 0, &M::GARANZ},
        {"ANNOTA", 288, 250, &M::ANNOTA}, {"NPRDAA", 540, 0, &M::NPRDAA}, {"NILODD", 544, 22, &M::NILODD},
        {"NUMCPR", 568, 0, &M::NUMCPR}, {"DATROR", 576, 0, &M::DATROR}, {"TIPDES", 584, 1, &M::TIPDES},
    };
    return fields;
}

Movement blankMovement() { return blankWith(movementFields()); }
void padMovement(Movement& m) { padWith(movementFields(), m); }
void trimMovement(Movement& m) { trimWith(movementFields(), m); }
std::string encodeMovement(const Movement& m) { return encodeWith(movementFields(), m, kMovementSize); }
bool decodeMovement(std::string_view bytes, Movement& m) { return decodeWith(movementFields(), bytes, m); }

Movement decodeMovement(std::string_view bytes) {
    Movement m;
    decodeMovement(bytes, m);
    return m;
}

bool sameField(std::string_view a, std::string_view b, std::size_t width) {
    return padded1252(a, width) == padded1252(b, width);
}

} // namespace accise
