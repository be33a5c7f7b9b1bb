#include "core/tables/numbers.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace accise {
namespace {

struct IntegerCase {
    std::string text;
    std::int32_t expected;
};

TEST(NumbersParseInteger, DigitsAndSignAnywhereInTheText) {
    const IntegerCase cases[] = {
        {"-12", -12},   {"12-", -12},  {"abc", 0},      {"", 0},         {"1.234", 1234},
        {"12 3", 123},  {"  42 ", 42}, {"-", 0},        {"1-2-3", -123}, {"007", 7},
        {"2147483647", 2147483647},    {"-2147483647", -2147483647},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseInteger(c.text), c.expected) << '"' << c.text << '"';
}

TEST(NumbersParseInteger, OnlyTheFirstTwentyCharactersCount) {
    // 18 zeros then "123": the "3" is the 21st character.
    EXPECT_EQ(parseInteger(std::string(18, '0') + "123"), 12);
    // A "-" in 21st position is not seen.
    EXPECT_EQ(parseInteger("7" + std::string(19, ' ') + "-"), 7);
    // A multi-byte character counts as one: "€" + 19 digits keeps all 19.
    EXPECT_EQ(parseInteger("\xE2\x82\xAC" + std::string(17, '0') + "42"), 42);
}

TEST(NumbersParseInteger, OutOfRangeSaturates) {
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    const IntegerCase cases[] = {
        {"2147483648", kMax},
        {"-2147483648", kMin},
        {"-2147483649", kMin},
        {"99999999999", kMax},
        {"1234567890123456789012345", kMax}, // 25 digits: 20 of them read
        {"-99999999999999999999", kMin},
        {"18446744073709551621", kMax}, // 2^64 + 5: must not wrap around to 5
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseInteger(c.text), c.expected) << '"' << c.text << '"';
}

struct DecimalCase {
    std::string text;
    int decimals;
    double expected;
};

TEST(NumbersParseDecimal, ItalianFormRoundedToTheDecimalsAsked) {
    // The results go through a decimal text, so they compare exactly.
    const DecimalCase cases[] = {
        {"1.234,567", 2, 1234.57},
        {"1,2,3", 2, 1.23},   // the second "," is skipped
        {"1.5", 2, 15.0},     // no "," -> no fraction
        {"-0,5", 2, -0.5},
        {"0,5-", 2, -0.5},
        {",25", 2, 0.25},
        {"", 2, 0.0},
        {"abc", 5, 0.0},
        {"1,005", 2, 1.01},   // the typed half rounds up
        {"-1,005", 2, -1.01}, // and away from zero when negative
        {"2,5", 0, 3.0},
        {"1,2.3", 2, 1.2},    // a "." ends the fraction
        {"1.234.567,12345", 5, 1234567.12345},
        {"0,123456", 5, 0.12346},
        {"12,345", -1, 12.0}, // negative decimals count as none
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseDecimal(c.text, c.decimals), c.expected) << '"' << c.text << "\" " << c.decimals;
}

TEST(NumbersParseDecimal, OnlyTheFirstTwentyCharactersCount) {
    EXPECT_EQ(parseDecimal("1,5" + std::string(17, ' ') + "-", 2), 1.5);
    // "0," and 18 fraction digits fit; the final "9" is the 21st character.
    EXPECT_EQ(parseDecimal("0," + std::string(17, '0') + "19", 20), 1e-18);
}

TEST(NumbersParseDecimal, NegativeZeroReadsAsPlainZero) {
    const double value = parseDecimal("-0,001", 2);
    EXPECT_EQ(value, 0.0);
    EXPECT_FALSE(std::signbit(value));
}

struct FormatCase {
    double x;
    int width;
    int decimals;
    std::string expected;
};

TEST(NumbersFormat, FixedDecimals) {
    const FormatCase cases[] = {
        {1234.5, 0, 2, "1.234,50"},
        {-0.5, 0, 2, "-0,50"},
        {3.0, 0, 2, "3,00"},
        {0.0, 0, 2, "0,00"},
        {1000000.0, 0, 2, "1.000.000,00"},
        {1234567.5, 0, 2, "1.234.567,50"},
        {-1234567.5, 0, 2, "-1.234.567,50"},
        {123456.0, 0, 2, "123.456,00"},
        {1.005, 0, 2, "1,01"},       // rounded as written, not as stored
        {0.125, 0, 2, "0,13"},       // an exact binary half goes away from zero
        {-0.125, 0, 2, "-0,13"},
        {999.995, 0, 2, "1.000,00"}, // carry into a new group
        {-0.001, 0, 2, "0,00"},      // nothing non-zero shown, no sign
        {12.0, 0, 5, "12,00000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatNumber(c.x, c.width, c.decimals), c.expected) << c.x << " d=" << c.decimals;
}

TEST(NumbersFormat, AutomaticAndNoDecimals) {
    const FormatCase cases[] = {
        {5.0, 0, 0, "5"},
        {1234.25, 0, 0, "1.234,25"},
        {-1234.25, 0, 0, "-1.234,25"},
        {0.1 + 0.2, 0, 0, "0,3"},
        {1.000004, 0, 0, "1"},  // fraction zero at 5 decimals
        {0.999996, 0, 0, "1"},
        {-0.000001, 0, 0, "0"},
        {2.123456, 0, 0, "2,12346"},
        {1234.5, 0, -1, "1.235"},
        {2.5, 0, -1, "3"},
        {-2.5, 0, -1, "-3"},
        {0.4, 0, -1, "0"},
        {123456789012345.0, 0, -1, "123.456.789.012.345"},
        {1e18, 0, -1, "1.000.000.000.000.000.000"}, // grouped all the way
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatNumber(c.x, c.width, c.decimals), c.expected) << c.x << " d=" << c.decimals;
}

TEST(NumbersFormat, WidthPadsTheIntegerTextToWidthPlusOne) {
    const FormatCase cases[] = {
        {5.0, 10, 2, "          5,00"},   // "5" padded to 11 characters
        {-1234.5, 10, 2, "     -1.234,50"}, // "-1.234" padded to 11
        {123456.0, 7, -1, " 123.456"},     // exactly as long as the width: padded
        {1234567.0, 7, -1, "1.234.567"},   // longer than the width: as it is
        {12.0, 3, 5, "  12,00000"},
        {0.0, 1, 0, " 0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatNumber(c.x, c.width, c.decimals), c.expected) << c.x << " w=" << c.width;
}

TEST(NumbersFormat, NonFiniteValues) {
    EXPECT_EQ(formatNumber(std::numeric_limits<double>::quiet_NaN(), 0, 2), "NAN");
    EXPECT_EQ(formatNumber(std::numeric_limits<double>::infinity(), 0, 2), "INF");
    EXPECT_EQ(formatNumber(-std::numeric_limits<double>::infinity(), 0, 2), "-INF");
}

TEST(NumbersFormat, ReadsBackThroughParseDecimal) {
    for (double x : {0.0, 1234567.89, -0.01, -98765.4321, 1e12 + 0.5})
        EXPECT_EQ(parseDecimal(formatNumber(x, 0, 4), 4), x) << x;
}

struct RoundCase {
    double x;
    int decimals;
    double expected;
};

TEST(NumbersRound, HalvesGoAwayFromZero) {
    const RoundCase cases[] = {
        {2.5, 0, 3.0},      {-2.5, 0, -3.0},    {2.4, 0, 2.0},     {-2.4, 0, -2.0},
        {1.234, 2, 1.23},   {1.236, 2, 1.24},   {-1.236, 2, -1.24}, {0.125, 2, 0.13},
        {1234.56789, 0, 1235.0},                {1.234567891, 5, 1.23457},
        {0.1 + 0.2, 1, 0.3},
        {2.4999996, 0, 3.0}, // first rounded to 5 decimals: 2.50000
        {1.25, -1, 1.0},     // negative decimals count as 0
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(roundTo(c.x, c.decimals), c.expected) << c.x << " n=" << c.decimals;
}

TEST(NumbersRound, BinaryScalingDecidesValuesWrittenAsHalves) {
    // The scaling divides by 0.01 in binary floating point, so what counts is
    // the double behind the decimal literal:
    //   2.345 is stored as 2.34500000000000019540..., 2.345 / 0.01 gives
    //   234.50000000000003, +0.5 truncates to 235  -> 2.35;
    //   1.005 is stored as 1.00499999999999989342..., 1.005 / 0.01 gives
    //   100.49999999999999, +0.5 truncates to 100  -> 1.00;
    //   0.285 is stored as 0.28499999999999997557...           -> 0.28.
    // It is a division by 0.01, not a multiplication by 100: 0.235 (stored as
    // 0.23499999999999998668...) / 0.01 gives 23.499999999999996 -> 0.23,
    // where 0.235 * 100 would give exactly 23.5 and 0.24.
    // The first step (5 decimals through the text) gives back the same double
    // for each of them, so it does not change the outcome.
    EXPECT_DOUBLE_EQ(roundTo(2.345, 2), 2.35);
    EXPECT_DOUBLE_EQ(roundTo(1.005, 2), 1.0);
    EXPECT_DOUBLE_EQ(roundTo(0.285, 2), 0.28);
    EXPECT_DOUBLE_EQ(roundTo(-1.005, 2), -1.0);
    EXPECT_DOUBLE_EQ(roundTo(0.235, 2), 0.23);
}

TEST(NumbersRound, ResultIsTheDoubleNearestToTheDecimalValue) {
    // Exact equality: the stored value must carry no binary noise.
    const RoundCase cases[] = {
        {1000.0, 5, 1000.0}, {5.75, 5, 5.75},     {11.5 * 50 / 100, 5, 5.75}, {0.3, 5, 0.3},
        {2.99, 2, 2.99},     {1234.56, 2, 1234.56}, {0.1 + 0.2, 5, 0.3},     {-7.1, 1, -7.1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(roundTo(c.x, c.decimals), c.expected) << c.x << " n=" << c.decimals;
}

TEST(NumbersRound, EdgeValues) {
    const double zero = roundTo(-0.001, 2);
    EXPECT_EQ(zero, 0.0);
    EXPECT_FALSE(std::signbit(zero));
    EXPECT_EQ(roundTo(1e20, 2), 1e20); // no fraction left at that scale
    EXPECT_EQ(roundTo(-1e300, 5), -1e300);
    EXPECT_TRUE(std::isnan(roundTo(std::numeric_limits<double>::quiet_NaN(), 2)));
    EXPECT_EQ(roundTo(std::numeric_limits<double>::infinity(), 2), std::numeric_limits<double>::infinity());
}

// Values that put the two roads of the five-decimal step to the test: typed
// quantities and the products the windows make of them, decimal halves at the sixth
// decimal read from their text and the doubles a few units of the last place around
// them, 1e-6 steps (also summed, with their drift), random magnitudes and random
// bit patterns (huge, tiny, subnormal), the edge of the arithmetic road's range.
struct FiveDecimalSamples {
    std::vector<double> ordinary; // what the books hold and compute
    std::vector<double> hard;     // halves, neighbours, magnitudes, bit patterns
};
FiveDecimalSamples fiveDecimalSamples() {
    std::mt19937_64 rng(20140101);
    FiveDecimalSamples samples;
    std::vector<double>& v = samples.hard;
    std::vector<double>& o = samples.ordinary;
    const auto around = [&](double x) {
        double up = x, down = x;
        for (int i = 0; i < 4; ++i) {
            v.push_back(up);
            v.push_back(down);
            up = std::nextafter(up, std::numeric_limits<double>::infinity());
            down = std::nextafter(down, -std::numeric_limits<double>::infinity());
        }
    };
    const auto fromText = [](const std::string& text) {
        double x = 0;
        std::from_chars(text.data(), text.data() + text.size(), x);
        return x;
    };
    for (int i = 0; i < 40000; ++i) {
        // "I.FFFFF5", "I.FFFFF50000001", "I.FFFFF49999999", negatives too.
        const std::uint64_t whole = rng() % (std::uint64_t{1} << (rng() % 34));
        std::string fraction = std::to_string(rng() % 100000);
        fraction.insert(0, 5 - fraction.size(), '0');
        const char* tails[] = {"5", "50000001", "49999999", "500000000001", "4999999999999"};
        const std::string text = std::to_string(whole) + "." + fraction + tails[i % 5];
        around(fromText(text));
        around(-fromText(text));
    }
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    double drift = 0;
    for (int i = 0; i < 200000; ++i) {
        const double k = static_cast<double>(rng() % 10000000);
        o.push_back(k / 1000);
        o.push_back(-k / 100);
        o.push_back(k / 100 * 12.5 / 100); // hectolitre-degrees of litres at 12.5
        o.push_back(unit(rng) * std::pow(10.0, static_cast<double>(rng() % 10) - 3));
        // Half of these end in a 5 at the sixth decimal.
        v.push_back(k * 0.125 / 1000);
        v.push_back(k / 1000 * 12.5 / 100 * 2.99);
        v.push_back(i * 1e-6);
        v.push_back(drift += 1e-6);
        v.push_back(unit(rng) * std::pow(10.0, static_cast<double>(rng() % 20) - 8));
        const double bits = std::bit_cast<double>(rng());
        if (std::isfinite(bits)) v.push_back(bits);
    }
    for (double x : {0.1 + 0.2, 0.000005, 0.0000049999999, 2.4999996, 1.005, 2.345, 5e-324,
                     std::numeric_limits<double>::min(), 0x1p50 / 1e5, 0x1p52 / 1e5, 1e10 + 0.000005, 0.0})
        around(x), around(-x);
    return samples;
}

TEST(NumbersRound, FiveDecimalStepByArithmeticGivesTheTextsDouble) {
    const FiveDecimalSamples samples = fiveDecimalSamples();
    std::size_t differing = 0;
    const auto answeredOf = [&](const std::vector<double>& values) {
        std::size_t answered = 0;
        for (double x : values) {
            const std::optional<double> quick = fiveDecimalsByArithmetic(x);
            if (!quick) continue;
            ++answered;
            // Bit for bit: 0 and -0 differ here.
            const double text = fiveDecimalsThroughText(x);
            if (std::bit_cast<std::uint64_t>(*quick) != std::bit_cast<std::uint64_t>(text) && ++differing <= 10)
                ADD_FAILURE() << std::hexfloat << x << ": " << *quick << " by arithmetic, " << text
                              << " through the text";
        }
        return answered;
    };
    const std::size_t hard = answeredOf(samples.hard);
    const std::size_t ordinary = answeredOf(samples.ordinary);
    EXPECT_EQ(differing, 0u) << "of " << hard + ordinary << " values answered by arithmetic";
    // The arithmetic road must carry the ordinary values, or it saves nothing.
    EXPECT_GT(ordinary, samples.ordinary.size() * 99 / 100) << samples.ordinary.size() << " ordinary values";
    EXPECT_GT(hard, 0u);
}

TEST(NumbersRound, FiveDecimalStepDeclinesHalvesAndValuesOutOfItsRange) {
    // Where the text sits on the half (or its side is not sure), the text decides.
    for (double x : {0.000005, -1.000005, 12345.678905, 0x1p50 / 1e5, 1e300,
                     std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()})
        EXPECT_FALSE(fiveDecimalsByArithmetic(x).has_value()) << x;
    const RoundCase halves[] = {{0.000005, 5, 0.00001}, {-1.000005, 5, -1.00001}, {12345.678905, 5, 12345.67891},
                                {0.0000049999999, 5, 0.0}, {-0.0000049999999, 5, 0.0}};
    for (const auto& c : halves) {
        EXPECT_EQ(roundTo(c.x, c.decimals), c.expected) << c.x;
        if (c.expected == 0) {
            EXPECT_FALSE(std::signbit(roundTo(c.x, c.decimals))) << c.x;
        }
    }
}

} // namespace
} // namespace accise
