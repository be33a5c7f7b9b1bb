#include "core/tables/registers.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "core/files/lock.h"
#include "core/files/recordfile.h"
#include "core/tables/codetables.h"
#include "core/tables/dates.h"
#include "test_support.h"

namespace accise {
namespace {

using testing::RecordingPrompt;
using testing::TempDir;

TableRecord reg(std::int32_t number, std::string protocol, double first, double last, int type = 2) {
    TableRecord t = blankTable();
    t.number = number;
    t.col[kRegProtocolCol] = std::move(protocol);
    t.col[kRegOfficeCol] = "IT000100";
    t.extra[0] = "PROTOCOLLI";
    t.ints[kRegTypeInt] = type;
    t.nums[kRegProtocolDateNum] = first - 10;
    t.nums[kRegFirstDayNum] = first;
    t.nums[kRegLastDayNum] = last;
    return t;
}

TableRecord product(std::int32_t number, std::string code, std::string description = "birra") {
    TableRecord t = blankTable();
    t.number = number;
    t.col[0] = std::move(code);
    t.col[1] = std::move(description);
    t.extra[0] = "TA20";
    return t;
}

std::string fileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string encoded(const std::vector<TableRecord>& records) {
    std::string content;
    for (const TableRecord& r : records) content += encodeTable(r);
    return content;
}

std::vector<std::string> protocols(const std::vector<TableRecord>& registers) {
    std::vector<std::string> out;
    for (const TableRecord& r : registers) out.push_back(r.col[kRegProtocolCol]);
    return out;
}

class Registers : public ::testing::Test {
protected:
    void SetUp() override { folders.create(); }

    std::string validFor(std::string_view code, double date) {
        const auto found = registerValidFor(folders, code, date);
        return found ? found->col[kRegProtocolCol] : "none";
    }
    std::vector<std::string> fileOrder() { return protocols(readTable(folders.table("PROTOCOLLI"))); }

    TempDir dir;
    Folders folders = Folders::of(dir.path(), dir / "temp");
    RecordingPrompt prompt;
    const double jan2014 = dayNumber(2014, 1, 1);
    const double dec2014 = dayNumber(2014, 12, 31);
    const double jul2014 = dayNumber(2014, 7, 1);
    const double dec2015 = dayNumber(2015, 12, 31);
};

TEST_F(Registers, TypeIndexLetterAndName) {
    const std::vector<std::pair<char, std::string_view>> types = {
        {'M', "Materie prime"}, {'L', "Lavorazioni"}, {'F', "Finiti sfusi"}, {'N', "Finiti condizionati"}};
    for (int i = 0; i < kRegisterTypeCount; ++i) {
        EXPECT_EQ(registerTypeLetter(i), types[static_cast<std::size_t>(i)].first);
        EXPECT_EQ(registerTypeName(i), types[static_cast<std::size_t>(i)].second);
        EXPECT_EQ(registerTypeIndex(types[static_cast<std::size_t>(i)].first), i);
    }
    EXPECT_EQ(registerTypeLetter(-1), '\0');
    EXPECT_EQ(registerTypeLetter(4), '\0');
    EXPECT_EQ(registerTypeName(4), "");
    EXPECT_EQ(registerTypeIndex('m'), -1);
    EXPECT_EQ(registerTypeIndex('X'), -1);
}

TEST_F(Registers, ValidForTakesTheOverlappingRegisterWithTheLaterFirstDay) {
    saveRegister(folders, reg(0, "P2014", jan2014, dec2014), {product(11, "B001"), product(12, "B002")}, prompt);
    saveRegister(folders, reg(0, "P2015", jul2014, dec2015), {product(11, "B001")}, prompt);
    struct Case {
        const char* code;
        double date;
        const char* expected;
    };
    const Case cases[] = {
        {"B001", dayNumber(2014, 8, 15), "P2015"},
        {"B001", dayNumber(2014, 3, 15), "P2014"},
        {"B002", dayNumber(2014, 8, 15), "P2014"}, // only the first lists it
        {"B001", dayNumber(2015, 6, 15), "P2015"},
        {"B001", jan2014, "P2014"},                 // both ends of the validity count
        {"B001", dec2015, "P2015"},
        {"B001", jan2014 - 1, "none"},
        {"B001", dec2015 + 1, "none"},
        {"B003", dayNumber(2014, 8, 15), "none"},
        {" B001 ", dayNumber(2014, 3, 15), "P2014"}, // compared trimmed
        {"b001", dayNumber(2014, 3, 15), "none"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.code) + " " + formatDate(c.date));
        EXPECT_EQ(validFor(c.code, c.date), c.expected);
    }
}

TEST_F(Registers, RegisterWithoutItsProductListNeverMatches) {
    saveRegister(folders, reg(0, "P2014", jan2014, dec2014), {product(11, "B001")}, prompt);
    const std::int32_t second = saveRegister(folders, reg(0, "P2015", jul2014, dec2015), {product(11, "B001")}, prompt);
    fs::remove(folders.productList(second));

    EXPECT_EQ(validFor("B001", dayNumber(2014, 8, 15)), "P2014");
    EXPECT_EQ(validFor("B001", dayNumber(2015, 8, 15)), "none");
    EXPECT_FALSE(fs::exists(folders.productList(second))) << "the lookup must not create the list";
    EXPECT_TRUE(readProductList(folders, second).empty());
    EXPECT_FALSE(fs::exists(folders.productList(second)));
}

TEST_F(Registers, LastMatchInFileOrderWinsAndDaysAreRounded) {
    // Written out of order on purpose: the file order decides, not the first day.
    writeWholeFile(folders.table("PROTOCOLLI"),
                   encoded({reg(1, "LATER", jul2014, dec2014 + 0.4), reg(2, "EARLIER", jan2014, dec2014 + 0.4)}));
    writeWholeFile(folders.productList(1), encoded({product(5, "B001")}));
    writeWholeFile(folders.productList(2), encoded({product(5, "B001")}));

    EXPECT_EQ(validFor("B001", dayNumber(2014, 8, 15)), "EARLIER");
    EXPECT_EQ(validFor("B001", dayNumber(2014, 3, 15)), "EARLIER");
    EXPECT_EQ(validFor("B001", dec2014 + 0.45), "EARLIER") << "same whole day as the last day";
    EXPECT_EQ(validFor("B001", dec2014 + 0.6), "none") << "rounds to the next day";
    EXPECT_EQ(validFor("B001", jan2014 - 0.4), "EARLIER") << "rounds to the first day";
}

TEST_F(Registers, InsertOrdersByFirstDayWithEqualDaysInArrivalOrder) {
    const fs::path file = folders.table("PROTOCOLLI");
    EXPECT_EQ(insertRegister(folders, reg(0, "A", jul2014, dec2014), prompt), 1) << "into a missing file";
    EXPECT_EQ(insertRegister(folders, reg(0, "B", jan2014, dec2014), prompt), 2);
    EXPECT_EQ(insertRegister(folders, reg(0, "C", jul2014 + 0.3, dec2015), prompt), 3) << "same whole day as A";
    EXPECT_EQ(insertRegister(folders, reg(0, "D", dayNumber(2015, 1, 1), dec2015), prompt), 4);
    EXPECT_EQ(insertRegister(folders, reg(0, "E", jul2014 - 0.2, dec2015), prompt), 5) << "rounds to A's day";
    EXPECT_EQ(fileOrder(), (std::vector<std::string>{"B", "A", "C", "E", "D"}));
    EXPECT_FALSE(fs::exists(lockMarkerOf(file)));

    // Stored padded, byte for byte.
    TableRecord b = reg(2, "B", jan2014, dec2014);
    EXPECT_EQ(fileBytes(file).substr(0, kTableSize), encodeTable(b));
}

TEST_F(Registers, SavingAnEditedRegisterKeepsItsNumberAndReplacesIt) {
    const std::int32_t a = saveRegister(folders, reg(0, "A", jan2014, dec2014), {product(1, "B001"), product(2, "B002")},
                                        prompt);
    const std::int32_t b = saveRegister(folders, reg(0, "B", jul2014, dec2014), {product(1, "B001")}, prompt);
    ASSERT_EQ(a, 1);
    ASSERT_EQ(b, 2);

    // Register A moves to a later first day and keeps one product only.
    TableRecord edited = reg(a, "A-bis", dayNumber(2014, 9, 1), dec2015);
    EXPECT_EQ(saveRegister(folders, edited, {product(2, "B002", "doppio malto")}, prompt), a);
    EXPECT_EQ(fileOrder(), (std::vector<std::string>{"B", "A-bis"}));

    const std::vector<TableRecord> list = readProductList(folders, a);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].number, 2) << "the TA20 record number is kept";
    EXPECT_EQ(list[0].col[1], "doppio malto");
    EXPECT_DOUBLE_EQ(list[0].nums[0], edited.nums[kRegProtocolDateNum]);
    EXPECT_DOUBLE_EQ(list[0].nums[1], edited.nums[kRegFirstDayNum]);
    EXPECT_DOUBLE_EQ(list[0].nums[2], edited.nums[kRegLastDayNum]);
    EXPECT_EQ(fs::file_size(folders.productList(a)), kTableSize) << "rewritten whole, not overwritten in place";
    EXPECT_FALSE(fs::exists(lockMarkerOf(folders.table("PROTOCOLLI"))));
    EXPECT_FALSE(fs::exists(lockMarkerOf(folders.productList(a))));

    EXPECT_EQ(insertRegister(folders, reg(0, "C", jan2014, dec2014), prompt), 3) << "numbers are never reused";

    EXPECT_TRUE(deleteRegister(folders, a, prompt));
    EXPECT_EQ(fileOrder(), (std::vector<std::string>{"C", "B"}));
    EXPECT_TRUE(fs::exists(folders.productList(a))) << "deleting a register leaves its product list";
    EXPECT_FALSE(deleteRegister(folders, a, prompt));
}

TEST_F(Registers, WriteProductListRewritesTheFileWhole) {
    const std::vector<TableRecord> three = {product(1, "B001"), product(4, "B004"), product(2, "B002")};
    writeProductList(folders, 12, three, prompt);
    EXPECT_EQ(fileBytes(dir / "DATI_GEN" / "12_TA20.PRT"), encoded(three));

    writeProductList(folders, 12, {product(4, "B004")}, prompt);
    EXPECT_EQ(fileBytes(folders.productList(12)), encoded({product(4, "B004")}));
    EXPECT_EQ(readProductList(folders, 12)[0].col[0], "B004");
    EXPECT_FALSE(fs::exists(lockMarkerOf(folders.productList(12))));
}

TEST_F(Registers, RegistersValidOnFiltersByDateAndType) {
    insertRegister(folders, reg(0, "M2014", jan2014, dec2014, 0), prompt);
    insertRegister(folders, reg(0, "F2014", jan2014, dec2014, 2), prompt);
    insertRegister(folders, reg(0, "F2015", jul2014, dec2015, 2), prompt);
    insertRegister(folders, reg(0, "N2015", dayNumber(2015, 1, 1), dec2015, 3), prompt);

    const double aug2014 = dayNumber(2014, 8, 15);
    EXPECT_EQ(protocols(registersValidOn(folders, aug2014)), (std::vector<std::string>{"M2014", "F2014", "F2015"}));
    EXPECT_EQ(protocols(registersValidOn(folders, aug2014, RegisterTypes().set(2))),
              (std::vector<std::string>{"F2014", "F2015"}));
    EXPECT_EQ(protocols(registersValidOn(folders, dayNumber(2015, 3, 1), RegisterTypes().set(0).set(3))),
              (std::vector<std::string>{"N2015"}));
    EXPECT_TRUE(registersValidOn(folders, dayNumber(2016, 1, 1)).empty());
}

} // namespace
} // namespace accise
