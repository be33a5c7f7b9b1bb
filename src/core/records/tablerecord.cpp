#include "core/records/tablerecord.h"

#include <cmath>

#include "core/files/binary.h"
#include "core/files/text1252.h"

namespace accise {

TableRecord blankTable() {
    TableRecord t;
    for (auto& s : t.col) s.assign(kTableTextWidth, ' ');
    for (auto& s : t.extra) s.assign(kTableTextWidth, ' ');
    return t;
}

void padTable(TableRecord& t) {
    for (auto& s : t.col) s = padTo(s, kTableTextWidth);
    for (auto& s : t.extra) s = padTo(s, kTableTextWidth);
}

void trimTable(TableRecord& t) {
    for (auto& s : t.col) s = trimmed(s);
    for (auto& s : t.extra) s = trimmed(s);
}

std::string encodeTable(const TableRecord& t) {
    std::string out(kTableSize, '\0');
    binary::putInt32(out.data(), t.number);
    for (std::size_t i = 0; i < 10; ++i) {
        binary::putText(out.data() + tableColumnOffset(i), t.col[i], kTableTextWidth);
        binary::putText(out.data() + tableExtraOffset(i), t.extra[i], kTableTextWidth);
        binary::putInt32(out.data() + 5024 + 4 * i, t.ints[i]);
    }
    for (std::size_t i = 0; i < 30; ++i) binary::putDouble(out.data() + 5064 + 8 * i, t.nums[i]);
    return out;
}

bool decodeTable(std::string_view bytes, TableRecord& t) {
    bool ok = true;
    t.number = binary::getInt32(bytes.data());
    for (std::size_t i = 0; i < 10; ++i) {
        t.col[i] = binary::getText(bytes.data() + tableColumnOffset(i), kTableTextWidth, ok);
        t.extra[i] = binary::getText(bytes.data() + tableExtraOffset(i), kTableTextWidth, ok);
        t.ints[i] = binary::getInt32(bytes.data() + 5024 + 4 * i);
    }
    for (std::size_t i = 0; i < 30; ++i) t.nums[i] = binary::getDouble(bytes.data() + 5064 + 8 * i);
    return ok;
}

TableRecord decodeTable(std::string_view bytes) {
    TableRecord t;
    decodeTable(bytes, t);
    return t;
}

std::vector<std::string> oversizedTableTexts(std::string_view bytes) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < 10; ++i) {
        if (static_cast<unsigned char>(bytes[tableColumnOffset(i)]) > kTableTextWidth)
            names.push_back("col" + std::to_string(i));
        if (static_cast<unsigned char>(bytes[tableExtraOffset(i)]) > kTableTextWidth)
            names.push_back("extra" + std::to_string(i));
    }
    return names;
}

std::vector<std::string> nonFiniteTableNumbers(std::string_view bytes) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < 30; ++i)
        if (!std::isfinite(binary::getDouble(bytes.data() + 5064 + 8 * i))) names.push_back("num" + std::to_string(i));
    return names;
}

} // namespace accise
