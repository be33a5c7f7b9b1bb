#pragma once
// The outcome file the agency simulator gives back for a received flow: a header
// line (profile, registration number at characters 28-42, outcome at character 43,
// free text from 44) followed by one detail line per warning (" S") or error (" E"),
// each naming the line of the flow it concerns. Plain ASCII, CR LF line ends.
#include <string>
#include <string_view>

namespace accise::agency {

// The outcome's name for a received file: its 10th character becomes "J"
// (AB120315.C01.p7m -> AB120315.J01.p7m). Empty for a name shorter than 10.
std::string outcomeNameOf(const std::string& receivedName);

// The code at character 43 of a rejected flow's header line.
inline constexpr char kRejected = '1';

struct Outcome {
    bool accepted = false;
    int warnings = 0;
    int errors = 0;
    std::string text; // the outcome file
};

// Checks the flow (the same checks as "accise-cli flow check") and writes its outcome.
// `receivedName` is the signed file's name as sent; `registration` the number the
// simulated agency gives the file (at most 15 characters, zero-filled on the left).
Outcome buildOutcome(std::string_view flow, const std::string& receivedName, const std::string& registration);

// Italian text reduced to ASCII (accented vowels become the vowel and an apostrophe),
// so the outcome reads the same in any code page.
std::string toAscii(std::string_view utf8);

} // namespace accise::agency
