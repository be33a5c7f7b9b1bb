#pragma once
// The texts of dates and figures for lists that show a year of records: formatDate
// and formatNumber of the values met again and again (the rows of a day follow each
// other, the litres of the usual packages and the grades of the usual beers repeat),
// made once per value and kept. Each text is exactly what the function gives. And
// the trimming of a stored text field, for the same lists.
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "core/tables/dates.h"
#include "core/tables/numbers.h"

namespace accise {

// A stored text field's bytes without the blanks (the bytes up to a space) at its
// ends. The padding of a long field is passed over eight spaces at a time.
inline std::string_view withoutBlanks(std::string_view raw) {
    constexpr std::uint64_t kSpaces = 0x2020202020202020ULL;
    while (raw.size() >= 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, raw.data() + raw.size() - 8, sizeof word);
        if (word != kSpaces) break;
        raw.remove_suffix(8);
    }
    while (!raw.empty() && static_cast<unsigned char>(raw.back()) <= 0x20) raw.remove_suffix(1);
    while (!raw.empty() && static_cast<unsigned char>(raw.front()) <= 0x20) raw.remove_prefix(1);
    return raw;
}

inline std::uint64_t valueBits(double x) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

// formatDate of the last day asked for.
class LastDateText {
public:
    const std::string& of(double day) {
        const std::uint64_t bits = valueBits(day);
        if (!known_ || bits != bits_) {
            text_ = formatDate(day);
            bits_ = bits;
            known_ = true;
        }
        return text_;
    }

private:
    std::uint64_t bits_ = 0;
    bool known_ = false;
    std::string text_;
};

// formatNumber(x, width, decimals) of the values asked for, kept by the value's bits
// in a small table (a value whose place another took is formatted again).
class NumberTexts {
public:
    NumberTexts(int width, int decimals) : width_(width), decimals_(decimals) {}

    const std::string& of(double x) {
        const std::uint64_t bits = valueBits(x);
        Entry& e = entries_[(bits ^ (bits >> 29) ^ (bits >> 47)) % entries_.size()];
        if (!e.known || e.bits != bits) {
            e.text = formatNumber(x, width_, decimals_);
            e.bits = bits;
            e.known = true;
        }
        return e.text;
    }

private:
    struct Entry {
        std::uint64_t bits = 0;
        bool known = false;
        std::string text;
    };
    int width_;
    int decimals_;
    std::array<Entry, 127> entries_{};
};

} // namespace accise
