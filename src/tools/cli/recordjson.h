#pragma once
// Records as JSON lines: movement records keyed by their field names, address and
// table records by the names of the dump format. Texts are trimmed UTF-8, dates
// day numbers; empty texts and zero numbers are left out of a dump.
#include <string>

#include "cli/json.h"
#include "core/records/address.h"
#include "core/records/movement.h"
#include "core/records/tablerecord.h"

namespace accise::cli {

std::string movementToJson(const Movement& m);
std::string addressToJson(const AddressRecord& a);
std::string tableToJson(const TableRecord& t);

// Starts from the blank record; unknown keys and values of the wrong type throw JsonError.
Movement movementFromJson(const JsonObject& object);

} // namespace accise::cli
