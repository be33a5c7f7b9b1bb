#pragma once
// The field tables of the record layouts, for code that walks every field
// (encoding, the JSON dump and load of the command-line tool, the integrity check).
#include "core/records/address.h"
#include "core/records/fieldtable.h"
#include "core/records/movement.h"

namespace accise {

const FieldList<Movement>& movementFields();
const FieldList<AddressRecord>& addressFields();

} // namespace accise
