#pragma once
// What the printed register and the register totals share: the selection keys of a
// register, the register list work file REGISTRI.DAT, the initial stock a register
// starts from, and the movements of a register read year by year.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/books/stock.h"
#include "core/files/folders.h"
#include "core/records/movement.h"
#include "core/records/tablerecord.h"

namespace accise {

// The register list of the temp folder: copies of PROTOCOLLI.TAB rows.
inline constexpr std::string_view kRegisterListFile = "REGISTRI.DAT";

// The keys movements carry for a register (a PROTOCOLLI row): its type letter, the
// year of its protocol date, its protocol number.
RegisterKey registerKeyOf(const TableRecord& reg);
// "Materie prime", ... for the register's type; empty for an unknown type.
std::string registerTypeDescription(const TableRecord& reg);

// The registers of PROTOCOLLI.TAB (trimmed, file order) whose validity starts on or
// before `from` and ends on or after `to`.
std::vector<TableRecord> registersValidOver(const Folders& folders, double from, double to);

// Rewrites REGISTRI.DAT in the temp folder with these rows (padded as stored).
void writeRegisterList(const Folders& folders, const std::vector<TableRecord>& registers);

// The first active initial stock of a register in GIACENZE.DAT (trimmed, quantities
// rounded to 5 decimals), and how many active ones it has: one is the rule, more
// means the file was changed by hand or by an old program, and the reports say so.
struct InitialStockFound {
    std::optional<Movement> stock;
    int activeCount = 0;
};
InitialStockFound findActiveInitialStock(const Folders& folders, const RegisterKey& key);

// A message for a register with more than one active initial stock.
std::string multipleStocksWarning(const TableRecord& reg, const InitialStockFound& found);

// Calls visit(year, record) for every load and unload ("C", "S") of the register in the
// register files of the years `fromYear` to `toYear`, in file order; texts trimmed,
// quantities rounded to 5 decimals and the excise to 2. A missing year file has none
// (nothing is created). A quantity that is not a finite number is an IoError naming
// the record: it would make every total after it meaningless.
void forEachRegisterMovement(const Folders& folders, const RegisterKey& key, int fromYear, int toYear,
                             const std::function<void(const Movement&)>& visit);

// Active: an insertion (TIPOPE "I") not superseded (STATO not "C").
bool isActiveMovement(const Movement& m);

} // namespace accise
