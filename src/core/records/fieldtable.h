#pragma once
// A record layout described once as a table of fields: name, offset, width and the
// member that holds it. Encoding, decoding, padding, trimming, the JSON dump and the
// integrity check all walk the same table, so the layout lives in one place.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/files/binary.h"
#include "core/files/text1252.h"

namespace accise {

template <class R>
struct Field {
    const char* name;
    std::size_t offset;
    std::size_t width; // characters of a text field; 0 for numbers
    std::variant<std::int32_t R::*, double R::*, std::string R::*> member;

    bool isText() const { return std::holds_alternative<std::string R::*>(member); }
};

template <class R>
using FieldList = std::vector<Field<R>>;

template <class R>
std::string encodeWith(const FieldList<R>& fields, const R& record, std::size_t size) {
    std::string out(size, '\0');
    for (const auto& f : fields) {
        char* p = out.data() + f.offset;
        if (auto i = std::get_if<std::int32_t R::*>(&f.member)) binary::putInt32(p, record.**i);
        else if (auto d = std::get_if<double R::*>(&f.member)) binary::putDouble(p, record.**d);
        else binary::putText(p, record.*std::get<std::string R::*>(f.member), f.width);
    }
    return out;
}

// Returns false when a text field's length byte was larger than its width.
template <class R>
bool decodeWith(const FieldList<R>& fields, std::string_view bytes, R& record) {
    bool ok = true;
    for (const auto& f : fields) {
        const char* p = bytes.data() + f.offset;
        if (auto i = std::get_if<std::int32_t R::*>(&f.member)) record.**i = binary::getInt32(p);
        else if (auto d = std::get_if<double R::*>(&f.member)) record.**d = binary::getDouble(p);
        else record.*std::get<std::string R::*>(f.member) = binary::getText(p, f.width, ok);
    }
    return ok;
}

// Names of the text fields whose length byte exceeds the width, straight from the bytes.
template <class R>
std::vector<std::string> oversizedTextFields(const FieldList<R>& fields, std::string_view bytes) {
    std::vector<std::string> names;
    for (const auto& f : fields)
        if (f.isText() && static_cast<unsigned char>(bytes[f.offset]) > f.width) names.emplace_back(f.name);
    return names;
}

// Names of the number fields holding NaN or an infinity, straight from the bytes.
template <class R>
std::vector<std::string> nonFiniteNumberFields(const FieldList<R>& fields, std::string_view bytes) {
    std::vector<std::string> names;
    for (const auto& f : fields)
        if (std::holds_alternative<double R::*>(f.member) && !std::isfinite(binary::getDouble(bytes.data() + f.offset)))
            names.emplace_back(f.name);
    return names;
}

// A byte that no text of the books may hold: the C0 controls (line breaks, TAB...),
// DEL, and the five bytes Windows-1252 leaves undefined (read back as C1 controls).
inline bool isControlByte1252(unsigned char b) {
    return b < 0x20 || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}

// Names of the text fields holding a control byte, straight from the bytes.
template <class R>
std::vector<std::string> controlCharacterTextFields(const FieldList<R>& fields, std::string_view bytes) {
    std::vector<std::string> names;
    for (const auto& f : fields) {
        if (!f.isText()) continue;
        const std::size_t length = std::min<std::size_t>(static_cast<unsigned char>(bytes[f.offset]), f.width);
        for (char c : bytes.substr(f.offset + 1, length)) {
            if (isControlByte1252(static_cast<unsigned char>(c))) {
                names.emplace_back(f.name);
                break;
            }
        }
    }
    return names;
}

template <class R>
void padWith(const FieldList<R>& fields, R& record) {
    for (const auto& f : fields)
        if (auto s = std::get_if<std::string R::*>(&f.member)) record.**s = padTo(record.**s, f.width);
}

template <class R>
void trimWith(const FieldList<R>& fields, R& record) {
    for (const auto& f : fields)
        if (auto s = std::get_if<std::string R::*>(&f.member)) record.**s = trimmed(record.**s);
}

template <class R>
R blankWith(const FieldList<R>& fields) {
    R record{};
    for (const auto& f : fields)
        if (auto s = std::get_if<std::string R::*>(&f.member)) record.**s = std::string(f.width, ' ');
    return record;
}

} // namespace accise
