#pragma once
// Initial stocks (GIACENZE.DAT): the stock a register starts from, one active record
// per register, stated at the end of a day. Added once while unsent; once sent it is
// changed only by a correction (cancellation, or cancellation and replacement).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/books/movementfile.h"
#include "core/files/folders.h"
#include "core/files/prompt.h"
#include "core/records/movement.h"
#include "core/records/tablerecord.h"

namespace accise {

inline constexpr const char* kInitialStockAlreadyRegistered = "GIACENZA INIZIALE GIA' REGISTRATA";

// How a register's products are measured: the unit index of the TA20 rows of its
// product list (the last product decides); None when the list is missing or empty.
enum class StockUnit { None = -1, Kilograms = 0, LitresWithPlato = 1, Litres = 2 };
StockUnit stockUnitOf(const std::vector<TableRecord>& productList);

// The register fields of an initial stock of `reg` (a PROTOCOLLI row): TIPREG, ANNPRO,
// NUMPRO, UFFDOG, in a blank record dated the register's first day of validity.
Movement initialStockBufferFor(const TableRecord& reg);

// True when `stock` belongs to the register `reg` (type, protocol year and number, office).
bool isStockOfRegister(const Movement& stock, const TableRecord& reg);
// An active initial stock: not superseded, an insertion.
bool isActiveInitialStock(const Movement& stock);

// The register's active initial stock in GIACENZE.DAT, if any (trimmed).
std::optional<Movement> activeInitialStockOf(const Folders& folders, const TableRecord& reg);

// The quantities of a stock by unit: kilograms in QTAKG, litres in QTALIT and, for
// litres with Plato degree, hectolitre-degrees in ETTOGR. Each rounded to 5 decimals.
void setStockQuantities(Movement& stock, StockUnit unit, double quantity, double hectolitreDegrees);

// Adds an initial stock (TIPREC "C", TIPOPE "I", TIPMOV "G") for the register of its
// fields, numbered and placed by date, under the lock of GIACENZE.DAT. Refused
// (nothing written) when the register already has an active initial stock, which
// another workstation may have added since the window opened.
enum class StockAddOutcome { Added, AlreadyRegistered };
struct StockAddResult {
    StockAddOutcome outcome = StockAddOutcome::Added;
    std::int32_t NUMREC = 0;
};
StockAddResult addInitialStock(const Folders& folders, Movement stock, Prompt& prompt);

// Corrects the sent initial stock `numrec` under one lock: superseded, followed by its
// cancellation record carrying `note` and, for a modifying correction, by
// `replacement` (its register fields and quantities; NUMOPE 0). With `loaded`, the
// record chosen as the list read it: one that differs is not corrected (NotFound).
CorrectionResult correctInitialStock(const Folders& folders, std::int32_t numrec, const std::string& note,
                                     const std::optional<Movement>& replacement, Prompt& prompt,
                                     const std::optional<Movement>& loaded = std::nullopt);

// What a correction that did not happen tells the clerk.
std::string correctionRefusal(CorrectionOutcome outcome);

// The register of an initial stock: the PROTOCOLLI row whose protocol number is the
// stock's NUMPRO and whose protocol date falls in the year ANNPRO (trimmed).
std::optional<TableRecord> registerOfStock(const Folders& folders, const Movement& stock);

// The first record of `file` whose NUMREC is `numrec`, as stored; nullopt when none
// (a missing file holds none).
std::optional<Movement> findMovement(const fs::path& file, std::int32_t numrec);

} // namespace accise
