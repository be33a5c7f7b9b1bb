#pragma once
// Removing records that have not been sent yet: movements, initial stocks, duty
// records, and the cancellation records of unsent corrections, whose removal also
// undoes the rest of the correction (the corrected record active again, the
// replacement removed). Modes:
//   C / c  insertions / cancellation records of the year's register file
//   I / i  the same in GIACENZE.DAT
//   T / t  the same in the year's duty file
//   F / f  the same in the year's guarantee file
// The list is also written to CANCELLA.MOV in the temp folder: record k is a copy of
// the record of line k, and the removal works from those copies.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/books/recordselection.h"
#include "core/files/folders.h"
#include "core/files/prompt.h"
#include "core/records/movement.h"

namespace accise {

inline constexpr std::string_view kCancellationListFile = "CANCELLA.MOV";

struct CancellationMode {
    char mode;
    const char* caption;
    SelectionSource source;
    char operation; // the TIPOPE listed: "I" records, or "C" cancellation records
};
// nullptr for a letter that is not a cancellation mode.
const CancellationMode* cancellationMode(char mode);

// Listed when unsent (flow date 0), not superseded, of the mode's operation.
bool cancellable(const CancellationMode& mode, const Movement& record);

// Builds the lines of a list in file order. The register part of a record of an
// unknown register type repeats the one of the record before it, hence the state.
class CancellationLines {
public:
    CancellationLines(char mode, bool alcopp) : mode_(mode), alcopp_(alcopp) {}
    std::string lineOf(const Movement& record); // record trimmed
private:
    char mode_;
    bool alcopp_;
    std::string registerPart_;
};

struct CancellationList {
    std::vector<Movement> records; // as stored
    std::vector<std::string> lines;
    std::size_t widest = 0; // characters of the longest line
};

// Lists the records of `mode` for `year` (the file is created empty when missing)
// and rewrites CANCELLA.MOV with their copies.
CancellationList buildCancellationList(const Folders& folders, char mode, int year, bool alcopp);

struct RemovalResult {
    std::vector<Movement> removed;
    // Records left because another workstation sent or changed them after the list
    // was built (or sent the replacement of the correction they belong to).
    std::vector<Movement> left;
    // Records left because the register's stock would go negative without them
    // (a load the later unloads used), with the first day that would be short.
    struct Short {
        Movement record;
        double day;
    };
    std::vector<Short> shortStock;
};

// Removes the records of the ticked lines (positions in CANCELLA.MOV), in list
// order, under one lock of the file for the whole removal: each must still be in
// the file exactly as listed and unsent. In the modes of cancellation records the
// correction is undone too. Records no longer in the file are skipped. In a register
// file, a removal that would leave the register's stock negative on some day stays.
RemovalResult removeUnsentRecords(const Folders& folders, char mode, int year,
                                  const std::vector<std::size_t>& tickedLines, Prompt& prompt);

// What the clerk is told about records left by removeUnsentRecords ("" when none).
std::string leftRecordsMessage(char mode, bool alcopp, const std::vector<Movement>& left);
// The same for the records left for the stock ("" when none).
std::string shortStockMessage(char mode, bool alcopp, const std::vector<RemovalResult::Short>& shortStock);

} // namespace accise
