#pragma once
// What the packaging window computes and writes: packages of a finished, packaged
// product are loaded into their register and the same litres and hectolitre-degrees
// leave the in-process register, with the process losses when there are any.
//
// The records of one packaging are written together under the register file's lock,
// after the in-process stock has been checked again under that lock: another
// workstation may have used that stock since the window showed it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/books/movementfile.h"
#include "core/books/stock.h"
#include "core/files/folders.h"
#include "core/files/prompt.h"
#include "core/records/movement.h"

namespace accise {

inline constexpr const char* kNoInProcessRegister = "NON CI SONO REGISTRI DELLE LAVORAZIONI VALIDI PER QUESTA DATA";
inline constexpr const char* kNotPackagedRegister =
    "IL CODICE PRODOTTO DEVE ESSERE INSERITO NEL REGISTRO DEI PRODOTTI FINITI CONDIZIONATI";
inline constexpr const char* kInProcessQuantityOver = "Quantità superiore alla giacenza in lavorazione";
inline constexpr const char* kInProcessDegreesOver = "Ettogradi superiori alla giacenza in lavorazione";

// The in-process stock a packaging unloads from: the first entry of the stock list
// L.DAT, with its register's customs office (the list entry itself leaves it blank).
struct InProcessStock {
    RegisterKey reg;    // TIPREG "L", ANNPRO, NUMPRO (trimmed)
    std::string UFFDOG; // of the register row
    std::string PRODDO; // the product of the entry
    Quantities stock;   // QTALIT and ETTOGR at the end of the day
};

// Rebuilds L.DAT for `date` and returns its first entry; nothing when the list is
// empty (no in-process register valid on the date with a sent initial stock).
std::optional<InProcessStock> inProcessStockOn(const Folders& folders, double date);

// "protocollo: <NUMPRO>/<ANNPRO> prodotto: <PRODDO>" and
// "max <litres> (Hlg <hectolitre-degrees>)", both without decimals.
std::string inProcessRegisterText(const InProcessStock& stock);
std::string inProcessMaxText(const InProcessStock& stock);

struct PackagingFigures {
    double QTALIT = 0; // packages × litres per package, to 5 decimals
    double ETTOGR = 0; // hectolitre-degrees of the packaged beer, to 5 decimals
    double ACCISA = 0; // its excise at the rate, to 2 decimals; 0 without a rate
    double losses = 0; // process losses in litres, to 5 decimals
    double lossDegrees = 0;
    double lossExcise = 0;
};

PackagingFigures packagingFigures(std::int32_t packages, double litresPerPackage, double plato, double losses,
                                  std::optional<double> rate);

// The stock checks in their order, the first failure winning: the packaged litres,
// their hectolitre-degrees, then each again with the losses added.
enum class PackagingStockVerdict { Enough, QuantityOver, DegreesOver, QuantityWithLossesOver, DegreesWithLossesOver };
PackagingStockVerdict checkPackagingStock(const Quantities& inProcess, const PackagingFigures& figures);
// The message of a verdict other than Enough.
const char* packagingStockMessage(PackagingStockVerdict verdict);

// Where the packaged product is registered.
struct PackagedRegister {
    RegisterKey reg; // TIPREG "N"
    std::string UFFDOG;
};

// Everything a confirmed packaging writes.
struct Packaging {
    double date = 0;
    std::string NUMDOC, ANNOTA, PRODAZ, PRODDO;
    double GRAPLA = 0;
    std::int32_t NUMCON = 0;
    double VOLUNI = 0;
    PackagedRegister packaged;
    InProcessStock inProcess;
    std::string lossPosition; // POSFIS of the losses' unload
    bool directRelease = false; // the company releases its packaging at once
    bool alcopp = false;        // placing rules of the record append
    PackagingFigures figures;
};

// The records in their order: (1) the load of the packaged product, (2) its unload
// when released directly, (3) the unload from the in-process register, (4) the unload
// of the losses when there are any. NUMREC and NUMOPE 0, for the record append.
std::vector<Movement> packagingRecords(const Packaging& packaging);

enum class PackagingSaveOutcome {
    Saved,
    NoInProcessStock, // the in-process register has no sent initial stock any more
    NoInitialStock,   // its initial stock is now stated for the packaging day or later
    StockShort,       // the in-process stock no longer covers the packaging
};

struct PackagingSaveResult {
    PackagingSaveOutcome outcome = PackagingSaveOutcome::Saved;
    PackagingStockVerdict verdict = PackagingStockVerdict::Enough;
    Quantities stock;                  // the in-process stock found under the lock
    std::vector<AppendResult> written; // one per record, in the order of packagingRecords
};

// Under the lock of the register file of the packaging's year: the in-process stock
// is computed again and checked, then every record is appended in one write, all or
// nothing. A refusal writes nothing.
PackagingSaveResult savePackaging(const Folders& folders, const Packaging& packaging, Prompt& prompt);

} // namespace accise
