#include "core/tables/deliveredtables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <set>
#include <stdexcept>

#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/tables/dates.h"
#include "test_support.h"

namespace accise {
namespace {

using testing::TempDir;

const std::map<std::string, DeliveredTable>& delivered() {
    static const std::map<std::string, DeliveredTable> tables = [] {
        std::map<std::string, DeliveredTable> m;
        for (auto& t : deliveredTables()) m.emplace(t.name, std::move(t));
        return m;
    }();
    return tables;
}

const DeliveredTable& table(const std::string& name) {
    const auto it = delivered().find(name);
    if (it == delivered().end()) throw std::runtime_error("no delivered table " + name);
    return it->second;
}

const TableRecord* findCode(const std::string& name, const std::string& code) {
    for (const auto& r : table(name).rows)
        if (r.col[0] == code) return &r;
    return nullptr;
}

// Lookup column names: each ended by ";".
std::size_t lookupNames(const TableRecord& structure) {
    return static_cast<std::size_t>(std::count(structure.extra[2].begin(), structure.extra[2].end(), ';'));
}

const std::vector<std::string> kCodeTables = {"T001", "T004", "T010", "TA03", "TA05C", "TA05S",
                                              "TA20", "TA21C", "TA21S", "TA22"};
const std::vector<std::string> kStructureOnly = {"PRAZ", "PROTOCOLLI", "INDIRIZZI_C", "INDIRIZZI_F",
                                                 "INDIRIZZI_D", "INDIRIZZI_G", "INDIRIZZI_T"};

TEST(DeliveredTables, CatalogueHasEveryStructureWithKeysTitleAndName) {
    std::set<std::string> expected(kCodeTables.begin(), kCodeTables.end());
    expected.insert(kStructureOnly.begin(), kStructureOnly.end());
    expected.insert("ACCISE");
    std::set<std::string> names;
    for (const auto& [name, t] : delivered()) names.insert(name);
    EXPECT_EQ(names, expected);

    for (const auto& [name, t] : delivered()) {
        SCOPED_TRACE(name);
        EXPECT_GE(t.structure.number, 1);
        EXPECT_FALSE(t.structure.extra[1].empty());
        EXPECT_EQ(t.structure.extra[0], name);
        EXPECT_GT(t.structure.ints[0], 0) << "column 0 holds the code";
        const bool structureOnly =
            std::find(kStructureOnly.begin(), kStructureOnly.end(), name) != kStructureOnly.end();
        EXPECT_EQ(t.hasTable, !structureOnly);
    }
    EXPECT_EQ(table("TA03").structure.extra[1], "Uffici Doganali");
    EXPECT_EQ(table("TA20").structure.extra[1], "Codici doganali identificativi dei prodotti (TA20)");
    EXPECT_EQ(table("ACCISE").structure.extra[1], "Tabella delle Accise");
}

TEST(DeliveredTables, TablesLookedUpByCodeHaveOneKeyAndTheExpectedCodeWidth) {
    const std::map<std::string, int> codeWidth = {
        {"T001", 2}, {"T004", 2}, {"TA03", 8},  {"TA05C", 3}, {"TA05S", 3},   {"TA20", 21},
        {"TA21C", 3}, {"TA21S", 3}, {"TA22", 3}, {"PRAZ", 20}, {"PROTOCOLLI", 10}};
    for (const auto& [name, width] : codeWidth) {
        SCOPED_TRACE(name);
        EXPECT_EQ(table(name).structure.number, 1);
        EXPECT_EQ(table(name).structure.ints[0], width);
    }
}

// The lookup list takes one caption per listed column from extra 2: code tables list
// column 0 and every column of positive width, the other lists have fixed columns.
TEST(DeliveredTables, LookupCaptionsCoverEveryListedColumn) {
    const std::map<std::string, std::size_t> fixedLists = {
        {"TA20", 5},        {"ACCISE", 4},      {"PRAZ", 6},        {"PROTOCOLLI", 6}, {"INDIRIZZI_C", 6},
        {"INDIRIZZI_F", 6}, {"INDIRIZZI_G", 7}, {"INDIRIZZI_T", 5}, {"INDIRIZZI_D", 6}};
    for (const auto& [name, t] : delivered()) {
        SCOPED_TRACE(name);
        std::size_t listed = 0;
        for (auto w : t.structure.ints) listed += w > 0 ? 1 : 0;
        const auto fixed = fixedLists.find(name);
        EXPECT_EQ(lookupNames(t.structure), fixed != fixedLists.end() ? fixed->second : listed);
    }
}

// What the editors would refuse or cut must not be delivered either.
TEST(DeliveredTables, RowsFitTheirStructure) {
    for (const auto& [name, t] : delivered()) {
        for (const auto& r : t.rows) {
            SCOPED_TRACE(name + " " + r.col[0]);
            EXPECT_FALSE(r.col[0].empty());
            EXPECT_EQ(r.extra[0], name);
            for (std::size_t i = 0; i < 10; ++i) {
                const auto width = static_cast<std::size_t>(t.structure.ints[i]);
                if (width == 0)
                    EXPECT_TRUE(r.col[i].empty()) << "text in unused column " << i;
                else
                    EXPECT_LE(utf8Length(r.col[i]), width) << "column " << i;
            }
        }
    }
}

TEST(DeliveredTables, FlagColumnsHoldSOrN) {
    const std::vector<std::pair<std::string, std::size_t>> flags = {{"T010", 2}, {"TA05C", 3}, {"TA05S", 3}};
    for (const auto& [name, column] : flags) {
        std::set<std::string> values;
        for (const auto& r : table(name).rows) {
            EXPECT_TRUE(r.col[column] == "S" || r.col[column] == "N") << name << " " << r.col[0];
            values.insert(r.col[column]);
        }
        EXPECT_EQ(values.size(), 2u) << name << ": both answers are needed";
    }
}

TEST(DeliveredTables, DocumentTypesCarryTheirSenderRecipientFlag) {
    struct Doc {
        const char* code;
        const char* flag;
        bool load, unload;
    };
    const Doc docs[] = {
        {"DAA", "S", true, true},  {"EAD", "S", true, true},   {"FBE", "S", true, true},
        {"ROR", "S", true, true},  {"FBR", "S", true, true},   {"NUL", "S", true, true},
        {"DAN", "S", true, true},  {"DSN", "S", true, true},   {"X-F", "S", true, true},
        {"XAB", "S", true, true},  {"VIA", "N", true, true},   {"DAC", "N", false, true},
        {"DSC", "N", false, true}, {"X-E", "N", false, true},  {"SCF", "N", false, true},
        {"COD", "S", false, true}, {"FBC", "S", false, true},
    };
    for (const Doc& d : docs) {
        for (const auto& [name, wanted] : {std::pair{"TA05C", d.load}, std::pair{"TA05S", d.unload}}) {
            SCOPED_TRACE(std::string(name) + " " + d.code);
            const TableRecord* r = findCode(name, d.code);
            ASSERT_EQ(r != nullptr, wanted);
            if (r) {
                EXPECT_EQ(r->col[3], d.flag);
                EXPECT_FALSE(r->col[1].empty());
            }
        }
    }
}

TEST(DeliveredTables, ReasonsTaxPositionsAndCountriesTheWindowsUse) {
    for (const char* code : {"009", "010", "030", "071"}) EXPECT_NE(findCode("TA21S", code), nullptr) << code;
    for (const char* code : {"109", "112", "114"}) EXPECT_NE(findCode("TA21C", code), nullptr) << code;

    std::vector<std::string> positions;
    for (const auto& r : table("TA22").rows) positions.push_back(r.col[0]);
    EXPECT_EQ(positions, (std::vector<std::string>{"000", "001", "002", "003", "004"}));

    ASSERT_NE(findCode("T004", "IT"), nullptr);
    EXPECT_EQ(findCode("T004", "IT")->col[1], "Italia");
    for (const char* code : {"EL", "XI", "DE", "FR", "GB", "US", "CH", "SM", "VA"})
        EXPECT_NE(findCode("T004", code), nullptr) << code;
    EXPECT_GE(table("T004").rows.size(), 250u);

    for (const auto& r : table("T001").rows)
        EXPECT_TRUE(r.col[0].size() == 2 && std::islower(static_cast<unsigned char>(r.col[0][0])) &&
                    std::islower(static_cast<unsigned char>(r.col[0][1])))
            << r.col[0];
    EXPECT_NE(findCode("T001", "it"), nullptr);
    for (const auto& r : table("TA03").rows) EXPECT_EQ(r.col[0].size(), 8u) << r.col[0];
}

TEST(DeliveredTables, ProductCodesHaveShapeUnitAndValidity) {
    const std::string units[] = {"Kilogrammi", "Ettogradi", "Litri idrati"};
    bool beer = false, rawMaterial = false;
    for (const auto& r : table("TA20").rows) {
        SCOPED_TRACE(r.col[0]);
        const std::string& c = r.col[0];
        ASSERT_EQ(c.size(), 21u);
        EXPECT_TRUE(c[4] == '-' && c[13] == '-' && c[16] == '-');
        EXPECT_TRUE(std::all_of(c.begin() + 5, c.begin() + 13, [](char d) { return d >= '0' && d <= '9'; }));
        ASSERT_TRUE(r.ints[0] >= 0 && r.ints[0] <= 2);
        EXPECT_EQ(r.col[2], units[r.ints[0]]);
        EXPECT_EQ(r.nums[0], dayNumber(2000, 1, 1));
        EXPECT_EQ(r.nums[1], dayNumber(2099, 12, 31));
        // Raw-material registers list the codes without "B" and count them in kilograms.
        if (c[0] == 'B') {
            beer = true;
            EXPECT_NE(r.ints[0], 0);
        } else {
            rawMaterial = true;
            EXPECT_EQ(r.ints[0], 0);
        }
    }
    EXPECT_TRUE(beer && rawMaterial);
    ASSERT_NE(findCode("TA20", "B000-22030001-00-0000"), nullptr);
    EXPECT_EQ(findCode("TA20", "B000-22030001-00-0000")->ints[0], 1);
}

TEST(DeliveredTables, ItalianExciseRates) {
    const std::vector<std::pair<double, double>> expected = {
        {dayNumber(2014, 1, 1), 2.70}, {dayNumber(2015, 1, 1), 3.04}, {dayNumber(2017, 1, 1), 3.02},
        {dayNumber(2019, 1, 1), 2.99}, {dayNumber(2022, 1, 1), 2.94}, {dayNumber(2023, 1, 1), 2.97},
        {dayNumber(2024, 1, 1), 2.99}};
    std::vector<std::pair<double, double>> italian;
    for (const auto& r : table("ACCISE").rows) {
        if (r.col[0] != "IT") continue;
        EXPECT_EQ(r.col[1], "1402");
        italian.emplace_back(r.nums[0], r.nums[1]);
    }
    EXPECT_EQ(italian, expected);
}

std::vector<TableRecord> readTableFile(const fs::path& file) {
    const RecordBlock block = readRecords(file, kTableSize, IfMissing::Empty);
    EXPECT_EQ(block.tailBytes(), 0u) << file;
    std::vector<TableRecord> records;
    for (std::size_t i = 0; i < block.count(); ++i) {
        TableRecord r;
        EXPECT_TRUE(decodeTable(block.at(i), r)) << file;
        trimTable(r);
        records.push_back(std::move(r));
    }
    return records;
}

void expectSameRecord(const TableRecord& a, const TableRecord& b) {
    EXPECT_EQ(a.number, b.number);
    EXPECT_EQ(a.col, b.col);
    EXPECT_EQ(a.extra, b.extra);
    EXPECT_EQ(a.ints, b.ints);
    EXPECT_EQ(a.nums, b.nums);
}

class DeliveredTablesInstall : public ::testing::Test {
protected:
    void SetUp() override { folders.create(); }
    TempDir dir;
    Folders folders = Folders::of(dir.path(), dir.path() / "temp");
};

TEST_F(DeliveredTablesInstall, WritesEveryFileThatDecodesBackInFileOrder) {
    const auto written = installDeliveredTables(folders);
    std::set<fs::path> expected;
    for (const auto& [name, t] : delivered()) {
        expected.insert(folders.structure(name));
        if (t.hasTable) expected.insert(folders.table(name));
    }
    EXPECT_EQ(std::set<fs::path>(written.begin(), written.end()), expected);
    EXPECT_EQ(written.size(), expected.size());

    for (const auto& [name, t] : delivered()) {
        SCOPED_TRACE(name);
        const auto structure = readTableFile(folders.structure(name));
        ASSERT_EQ(structure.size(), 1u);
        expectSameRecord(structure[0], t.structure);
        if (!t.hasTable) {
            EXPECT_FALSE(fileExists(folders.table(name)));
            continue;
        }
        const auto rows = readTableFile(folders.table(name));
        ASSERT_EQ(rows.size(), t.rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            expectSameRecord(rows[i], t.rows[i]);
            EXPECT_EQ(rows[i].number, static_cast<std::int32_t>(i + 1));
            if (i == 0) continue;
            // Strictly ascending: in file order and no code twice.
            const auto key = [&](const TableRecord& r) {
                return std::pair(name == "ACCISE" ? r.nums[0] : 0.0, padded1252(r.col[0], kTableTextWidth));
            };
            EXPECT_LT(key(rows[i - 1]), key(rows[i])) << rows[i - 1].col[0] << " / " << rows[i].col[0];
        }
    }
}

TEST_F(DeliveredTablesInstall, NeverOverwritesAnExistingFile) {
    ASSERT_FALSE(installDeliveredTables(folders).empty());
    EXPECT_TRUE(installDeliveredTables(folders).empty());

    // A clerk's edited table and an empty structure file stay as they are; a removed
    // file comes back.
    const std::string edited = encodeTable(table("TA03").rows.front());
    writeWholeFile(folders.table("TA03"), edited);
    writeWholeFile(folders.structure("T001"), "");
    fs::remove(folders.table("T004"));

    EXPECT_EQ(installDeliveredTables(folders), std::vector<fs::path>{folders.table("T004")});
    EXPECT_EQ(readRecords(folders.table("TA03"), kTableSize, IfMissing::Empty).bytes(), edited);
    EXPECT_EQ(fs::file_size(folders.structure("T001")), 0u);
    EXPECT_EQ(readTableFile(folders.table("T004")).size(), table("T004").rows.size());
}

TEST(DeliveredTables, SourcesParseIntoRecordsInFileOrder) {
    const std::string structure = "# comment\nkeys\t2\ntitle\tProva\nlookup\tA;B;\ncol\t0\tCodice\t3\ncol\t3\tFlag\t1\n";
    // Byte order of the padded Windows-1252 text: capitals before lower case, "É"
    // (0xC9) after every ASCII letter; equal codes keep their order.
    const std::string rows =
        "col0\tcol1\tint2\tnum0\tnum4\textra1\r\n"
        "b\tfirst b\t7\t01/01/2014\t2.97\tx\n"
        "\n"
        "É\te\t\t\t\t\n"
        "B\tcapital\t-3\t\t0.5\t\n"
        "b\tsecond b\t0\t\t-1\t\n";
    const DeliveredTable t = parseDeliveredTable("PROVA", structure, rows);
    EXPECT_EQ(t.structure.number, 2);
    EXPECT_EQ(t.structure.extra, (std::array<std::string, 10>{"PROVA", "Prova", "A;B;"}));
    EXPECT_EQ(t.structure.col[3], "Flag");
    EXPECT_EQ(t.structure.ints[3], 1);
    EXPECT_EQ(t.structure.ints[1], 0);

    ASSERT_EQ(t.rows.size(), 4u);
    std::vector<std::string> order;
    for (const auto& r : t.rows) order.push_back(r.col[1]);
    EXPECT_EQ(order, (std::vector<std::string>{"capital", "first b", "second b", "e"}));
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(t.rows[i].number, static_cast<std::int32_t>(i + 1));
    const TableRecord& firstB = t.rows[1];
    EXPECT_EQ(firstB.extra[0], "PROVA");
    EXPECT_EQ(firstB.extra[1], "x");
    EXPECT_EQ(firstB.ints[2], 7);
    EXPECT_EQ(firstB.nums[0], dayNumber(2014, 1, 1));
    EXPECT_DOUBLE_EQ(firstB.nums[4], 2.97);
    EXPECT_EQ(t.rows[0].ints[2], -3);
    EXPECT_DOUBLE_EQ(t.rows[2].nums[4], -1);

    EXPECT_FALSE(parseDeliveredTable("PROVA", structure, std::nullopt).hasTable);
}

TEST(DeliveredTables, ExciseRatesAreOrderedByDateThenCountry) {
    const std::string structure = "keys\t1\ntitle\tAccise\nlookup\tA;\ncol\t0\tNazione\t2\n";
    const std::string rows = "col0\tnum0\tnum1\nIT\t01/01/2014\t2.7\nDE\t01/01/2014\t0.787\nIT\t01/07/2013\t2.35\n";
    const DeliveredTable t = parseDeliveredTable("ACCISE", structure, rows);
    ASSERT_EQ(t.rows.size(), 3u);
    EXPECT_EQ(t.rows[0].nums[0], dayNumber(2013, 7, 1));
    EXPECT_EQ(t.rows[1].col[0], "DE");
    EXPECT_EQ(t.rows[2].col[0], "IT");
    EXPECT_DOUBLE_EQ(t.rows[2].nums[1], 2.7);
}

TEST(DeliveredTables, MalformedSourcesAreRefusedWithTheirLine) {
    const std::string goodStructure = "keys\t1\ntitle\tT\nlookup\tA;\ncol\t0\tCodice\t3\n";
    const std::string goodHeader = "col0\tcol1\tnum0\tint0\n";
    struct Case {
        const char* what;
        std::string structure;
        std::string rows;
        const char* where;
    };
    const Case cases[] = {
        {"no title", "keys\t1\nlookup\tA;\ncol\t0\tC\t3\n", goodHeader, "X.STR.tsv:0:"},
        {"key count 0", "keys\t0\ntitle\tT\nlookup\tA;\ncol\t0\tC\t3\n", goodHeader, "X.STR.tsv:1:"},
        {"keys twice", "keys\t1\nkeys\t2\ntitle\tT\nlookup\tA;\ncol\t0\tC\t3\n", goodHeader, "X.STR.tsv:2:"},
        {"lookup name without ;", "keys\t1\ntitle\tT\nlookup\tA;B\ncol\t0\tC\t3\n", goodHeader, "X.STR.tsv:3:"},
        {"width 0", "keys\t1\ntitle\tT\nlookup\tA;\ncol\t0\tC\t0\n", goodHeader, "X.STR.tsv:4:"},
        {"width 251", "keys\t1\ntitle\tT\nlookup\tA;\ncol\t0\tC\t251\n", goodHeader, "X.STR.tsv:4:"},
        {"column 10", goodStructure + "col\t10\tC\t3\n", goodHeader, "X.STR.tsv:5:"},
        {"column twice", goodStructure + "col\t0\tC\t3\n", goodHeader, "X.STR.tsv:5:"},
        {"no column 0", "keys\t1\ntitle\tT\nlookup\tA;\ncol\t1\tC\t3\n", goodHeader, "X.STR.tsv:0:"},
        {"unknown directive", goodStructure + "witdh\t3\n", goodHeader, "X.STR.tsv:5:"},
        {"unknown field", goodStructure, "col0\tcolour\n", "X.TAB.tsv:1:"},
        {"extra0 is the table name", goodStructure, "col0\textra0\n", "X.TAB.tsv:1:"},
        {"repeated field", goodStructure, "col0\tcol0\n", "X.TAB.tsv:1:"},
        {"no code column", goodStructure, "col1\n", "X.TAB.tsv:1:"},
        {"no header", goodStructure, "# only a comment\n", "X.TAB.tsv:0:"},
        {"missing cell", goodStructure, goodHeader + "A\tdesc\t1.5\n", "X.TAB.tsv:2:"},
        {"extra cell", goodStructure, goodHeader + "A\tdesc\t1.5\t1\t\n", "X.TAB.tsv:2:"},
        {"decimal comma", goodStructure, goodHeader + "A\tdesc\t2,70\t1\n", "X.TAB.tsv:2:"},
        {"impossible date", goodStructure, goodHeader + "A\tdesc\t31/02/2020\t1\n", "X.TAB.tsv:2:"},
        {"integer with text", goodStructure, goodHeader + "A\tdesc\t1\t1x\n", "X.TAB.tsv:2:"},
        {"integer with decimals", goodStructure, goodHeader + "A\tdesc\t1\t1.5\n", "X.TAB.tsv:2:"},
        {"text of 251 characters", goodStructure, goodHeader + "A\t" + std::string(251, 'x') + "\t1\t1\n",
         "X.TAB.tsv:2:"},
        {"character outside Windows-1252", goodStructure, goodHeader + "A\t\xE2\x9C\x93\t1\t1\n", "X.TAB.tsv:2:"},
        {"trailing blank", goodStructure, goodHeader + "A \tdesc\t1\t1\n", "X.TAB.tsv:2:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            parseDeliveredTable("X", c.structure, c.rows);
            ADD_FAILURE() << "accepted";
        } catch (const DeliveredTableError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.where, 0), 0u) << e.what();
        }
    }
    // A text of exactly 250 characters is the widest the record holds.
    EXPECT_NO_THROW(parseDeliveredTable("X", goodStructure, goodHeader + "A\t" + std::string(250, 'x') + "\t\t\n"));
}

} // namespace
} // namespace accise
