#include "core/tables/numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace accise {
namespace {

// Number texts are read in a window of this many characters.
constexpr std::size_t kReadWindow = 20;

// The first kReadWindow characters of the text (a UTF-8 sequence counts as
// one character). Texts shorter than the window are used as they are: the
// blanks that would pad them are skipped by every reader anyway.
std::string_view readWindow(std::string_view text) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) != 0x80) {
            if (chars == kReadWindow) return text.substr(0, i);
            ++chars;
        }
    }
    return text;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Fixed-notation text of x with `decimals` places ("-1234.50", "0.00"),
// halves rounded away from zero. The rounding works on the shortest decimal
// text that reads back to x, so a value is rounded as it would be written,
// not by the binary approximation behind it. The sign appears only when a
// non-zero digit is shown. x must be finite.
std::string fixedText(double x, int decimals) {
    decimals = std::max(decimals, 0);
    const bool negative = std::signbit(x);

    // Shortest round-trip form "d.ddde+XX" of the magnitude.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific);
    const std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));
    const std::size_t ePos = sci.find('e');
    std::string digits;
    for (char c : sci.substr(0, ePos))
        if (isDigit(c)) digits += c;
    int exponent = 0;
    {
        std::string_view expText = sci.substr(ePos + 1);
        if (!expText.empty() && expText.front() == '+') expText.remove_prefix(1);
        std::from_chars(expText.data(), expText.data() + expText.size(), exponent);
    }

    // Lay the digits out as "integer digits" + "fraction digits" without the point.
    const long long pointPos = static_cast<long long>(exponent) + 1; // digits before the point
    std::string plain;
    std::size_t intLen = 0;
    if (pointPos <= 0) {
        plain = std::string(static_cast<std::size_t>(1 - pointPos), '0') + digits;
        intLen = 1;
    } else {
        plain = digits;
        intLen = static_cast<std::size_t>(pointPos);
        if (plain.size() < intLen) plain.append(intLen - plain.size(), '0');
    }

    const std::size_t keep = intLen + static_cast<std::size_t>(decimals);
    if (plain.size() <= keep) {
        plain.append(keep - plain.size(), '0');
    } else {
        const bool up = plain[keep] >= '5';
        plain.resize(keep);
        if (up) {
            std::size_t i = keep;
            while (i > 0) {
                --i;
                if (plain[i] == '9') {
                    plain[i] = '0';
                } else {
                    ++plain[i];
                    break;
                }
                if (i == 0) {
                    plain.insert(plain.begin(), '1');
                    ++intLen;
                }
            }
        }
    }

    std::string out;
    if (negative && plain.find_first_not_of('0') != std::string::npos) out += '-';
    out.append(plain, 0, intLen);
    if (decimals > 0) {
        out += '.';
        out.append(plain, intLen, std::string::npos);
    }
    return out;
}

double readDouble(std::string_view text) {
    double value = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// Rounds through the decimal text, as the windows do when they format a
// value with n decimals and read it back.
double roundThroughText(double x, int decimals) {
    if (!std::isfinite(x)) return x;
    return readDouble(fixedText(x, decimals));
}

} // namespace

double fiveDecimalsThroughText(double x) { return roundThroughText(x, 5); }

std::optional<double> fiveDecimalsByArithmetic(double x) {
    // s differs from x * 10^5 by at most half a unit of its last place, and so does
    // the decimal text D of x from x (times 10^5: about one unit of s's last place).
    // Whole numbers change only at halves: while none lies within that distance of s,
    // D * 10^5 rounds to the same whole number n as s, and n / 10^5 (both exact, one
    // correctly rounded division) is the double the text "n / 10^5" reads back to.
    const double s = x * 1e5;
    const double a = std::fabs(s);
    if (!(a < 0x1p50)) return std::nullopt; // also NaN and infinities
    const double gap = std::fabs(a - (std::floor(a) + 0.5)); // from the nearest half
    // Eight times that distance, plus a term for subnormal x (whose last place is fixed).
    if (gap <= 0x1p-49 * a + 0x1p-1000) return std::nullopt;
    const double n = std::round(s);
    if (n == 0) return 0.0;
    return n / 1e5;
}

std::int32_t parseInteger(std::string_view text) {
    constexpr std::uint64_t kLimit = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()) + 1;
    bool negative = false;
    std::uint64_t magnitude = 0;
    for (char c : readWindow(text)) {
        if (c == '-') {
            negative = true;
        } else if (isDigit(c)) {
            // Stop growing once past the 32-bit range: the result saturates.
            if (magnitude <= kLimit) magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - '0');
        }
    }
    if (negative) {
        if (magnitude >= kLimit) return std::numeric_limits<std::int32_t>::min();
        return static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude));
    }
    if (magnitude >= kLimit) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(magnitude);
}

double parseDecimal(std::string_view text, int decimals) {
    bool negative = false;
    bool inFraction = false;
    bool fractionEnded = false;
    std::string integerDigits;
    std::string fractionDigits;
    for (char c : readWindow(text)) {
        if (c == '-') {
            negative = true;
        } else if (!inFraction) {
            if (isDigit(c))
                integerDigits += c;
            else if (c == ',')
                inFraction = true;
        } else if (c == '.') {
            fractionEnded = true;
        } else if (isDigit(c) && !fractionEnded) {
            fractionDigits += c;
        }
    }

    std::string number = integerDigits.empty() ? std::string("0") : integerDigits;
    if (!fractionDigits.empty()) number += '.' + fractionDigits;
    double value = readDouble(number);
    if (negative) value = -value;
    const double rounded = roundThroughText(value, decimals);
    return rounded == 0.0 ? 0.0 : rounded;
}

std::string formatNumber(double x, int width, int decimals) {
    if (std::isnan(x)) return "NAN";
    if (std::isinf(x)) return x < 0 ? "-INF" : "INF";

    int shown = decimals;
    if (decimals == 0) {
        // Automatic: as many decimals as the fraction shows at 5 decimals.
        const std::string five = fixedText(std::fabs(x), 5);
        const std::string_view fraction = std::string_view(five).substr(five.find('.') + 1);
        const std::size_t last = fraction.find_last_not_of('0');
        shown = last == std::string_view::npos ? 0 : static_cast<int>(last + 1);
    } else if (decimals < 0) {
        shown = 0;
    }

    const std::string fixed = fixedText(x, shown);
    const bool negative = fixed.front() == '-';
    const std::size_t intBegin = negative ? 1 : 0;
    const std::size_t point = fixed.find('.');
    const std::string intDigits = fixed.substr(intBegin, point == std::string::npos ? std::string::npos
                                                                                    : point - intBegin);

    std::string integerText;
    if (negative) integerText += '-';
    for (std::size_t i = 0; i < intDigits.size(); ++i) {
        if (i > 0 && (intDigits.size() - i) % 3 == 0) integerText += '.';
        integerText += intDigits[i];
    }
    if (width >= 0 && integerText.size() <= static_cast<std::size_t>(width))
        integerText.insert(0, static_cast<std::size_t>(width) + 1 - integerText.size(), ' ');

    if (shown > 0) integerText += ',' + fixed.substr(point + 1);
    return integerText;
}

double roundTo(double x, int decimals) {
    // 10^-n, each the double nearest to the exact power.
    static constexpr double kScale[] = {1.0,   1e-1,  1e-2,  1e-3,  1e-4,  1e-5,  1e-6,  1e-7,
                                        1e-8,  1e-9,  1e-10, 1e-11, 1e-12, 1e-13, 1e-14, 1e-15};
    static constexpr double kPower[] = {1.0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const std::optional<double> quick = fiveDecimalsByArithmetic(x);
    const double five = quick ? *quick : roundThroughText(x, 5);
    if (!std::isfinite(five)) return five;

    const double scale = kScale[std::clamp(decimals, 0, 15)];
    const double scaled = five / scale;
    // From 2^52 on a double has no fractional part left to round.
    if (std::fabs(scaled) >= 4503599627370496.0) return five;
    // Back by dividing by 10^n, which is exact, so the result is the double nearest
    // to the decimal value (multiplying by 10^-n would leave 1000.0000000000001).
    const double result = std::trunc(scaled + (scaled < 0 ? -0.5 : 0.5)) / kPower[std::clamp(decimals, 0, 15)];
    return result == 0.0 ? 0.0 : result;
}

} // namespace accise
