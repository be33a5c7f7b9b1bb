// The three record layouts and the Windows-1252 text fields.
#include <gtest/gtest.h>

#include "core/files/binary.h"
#include "core/files/text1252.h"
#include "core/records/address.h"
#include "core/records/movement.h"
#include "core/records/movementview.h"
#include "core/records/recordfields.h"
#include "core/records/tablerecord.h"

using namespace accise;

TEST(Text1252, RoundTripsEveryByteIncludingTheUndefinedOnes) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(encode1252(decode1252(all)), all);
}

TEST(Text1252, MapsTheSpecialRangeAndAccents) {
    EXPECT_EQ(decode1252("\x80"), "€");
    EXPECT_EQ(encode1252("€"), "\x80");
    EXPECT_EQ(encode1252("perché è così"), "perch\xE9 \xE8 cos\xEC");
    EXPECT_EQ(decode1252("\x81"), "\xC2\x81"); // undefined byte: the C1 control of the same value
    EXPECT_EQ(encode1252("日本"), "??");        // not representable
    EXPECT_EQ(utf8Length("Città"), 5u);
}

TEST(Text1252, PaddingCountsCharactersNotUtf8Bytes) {
    EXPECT_EQ(padded1252("Città", 7), "Citt\xE0  ");
    EXPECT_EQ(padded1252("ABCDEF", 3), "ABC");
    EXPECT_EQ(trimmed("  ab c \t"), "ab c");
}

TEST(MovementRecord, FieldsLandAtTheirOffsets) {
    Movement m = blankMovement();
    m.NUMREC = 7;
    m.DATMOV = 41999;
    m.TIPREG = "N";
    m.UFFDOG = "IT079100";
    m.NUMPRO = "123";
    m.NUMOPE = 5;
    m.PRODDO = "B000-22030001-00-0000";
    m.QTALIT = 1000.5;
    m.CODPAE = "IT";
    m.ANNOTA = "nota è";
    m.NUMCPR = 3;
    m.TIPDES = "1";
    const std::string b = encodeMovement(m);
    ASSERT_EQ(b.size(), 592u);
    EXPECT_EQ(binary::getInt32(b.data()), 7);
    EXPECT_EQ(binary::getDouble(b.data() + 24), 41999.0);
    EXPECT_EQ(b.substr(36, 2), std::string("\x01N", 2));
    EXPECT_EQ(b.substr(38, 9), std::string("\x08IT079100", 9));
    EXPECT_EQ(b.substr(52, 11), std::string("\x0A" "123       ", 11));
    EXPECT_EQ(binary::getInt32(b.data() + 64), 5);
    EXPECT_EQ(b.substr(89, 22), std::string("\x15" "B000-22030001-00-0000", 22));
    EXPECT_EQ(binary::getDouble(b.data() + 128), 1000.5);
    EXPECT_EQ(b.substr(238, 3), std::string("\x02IT", 3));
    EXPECT_EQ(b.substr(288, 8), std::string("\xFA" "nota \xE8", 7) + " ");
    EXPECT_EQ(binary::getInt32(b.data() + 568), 3);
    EXPECT_EQ(b.substr(584, 2), std::string("\x01" "1", 2));
    // Unused bytes are written as zero.
    for (std::size_t off : {22u, 23u, 63u, 111u, 162u, 206u, 268u, 539u, 567u, 572u, 586u, 591u})
        EXPECT_EQ(b[off], '\0') << "offset " << off;
}

TEST(MovementRecord, DecodeReadsBackAndFlagsOversizedLengthBytes) {
    Movement m = blankMovement();
    m.NUMDOC = "DOC/1";
    m.GRAPLA = 12.5;
    std::string b = encodeMovement(m);
    Movement back;
    EXPECT_TRUE(decodeMovement(b, back));
    EXPECT_EQ(trimmed(back.NUMDOC), "DOC/1");
    EXPECT_EQ(back.GRAPLA, 12.5);

    b[180] = static_cast<char>(200); // TIPDOC is 3 wide
    EXPECT_FALSE(decodeMovement(b, back));
    EXPECT_EQ(back.TIPDOC.size(), 3u);
    EXPECT_EQ(oversizedTextFields(movementFields(), b), std::vector<std::string>{"TIPDOC"});
}

// The record selection list reads its texts straight from the stored bytes: each must
// be what decoding the whole record and trimming it gives.
TEST(MovementView, TextIsTheTrimmedDecodedField) {
    namespace o = movement_offset;
    Movement m = blankMovement();
    m.ANNOTA = "  perché è così  ";
    m.MITDES = "IT00RMA00555K";
    m.NUMDOC = "";
    std::string bytes = encodeMovement(m);
    bytes[o::CODPAE] = 9; // a length byte beyond the 2-character width: cut to the width
    bytes[o::CODPAE + 1] = 'I';
    bytes[o::CODPAE + 2] = 'T';
    Movement decoded = decodeMovement(bytes);
    trimMovement(decoded);
    const MovementView view(bytes);
    const struct {
        std::size_t offset, width;
        std::string expected;
    } cases[] = {
        {o::ANNOTA, 250, "perché è così"}, // Windows-1252 accents come back as UTF-8
        {o::MITDES, 16, "IT00RMA00555K"},
        {o::NUMDOC, 21, ""},
        {o::CODPAE, 2, "IT"},
    };
    for (const auto& c : cases) EXPECT_EQ(view.text(c.offset, c.width), c.expected) << c.offset;
    EXPECT_EQ(view.text(o::ANNOTA, 250), decoded.ANNOTA);
    EXPECT_EQ(view.text(o::CODPAE, 2), decoded.CODPAE);
}

TEST(MovementRecord, BlankRecordHasSpacesAndZeros) {
    const std::string b = encodeMovement(blankMovement());
    for (int i = 0; i < 20; ++i) EXPECT_EQ(b[i], '\0');
    EXPECT_EQ(b.substr(288, 251), std::string(1, '\xFA') + std::string(250, ' '));
}

TEST(AddressRecord, FieldsLandAtTheirOffsets) {
    AddressRecord a = blankAddress();
    a.code = 3;
    a.id1 = "IT00ABA00001X";
    a.name1 = "Birrificio";
    a.postcode2 = "ALCOPP";
    a.auth_type = "1";
    const std::string b = encodeAddress(a);
    ASSERT_EQ(b.size(), 608u);
    EXPECT_EQ(binary::getInt32(b.data()), 3);
    EXPECT_EQ(b.substr(4, 14), "\x12IT00ABA00001X");
    EXPECT_EQ(b.substr(42, 11), "\x64" "Birrificio");
    EXPECT_EQ(b.substr(440, 7), "\x0A" "ALCOPP");
    EXPECT_EQ(b.substr(603, 2), "\x01" "1");
    EXPECT_EQ(b.substr(605), std::string(3, '\0'));
    EXPECT_EQ(trimmed(decodeAddress(b).name1), "Birrificio");
}

TEST(TableRecord, FieldsLandAtTheirOffsets) {
    TableRecord t = blankTable();
    t.number = 9;
    t.col[0] = "IT";
    t.col[9] = "ultima";
    t.extra[0] = "T004";
    t.ints[9] = -4;
    t.nums[0] = 41640;
    t.nums[29] = 2.99;
    const std::string b = encodeTable(t);
    ASSERT_EQ(b.size(), 5304u);
    EXPECT_EQ(b.substr(4, 3), "\xFAIT");
    EXPECT_EQ(b.substr(4 + 251 * 9, 7), "\xFAultima");
    EXPECT_EQ(b.substr(2514, 5), "\xFAT004");
    EXPECT_EQ(binary::getInt32(b.data() + 5024 + 36), -4);
    EXPECT_EQ(binary::getDouble(b.data() + 5064), 41640.0);
    EXPECT_EQ(binary::getDouble(b.data() + 5224 + 72), 2.99);
    TableRecord back = decodeTable(b);
    trimTable(back);
    EXPECT_EQ(back.col[9], "ultima");
    EXPECT_EQ(back.nums[29], 2.99);
}
