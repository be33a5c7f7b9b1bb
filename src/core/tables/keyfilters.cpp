#include "core/tables/keyfilters.h"

namespace accise {
namespace {

bool isDigitKey(char32_t key) { return key >= U'0' && key <= U'9'; }

// Second bytes of the UTF-8 forms of à è é ì ò ù (all begin with 0xC3);
// the capital of each is 0x20 lower.
constexpr unsigned char kAccentLead = 0xC3;
bool isLowerAccent(unsigned char second) {
    return second == 0xA0 || second == 0xA8 || second == 0xA9 || second == 0xAC || second == 0xB2 ||
           second == 0xB9;
}
bool isUpperAccent(unsigned char second) { return isLowerAccent(static_cast<unsigned char>(second + 0x20)); }

enum class Case { Upper, Lower };

// Converts the character starting at text[i], appends it to out and returns
// the index of the next character.
std::size_t convertOne(std::string_view text, std::size_t i, Case to, std::string& out) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (to == Case::Upper && byte >= 'a' && byte <= 'z') {
        out += static_cast<char>(byte - 0x20);
        return i + 1;
    }
    if (to == Case::Lower && byte >= 'A' && byte <= 'Z') {
        out += static_cast<char>(byte + 0x20);
        return i + 1;
    }
    if (byte == kAccentLead && i + 1 < text.size()) {
        const auto second = static_cast<unsigned char>(text[i + 1]);
        out += text[i];
        if (to == Case::Upper && isLowerAccent(second))
            out += static_cast<char>(second - 0x20);
        else if (to == Case::Lower && isUpperAccent(second))
            out += static_cast<char>(second + 0x20);
        else
            out += text[i + 1];
        return i + 2;
    }
    out += text[i];
    return i + 1;
}

std::string convertAll(std::string_view text, Case to) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();)
        i = convertOne(text, i, to, out);
    return out;
}

} // namespace

KeyOutcome filterKey(KeyFilter filter, std::string_view currentText, char32_t key) {
    if (key == kEnterKey) return {KeyOutcome::MoveNext, 0};
    if (filter == KeyFilter::NextField) return {KeyOutcome::Accept, key};

    if (key == kBackspaceKey || isDigitKey(key)) return {KeyOutcome::Accept, key};
    if (filter != KeyFilter::UnsignedDigits && key == U'-' && currentText.empty())
        return {KeyOutcome::Accept, key};
    if (filter == KeyFilter::Decimal && (key == U',' || key == U'.') &&
        currentText.find(',') == std::string_view::npos)
        return {KeyOutcome::Accept, U','};
    return {KeyOutcome::Reject, 0};
}

std::string regroupDecimalEntry(std::string_view text) {
    text = text.substr(0, 30);
    bool negative = false;
    bool inFraction = false;
    std::string integerDigits;
    std::string fraction;
    for (char c : text) {
        const bool digit = c >= '0' && c <= '9';
        if (c == '-') {
            negative = true;
        } else if (!inFraction) {
            if (digit) {
                integerDigits += c;
            } else if (c == ',') {
                inFraction = true;
                fraction += c;
            }
        } else if (digit) {
            fraction += c;
        }
    }

    std::string out;
    if (negative) out += '-';
    for (std::size_t i = 0; i < integerDigits.size(); ++i) {
        if (i > 0 && (integerDigits.size() - i) % 3 == 0) out += '.';
        out += integerDigits[i];
    }
    return out + fraction;
}

std::string removeGrouping(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '.') out += c;
    return out;
}

std::string toUpperAscii(std::string_view text) { return convertAll(text, Case::Upper); }

std::string toLowerAscii(std::string_view text) { return convertAll(text, Case::Lower); }

std::string capitalizeFirst(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    if (text.empty()) return out;
    const std::size_t next = convertOne(text, 0, Case::Upper, out);
    out.append(text.substr(next));
    return out;
}

bool isEmptyField(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) > ' ') return false;
    return true;
}

} // namespace accise
