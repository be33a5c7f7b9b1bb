#include "logic/shell/lookuplist.h"

#include <gtest/gtest.h>

#include "core/records/movement.h"
#include "core/tables/addressbook.h"
#include "core/tables/dates.h"
#include "core/tables/registers.h"
#include "logic/codetable_testdata.h"

namespace accise {
namespace {

using testing::DataFolder;
using testing::fileBytes;
using testing::RecordingPrompt;
using testing::structureRecord;
using testing::tableRow;
using testing::writeRows;
using testing::writeStructure;

std::vector<std::vector<std::string>> cellsOf(const std::vector<LookupRow>& rows) {
    std::vector<std::vector<std::string>> cells;
    for (const auto& r : rows) cells.push_back(r.cells);
    return cells;
}

std::vector<std::int32_t> numbersOf(const std::vector<LookupRow>& rows) {
    std::vector<std::int32_t> numbers;
    for (const auto& r : rows) numbers.push_back(r.number);
    return numbers;
}

class LookupListTest : public ::testing::Test {
protected:
    DataFolder data;
    const Folders& folders = data.folders;
    RecordingPrompt prompt;

    LookupList open(const std::string& table, char mode = ' ', double date = 0) {
        return openLookupList(folders, {table, mode, date});
    }
    std::string listFile() const { return fileBytes(folders.inTemp("TABELLA.TXT")); }
};

TEST_F(LookupListTest, CodeTableFileIsWindows1252WithCrLfAndNumbers) {
    writeStructure(folders, structureRecord("TA03", "Uffici Doganali", "Codice;Descrizione;",
                                            {{"Codice Ufficio", 8}, {"Descrizione", 60}}));
    writeRows(folders.table("TA03"), {tableRow(4, "TA03", {"IT007100", "ANCONA"}),
                                      tableRow(2, "TA03", {"IT017100", "Città"})});

    const LookupList list = open("TA03");

    EXPECT_EQ(listFile(), "IT007100\r\n@4\r\n\tANCONA\r\nIT017100\r\n@2\r\n\tCitt\xE0\r\n");
    EXPECT_EQ(list.title, "Uffici Doganali");
    EXPECT_EQ(list.columns, (std::vector<LookupColumn>{{8, "Codice"}, {6, "Descrizione"}}));
    EXPECT_EQ(cellsOf(list.rows), (std::vector<std::vector<std::string>>{{"IT007100", "ANCONA"}, {"IT017100", "Città"}}));
    EXPECT_EQ(list.numberAt(1), 2);
    EXPECT_EQ(list.numberAt(2), -1);
    EXPECT_EQ(list.totalCharacters(), 9 + 7);
}

TEST_F(LookupListTest, AddressBookFileCarriesEntryCodes) {
    writeStructure(folders, structureRecord("INDIRIZZI_C", "Clienti", "A;B;C;D;E;F;", {{"Denominazione", 100}}));
    AddressRecord e = blankAddress();
    e.code = 7;
    e.name1 = "Birreria Alfa";
    e.id1 = "IT00ABC";
    e.id2 = "01234567890";
    e.street1 = "Via Roma";
    e.number1 = "12";
    e.city1 = "Ancona";
    e.postcode1 = "60100";
    e.section = "it";
    insertAddress(folders.addressBook('C'), e, prompt);

    const LookupList list = open("INDIRIZZI_C");

    EXPECT_EQ(listFile(), "Birreria Alfa\r\n@7\r\n\tIT00ABC\r\n\t01234567890\r\n\tVia Roma 12\r\n\tAncona 60100\r\n\tit\r\n");
    EXPECT_EQ(list.title, "Clienti");
    ASSERT_EQ(list.rows.size(), 1u);
    EXPECT_EQ(list.rows[0].number, 7);
    // "it" is raised to the minimum width.
    EXPECT_EQ(list.columns.back(), (LookupColumn{5, "F"}));
}

TEST_F(LookupListTest, AddressBookColumnsByKind) {
    struct Case {
        char kind;
        const char* auth;
        std::vector<std::string> cells;
    };
    const std::vector<Case> cases{
        {'F', "", {"Luppoli Spa", "IT00ABC", "0123", "Via Po 1", "Roma 00100", "it"}},
        {'G', "", {"Luppoli Spa", "IT00ABC", "0123", "Via Po 1", "Roma 00100", "C 998877", "it"}},
        {'T', "", {"Luppoli Spa", "0123", "Via Po 1", "Roma 00100", "it"}},
        {'D', "1", {"Luppoli Spa", "1", "IT00ABC", "Via Po 1", "Roma 00100", "0123 Sede B Via Bo 2 40100 Bologna it"}},
        {'D', "5", {"Luppoli Spa", "5", "IT00ABC", "Via Po 1", "Roma 00100", "U7 Sede B Via Bo 2 40100 Bologna it"}},
        {'D', "3", {"Luppoli Spa", "3", "IT00ABC", "Via Po 1", "Roma 00100", " Sede B Via Bo 2 40100 Bologna it"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(1, c.kind) + c.auth);
        DataFolder fresh;
        const std::string book = std::string("INDIRIZZI_") + c.kind;
        writeStructure(fresh.folders, structureRecord(book, "Rubrica", "", {{"Denominazione", 100}}));
        AddressRecord e = blankAddress();
        e.name1 = "Luppoli Spa";
        e.id1 = "IT00ABC";
        e.id2 = "0123";
        e.street1 = "Via Po";
        e.number1 = "1";
        e.city1 = "Roma";
        e.postcode1 = "00100";
        e.bond_kind = "C";
        e.guarantee_account = "998877";
        e.section = "it";
        e.auth_type = c.auth;
        e.user_code = "U7";
        e.name2 = "Sede B";
        e.street2 = "Via Bo";
        e.number2 = "2";
        e.postcode2 = "40100";
        e.city2 = "Bologna";
        insertAddress(fresh.folders.addressBook(c.kind), e, prompt);

        const LookupList list = openLookupList(fresh.folders, {book, ' ', 0});
        ASSERT_EQ(list.rows.size(), 1u);
        EXPECT_EQ(list.rows[0].cells, c.cells);
        EXPECT_EQ(list.columns.size(), c.cells.size());
    }
}

class RegisterLists : public LookupListTest {
protected:
    double protocolDay = dayNumber(2024, 1, 10);

    void SetUp() override {
        writeStructure(folders, structureRecord("PROTOCOLLI", "Registri Doganali", "Protocollo;Data;Tipo;Validità;Ufficio;Titolo;",
                                                {{"N. del Protocollo", 10}}));
        insertRegister(folders, reg("P1", 3, "Registro del condizionato"), prompt);
        insertRegister(folders, reg("P2", 0, "Materie"), prompt);
    }

    TableRecord reg(const std::string& protocol, int type, const std::string& title) const {
        TableRecord r = tableRow(0, "PROTOCOLLI", {protocol, "IT007100", title});
        r.ints[kRegTypeInt] = type;
        r.nums[kRegProtocolDateNum] = protocolDay;
        r.nums[kRegFirstDayNum] = dayNumber(2024, 1, 1);
        r.nums[kRegLastDayNum] = dayNumber(2024, 12, 31);
        return r;
    }

    void addInitialStock(const std::string& type, const std::string& protocol, const std::string& state,
                         const std::string& operation, std::string& bytes) const {
        Movement m = blankMovement();
        m.TIPREG = type;
        m.ANNPRO = "2024";
        m.NUMPRO = protocol;
        m.UFFDOG = "IT007100";
        m.STATO = state;
        m.TIPOPE = operation;
        bytes += encodeMovement(m);
    }
};

TEST_F(RegisterLists, ShowFixedWidthColumnsAndFilterRegistersWithInitialStock) {
    const LookupList all = open("PROTOCOLLI");
    EXPECT_EQ(cellsOf(all.rows),
              (std::vector<std::vector<std::string>>{
                  {"P1", "10/01/2024", "Finiti condizionati", "01/01/2024 - 31/12/2024", "IT007100", "Registro del condizionato"},
                  {"P2", "10/01/2024", "Materie prime", "01/01/2024 - 31/12/2024", "IT007100", "Materie"}}));
    std::vector<int> widths;
    for (const auto& c : all.columns) widths.push_back(c.width);
    EXPECT_EQ(widths, (std::vector<int>{11, 11, 23, 24, 9, 25}));

    // P1 has an active initial stock; P2's only one was superseded, and a cancellation
    // record of a correction does not count either.
    std::string stocks;
    addInitialStock("N", "P1", " ", "I", stocks);
    addInitialStock("M", "P2", "C", "I", stocks);
    addInitialStock("M", "P2", " ", "C", stocks);
    writeWholeFile(folders.initialStocks(), stocks);

    EXPECT_EQ(numbersOf(open("PROTOCOLLI", 'G').rows), std::vector<std::int32_t>{2});
    EXPECT_EQ(numbersOf(open("PROTOCOLLI", 'T').rows), (std::vector<std::int32_t>{1, 2}));
}

TEST_F(RegisterLists, ProductCodesFilteredByTheRegisterValidOnTheMovementDate) {
    writeStructure(folders, structureRecord("TA20", "Codici", "Codice;Descrizione;Dal;Al;Unità;", {{"Codice", 21}}));
    auto code = [](std::int32_t n, const std::string& c) {
        TableRecord r = tableRow(n, "TA20", {c, "Prodotto " + c, "Litri idrati"});
        r.nums[0] = dayNumber(2000, 1, 1);
        r.nums[1] = dayNumber(2099, 12, 31);
        return r;
    };
    writeRows(folders.table("TA20"), {code(1, "B000-22030000-00-0000"), code(2, "B000-22030000-00-0001"),
                                      code(3, "M000-11070000-00-0000")});
    // Register 1 (type 3, packaged) lists the second code; register 2 (raw materials) the third.
    saveRegister(folders, reg("P1", 3, "Condizionato"), {code(0, "B000-22030000-00-0001")}, prompt);
    saveRegister(folders, reg("P2", 0, "Materie"), {code(0, "M000-11070000-00-0000")}, prompt);

    const double in2024 = dayNumber(2024, 6, 1);
    EXPECT_EQ(numbersOf(open("TA20", ' ', in2024).rows), (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(numbersOf(open("TA20", 'G', in2024).rows), (std::vector<std::int32_t>{2, 3}));
    EXPECT_EQ(numbersOf(open("TA20", 'g', in2024).rows), std::vector<std::int32_t>{2});
    EXPECT_TRUE(open("TA20", 'G', dayNumber(2023, 6, 1)).rows.empty());

    const LookupList all = open("TA20");
    EXPECT_EQ(all.rows[0].cells, (std::vector<std::string>{"B000-22030000-00-0000", "Prodotto B000-22030000-00-0000",
                                                           "01/01/2000", "31/12/2099", "Litri idrati"}));
    EXPECT_EQ(all.columns[2].width, 10);
    EXPECT_EQ(all.columns[4].width, 13);
}

TEST_F(LookupListTest, ExciseRatesAndCompanyProductsAreFormatted) {
    writeStructure(folders, structureRecord("ACCISE", "Accise", "Dalla data;Nazione;Accisa;Capitolo;", {{"Nazione", 2}}));
    TableRecord rate = tableRow(3, "ACCISE", {"IT", "1402"});
    rate.nums[0] = dayNumber(2024, 1, 1);
    rate.nums[1] = 2.97;
    writeRows(folders.table("ACCISE"), {rate});

    writeStructure(folders, structureRecord("PRAZ", "Prodotti", "", {{"Codice", 20}}));
    TableRecord product = tableRow(5, "PRAZ", {"BIONDA", "Birra bionda"});
    product.nums[0] = 12;
    product.nums[1] = 0.33;
    product.ints[0] = 24;
    writeRows(folders.table("PRAZ"), {product});

    const LookupList rates = open("ACCISE");
    ASSERT_EQ(rates.rows.size(), 1u);
    EXPECT_EQ(rates.rows[0].cells, (std::vector<std::string>{"01/01/2024", "IT", "   2,97000", "1402"}));
    std::vector<int> widths;
    for (const auto& c : rates.columns) widths.push_back(c.width);
    EXPECT_EQ(widths, (std::vector<int>{11, 6, 11, 9}));

    const LookupList products = open("PRAZ");
    ASSERT_EQ(products.rows.size(), 1u);
    EXPECT_EQ(products.rows[0].cells, (std::vector<std::string>{"BIONDA", "Birra bionda", " 12,00000", "  0,33000", "", "24"}));
    EXPECT_EQ(products.columns[4].width, 5);
    EXPECT_EQ(products.columns[2].width, 9);
}

TEST_F(LookupListTest, GenericTableShowsOnlyColumnsWithAWidth) {
    // Column 2 is not used; column 3 is. A last name without ";" is not a caption.
    writeStructure(folders, structureRecord("TA05C", "Documenti", "Codice;Descrizione;Mittente",
                                            {{"Codice", 3}, {"Descrizione", 80}, {"", 0}, {"Mittente", 1}}));
    writeRows(folders.table("TA05C"), {tableRow(1, "TA05C", {"DAA", "Documento di accompagnamento", "X", "S"})});

    const LookupList list = open("TA05C");
    ASSERT_EQ(list.rows.size(), 1u);
    EXPECT_EQ(list.rows[0].cells, (std::vector<std::string>{"DAA", "Documento di accompagnamento", "S"}));
    EXPECT_EQ(list.columns, (std::vector<LookupColumn>{{5, "Codice"}, {28, "Descrizione"}, {5, ""}}));
}

TEST_F(LookupListTest, MissingStructureOrDataGivesAnEmptyList) {
    writeRows(folders.table("T004"), {tableRow(1, "T004", {"IT", "Italia"})});
    const LookupList noStructure = open("T004");
    EXPECT_TRUE(noStructure.rows.empty());
    EXPECT_EQ(noStructure.numberAt(0), -1);
    EXPECT_EQ(listFile(), "");

    writeStructure(folders, structureRecord("INDIRIZZI_F", "Fornitori", "A;", {{"Denominazione", 100}}));
    EXPECT_TRUE(open("INDIRIZZI_F").rows.empty());
    EXPECT_FALSE(fileExists(folders.addressBook('F')));
}

TEST(LookupListFile, ReadsRowsBack) {
    const std::vector<LookupRow> rows{{12, {"a", "b", "c"}}, {0, {"", "x"}}, {-3, {"Città"}}};
    EXPECT_EQ(parseLookupFile(lookupFileText(rows)), rows);
    // Numbers that are not numbers read 0; only 20 characters after "@" count; LF alone ends a line.
    EXPECT_EQ(parseLookupFile("A\n@12x\n\tb\nB\n@0000000000000000000012\n"),
              (std::vector<LookupRow>{{0, {"A", "b"}}, {0, {"B"}}}));
    EXPECT_EQ(parseLookupFile("A\n@00000000000000000012\n"), (std::vector<LookupRow>{{12, {"A"}}}));
}

TEST(LookupListCaptions, TakesNamesEndedBySemicolon) {
    EXPECT_EQ(lookupCaptions("A;B;C", 4), (std::vector<std::string>{"A", "B", "", ""}));
    EXPECT_EQ(lookupCaptions(";Nome;", 2), (std::vector<std::string>{"", "Nome"}));
}

TEST(LookupListSort, ComparesTextsCharacterByCharacter) {
    struct Case {
        std::vector<std::string> texts;
        std::vector<std::string> sorted;
    };
    const std::vector<Case> cases{
        {{"900,00", "1.000,00", "12,50"}, {"1.000,00", "12,50", "900,00"}},
        {{"02/01/2024", "01/12/2023", "01/01/2025"}, {"01/01/2025", "01/12/2023", "02/01/2024"}},
        {{"birra", "Birra", "Zeta", "àncora"}, {"Birra", "Zeta", "birra", "àncora"}},
    };
    for (const auto& c : cases) {
        std::vector<LookupRow> rows;
        for (std::size_t i = 0; i < c.texts.size(); ++i)
            rows.push_back({static_cast<std::int32_t>(i), {"k" + std::to_string(i), c.texts[i]}});
        sortLookupRows(rows, 1);
        std::vector<std::string> got;
        for (const auto& r : rows) got.push_back(r.cells[1]);
        EXPECT_EQ(got, c.sorted);
    }
    // Sorting by the first column again restores the key order; numbers travel with their rows.
    std::vector<LookupRow> rows{{2, {"b", "1"}}, {1, {"a", "2"}}, {3, {"a", "0"}}};
    sortLookupRows(rows, 0);
    EXPECT_EQ(numbersOf(rows), (std::vector<std::int32_t>{1, 3, 2}));
}

TEST(LookupListWindow, SizeFromColumnsAndRowsWithinLimits) {
    LookupList list;
    list.columns = {{8, ""}, {60, ""}};
    list.rows.resize(3);
    // (10 + 62) × 9 + 50 = 698 wide; 3 rows × 2 × 15 = 90, raised to 300.
    EXPECT_EQ(lookupWindowSize(list, 9, 15, 1000, 700), (LookupWindowSize{698, 300}));
    list.rows.resize(40);
    EXPECT_EQ(lookupWindowSize(list, 9, 15, 600, 700), (LookupWindowSize{600, 700}));
    list.columns = {{5, ""}};
    EXPECT_EQ(lookupWindowSize(list, 9, 15, 0, 0), (LookupWindowSize{300, 1200}));
}

} // namespace
} // namespace accise
