#pragma once
// What happened to each flow after it was signed, kept where every desk sees it:
// FLUSSI.INV in the general data folder, one text line per event, appended under the
// file's lock marker and never rewritten. Windows-1252, CR LF after every line, six
// fields separated by TAB:
//
//   flow name  TAB  flow date (YYYYMMDD)  TAB  event  TAB  environment  TAB
//   when (YYYYMMDD HHMMSS)  TAB  detail
//
//   event        INVIO   the service took the signed file ("successo" in its answer)
//                ESITO   the outcome file arrived; detail = registration number,
//                        one blank, the outcome text ("ESITO POSITIVO", ...)
//                ATTESA  the outcome was asked for and was not there yet
//   environment  P  the test environment
//                R  the real environment, host:port as set in SERVIZIO.INI
//   detail       INVIO: host:port reached; ESITO: as above; ATTESA: empty
//
// Flow names repeat from one year to the next (they carry month and day only), so
// an event belongs to a flow by name and flow date together.
#include <string>
#include <vector>

#include "core/files/folders.h"
#include "core/files/prompt.h"

namespace accise {

inline constexpr const char* kSentFlowsFile = "FLUSSI.INV";

struct SentFlowEvent {
    std::string flowName;   // AB120315.C01
    double flowDate = 0;    // the flow date the records carry
    std::string event;      // INVIO, ESITO, ATTESA
    char environment = 'P'; // P or R
    std::string when;       // YYYYMMDD HHMMSS
    std::string detail;
};

// Appends one event under the lock marker; control characters of the detail become blanks.
void appendSentFlowEvent(const Folders& folders, SentFlowEvent event, Prompt& lockPrompt);

// Every event in the order written; lines that do not have six fields are skipped.
std::vector<SentFlowEvent> readSentFlowEvents(const Folders& folders);

// Now as YYYYMMDD HHMMSS (local time).
std::string eventTimeNow();

} // namespace accise
