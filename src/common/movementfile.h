#pragma once
// The writers of movement record files (register files, initial stocks, duty
// records): the record append with numbering and register order, the record
// delete, the insertion at a position and the correction of a sent record.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/movement.h"
#include "common/prompt.h"

namespace accise {

namespace fs = std::filesystem;

struct AppendResult {
    std::int32_t NUMREC = 0;
    std::int32_t NUMOPE = 0;
    std::size_t position = 0; // index the record was written at
    bool replaced = false;    // it took the place of an unsent record of the same period
};

// Adds a record under the file's lock: numbers it when its NUMREC is 0, then writes
// it in register order or over the unsent record it replaces. `alcopp` selects the
// placing rules of duty records kept by day (registered consignee). A record never
// lands inside a corrected record's group (the superseded record, its cancellation
// and its replacement stay together). Non-finite numbers and an exhausted NUMREC
// are refused (IoError) before anything is written.
AppendResult appendMovement(const fs::path& file, Movement record, bool alcopp, Prompt& prompt);

// The same for several records, one after the other, under one lock and written in
// one step: either every record of the batch is in the file or none is.
std::vector<AppendResult> appendMovements(const fs::path& file, std::vector<Movement> records, bool alcopp,
                                          Prompt& prompt);

// appendMovements for a writer that already holds the file's lock, because it checks
// something against the file under that lock before it writes (the stock a packaging
// unloads from).
std::vector<AppendResult> appendMovementsLocked(const fs::path& file, std::vector<Movement> records, bool alcopp);

// The record append on a file's content held in memory, for a writer that changes the
// file in more than one way under one lock: pads, numbers and places the record in
// `content` exactly as appendMovement does in the file (`file` names it in errors).
AppendResult appendToContent(const fs::path& file, std::string& content, Movement record, bool alcopp);

enum class DeleteOutcome {
    Deleted,
    NotFound,
    Sent,            // the record went out in a flow: it is corrected, never deleted
    PartOfCorrection // a superseded record or a cancellation: the correction stays whole
};

// Removes the first record whose NUMREC equals `numrec`, under the file's lock,
// unless it was sent or belongs to a correction (the file is then left as it was).
DeleteOutcome deleteMovement(const fs::path& file, std::int32_t numrec, Prompt& prompt);

// Writes the record at `position` and moves the following records one place down.
// The caller already holds the file's lock.
void insertMovementAt(const fs::path& file, std::size_t position, const Movement& record);

// All records of a file, as stored (texts padded). A missing file reads as empty.
std::vector<Movement> readMovements(const fs::path& file);

enum class CorrectionOutcome { Done, NotFound, NotSent, NotCorrectable };

struct CorrectionResult {
    CorrectionOutcome outcome = CorrectionOutcome::NotFound;
    std::int32_t cancellationNUMREC = 0;
    std::int32_t replacementNUMREC = 0; // 0 when the correction only cancels
};

enum class ReplacementNUMOPE {
    AsGiven,       // the replacement keeps the NUMOPE the caller gave it
    FromCorrected  // a replacement without NUMOPE (0) takes the corrected record's
};

// Corrects the sent record `numrec` under one lock: the record becomes superseded
// ("C"), a cancellation record carrying `note` follows it and, when `replacement`
// is given, the replacement record ("R") follows that. Only an active, sent
// insertion can be corrected.
CorrectionResult correctMovement(const fs::path& file, std::int32_t numrec, const std::string& note,
                                 const std::optional<Movement>& replacement, Prompt& prompt,
                                 ReplacementNUMOPE numope = ReplacementNUMOPE::AsGiven);

} // namespace accise
