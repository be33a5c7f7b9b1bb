#pragma once
// A brew in one confirmation: the raw materials it used are unloaded from their
// registers, the beer brewed is loaded into the in-process register and, for the
// operators whose brews are split at once, unloaded again as litres sent to packaging
// and process losses. What the brew window computes and writes, as plain functions.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/books/movementfile.h"
#include "core/books/stocklists.h"
#include "core/files/folders.h"
#include "core/files/prompt.h"
#include "core/records/movement.h"

namespace accise {

// The stock lists of a brew on `date` (M.DAT and L.DAT rebuilt), each entry with the
// customs office of its register, which the records need and the list files leave
// blank. The initial stock of a register is stated for the register as a whole and
// every product's entry starts from it: an entry's stock is cut to its register's
// stock, which `registerStock` holds for each raw-material entry.
struct BrewLists {
    BrewStockLists lists;
    std::vector<double> registerStock; // one per lists.rawMaterials entry: kilograms + litres
};
BrewLists brewStockLists(const Folders& folders, double date);

// Fixed values of the brew's records.
inline constexpr const char* kBrewDocument = "VIA";
inline constexpr const char* kRawMaterialUnloadReason = "030";
inline constexpr const char* kRawMaterialUnloadPosition = "004";
inline constexpr const char* kBrewLoadReason = "109";
inline constexpr const char* kBrewLoadPosition = "002";
inline constexpr const char* kPackagingUnloadReason = "010";
inline constexpr const char* kLossUnloadReason = "009";

// Hectolitre-degrees (to 5 decimals) and excise (to 2 decimals; 0 without a rate) of
// `litres` at `plato`.
struct BrewFigures {
    double ETTOGR = 0;
    double ACCISA = 0;
};
BrewFigures brewFigures(double litres, double plato, std::optional<double> rate);

// The litres brewed split into litres sent to packaging and process losses.
struct BrewSplit {
    double toPackage = 0; // L10
    double losses = 0;    // L09
};
// `toPackage` is what was typed, `losses` what the window showed: the losses are what
// the packaging leaves of the litres brewed, and the packaging never takes more than
// the litres brewed, so the two always add up to them. Both empty: every litre
// brewed goes to packaging.
BrewSplit splitBrew(double litres, double toPackage, double losses);

// A quantity of a raw material larger than its stock (both to 5 decimals).
bool exceedsStock(double quantity, double stock);

struct RawMaterialUse {
    Movement entry;        // the stock-list entry (M.DAT) of its register and product
    double quantity = 0;   // kilograms or litres, as the entry's stock is counted
    bool kilograms = true; // the unit of the entry when the list was built
};

struct BrewSplitPart {
    double litres = 0;
    BrewFigures figures;
    std::string position; // TA22 code
};

// Everything a confirmed brew writes.
struct Brew {
    double date = 0;
    std::string NUMDOC, ANNOTA;
    std::vector<RawMaterialUse> rawMaterials; // the used ones (quantity above 0)
    Movement inProcess;                       // the first L.DAT entry
    double litres = 0, plato = 0;
    BrewFigures figures;
    std::int32_t CONTIN = 0, CONTFI = 0;
    std::optional<BrewSplitPart> toPackage; // written when above 0
    std::optional<BrewSplitPart> losses;    // written when above 0,000009
};

// The records in the order they are added: raw-material unloads, the load of the beer
// brewed, the unload to packaging, the unload of process losses. NUMREC and NUMOPE 0.
std::vector<Movement> brewRecords(const Brew& brew);

// A raw material whose stock does not cover its unload at confirmation time: the
// product's own stock, or the stock of its whole register, which the unloads of
// every product of that register in the brew share.
struct StockShortage {
    Movement entry;
    double quantity = 0;
    double available = 0;
    bool wholeRegister = false;
};

struct BrewSaveResult {
    std::optional<StockShortage> shortage; // set: nothing was written
    // Set: a register of the brew has no sent initial stock stated before the brew date
    // (it was corrected meanwhile); nothing was written.
    std::optional<Movement> noInitialStock;
    std::vector<AppendResult> appended; // one per record of brewRecords()
};

// Adds the brew's records to the register file of its year, all or none: under the
// file's lock what the window checked is read again (another workstation may have
// changed it since the window showed it): every register of the brew still has its
// sent initial stock stated before the brew date, every raw material's stock at the
// brew date covers its unload and every raw-material register's stock covers the
// unloads of all its products together. The first that fails refuses the whole
// brew; otherwise the records are added as one batch.
BrewSaveResult saveBrew(const Folders& folders, const Brew& brew, bool alcopp, Prompt& prompt);

// "GIACENZA INSUFFICIENTE ..." naming the material (or the register), its register and
// both quantities.
std::string stockShortageMessage(const StockShortage& shortage);

} // namespace accise
