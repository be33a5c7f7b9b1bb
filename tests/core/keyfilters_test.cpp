#include "core/tables/keyfilters.h"

#include <gtest/gtest.h>

#include <string>

namespace accise {
namespace {

struct KeyCase {
    KeyFilter filter;
    std::string text;
    char32_t key;
    KeyOutcome::Kind kind;
    char32_t inserted; // what goes into the field when accepted
};

constexpr auto kAccept = KeyOutcome::Accept;
constexpr auto kReject = KeyOutcome::Reject;
constexpr auto kMove = KeyOutcome::MoveNext;

TEST(KeyFilterDecisions, FilterTable) {
    using F = KeyFilter;
    const KeyCase cases[] = {
        // Enter moves on in every filter, whatever the text.
        {F::NextField, "abc", U'\r', kMove, 0},
        {F::UnsignedDigits, "", U'\r', kMove, 0},
        {F::SignedInteger, "12", U'\r', kMove, 0},
        {F::Decimal, "1,5", U'\r', kMove, 0},
        // Next-field takes anything else.
        {F::NextField, "", U'x', kAccept, U'x'},
        {F::NextField, "abc", U'\u00E8', kAccept, U'\u00E8'},
        {F::NextField, "abc", U'\b', kAccept, U'\b'},
        // Unsigned digits.
        {F::UnsignedDigits, "", U'0', kAccept, U'0'},
        {F::UnsignedDigits, "201", U'9', kAccept, U'9'},
        {F::UnsignedDigits, "2015", U'\b', kAccept, U'\b'},
        {F::UnsignedDigits, "", U'-', kReject, 0},
        {F::UnsignedDigits, "", U',', kReject, 0},
        {F::UnsignedDigits, "12", U'a', kReject, 0},
        {F::UnsignedDigits, "12", U' ', kReject, 0},
        {F::UnsignedDigits, "12", U'\u0663', kReject, 0}, // a non-ASCII digit
        // Signed integer: "-" only into an empty field.
        {F::SignedInteger, "", U'-', kAccept, U'-'},
        {F::SignedInteger, "1", U'-', kReject, 0},
        {F::SignedInteger, "-", U'-', kReject, 0},
        {F::SignedInteger, "-", U'5', kAccept, U'5'},
        {F::SignedInteger, "5", U',', kReject, 0},
        {F::SignedInteger, "5", U'.', kReject, 0},
        {F::SignedInteger, "5", U'\x03', kReject, 0}, // Ctrl+C
        // Decimal: one ",", a "." typed becomes ",".
        {F::Decimal, "", U'-', kAccept, U'-'},
        {F::Decimal, "1234", U'-', kReject, 0},
        {F::Decimal, "1234", U',', kAccept, U','},
        {F::Decimal, "1234", U'.', kAccept, U','},
        {F::Decimal, "", U',', kAccept, U','},
        {F::Decimal, "1,5", U',', kReject, 0},
        {F::Decimal, "1,5", U'.', kReject, 0},
        {F::Decimal, "1,5", U'7', kAccept, U'7'},
        {F::Decimal, "1,5", U'\b', kAccept, U'\b'},
        {F::Decimal, "1", U'e', kReject, 0},
        {F::Decimal, "1", U'+', kReject, 0},
    };
    for (const auto& c : cases) {
        const KeyOutcome out = filterKey(c.filter, c.text, c.key);
        EXPECT_EQ(out.kind, c.kind) << "filter " << static_cast<int>(c.filter) << " text \"" << c.text
                                    << "\" key " << static_cast<unsigned>(c.key);
        if (c.kind == kAccept) {
            EXPECT_EQ(out.key, c.inserted) << static_cast<unsigned>(c.key);
        }
    }
}

// Types keys into a decimal field the way the window does: grouping removed
// before each key, the filter asked, the key appended, the text regrouped.
// Returns the keys that were refused.
std::u32string typeIntoDecimalField(std::string& field, std::u32string_view keys) {
    std::u32string refused;
    for (char32_t key : keys) {
        const std::string plain = removeGrouping(field);
        const KeyOutcome out = filterKey(KeyFilter::Decimal, plain, key);
        if (out.kind != KeyOutcome::Accept) {
            refused += key;
            continue;
        }
        std::string edited = plain;
        if (out.key == U'\b') {
            if (!edited.empty()) edited.pop_back();
        } else {
            edited += static_cast<char>(out.key);
        }
        field = regroupDecimalEntry(edited);
    }
    return refused;
}

TEST(KeyFilterDecimalEntry, TypingRegroupsAsTheUserGoes) {
    std::string field;
    EXPECT_EQ(typeIntoDecimalField(field, U"1234567"), U"");
    EXPECT_EQ(field, "1.234.567");
    EXPECT_EQ(typeIntoDecimalField(field, U",5"), U"");
    EXPECT_EQ(field, "1.234.567,5");
    EXPECT_EQ(typeIntoDecimalField(field, U",.-"), U",.-"); // second comma, point and late minus refused
    EXPECT_EQ(field, "1.234.567,5");
    EXPECT_EQ(typeIntoDecimalField(field, U"\b\b\b"), U"");
    EXPECT_EQ(field, "123.456");

    std::string negative;
    EXPECT_EQ(typeIntoDecimalField(negative, U"-9876.54"), U"");
    EXPECT_EQ(negative, "-9.876,54"); // the typed point became the comma
}

TEST(KeyFilterDecimalEntry, Regrouping) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"1", "1"},
        {"123", "123"},
        {"1234", "1.234"},
        {"123456", "123.456"},
        {"1234567", "1.234.567"},
        {"1234567,5", "1.234.567,5"},
        {"-1234", "-1.234"},
        {"-", "-"},
        {",5", ",5"},
        {"1234,", "1.234,"},
        {"1234,56789", "1.234,56789"}, // fraction not grouped
        {"1.234.567", "1.234.567"},    // regrouping a grouped text changes nothing
        {"12.34", "1.234"},
        {"1,2,3", "1,23"},             // only the first comma kept
        {"12a3 4", "1.234"},
        {"0001", "0.001"},
        {std::string(34, '1'), "111.111.111.111.111.111.111.111.111.111"}, // first 30 characters
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(regroupDecimalEntry(text), expected) << '"' << text << '"';
}

TEST(KeyFilterDecimalEntry, RemoveGrouping) {
    EXPECT_EQ(removeGrouping("-1.234.567,5"), "-1234567,5");
    EXPECT_EQ(removeGrouping("..."), "");
    EXPECT_EQ(removeGrouping("12,5"), "12,5");
}

TEST(KeyFilterCase, AsciiAndItalianAccentedLetters) {
    EXPECT_EQ(toUpperAscii("perché così più già è ò"), "PERCHÉ COSÌ PIÙ GIÀ È Ò");
    EXPECT_EQ(toLowerAscii("PERCHÉ COSÌ PIÙ GIÀ È Ò"), "perché così più già è ò");
    EXPECT_EQ(toUpperAscii("via roma 12/b"), "VIA ROMA 12/B");
    // Other letters, accented or not, are left alone.
    EXPECT_EQ(toUpperAscii("ñ ç ä ß €"), "ñ ç ä ß €");
    EXPECT_EQ(toLowerAscii("Ñ Ç Ä"), "Ñ Ç Ä");
    // A lone lead byte at the end is kept as it is.
    EXPECT_EQ(toUpperAscii("a\xC3"), "A\xC3");
}

TEST(KeyFilterCase, CapitalizeFirstOnly) {
    EXPECT_EQ(capitalizeFirst("via roma"), "Via roma");
    EXPECT_EQ(capitalizeFirst("àncora bella"), "Àncora bella");
    EXPECT_EQ(capitalizeFirst("èra"), "Èra");
    EXPECT_EQ(capitalizeFirst("Già fatto"), "Già fatto");
    EXPECT_EQ(capitalizeFirst("1 maggio"), "1 maggio");
    EXPECT_EQ(capitalizeFirst(" via"), " via");
    EXPECT_EQ(capitalizeFirst(""), "");
}

TEST(KeyFilterEmptyField, BlanksOnlyAreEmpty) {
    for (const char* text : {"", " ", "     ", "\t", " \r\n "})
        EXPECT_TRUE(isEmptyField(text)) << '"' << text << '"';
    for (const char* text : {"!", " a", "a ", "0", "\xC3\xA0", "  .  "})
        EXPECT_FALSE(isEmptyField(text)) << '"' << text << '"';
}

} // namespace
} // namespace accise
