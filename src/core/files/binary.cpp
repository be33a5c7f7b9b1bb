#include "core/files/binary.h"

#include "core/files/text1252.h"

namespace accise::binary {

std::string getText(const char* p, std::size_t width, bool& ok) {
    std::size_t length = static_cast<unsigned char>(p[0]);
    if (length > width) {
        ok = false;
        length = width;
    }
    return decode1252(std::string_view(p + 1, length));
}

void putText(char* p, std::string_view utf8, std::size_t width) {
    const std::string bytes = padded1252(utf8, width);
    p[0] = static_cast<char>(width);
    std::memcpy(p + 1, bytes.data(), width);
}

} // namespace accise::binary
