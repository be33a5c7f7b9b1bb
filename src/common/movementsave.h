#pragma once
// Saving a movement of the movement window in its four modes: a new movement, the
// change of an unsent one, and the two corrections of a sent one.
#include <cstdint>
#include <filesystem>

#include "common/folders.h"
#include "common/movement.h"
#include "common/prompt.h"

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
};

struct SaveResult {
    SaveOutcome outcome = SaveOutcome::Saved;
    std::int32_t NUMREC = 0; // the saved movement (the cancellation record in mode "E")
    std::int32_t NUMOPE = 0;
    std::filesystem::path file; // where it was written
};

// Shown when the record being changed has been removed or sent meanwhile.
inline constexpr const char* kRecordGone = "IL MOVIMENTO NON E' PIU' PRESENTE NEL REGISTRO: NON E' STATO SALVATO NULLA";
inline constexpr const char* kRecordSentMeanwhile =
    "IL MOVIMENTO E' STATO INVIATO NEL FRATTEMPO: VA RETTIFICATO. NON E' STATO SALVATO NULLA";
inline constexpr const char* kRecordNotCorrectable =
    "IL MOVIMENTO NON E' RETTIFICABILE (NON INVIATO O GIA' RETTIFICATO): NON E' STATO SALVATO NULLA";

// Saves `movement` (its fields as confirmed; NUMREC and NUMOPE 0). `selected` is the
// record being changed or corrected, as read from its register file (ignored when
// inserting).
//  - Insert: the record append into the register file of the movement's year, when
//    the register has an active initial stock.
//  - Modify: the same check first; then, under the lock markers of the old and the
//    new year's file (taken in year order), the old record leaves its file and the
//    movement is appended, as one change when both are the same file. The old record
//    must still be there and unsent; otherwise nothing is written.
//  - Corrections: the correction pattern in the corrected record's file, under its
//    lock; the replacement ("e") keeps the corrected record's operation number and
//    stays right after it whatever its date.
SaveResult saveMovement(const Folders& folders, EntryMode mode, Movement movement, const Movement& selected,
                        bool alcopp, Prompt& prompt);

} // namespace accise
