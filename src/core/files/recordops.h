#pragma once
// The two generic maintenance operations on record files with a leading 32-bit
// record number: ordered insertion on a key, and record delete by number.
// Both hold the file's lock marker for the whole change.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "core/files/prompt.h"

namespace accise {

namespace fs = std::filesystem;

// The record number: the first 32-bit field of every record of these files.
std::int32_t recordNumberOf(std::string_view record);
void setRecordNumber(std::string& record, std::int32_t number);

// Compares the key of two encoded records byte by byte (their padded texts):
// negative, zero or positive.
using KeyCompare = std::function<int(std::string_view a, std::string_view b)>;

// A comparison of one text field at `offset`, `width` characters wide.
KeyCompare textKeyAt(std::size_t offset, std::size_t width);

// Adds `record` (already encoded, so padded) to the file kept in ascending key order:
// a record number of 0 becomes the highest present + 1; the record goes before the
// first record whose key is strictly greater, so equal keys keep their arrival order.
// Returns the record number it was written with.
std::int32_t orderedInsert(const fs::path& file, std::size_t recordSize, std::string record,
                           const KeyCompare& compare, Prompt& prompt);

// The record delete of `oldNumber` followed by the ordered insertion of `record`, done
// as one change under one lock: a crash between the two steps can lose nothing.
// Returns the number the record was written with.
std::int32_t orderedReplace(const fs::path& file, std::size_t recordSize, std::int32_t oldNumber,
                            std::string record, const KeyCompare& compare, Prompt& prompt);

// Removes the first record whose number equals `number`, closing the gap.
// Returns false (and leaves the file untouched) when there is none.
bool recordDelete(const fs::path& file, std::size_t recordSize, std::int32_t number, Prompt& prompt);

} // namespace accise
