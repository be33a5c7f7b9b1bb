#pragma once
// The structure files and code tables delivered with the program. Their readable
// sources (data/tables/*.tsv) are built into the program; a new working folder gets
// them written into its general data folder, and clerks maintain them from then on
// with the editors.
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/folders.h"
#include "core/records/tablerecord.h"

namespace accise {

struct DeliveredTable {
    std::string name;                // "TA03", "INDIRIZZI_C", ...
    TableRecord structure;           // the only record of <name>.STR
    std::vector<TableRecord> rows;   // the records of <name>.TAB, numbered, in file order
    bool hasTable = false;           // false: only the .STR is delivered
};

// A delivered source that does not follow the format; the message names the file
// and the line. The sources are built in, so this is a fault of the build.
class DeliveredTableError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Every delivered table, in name order. Throws DeliveredTableError.
std::vector<DeliveredTable> deliveredTables();

// One table from its sources: the structure text and, when delivered, the table text
// (the formats are in data/tables/README.md). Rows are put in the file order of the
// table and numbered 1, 2, ... in that order. Throws DeliveredTableError.
DeliveredTable parseDeliveredTable(const std::string& name, std::string_view structureTsv,
                                   std::optional<std::string_view> tableTsv);

// Writes every delivered <name>.STR and <name>.TAB that the general data folder
// (which must exist) does not have yet; an existing file is never touched, whatever
// its content. Returns the files written. Throws IoError.
std::vector<std::filesystem::path> installDeliveredTables(const Folders& folders);

} // namespace accise
