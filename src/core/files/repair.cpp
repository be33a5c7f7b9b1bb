#include "core/files/repair.h"

#include "core/files/lock.h"
#include "core/files/platform.h"
#include "core/files/recordfile.h"

namespace accise {

std::optional<TailRepair> repairTail(const fs::path& file, std::size_t recordSize, const std::string& stamp,
                                     Prompt& prompt) {
    if (!fileExists(file)) return std::nullopt;
    FileLock lock(file, prompt);
    const RecordBlock block = readRecords(file, recordSize, IfMissing::Empty);
    if (block.tailBytes() == 0) return std::nullopt;
    requireChangeable(file);

    TailRepair repair;
    repair.tailBytes = block.tailBytes();
    repair.wholeBytes = block.bytes().size() - repair.tailBytes;
    const std::string_view tail = std::string_view(block.bytes()).substr(repair.wholeBytes);
    // The side file first, flushed: a crash before the cut leaves the file as it was.
    for (int n = 1;; ++n) {
        fs::path side = file;
        side += ".coda-" + stamp + (n > 1 ? "-" + std::to_string(n) : "");
        if (platform::pathExists(side)) continue;
        writeNewFile(side, tail);
        repair.sideFile = side;
        break;
    }
    truncateFile(file, repair.wholeBytes);
    return repair;
}

} // namespace accise
