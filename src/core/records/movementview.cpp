#include "core/records/movementview.h"

namespace accise {

std::string MovementView::padded(std::size_t offset, std::size_t width) const {
    std::size_t length = static_cast<unsigned char>(b_[offset]);
    if (length > width) length = width;
    std::string out(b_.data() + offset + 1, length);
    out.resize(width, ' ');
    return out;
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
