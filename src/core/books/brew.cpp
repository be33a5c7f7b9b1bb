#include "core/books/brew.h"

#include <cmath>

#include "core/books/internaloperation.h"
#include "core/books/movementcalc.h"
#include "core/books/stock.h"
#include "core/files/lock.h"
#include "core/files/text1252.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"
#include "core/tables/registers.h"

namespace accise {
namespace {

// What every record of a brew carries, with the register of `entry`.
Movement brewRecord(const Brew& brew, const Movement& entry, const char* tipmov, const char* reason,
                    const std::string& position) {
    Movement m = internalOperationRecord(kBrewDocument, brew.date, brew.NUMDOC, brew.ANNOTA);
    m.TIPSTO = "S";
    m.TIPREG = entry.TIPREG;
    m.UFFDOG = entry.UFFDOG;
    m.ANNPRO = entry.ANNPRO;
    m.NUMPRO = entry.NUMPRO;
    m.PRODDO = entry.PRODDO;
    m.TIPMOV = tipmov;
    m.CAUMOV = reason;
    m.POSFIS = position;
    return m;
}

Movement splitUnload(const Brew& brew, const BrewSplitPart& part, const char* reason) {
    Movement m = brewRecord(brew, brew.inProcess, "S", reason, part.position);
    m.QTALIT = part.litres;
    m.ETTOGR = part.figures.ETTOGR;
    m.ACCISA = part.figures.ACCISA;
    return m;
}

RegisterKey keyOf(const Movement& entry) {
    return RegisterKey{trimmed(entry.TIPREG), trimmed(entry.ANNPRO), trimmed(entry.NUMPRO)};
}

bool sameRegister(const Movement& a, const Movement& b) {
    return a.TIPREG == b.TIPREG && a.ANNPRO == b.ANNPRO && a.NUMPRO == b.NUMPRO;
}

double total(const Quantities& q) { return roundTo(q.QTAKG + q.QTALIT, kQuantityDecimals); }

} // namespace

BrewLists brewStockLists(const Folders& folders, double date) {
    BrewLists result;
    BrewStockLists& lists = result.lists;
    lists = buildStockListForBrew(folders, date);
    RegisterTypes types;
    types.set(static_cast<std::size_t>(registerTypeIndex('M')));
    types.set(static_cast<std::size_t>(registerTypeIndex('L')));
    const std::vector<TableRecord> registers = registersValidOn(folders, date, types);
    for (StockList* list : {&lists.rawMaterials, &lists.inProcess}) {
        for (Movement& entry : *list) {
            const RegisterKey key{trimmed(entry.TIPREG), trimmed(entry.ANNPRO), trimmed(entry.NUMPRO)};
            std::string office = registerOffice(registers, key);
            if (office.empty()) continue;
            entry.UFFDOG = std::move(office);
            padMovement(entry);
        }
    }
    for (Movement& entry : lists.rawMaterials) {
        double held = -1;
        for (std::size_t i = 0; i < result.registerStock.size(); ++i)
            if (sameRegister(lists.rawMaterials[i], entry)) held = result.registerStock[i];
        if (held < 0) held = total(registerStockAt(folders, keyOf(entry), date));
        result.registerStock.push_back(held);
        // A product cannot offer more than its register holds.
        if (entry.ETTOGR > held) {
            if (entry.QTAKG > 0) entry.QTAKG = held;
            else entry.QTALIT = held;
            entry.ETTOGR = held;
        }
    }
    return result;
}

BrewFigures brewFigures(double litres, double plato, std::optional<double> rate) {
    BrewFigures f;
    f.ETTOGR = roundTo(hectoDegrees(litres, plato), kQuantityDecimals);
    f.ACCISA = rate ? exciseAmount(f.ETTOGR, *rate) : 0;
    return f;
}

BrewSplit splitBrew(double litres, double toPackage, double losses) {
    BrewSplit s;
    // A minus sign typed before the litres to package would turn into losses larger
    // than the brew: such a quantity counts as none.
    double l10 = toPackage < 0 ? 0 : toPackage;
    double l09 = losses;
    if (l10 + l09 != 0) {
        l09 = roundTo(litres - l10, kQuantityDecimals);
        if (l09 < 0) {
            l10 = litres;
            l09 = 0;
        }
    } else {
        l10 = litres;
        l09 = 0;
    }
    s.toPackage = l10;
    s.losses = l09;
    return s;
}

bool exceedsStock(double quantity, double stock) {
    return roundTo(stock, kQuantityDecimals) < roundTo(quantity, kQuantityDecimals);
}

std::vector<Movement> brewRecords(const Brew& brew) {
    std::vector<Movement> records;
    for (const RawMaterialUse& use : brew.rawMaterials) {
        Movement m = brewRecord(brew, use.entry, "S", kRawMaterialUnloadReason, kRawMaterialUnloadPosition);
        // Counted as the stock of the entry was when the list was built.
        if (use.kilograms) m.QTAKG = use.quantity;
        else m.QTALIT = use.quantity;
        records.push_back(m);
    }
    Movement load = brewRecord(brew, brew.inProcess, "C", kBrewLoadReason, kBrewLoadPosition);
    load.QTALIT = brew.litres;
    load.GRAPLA = brew.plato;
    load.ETTOGR = brew.figures.ETTOGR;
    load.ACCISA = brew.figures.ACCISA;
    load.CONTIN = brew.CONTIN;
    load.CONTFI = brew.CONTFI;
    records.push_back(load);
    if (brew.toPackage && brew.toPackage->litres > 0)
        records.push_back(splitUnload(brew, *brew.toPackage, kPackagingUnloadReason));
    if (brew.losses && brew.losses->litres > kQuantityTolerance)
        records.push_back(splitUnload(brew, *brew.losses, kLossUnloadReason));
    return records;
}

BrewSaveResult saveBrew(const Folders& folders, const Brew& brew, bool alcopp, Prompt& prompt) {
    const fs::path file = folders.registerFile(yearOf(brew.date));
    std::vector<Movement> records = brewRecords(brew);
    BrewSaveResult result;
    FileLock lock(file, prompt);
    const auto initialStockBefore = [&](const Movement& entry) {
        const ProductStock stock = productStockAt(folders, keyOf(entry), trimmed(entry.PRODDO), brew.date);
        return stock.found && stock.initialStockDate < std::round(brew.date);
    };
    if (!initialStockBefore(brew.inProcess)) {
        result.noInitialStock = brew.inProcess;
        return result;
    }
    for (const RawMaterialUse& use : brew.rawMaterials) {
        const ProductStock stock = productStockAt(folders, keyOf(use.entry), trimmed(use.entry.PRODDO), brew.date);
        if (!stock.found || !(stock.initialStockDate < std::round(brew.date))) {
            result.noInitialStock = use.entry;
            return result;
        }
        const double available = stock.found ? total(stock.quantities) : 0;
        if (exceedsStock(use.quantity, available)) {
            result.shortage = StockShortage{use.entry, use.quantity, available};
            return result;
        }
    }
    // The products of one register share its stock: together they may not take more.
    for (std::size_t i = 0; i < brew.rawMaterials.size(); ++i) {
        const Movement& entry = brew.rawMaterials[i].entry;
        bool first = true;
        double used = 0;
        for (std::size_t j = 0; j < brew.rawMaterials.size(); ++j) {
            if (!sameRegister(brew.rawMaterials[j].entry, entry)) continue;
            if (j < i) first = false;
            used += brew.rawMaterials[j].quantity;
        }
        if (!first) continue;
        const double available = total(registerStockAt(folders, keyOf(entry), brew.date));
        if (exceedsStock(used, available)) {
            result.shortage = StockShortage{entry, roundTo(used, kQuantityDecimals), available, true};
            return result;
        }
    }
    result.appended = appendMovementsLocked(file, std::move(records), alcopp);
    return result;
}

std::string stockShortageMessage(const StockShortage& shortage) {
    const Movement& e = shortage.entry;
    if (shortage.wholeRegister)
        return "GIACENZA INSUFFICIENTE NEL REGISTRO " + trimmed(e.NUMPRO) + "/" + trimmed(e.ANNPRO) +
               ": disponibili " + formatNumber(shortage.available, 0, 0) + ", da scaricare " +
               formatNumber(shortage.quantity, 0, 0) +
               " per tutte le sue materie prime.\nLa cotta non è stata registrata.";
    const std::string description = trimmed(e.ANNOTA);
    return "GIACENZA INSUFFICIENTE PER " + (description.empty() ? std::string() : description + " ") + "(" +
           trimmed(e.PRODDO) + ") DEL REGISTRO " + trimmed(e.NUMPRO) + "/" + trimmed(e.ANNPRO) +
           ": disponibili " + formatNumber(shortage.available, 0, 0) + ", da scaricare " +
           formatNumber(shortage.quantity, 0, 0) +
           ".\nNel frattempo la materia prima è stata usata da un'altra postazione: la cotta non è stata "
           "registrata.";
}

} // namespace accise
