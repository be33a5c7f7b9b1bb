#pragma once
// The writers of movement record files (register files, initial stocks, duty
// records): the record append with numbering and register order, the record
// delete, the insertion at a position and the correction of a sent record.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <string>
#include <vector>

#include "core/files/prompt.h"
#include "core/records/movement.h"

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

// What the record append learns from one pass over a file's records, for a caller
// that reads the file once for several purposes under its lock: how many whole
// records there are, the highest record and operation numbers, and whether one of
// the new records belongs between them (then the append reads the file whole).
class AppendScan {
public:
    // The fields the placing rules look at, of a record as it will be stored.
    struct Placing {
        double date;
        char tiprec, tipmov;
        std::int32_t numcpr;
        std::string codpae; // padded bytes
    };
    AppendScan(const std::vector<Movement>& records, bool alcopp);
    void add(std::string_view record); // the next whole record of the file, in order
    void setTailBytes(std::uint64_t bytes) { tail_ = bytes; }

    std::size_t count() const { return count_; }
    std::uint64_t tailBytes() const { return tail_; }
    std::int32_t maxNUMREC() const { return maxRec_; }
    std::int32_t maxNUMOPE() const { return maxOpe_; }
    bool between() const { return between_; }
    // The records place by the same fields as those the pass was made for (the
    // country only counts for duty records).
    bool placesAlike(const std::vector<Movement>& records) const;

private:
    std::vector<Placing> news_;
    bool alcopp_;
    std::size_t count_ = 0;
    std::uint64_t tail_ = 0;
    std::int32_t maxRec_ = 0, maxOpe_ = 0;
    bool between_ = false;
};

// The record append for a caller that holds the file's lock and made `scan` over the
// whole file under it: the file is not read again unless a record goes between.
std::vector<AppendResult> appendScanned(const fs::path& file, std::vector<Movement> records, bool alcopp,
                                        const AppendScan& scan);

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

// The stored record is still the one a window or list loaded: a record number given
// again after a delete, or a change made by another workstation meanwhile, shows as a
// difference in some field.
bool storedAsLoaded(std::string_view stored, const Movement& loaded);

// Removes the first record whose NUMREC equals `numrec`, under the file's lock,
// unless it was sent or belongs to a correction (the file is then left as it was).
// With `loaded`, a record under that number that differs from it counts as gone.
DeleteOutcome deleteMovement(const fs::path& file, std::int32_t numrec, Prompt& prompt,
                             const std::optional<Movement>& loaded = std::nullopt);
// The same for a caller that holds the file's lock.
DeleteOutcome deleteMovementLocked(const fs::path& file, std::int32_t numrec, const std::optional<Movement>& loaded);

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
// With `loaded`, a record under that number that differs from it counts as gone.
CorrectionResult correctMovement(const fs::path& file, std::int32_t numrec, const std::string& note,
                                 const std::optional<Movement>& replacement, Prompt& prompt,
                                 ReplacementNUMOPE numope = ReplacementNUMOPE::AsGiven,
                                 const std::optional<Movement>& loaded = std::nullopt);
// The same for a caller that holds the file's lock, because it checks something
// against the files under that lock before it writes (the register's stock).
CorrectionResult correctMovementLocked(const fs::path& file, std::int32_t numrec, const std::string& note,
                                       const std::optional<Movement>& replacement, ReplacementNUMOPE numope,
                                       const std::optional<Movement>& loaded);

} // namespace accise
