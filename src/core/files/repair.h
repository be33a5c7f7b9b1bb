#pragma once
// Repair of a record file left with a partial record at its end (an append cut
// short by a crash): the partial bytes are kept in a side file beside it and the
// file is cut back to its whole records, which are never touched.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "core/files/prompt.h"

namespace accise {

namespace fs = std::filesystem;

struct TailRepair {
    std::uint64_t wholeBytes = 0; // what the file keeps
    std::uint64_t tailBytes = 0;  // what moved to the side file
    fs::path sideFile;
};

// Under the file's lock. `stamp` (a date and time) names the side file
// "<file>.coda-<stamp>"; nothing is done, and nullopt returned, when the file is
// missing or holds whole records only.
std::optional<TailRepair> repairTail(const fs::path& file, std::size_t recordSize, const std::string& stamp,
                                     Prompt& prompt);

} // namespace accise
