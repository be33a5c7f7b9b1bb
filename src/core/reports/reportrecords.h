#pragma once
// How the reports and searches read a record file. A report that left out a partial
// record at a file's end, or printed "INF" for a figure, would show books that are not
// the books: the writers refuse such a file and name the repair, and so do the readers.
#include <filesystem>
#include <string_view>

#include "core/files/recordfile.h"

namespace accise {

// IoError naming `accise-cli repair` when `tailBytes` is not 0.
void refusePartialTail(const std::filesystem::path& file, std::size_t tailBytes, std::size_t recordSize);

// IoError naming the record and its fields when a number field of a movement record is
// NaN or an infinity.
void requireFiniteFigures(const std::filesystem::path& file, std::string_view record);

// Calls visit(record) for every record of the file, in order; a partial record at the
// end refuses the whole reading (after the whole records were visited, so a caller
// builds nothing it shows before the end).
template <class Visit>
void forEachReportRecord(const std::filesystem::path& file, std::size_t recordSize, Visit&& visit) {
    RecordScanner scanner(file, recordSize);
    for (std::string_view block = scanner.nextBlock(); !block.empty(); block = scanner.nextBlock())
        for (std::size_t at = 0; at < block.size(); at += recordSize) visit(block.substr(at, recordSize));
    refusePartialTail(file, scanner.tailBytes(), recordSize);
}

} // namespace accise
