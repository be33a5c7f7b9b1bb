#include "core/books/packaging.h"

#include <cmath>

#include "core/books/internaloperation.h"
#include "core/books/movementcalc.h"
#include "core/books/stocklists.h"
#include "core/files/lock.h"
#include "core/files/text1252.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"
#include "core/tables/registers.h"

namespace accise {

namespace {

RegisterTypes inProcessRegisters() {
    RegisterTypes types;
    types.set(static_cast<std::size_t>(registerTypeIndex('L')));
    return types;
}

Quantities rounded(const Quantities& q) {
    return {roundTo(q.QTAKG, kQuantityDecimals), roundTo(q.ETTOGR, kQuantityDecimals),
            roundTo(q.QTALIT, kQuantityDecimals)};
}

// The fields every record of a packaging shares.
Movement packagingRecord(const Packaging& p) {
    Movement m = internalOperationRecord("VIA", p.date, p.NUMDOC, p.ANNOTA);
    m.GRAPLA = p.GRAPLA;
    return m;
}

void placeIn(Movement& m, const RegisterKey& reg, const std::string& office) {
    m.TIPREG = reg.TIPREG;
    m.ANNPRO = reg.ANNPRO;
    m.NUMPRO = reg.NUMPRO;
    m.UFFDOG = office;
}

} // namespace

std::optional<InProcessStock> inProcessStockOn(const Folders& folders, double date) {
    const StockList list = buildStockListForPackaging(folders, date);
    if (list.empty()) return std::nullopt;
    const Movement& first = list.front();
    InProcessStock stock;
    stock.reg = {trimmed(first.TIPREG), trimmed(first.ANNPRO), trimmed(first.NUMPRO)};
    stock.PRODDO = trimmed(first.PRODDO);
    stock.stock = rounded({first.QTAKG, first.ETTOGR, first.QTALIT});
    // The list entry carries no customs office; the unload needs the register's.
    stock.UFFDOG = trimmed(registerOffice(registersValidOn(folders, date, inProcessRegisters()), stock.reg));
    return stock;
}

std::string inProcessRegisterText(const InProcessStock& stock) {
    return "protocollo: " + stock.reg.NUMPRO + "/" + stock.reg.ANNPRO + " prodotto: " + stock.PRODDO;
}

std::string inProcessMaxText(const InProcessStock& stock) {
    return "max " + formatNumber(stock.stock.QTALIT, 0, -1) + " (Hlg " + formatNumber(stock.stock.ETTOGR, 0, -1) + ")";
}

PackagingFigures packagingFigures(std::int32_t packages, double litresPerPackage, double plato, double losses,
                                  std::optional<double> rate) {
    PackagingFigures f;
    f.QTALIT = roundTo(packages * litresPerPackage, kQuantityDecimals);
    f.ETTOGR = roundTo(hectoDegrees(f.QTALIT, plato), kQuantityDecimals);
    f.losses = roundTo(losses, kQuantityDecimals);
    f.lossDegrees = roundTo(hectoDegrees(f.losses, plato), kQuantityDecimals);
    if (rate) {
        f.ACCISA = exciseAmount(f.ETTOGR, *rate);
        f.lossExcise = exciseAmount(f.lossDegrees, *rate);
    }
    return f;
}

PackagingStockVerdict checkPackagingStock(const Quantities& inProcess, const PackagingFigures& f) {
    const double litres = inProcess.QTALIT + kQuantityTolerance;
    const double degrees = inProcess.ETTOGR + kQuantityTolerance;
    if (litres < f.QTALIT) return PackagingStockVerdict::QuantityOver;
    if (degrees < f.ETTOGR) return PackagingStockVerdict::DegreesOver;
    if (litres < f.losses + f.QTALIT) return PackagingStockVerdict::QuantityWithLossesOver;
    if (degrees < f.lossDegrees + f.ETTOGR) return PackagingStockVerdict::DegreesWithLossesOver;
    return PackagingStockVerdict::Enough;
}

const char* packagingStockMessage(PackagingStockVerdict verdict) {
    switch (verdict) {
    case PackagingStockVerdict::QuantityOver:
    case PackagingStockVerdict::QuantityWithLossesOver: return kInProcessQuantityOver;
    case PackagingStockVerdict::DegreesOver:
    case PackagingStockVerdict::DegreesWithLossesOver: return kInProcessDegreesOver;
    case PackagingStockVerdict::Enough: break;
    }
    return "";
}

std::vector<Movement> packagingRecords(const Packaging& p) {
    const PackagingFigures& f = p.figures;
    std::vector<Movement> records;

    Movement load = packagingRecord(p);
    placeIn(load, p.packaged.reg, p.packaged.UFFDOG);
    load.TIPMOV = "C";
    load.TIPSTO = "N";
    load.CAUMOV = "112";
    load.POSFIS = "002";
    load.PRODAZ = p.PRODAZ;
    load.PRODDO = p.PRODDO;
    load.NUMCON = p.NUMCON;
    load.VOLUNI = p.VOLUNI;
    load.QTALIT = f.QTALIT;
    load.ETTOGR = f.ETTOGR;
    load.ACCISA = f.ACCISA;
    records.push_back(load);

    if (p.directRelease) {
        Movement release = load;
        release.TIPMOV = "S";
        release.CAUMOV = "071";
        release.POSFIS = "001";
        records.push_back(release);
    }

    Movement unload = packagingRecord(p);
    placeIn(unload, p.inProcess.reg, p.inProcess.UFFDOG);
    unload.PRODDO = p.inProcess.PRODDO;
    unload.TIPMOV = "S";
    unload.TIPSTO = "S";
    unload.CAUMOV = "010";
    unload.POSFIS = "002";
    unload.QTALIT = f.QTALIT;
    unload.ETTOGR = f.ETTOGR;
    unload.ACCISA = f.ACCISA;
    records.push_back(unload);

    if (f.losses > 0) {
        Movement losses = unload;
        losses.CAUMOV = "009";
        losses.POSFIS = p.lossPosition;
        losses.QTALIT = f.losses;
        losses.ETTOGR = f.lossDegrees;
        losses.ACCISA = f.lossExcise;
        records.push_back(losses);
    }
    for (Movement& m : records) padMovement(m);
    return records;
}

PackagingSaveResult savePackaging(const Folders& folders, const Packaging& p, Prompt& prompt) {
    const fs::path file = folders.registerFile(yearOf(p.date));
    std::vector<Movement> records = packagingRecords(p);
    PackagingSaveResult result;
    FileLock lock(file, prompt);
    // Our own writers change the year's file only under this lock, so the stock seen
    // here is the one the records leave from.
    const ProductStock now = productStockAt(folders, p.inProcess.reg, p.inProcess.PRODDO, p.date);
    if (!now.found) {
        result.outcome = PackagingSaveOutcome::NoInProcessStock;
        return result;
    }
    // The in-process unload needs the register's sent initial stock stated before the
    // packaging day; a correction of that stock may have come in since the window listed it.
    if (!(now.initialStockDate < std::round(p.date))) {
        result.outcome = PackagingSaveOutcome::NoInitialStock;
        return result;
    }
    result.stock = rounded(now.quantities);
    result.verdict = checkPackagingStock(result.stock, p.figures);
    if (result.verdict != PackagingStockVerdict::Enough) {
        result.outcome = PackagingSaveOutcome::StockShort;
        return result;
    }
    result.written = appendMovementsLocked(file, std::move(records), p.alcopp);
    return result;
}

} // namespace accise
