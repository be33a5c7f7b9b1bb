#pragma once
// A small brewery for the movement tests: the delivered code tables, four registers
// valid in 2024-2025 (raw materials, in process, bulk and packaged finished beer) with
// their product lists and sent initial stocks stated at 31/12/2023, a supplier and a
// client, and a company product of each kind.
#include <string>
#include <vector>

#include "core/books/movementfile.h"
#include "core/records/movement.h"
#include "core/tables/addressbook.h"
#include "core/tables/codetables.h"
#include "core/tables/dates.h"
#include "core/tables/deliveredtables.h"
#include "core/tables/registers.h"

namespace accise::testing {

struct FixtureRegister {
    const char* protocol;
    int type;
    const char* product;
    double kg, litres, plato; // initial stock
};

inline const std::vector<FixtureRegister>& fixtureRegisters() {
    static const std::vector<FixtureRegister> registers = {
        {"MP1", 0, "M000-11071099-00-0000", 5000, 0, 0},
        {"LAV1", 1, "B000-22030000-00-0000", 0, 2000, 12},
        {"FS1", 2, "B000-22030010-00-0000", 0, 1000, 12},
        {"FC1", 3, "B000-22030001-00-0000", 0, 500, 12},
    };
    return registers;
}

inline constexpr const char* kSupplierExcise = "IT00MIA00777M";
inline constexpr const char* kClientExcise = "IT00RMA00555K";
inline constexpr const char* kClientVat = "05554443331";

inline Movement fixtureInitialStock(const FixtureRegister& r, double date, bool sent) {
    Movement stock = blankMovement();
    stock.TIPREC = "C";
    stock.TIPOPE = "I";
    stock.TIPMOV = "G";
    stock.STATO = " ";
    stock.DATMOV = date;
    stock.TIPREG = std::string(1, registerTypeLetter(r.type));
    stock.UFFDOG = "IT079100";
    stock.ANNPRO = "2024";
    stock.NUMPRO = r.protocol;
    stock.QTAKG = r.kg;
    stock.QTALIT = r.litres;
    stock.ETTOGR = r.litres * r.plato / 100;
    if (sent) {
        stock.DATFLU = dayNumber(2024, 1, 10);
        stock.NUMFLU = 1;
    }
    return stock;
}

// `sentStocks` false leaves every initial stock unsent.
inline void writeBrewery(const Folders& folders, Prompt& prompt, bool sentStocks = true) {
    folders.create();
    installDeliveredTables(folders);
    const double first = dayNumber(2024, 1, 1);
    for (const FixtureRegister& r : fixtureRegisters()) {
        TableRecord reg = blankTable();
        reg.col[kRegProtocolCol] = r.protocol;
        reg.col[kRegOfficeCol] = "IT079100";
        reg.extra[0] = "PROTOCOLLI";
        reg.ints[kRegTypeInt] = r.type;
        reg.nums[kRegProtocolDateNum] = first;
        reg.nums[kRegFirstDayNum] = first;
        reg.nums[kRegLastDayNum] = dayNumber(2025, 12, 31);
        std::vector<TableRecord> products;
        for (const TableRecord& row : readTable(folders.table("TA20")))
            if (row.col[0] == r.product) products.push_back(row);
        saveRegister(folders, reg, products, prompt);
        appendMovement(folders.initialStocks(), fixtureInitialStock(r, dayNumber(2023, 12, 31), sentStocks), false,
                       prompt);
    }
    AddressRecord supplier = blankAddress();
    supplier.id1 = kSupplierExcise;
    supplier.name1 = "Malteria Padana S.p.A.";
    supplier.city1 = "PAVIA";
    insertAddress(folders.addressBook('F'), supplier, prompt);
    AddressRecord client = blankAddress();
    client.id1 = kClientExcise;
    client.id2 = kClientVat;
    client.name1 = "Distribuzione Bevande Roma";
    client.city1 = "ROMA";
    insertAddress(folders.addressBook('C'), client, prompt);
    AddressRecord shop = blankAddress();
    shop.id2 = "01234567890";
    shop.name1 = "Bottega del Luppolo";
    shop.city1 = "LODI";
    insertAddress(folders.addressBook('C'), shop, prompt);

    TableRecord bottle = blankTable();
    bottle.col[0] = "BIONDA33";
    bottle.col[1] = "Bionda in bottiglia da 0,33";
    bottle.col[2] = "B000-22030001-00-0000";
    bottle.col[3] = "N";
    bottle.extra[0] = "PRAZ";
    bottle.nums[0] = 12;
    bottle.nums[1] = 0.33;
    insertTableRecord(folders.table("PRAZ"), bottle, prompt);
    TableRecord keg = blankTable();
    keg.col[0] = "ROSSA";
    keg.col[1] = "Rossa sfusa";
    keg.col[2] = "B000-22030010-00-0000";
    keg.col[3] = "S";
    keg.extra[0] = "PRAZ";
    keg.nums[0] = 14;
    insertTableRecord(folders.table("PRAZ"), keg, prompt);
}

// An unload of bulk beer (register FS1) as the window would save it.
inline Movement fixtureUnload(double date, double litres, double plato = 12) {
    Movement m = blankMovement();
    m.TIPREC = "C";
    m.TIPOPE = "I";
    m.STATO = " ";
    m.TIPDES = "1";
    m.TIPMOV = "S";
    m.DATMOV = date;
    m.TIPREG = "F";
    m.UFFDOG = "IT079100";
    m.ANNPRO = "2024";
    m.NUMPRO = "FS1";
    m.PRODDO = "B000-22030010-00-0000";
    m.TIPSTO = "S";
    m.QTALIT = litres;
    m.GRAPLA = plato;
    m.ETTOGR = litres * plato / 100;
    m.TIPDOC = "DAS";
    m.NUMDOC = "F-1";
    m.DATDOC = date;
    m.CODPAE = "IT";
    m.MITDES = kClientExcise;
    m.CAUMOV = "071";
    m.POSFIS = "001";
    return m;
}

} // namespace accise::testing
