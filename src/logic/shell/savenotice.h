#pragma once
// The line that confirms a save, in the clerk's words: "Movimento n. 165 registrato
// (Scarico, 100 l, accisa 35,88)". The windows hand it to EntryFormLogic::announceSaved,
// which shows it in their save line and in the main window's status bar.
#include <string>

#include "core/books/movementsave.h"
#include "core/duty/dutyrecords.h"
#include "core/records/movement.h"

namespace accise {

// A movement saved by the movement window: `saved` as confirmed, `result` as the save
// returned (the new record's number), `corrected` the record a correction is about.
std::string movementSavedNotice(EntryMode mode, const Movement& saved, const SaveResult& result,
                                const Movement& corrected);

// A duty record saved by its window; `correction` when a sent record was corrected.
std::string dutySavedNotice(DutyKind kind, bool alcopp, const Movement& saved, bool correction);

} // namespace accise
