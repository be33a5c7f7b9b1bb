#pragma once
// Builds register movements and duty records through the core's record append, for
// the tests of the excise summary and of the duty windows.
#include <string>

#include "core/books/movementfile.h"
#include "core/files/folders.h"
#include "core/records/movement.h"
#include "core/tables/dates.h"
#include "test_support.h"

namespace accise::testing {

// An active register movement: `tipmov` "C" load or "S" unload, dated DD/MM/YYYY.
inline Movement registerMovement(const std::string& date, const char* tipmov, double accisa,
                                 const char* posfis = "001", const char* tipdoc = "DAA") {
    Movement m = blankMovement();
    m.DATMOV = *parseDate(date);
    m.TIPREC = "C";
    m.TIPOPE = "I";
    m.STATO = " ";
    m.TIPMOV = tipmov;
    m.POSFIS = posfis;
    m.TIPDOC = tipdoc;
    m.ACCISA = accisa;
    return m;
}

// An unsent active duty record of kind `tiprec` for a period of `year`.
inline Movement dutyRecord(const char* tiprec, const std::string& year, const std::string& period) {
    Movement m = blankMovement();
    m.TIPREC = tiprec;
    m.TIPOPE = "I";
    m.STATO = " ";
    m.ANNPRO = year;
    m.CODPAE = period;
    return m;
}

// Appends to <yyyy>.RGM of the movement's year.
inline void addToRegister(const Folders& folders, const Movement& m) {
    RecordingPrompt prompt;
    appendMovement(folders.registerFile(yearOf(m.DATMOV)), m, false, prompt);
}

// Appends to a duty file as it stands (sent or not, as the record says).
inline void addDutyRecord(const std::filesystem::path& file, const Movement& m, bool alcopp = false) {
    RecordingPrompt prompt;
    appendMovement(file, m, alcopp, prompt);
}

} // namespace accise::testing
