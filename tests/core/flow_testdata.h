#pragma once
// The company and records of the hand-written flow files under tests/data/flows.
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/records/address.h"
#include "core/records/movement.h"
#include "core/tables/dates.h"

namespace accise::flowdata {

inline AddressRecord company(const char* profile = "ALCODA", const char* exciseCode = "IT00ABC12345X") {
    AddressRecord c = blankAddress();
    c.postcode2 = profile;
    c.id1 = exciseCode;
    c.vat = "01234567890";
    c.user_code = "AB12";
    c.section = "ABC123";
    c.office = "ITABC001";
    return c;
}

inline Movement record(const char* tiprec, double date, const char* tipope = "I") {
    Movement m = blankMovement();
    m.TIPREC = tiprec;
    m.TIPOPE = tipope;
    m.STATO = " ";
    m.DATMOV = date;
    padMovement(m);
    return m;
}

inline Movement initialStock() {
    Movement m = record("C", dayNumber(2014, 1, 1));
    m.TIPREG = "F";
    m.ANNPRO = "2013";
    m.NUMPRO = "12";
    m.NUMOPE = 5; // not carried by an initial stock
    m.PRODDO = "2203-00000001-00-0000";
    m.QTALIT = 1234.5;
    m.ETTOGR = 148.14;
    m.GRAPLA = 12;
    m.TIPSTO = "S";
    m.TIPDOC = "XYZ"; // not carried either
    m.TIPMOV = "G";
    m.ANNOTA = "giacenza";
    return m;
}

inline Movement unloadWithExcise() {
    Movement m = record("C", dayNumber(2014, 3, 14));
    m.TIPREG = "N";
    m.ANNPRO = "2014";
    m.NUMPRO = "7";
    m.NUMOPE = 42;
    m.PRODDO = "2203-00000001-00-0000";
    m.QTALIT = 1000;
    m.ETTOGR = 120;
    m.GRAPLA = 12;
    m.TIPSTO = "N";
    m.VOLUNI = 0.33;
    m.NUMCON = 3030;
    m.TIPDOC = "DAS";
    m.NUMDOC = "A/15";
    m.DATDOC = dayNumber(2014, 3, 14);
    m.CODPAE = "IT";
    m.MITDES = "Bar Roma";
    m.TIPMOV = "S";
    m.CAUMOV = "VEN";
    m.POSFIS = "001";
    m.ACCISA = 278.4;
    return m;
}

// The cancellation record of a correction of a closing record.
inline Movement closingCancellation() {
    Movement m = record("C", dayNumber(2014, 3, 14), "C");
    m.TIPREG = "F";
    m.ANNPRO = "2014";
    m.NUMPRO = "3";
    m.NUMOPE = 43;
    m.PRODDO = "2203-00000002-00-0000";
    m.QTALIT = 500;
    m.ETTOGR = 60;
    m.GRAPLA = 12;
    m.TIPSTO = "S";
    m.VOLUNI = 0.5;
    m.NUMCON = 2;
    m.TIPDOC = "ROR";
    m.NUMDOC = "R1";
    m.DOCCUM = "15ITXYZ";
    m.CODPAE = "DE";
    m.MITDES = "Bier GmbH";
    m.TIPMOV = "A";
    m.CAUMOV = "X";
    m.POSFIS = "002";
    m.ACCISA = 5;
    m.ANNOTA = "chiusura perché";
    m.NPRDAA = 3;
    m.NILODD = "14ITABC0000000012345";
    m.NUMCPR = 1;
    return m;
}

inline Movement guarantee() {
    Movement m = record("F", dayNumber(2014, 3, 14));
    m.QTAKG = 1000;
    m.ETTOGR = 200;
    m.QTALIT = 800;
    m.GRAPLA = 800;
    return m;
}

inline Movement credit() {
    Movement m = record("D", dayNumber(2014, 2, 10));
    m.ANNPRO = "2014";
    m.CODPAE = "02";
    m.UFFDOG = "ITABC001";
    m.NUMPRO = " 123";
    m.QTAKG = 500;
    m.ETTOGR = 125.5;
    m.MITDES = "1411";
    m.ANNOTA = "credito";
    return m;
}

inline Movement exciseSummary() {
    Movement m = record("E", dayNumber(2014, 2, 28));
    m.ANNPRO = "2014";
    m.CODPAE = "02";
    m.QTAKG = 1000;
    m.ETTOGR = 125.5;
    m.QTALIT = -12.3;
    m.VALAUX = 874.5;
    m.MITDES = "1411";
    return m;
}

inline Movement voluntaryCorrection() {
    Movement m = record("R", dayNumber(2014, 2, 20));
    m.ANNPRO = "2014";
    m.CODPAE = "01";
    m.QTAKG = 100;
    m.ETTOGR = 30;
    m.QTALIT = 33.33;
    m.VALAUX = 10;
    m.GRAPLA = 0.3;
    m.CONTIN = 15;
    m.VOLUNI = 0.01;
    m.MITDES = "1411";
    m.ANNOTA = "ravvedimento";
    return m;
}

inline std::vector<Movement> everyKind() {
    return {initialStock(), unloadWithExcise(), closingCancellation(), guarantee(),
            credit(),       exciseSummary(),    voluntaryCorrection()};
}

inline Movement daySummaryAlcopp() {
    Movement m = record("E", dayNumber(2014, 3, 31));
    m.QTAKG = 45.678;
    m.ETTOGR = 9; // not carried under this profile
    m.MITDES = "1411";
    m.ANNOTA = "giorno";
    return m;
}

inline Movement dayCorrectionAlcopp() {
    Movement m = record("R", dayNumber(2014, 3, 31));
    m.ANNPRO = "2014";
    m.CODPAE = "21";
    m.QTAKG = 1;
    m.ETTOGR = 2;
    m.QTALIT = 3;
    m.VALAUX = 4;
    m.GRAPLA = 5;
    return m;
}

inline std::string golden(const std::string& name) {
    std::ifstream in(std::string(ACCISE_SOURCE_DIR) + "/tests/data/flows/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace accise::flowdata
