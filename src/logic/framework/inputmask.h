#pragma once
// Edit masks are stored in their classic form "mask;save-literals;blank", where
// "0" is a required digit, "9" an optional one, "c" an optional character and a
// leading "!" trims leading blanks. The toolkit's masks use other letters for the
// same things ("9" required digit, "0" optional one, "x" optional character), so
// the stored form is translated here, character by character.
#include <string>
#include <string_view>

namespace accise {

// "!99/99/0000;1;_" -> "00/00/9999;_", "cccc-00000000-cc-cccc;1;_" -> "xxxx-99999999-xx-xxxx;_".
// An empty mask stays empty. Literal characters that the toolkit would read as mask
// letters are escaped with "\".
std::string toolkitInputMask(std::string_view storedMask);

// The character that marks a missing position ("_" unless the mask names another).
char maskBlank(std::string_view storedMask);

} // namespace accise
