#include "core/tables/identifiers.h"

#include <gtest/gtest.h>

#include <string>

namespace accise {
namespace {

TEST(IdentifiersVat, ChecksumOfElevenDigits) {
    // Check digits worked out by hand from the weighting rule.
    EXPECT_TRUE(isValidVatNumber("00000000000"));
    EXPECT_TRUE(isValidVatNumber("12345678903"));
    EXPECT_TRUE(isValidVatNumber("07624630153")); // 7 in an even position: 14 -> 5
    EXPECT_TRUE(isValidVatNumber("00000000018"));

    const char* const invalid[] = {
        "12345678904", "07624630154", "00000000010", // wrong check digit
        "21345678903",                               // digits swapped
        "1234567890",  "123456789031", "",           // length
        "1234567890A", "A2345678903",  " 2345678903", "-0000000000",
    };
    for (const char* text : invalid)
        EXPECT_FALSE(isValidVatNumber(text)) << '"' << text << '"';
}

TEST(IdentifiersTaxCode, CheckLetterFromTheOddAndEvenTables) {
    // Check letters worked out by hand from the two tables.
    EXPECT_EQ(checkTaxCode("RSSMRA80A01H501U"), TaxCodeCheck::Valid);
    EXPECT_EQ(checkTaxCode("BNCLRA85T45F205L"), TaxCodeCheck::Valid);
    EXPECT_EQ(checkTaxCode("MRTMTT91D08F205J"), TaxCodeCheck::Valid);

    const char* const invalid[] = {
        "RSSMRA80A01H501A", // wrong check letter
        "RSSMRA80A01H501V",
        "SRSMRA80A01H501U", // two characters swapped
        "rssmra80a01h501u", // lower case
        "RSSMRA80A01h501U",
        "RSSMRA80A01H5#1U", // symbol
        "RSSMRA80A01H501 ",
        "RSSMRA80A01H501\xC3\x88", // 16 characters, the last one "È"
    };
    for (const char* text : invalid)
        EXPECT_EQ(checkTaxCode(text), TaxCodeCheck::Invalid) << '"' << text << '"';
}

TEST(IdentifiersTaxCode, OtherLengthsAreNotChecked) {
    for (const char* text : {"", "RSSMRA80A01H501", "RSSMRA80A01H501UX", "12345678903", "rss"})
        EXPECT_EQ(checkTaxCode(text), TaxCodeCheck::NotChecked) << '"' << text << '"';
}

TEST(IdentifiersExcise, ThirteenCapitalsOrDigitsWithPrefixAndKind) {
    EXPECT_TRUE(isValidExciseCode("IT00ABA00001X"));
    EXPECT_TRUE(isValidExciseCode("IT00Z9A1B2C3D"));

    const char* const invalid[] = {
        "IT01ABA00001X", "IT00ABB00001X", "IT00ABA00001", "", "it00aba00001x", "IT00aBA00001X",
        "IT00ABA0000-X", "IT00ABA0000 X", "IT00ABA00001XY", "IO00ABA00001X",
    };
    for (const char* text : invalid)
        EXPECT_FALSE(isValidExciseCode(text)) << '"' << text << '"';
}

TEST(IdentifiersExcise, KindLetterOfOtherSites) {
    EXPECT_TRUE(isValidExciseCode("IT00ABV00001X", 'V'));
    EXPECT_FALSE(isValidExciseCode("IT00ABV00001X"));
    EXPECT_FALSE(isValidExciseCode("IT00ABA00001X", 'V'));
}

} // namespace
} // namespace accise
