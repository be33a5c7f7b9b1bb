#include "core/tables/identifiers.h"

#include <cstddef>

namespace accise {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isCapital(char c) { return c >= 'A' && c <= 'Z'; }

// Characters of a UTF-8 text (bytes that do not continue a sequence).
std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    return count;
}

// Value of a character in an odd position of a tax code ("0"-"9" count as "A"-"J").
int oddValue(char c) {
    static constexpr int kValues[26] = {1,  0,  5,  7,  9,  13, 15, 17, 19, 21, 2,  4,  18,
                                        20, 11, 3,  6,  8,  12, 14, 16, 10, 22, 25, 24, 23};
    return isDigit(c) ? kValues[c - '0'] : kValues[c - 'A'];
}

// Value of a character in an even position: "0"-"9" -> 0-9, "A"-"Z" -> 0-25.
int evenValue(char c) { return isDigit(c) ? c - '0' : c - 'A'; }

} // namespace

bool isValidVatNumber(std::string_view text) {
    if (text.size() != 11) return false;
    for (char c : text)
        if (!isDigit(c)) return false;
    int sum = 0;
    for (std::size_t i = 0; i < 10; ++i) {
        const int digit = text[i] - '0';
        if (i % 2 == 0) {
            sum += digit; // positions 1, 3, ..., 9
        } else {
            const int doubled = digit * 2;
            sum += doubled / 10 + doubled % 10;
        }
    }
    return (10 - sum % 10) % 10 == text[10] - '0';
}

TaxCodeCheck checkTaxCode(std::string_view text) {
    if (characterCount(text) != 16) return TaxCodeCheck::NotChecked;
    // Sixteen characters that are not all single bytes hold a non-ASCII one.
    if (text.size() != 16) return TaxCodeCheck::Invalid;
    for (char c : text)
        if (!isDigit(c) && !isCapital(c)) return TaxCodeCheck::Invalid;
    int sum = 0;
    for (std::size_t i = 0; i < 15; ++i)
        sum += i % 2 == 0 ? oddValue(text[i]) : evenValue(text[i]);
    return text[15] == static_cast<char>('A' + sum % 26) ? TaxCodeCheck::Valid : TaxCodeCheck::Invalid;
}

bool isValidExciseCode(std::string_view text, char kindLetter) {
    if (text.size() != 13) return false;
    for (char c : text)
        if (!isDigit(c) && !isCapital(c)) return false;
    return text.substr(0, 4) == "IT00" && text[6] == kindLetter;
}

} // namespace accise
