#include "core/records/movementview.h"

#include "core/files/text1252.h"

namespace accise {

std::string MovementView::padded(std::size_t offset, std::size_t width) const {
    std::size_t length = static_cast<unsigned char>(b_[offset]);
    if (length > width) length = width;
    std::string out(b_.data() + offset + 1, length);
    out.resize(width, ' ');
    return out;
}

std::string MovementView::text(std::size_t offset, std::size_t width) const {
    std::size_t length = static_cast<unsigned char>(b_[offset]);
    if (length > width) length = width;
    std::string_view raw(b_.data() + offset + 1, length);
    // The blanks trimmed are the bytes up to 0x20, the same in Windows-1252 and UTF-8.
    while (!raw.empty() && static_cast<unsigned char>(raw.front()) <= 0x20) raw.remove_prefix(1);
    while (!raw.empty() && static_cast<unsigned char>(raw.back()) <= 0x20) raw.remove_suffix(1);
    return decode1252(raw);
}

bool MovementView::fieldEquals(std::size_t offset, std::size_t width, std::string_view paddedBytes) const {
    std::size_t length = static_cast<unsigned char>(b_[offset]);
    if (length > width) length = width;
    const char* p = b_.data() + offset + 1;
    for (std::size_t i = 0; i < width; ++i) {
        const char c = i < length ? p[i] : ' ';
        if (c != paddedBytes[i]) return false;
    }
    return true;
}

} // namespace accise
