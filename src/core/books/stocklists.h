#pragma once
// The stock lists that the brew and packaging windows work from (M.DAT and L.DAT in
// the temp folder: one movement record per register and product, with the product's
// stock at the window's date) and the brew settings record (COSTANTI.DAT).
#include <string>
#include <vector>

#include "core/files/folders.h"
#include "core/records/movement.h"

namespace accise {

// Entries as written to the list files (texts padded), in file order.
using StockList = std::vector<Movement>;

struct BrewStockLists {
    StockList rawMaterials; // M.DAT
    StockList inProcess;    // L.DAT
};

// Rebuilds M.DAT and L.DAT for a brew on `date`: the raw-material and in-process
// registers valid on the date whose initial stock was sent and is stated for an
// earlier day, one entry per product of
// the register's list found in TA20. Only kilograms and litres are summed and ETTOGR
// carries their total; raw materials are listed only with a total above 0.
BrewStockLists buildStockListForBrew(const Folders& folders, double date);

// Rebuilds L.DAT for a packaging on `date`: the in-process registers as above, every
// product listed, ETTOGR holding the stock in hectolitre-degrees.
StockList buildStockListForPackaging(const Folders& folders, double date);

// The default tax positions of the brew.
struct BrewSettings {
    std::string packagingPosition = "001"; // litres sent to packaging (POSFIS)
    std::string lossPosition = "003";      // process losses (CAUMOV)
};

// Reads COSTANTI.DAT (trimmed). A missing file, or one without a whole record, is
// written with the defaults and the defaults are returned.
BrewSettings readBrewSettings(const Folders& folders);

// Rewrites COSTANTI.DAT as one blank record carrying the two positions.
void writeBrewSettings(const Folders& folders, const BrewSettings& settings);

} // namespace accise
