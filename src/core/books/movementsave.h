#pragma once
// Saving a movement of the movement window in its four modes: a new movement, the
// change of an unsent one, and the two corrections of a sent one.
#include <cstdint>
#include <filesystem>

#include <memory>
#include <optional>
#include <string>

#include "core/books/movementfile.h"
#include "core/books/stock.h"
#include "core/files/folders.h"
#include "core/files/lock.h"
#include "core/files/prompt.h"
#include "core/records/movement.h"

namespace accise {

enum class EntryMode {
    Insert,           // a new movement
    Modify,           // "M": replaces an unsent movement
    CorrectionCancel, // "E": cancels a sent movement
    CorrectionModify, // "e": replaces a sent movement
};

enum class SaveOutcome {
    Saved,
    NoInitialStock, // the register has no active initial stock: nothing written
    RecordGone,     // the record being changed is no longer in its file (removed meanwhile)
    RecordSent,     // "M": the record went out in a flow meanwhile; it is corrected, not changed
    NotCorrectable, // "E"/"e": the record is not (or no longer) an active, sent movement
    // Read again under the lock, what the checks read has changed meanwhile:
    StockShort,          // the register's stock would go negative (`shortfall` says when)
    InitialStockNotSent, // the sent initial stock the movement needs is no longer there
    DuplicateAppeared,   // an identical document arrived that the checks did not warn of
};

struct SaveResult {
    SaveOutcome outcome = SaveOutcome::Saved;
    std::int32_t NUMREC = 0; // the saved movement (the cancellation record in mode "E")
    std::int32_t NUMOPE = 0;
    std::filesystem::path file; // where it was written
    std::optional<StockShortfall> shortfall; // with StockShort
};

// What the window's checks saw, for the save to read again under the lock.
struct SaveBasis {
    bool duplicateWarned = false; // the clerk was told of an identical document
    // The file the selected record was read from; empty: its year's register file.
    std::filesystem::path selectedFile;
};

// The message of a refusal of the save, as the check that reads the same thing says
// it ("" for the outcomes that have none: Saved, NoInitialStock).
std::string saveRefusalMessage(const SaveResult& result, const Movement& movement);

// Shown when the record being changed has been removed or sent meanwhile.
inline constexpr const char* kRecordGone = "IL MOVIMENTO NON E' PIU' PRESENTE NEL REGISTRO: NON E' STATO SALVATO NULLA";
inline constexpr const char* kRecordSentMeanwhile =
    "IL MOVIMENTO E' STATO INVIATO NEL FRATTEMPO: VA RETTIFICATO. NON E' STATO SALVATO NULLA";
inline constexpr const char* kRecordNotCorrectable =
    "IL MOVIMENTO NON E' RETTIFICABILE (NON INVIATO O GIA' RETTIFICATO): NON E' STATO SALVATO NULLA";

// Saves `movement` (its fields as confirmed; NUMREC and NUMOPE 0). `selected` is the
// record being changed or corrected, as read from its register file (ignored when
// inserting); it is found by its number and its stored bytes, so a record changed or
// removed meanwhile (and a number given again to another record) is never touched.
// Every mode reads again, under the lock of the file it writes, what the checks read
// without it: the sent initial stock, the duplicate document (unless the clerk was
// warned), the record being replaced and the register's stock on every day from the
// change on (firstShortDay); a change refuses the save and nothing is written.
//  - Insert: the record append into the register file of the movement's year, when
//    the register has an active initial stock.
//  - Modify: the same check first; then, under the lock markers of the old and the
//    new year's file (taken in year order), the old record leaves its file and the
//    movement is appended, as one change when both are the same file. The old record
//    must still be there and unsent; otherwise nothing is written. A record of a
//    correction group stays one, in its place: a cancellation takes only the new note,
//    a replacement keeps its state, NUMRIF, NUMREC and NUMOPE.
//  - Corrections: the correction pattern in the corrected record's file, under its
//    lock; the replacement ("e") keeps the corrected record's operation number and
//    stays right after it whatever its date.
SaveResult saveMovement(const Folders& folders, EntryMode mode, Movement movement, const Movement& selected,
                        bool alcopp, Prompt& prompt, const SaveBasis& basis = {});

// The removal and the correction of a register file's record outside the movement
// window (accise-cli delete / correct on a <yyyy>.RGM): under the file's lock, what
// deleteMovement and correctMovement do, unless the register's stock would go
// negative on some day without the record (or with its replacement): then nothing is
// written and `shortfall` says when.
struct RegisterDelete {
    DeleteOutcome outcome = DeleteOutcome::NotFound;
    std::optional<StockShortfall> shortfall; // set: refused for the stock, nothing written
};
RegisterDelete deleteRegisterMovement(const Folders& folders, const fs::path& file, std::int32_t numrec,
                                      Prompt& prompt, const std::optional<Movement>& loaded = std::nullopt);
struct RegisterCorrection {
    CorrectionResult result;
    std::optional<StockShortfall> shortfall; // set: refused for the stock, nothing written
};
RegisterCorrection correctRegisterMovement(const Folders& folders, const fs::path& file, std::int32_t numrec,
                                           const std::string& note, const std::optional<Movement>& replacement,
                                           Prompt& prompt, ReplacementNUMOPE numope,
                                           const std::optional<Movement>& loaded = std::nullopt);

// The confirmation of a new movement with one pass over the file of its year: the
// register's stock for an unload, the duplicate warning and what the record append
// needs all come from the same reading. Made holding the file's lock, the pass lets
// the save append without reading the file again, as long as the lock is held (it
// is released by releaseLock(), by the save and by the destructor). Without the lock
// the pass serves the checks only, and the save takes the lock and reads the file.
class NewMovementPass {
public:
    enum class Lock { Hold, None };
    // `movement`: its register, date and placing fields as they will be saved.
    NewMovementPass(const Folders& folders, const Movement& movement, bool alcopp, Prompt& prompt, Lock lock);
    ~NewMovementPass();
    NewMovementPass(const NewMovementPass&) = delete;
    NewMovementPass& operator=(const NewMovementPass&) = delete;

    // What stockForUnload gives for the movement as a new one (an unload; zero for a load).
    Quantities stockForUnload() const { return stock_; }
    // What duplicateInRegister gives for `confirmed`.
    bool duplicate(const Movement& confirmed) const;
    bool holdsLock() const { return lock_ != nullptr; }
    void releaseLock();
    // What saveMovement gives for `confirmed` as a new movement (EntryMode::Insert).
    SaveResult save(const Movement& confirmed, const SaveBasis& basis = {});

private:
    Folders folders_;
    bool alcopp_;
    Prompt& prompt_;
    int year_;
    std::unique_ptr<FileLock> lock_;
    Quantities stock_;
    double day_;
    std::string sameDay_; // the records a duplicate can be (not superseded, the movement's day)
    std::unique_ptr<AppendScan> scan_;
};

} // namespace accise
