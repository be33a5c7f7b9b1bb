#pragma once
// The agency's outcome file made readable.
//
// The outcome file is a text of lines (Windows-1252; LF or CR LF). Its header line is
// any line holding "ALCODA", "ALCOPP" or "ALCODC": characters 28 to 42 are the
// registration number the agency gave the file, character 43 the outcome ("0"
// accepted, anything else rejected), 44 to the end a free text. Lines before the
// first header line are ignored. After it:
//  - " S..." (a blank, then "S") is a warning: "ACCETTATO CON SEGNALAZIONI: " + text;
//  - " E..." is an error: "ERRORE SCARTATO: " + text (text from character 3);
//  - a line beginning with a blank and any other kind letter is kept as it stands, so
//    that no detail the agency sent is lost on the report;
//  - any other line is kept as it stands;
//  - a header line adds its three report lines (number, outcome, free text).
// A header line shorter than 43 characters has no outcome character and counts as
// rejected; its number and free text are what the line holds of them.
// Control characters (a binary file, a signature around the text) are dropped from
// the report lines; tabs are kept.
#include <string>
#include <string_view>
#include <vector>

namespace accise {

inline constexpr const char* kOutcomeAccepted = "ESITO POSITIVO";
inline constexpr const char* kOutcomeRejected = "ESITO NEGATIVO - SCARTATO";
inline constexpr const char* kOutcomeMissing = "ESITO NEGATIVO";

// The report while no outcome file has been read.
inline constexpr const char* kDetailsMissing1 = " -- DETTAGLI NON PERVENUTI DAL WEBSERVICE -- ";
inline constexpr const char* kDetailsMissing2 = "    Interroga il sistema telematico doganale E.D.I. per l'esito. ";
// Added below those two when an outcome file arrived without any header line.
inline constexpr const char* kNoHeaderLine = " -- IL FILE DI ESITO RICEVUTO NON CONTIENE LA RIGA DI TESTATA -- ";

struct OutcomeReport {
    std::vector<std::string> lines; // UTF-8
    std::string outcome = kOutcomeMissing;
    bool headerFound = false;
};

OutcomeReport buildOutcomeReport(std::string_view outcomeFile);

// The report file's text: the lines in Windows-1252, each ended by CR LF.
std::string reportFileText(const std::vector<std::string>& lines);

} // namespace accise
