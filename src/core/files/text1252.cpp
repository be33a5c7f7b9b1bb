#include "core/files/text1252.h"

#include <array>
#include <cstdint>

namespace accise {
namespace {

// Code points of the bytes 0x80..0x9F; the undefined ones map to themselves.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Reads one code point at `i` and advances it; a malformed sequence yields U+FFFD for one byte.
char32_t nextCodePoint(std::string_view s, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int extra = 0;
    char32_t cp = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        cp = b0 & 0x07;
    } else {
        ++i;
        return 0xFFFD;
    }
    if (i + static_cast<std::size_t>(extra) >= s.size()) {
        ++i;
        return 0xFFFD;
    }
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    i += static_cast<std::size_t>(extra) + 1;
    return cp;
}

char toByte(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (std::size_t k = 0; k < kHigh.size(); ++k)
        if (kHigh[k] == cp) return static_cast<char>(0x80 + k);
    return '?';
}

bool isBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

} // namespace

std::string decode1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) out.push_back(c);
        else if (b < 0xA0) appendUtf8(out, kHigh[b - 0x80]);
        else appendUtf8(out, b);
    }
    return out;
}

std::string encode1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) out.push_back(toByte(nextCodePoint(utf8, i)));
    return out;
}

bool fitsIn1252(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size();) {
        const char32_t cp = nextCodePoint(utf8, i);
        if (cp != U'?' && toByte(cp) == '?') return false; // also a malformed sequence (U+FFFD)
    }
    return true;
}

std::size_t utf8Length(std::string_view utf8) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        nextCodePoint(utf8, i);
        ++n;
    }
    return n;
}

std::string padded1252(std::string_view utf8, std::size_t width) {
    std::string bytes = encode1252(utf8);
    bytes.resize(width, ' ');
    return bytes;
}

std::string padTo(std::string_view utf8, std::size_t width) { return decode1252(padded1252(utf8, width)); }

std::string trimmed(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && isBlank(text[b])) ++b;
    while (e > b && isBlank(text[e - 1])) --e;
    return std::string(text.substr(b, e - b));
}

} // namespace accise
