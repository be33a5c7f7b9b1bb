#pragma once
// What the records of an operation inside the brewery share (a brew, a packaging):
// national insertions dated the operation's day, carrying its document and note, in
// a register whose customs office comes from the register table (the stock list
// entries they start from leave it blank).
#include <string>
#include <vector>

#include "core/books/stock.h"
#include "core/records/movement.h"
#include "core/records/tablerecord.h"

namespace accise {

// A blank record of the operation: TIPDES "1", TIPREC "C", TIPOPE "I", country "IT",
// movement and document dated `date`, document `documentType` `NUMDOC`, note `ANNOTA`.
Movement internalOperationRecord(const char* documentType, double date, const std::string& NUMDOC,
                                 const std::string& ANNOTA);

// The customs office of the register `key` (type, protocol year, protocol number,
// trimmed) among `registers`; empty when none of them is that register.
std::string registerOffice(const std::vector<TableRecord>& registers, const RegisterKey& key);

} // namespace accise
