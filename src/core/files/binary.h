#pragma once
// Little-endian integers, IEEE doubles and length-prefixed Windows-1252 texts
// inside fixed-length records.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace accise::binary {

inline std::int32_t getInt32(const char* p) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(p[i]);
    return static_cast<std::int32_t>(v);
}

inline void putInt32(char* p, std::int32_t value) {
    auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<char>(v & 0xFF);
        v >>= 8;
    }
}

inline double getDouble(const char* p) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(p[i]);
    double d;
    std::memcpy(&d, &v, sizeof d);
    return d;
}

inline void putDouble(char* p, double value) {
    std::uint64_t v;
    std::memcpy(&v, &value, sizeof v);
    for (int i = 0; i < 8; ++i) {
        p[i] = static_cast<char>(v & 0xFF);
        v >>= 8;
    }
}

// Reads a text field of declared width (width + 1 bytes). A length byte larger than
// the width is corrupt: the text is cut to the width and `ok` is set to false.
std::string getText(const char* p, std::size_t width, bool& ok);

// Writes a text field padded with spaces (or cut) to its full width.
void putText(char* p, std::string_view utf8, std::size_t width);

} // namespace accise::binary
