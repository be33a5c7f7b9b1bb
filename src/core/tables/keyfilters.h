// What the entry fields do with the keys typed into them, as plain functions
// the window layer calls from its key handlers. Texts are UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace accise {

enum class KeyFilter {
    NextField,      // every key accepted; Enter moves on
    UnsignedDigits, // years, counts: digits and Backspace
    SignedInteger,  // digits, Backspace, "-" only while the field is empty
    Decimal,        // as SignedInteger plus one "," (a typed "." becomes ",")
};

struct KeyOutcome {
    enum Kind {
        Accept,   // insert `key`
        Reject,   // drop the key and beep
        MoveNext, // Enter: drop the key and move the focus to the next control
    } kind;
    char32_t key; // the key to insert when accepted, otherwise 0
};

constexpr char32_t kEnterKey = U'\r';
constexpr char32_t kBackspaceKey = U'\b';

// Decides about one typed character. `currentText` is the field text the key
// will edit (with a selection about to be replaced, the text without it).
// Enter moves on in every filter. "Empty" means no characters at all.
// Any other control character (clipboard shortcuts included) is refused by
// the digit filters, as it is not in their accepted set.
KeyOutcome filterKey(KeyFilter filter, std::string_view currentText, char32_t key);

// The live regrouping of a decimal field after each key release: of the
// first 30 characters, the digits before the first "," become the integer
// part, grouped by "." every three digits from the right; the first "," and
// the digits after it are kept as typed; "-" is put in front when the text
// holds one. Anything else (a second ",", letters) is dropped.
// "1234567,5" -> "1.234.567,5", "-1234" -> "-1.234".
std::string regroupDecimalEntry(std::string_view text);

// The text with its "." separators removed, as it is edited before each
// accepted key.
std::string removeGrouping(std::string_view text);

// Case conversions of the entry fields. They change the ASCII letters and
// the accented letters of Italian words, à è é ì ò ù <-> À È É Ì Ò Ù; every
// other character is left as it is.
std::string toUpperAscii(std::string_view text);
std::string toLowerAscii(std::string_view text);
// Only the first character made a capital; the rest as typed.
std::string capitalizeFirst(std::string_view text);

// A field counts as empty when nothing is left after trimming blanks and
// control characters (every character up to " "). " abc" is not empty.
bool isEmptyField(std::string_view text);

} // namespace accise
