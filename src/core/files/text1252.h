#pragma once
// Windows-1252 in the files, UTF-8 in memory.
//
// The five bytes that Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// decode to the C1 control characters of the same value (U+0081 ...), as the
// platform's own conversion does, so they survive a read and a rewrite unchanged.
// A character that Windows-1252 cannot hold is written as "?".
#include <string>
#include <string_view>

namespace accise {

std::string decode1252(std::string_view bytes);
std::string encode1252(std::string_view utf8);

// True when the text is valid UTF-8 and Windows-1252 can hold every character of
// it: what a writer checks so that nothing becomes "?" without a word.
bool fitsIn1252(std::string_view utf8);

// Number of characters of a UTF-8 text (what the field widths count).
std::size_t utf8Length(std::string_view utf8);

// The text cut to at most `width` characters and right-padded with spaces to exactly
// `width` characters, as Windows-1252 bytes: the padded form compared byte by byte.
std::string padded1252(std::string_view utf8, std::size_t width);

// Leading and trailing blanks removed (spaces, and the control characters below a space).
std::string trimmed(std::string_view text);

// The text right-padded with spaces (or cut) to `width` characters, in UTF-8.
std::string padTo(std::string_view utf8, std::size_t width);

} // namespace accise
