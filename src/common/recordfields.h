#pragma once
// The field tables of the record layouts, for code that walks every field
// (encoding, the JSON dump and load of the command-line tool, the integrity check).
#include "common/address.h"
#include "common/fieldtable.h"
#include "common/movement.h"

namespace accise {

const FieldList<Movement>& movementFields();
const FieldList<AddressRecord>& addressFields();

} // namespace accise
