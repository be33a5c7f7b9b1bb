// The stock lists of the brew and packaging windows and the brew settings record.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/books/movementfile.h"
#include "core/books/stocklists.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/tables/codetables.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"
#include "core/tables/registers.h"
#include "test_support.h"

using namespace accise;
using accise::testing::RecordingPrompt;
using accise::testing::TempDir;

namespace {

const double kDate = dayNumber(2015, 3, 31);
const double kStockDate = dayNumber(2014, 12, 31);

struct ListFixture {
    TempDir dir;
    RecordingPrompt prompt;
    Folders folders = Folders::of(dir.path(), dir / "temp");

    ListFixture() { folders.create(); }

    void product(const std::string& code, const std::string& description, int unit) {
        TableRecord p = blankTable();
        p.col[0] = code;
        p.col[1] = description;
        p.extra[0] = "TA20";
        p.ints[0] = unit;
        insertTableRecord(folders.table("TA20"), p, prompt);
    }

    // A register valid for the whole of 2015 unless told otherwise; its protocol is dated 2014.
    void registerOf(char type, const std::string& protocol, const std::vector<std::string>& codes,
                    double firstDay = dayNumber(2015, 1, 1), double lastDay = dayNumber(2015, 12, 31)) {
        TableRecord reg = blankTable();
        reg.col[kRegProtocolCol] = protocol;
        reg.col[kRegOfficeCol] = "ITBRE001";
        reg.extra[0] = "PROTOCOLLI";
        reg.ints[kRegTypeInt] = registerTypeIndex(type);
        reg.nums[kRegProtocolDateNum] = dayNumber(2014, 11, 20);
        reg.nums[kRegFirstDayNum] = firstDay;
        reg.nums[kRegLastDayNum] = lastDay;
        std::vector<TableRecord> products;
        for (const std::string& code : codes) {
            TableRecord p = blankTable();
            p.col[0] = code;
            p.col[1] = "copia nella lista";
            products.push_back(p);
        }
        saveRegister(folders, reg, products, prompt);
    }

    Movement base(char type, const std::string& protocol, double date) const {
        Movement m = blankMovement();
        m.TIPREC = "C";
        m.TIPOPE = "I";
        m.STATO = " ";
        m.TIPREG = std::string(1, type);
        m.ANNPRO = "2014";
        m.NUMPRO = protocol;
        m.UFFDOG = "ITBRE001";
        m.DATMOV = date;
        return m;
    }

    void initialStock(char type, const std::string& protocol, double kg, double litres, double degrees,
                      std::int32_t numflu = 3) {
        Movement m = base(type, protocol, kStockDate);
        m.TIPMOV = "G";
        m.QTAKG = kg;
        m.QTALIT = litres;
        m.ETTOGR = degrees;
        m.NUMFLU = numflu;
        appendMovement(folders.initialStocks(), m, false, prompt);
    }

    void move(char type, const std::string& protocol, const std::string& code, const char* tipmov, double kg,
              double litres, double degrees, double date = dayNumber(2015, 2, 10)) {
        Movement m = base(type, protocol, date);
        m.TIPMOV = tipmov;
        m.PRODDO = code;
        m.QTAKG = kg;
        m.QTALIT = litres;
        m.ETTOGR = degrees;
        appendMovement(folders.registerFile(yearOf(date)), m, false, prompt);
    }

    std::vector<Movement> listFile(const char* name) const { return readMovements(folders.inTemp(name)); }
};

std::vector<std::string> codesOf(const StockList& list) {
    std::vector<std::string> codes;
    for (const Movement& m : list) codes.push_back(trimmed(m.NUMPRO) + " " + trimmed(m.PRODDO));
    return codes;
}

void expectSameRecords(const StockList& returned, const std::vector<Movement>& inFile) {
    ASSERT_EQ(returned.size(), inFile.size());
    for (std::size_t i = 0; i < returned.size(); ++i)
        EXPECT_EQ(encodeMovement(returned[i]), encodeMovement(inFile[i])) << "entry " << i;
}

const std::string kMalt = "M001-11071090-00-0000";
const std::string kHops = "M002-12101000-00-0000";
const std::string kSugar = "M003-17019910-00-0000";
const std::string kWater = "M004-22019000-00-0000";
const std::string kWort = "B000-22030001-00-0000";
const std::string kBeer = "B000-22030009-00-0000";

} // namespace

TEST(StockLists, BrewLeavesOutRawMaterialsWithoutStockButKeepsEveryInProcessProduct) {
    ListFixture f;
    for (const std::string& code : {kMalt, kHops, kSugar, kWater}) f.product(code, "materia " + code.substr(0, 4), 0);
    f.product(kWort, "mosto", 1);
    f.registerOf('M', "MP-1", {kMalt, kHops, kSugar, kWater});
    f.registerOf('L', "LAV-1", {kWort});
    f.initialStock('M', "MP-1", 0, 0, 0);
    f.initialStock('L', "LAV-1", 0, 0, 0);
    f.move('M', "MP-1", kMalt, "C", 500, 0, 0);
    f.move('M', "MP-1", kMalt, "S", 120.5, 0, 0);
    // Loads and an unload that cancel out exactly; summed in binary they leave 3.6e-15.
    f.move('M', "MP-1", kHops, "C", 10.1, 0, 0);
    f.move('M', "MP-1", kHops, "C", 20.2, 0, 0);
    f.move('M', "MP-1", kHops, "S", 30.3, 0, 0);
    f.move('M', "MP-1", kSugar, "S", 4, 0, 0);             // negative
    f.move('M', "MP-1", kWater, "C", 0, 80, 0);            // counted in litres
    f.move('M', "MP-1", kWater, "S", 0, 30, 0, kDate + 1); // after the date
    f.move('L', "LAV-1", kWort, "S", 0, 10, 1.2);          // in process: listed even below 0

    const BrewStockLists lists = buildStockListForBrew(f.folders, kDate);

    EXPECT_EQ(codesOf(lists.rawMaterials), (std::vector<std::string>{"MP-1 " + kMalt, "MP-1 " + kWater}));
    ASSERT_EQ(lists.rawMaterials.size(), 2u);
    EXPECT_DOUBLE_EQ(lists.rawMaterials[0].ETTOGR, 379.5);
    EXPECT_DOUBLE_EQ(lists.rawMaterials[1].ETTOGR, 80);
    ASSERT_EQ(lists.inProcess.size(), 1u);
    EXPECT_DOUBLE_EQ(lists.inProcess[0].QTALIT, -10);
    EXPECT_DOUBLE_EQ(lists.inProcess[0].ETTOGR, -10); // kilograms + litres, not hectolitre-degrees
    expectSameRecords(lists.rawMaterials, f.listFile("M.DAT"));
    expectSameRecords(lists.inProcess, f.listFile("L.DAT"));
}

// A register is listed only from the day after its initial stock: the stock is the
// stock at the end of its day, and a movement of that day or earlier is refused.
TEST(StockLists, ARegisterIsListedOnlyAfterItsInitialStockDay) {
    struct Case {
        double date;
        bool listed;
    };
    const Case cases[] = {{kStockDate - 1, false}, {kStockDate, false}, {kStockDate + 1, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.date - kStockDate);
        ListFixture f;
        f.product(kMalt, "malto", 0);
        f.product(kWort, "mosto", 1);
        f.registerOf('M', "MP-1", {kMalt}, dayNumber(2014, 1, 1));
        f.registerOf('L', "LAV-1", {kWort}, dayNumber(2014, 1, 1));
        f.initialStock('M', "MP-1", 100, 0, 0);
        f.initialStock('L', "LAV-1", 0, 50, 6);
        const BrewStockLists brew = buildStockListForBrew(f.folders, c.date);
        EXPECT_EQ(brew.rawMaterials.size(), c.listed ? 1u : 0u);
        EXPECT_EQ(brew.inProcess.size(), c.listed ? 1u : 0u);
        EXPECT_EQ(buildStockListForPackaging(f.folders, c.date).size(), c.listed ? 1u : 0u);
    }
}

TEST(StockLists, EntryCarriesRegisterProductAndStockOnABlankRecord) {
    ListFixture f;
    f.product(kMalt, "malto d`orzo", 0);
    f.product(kWort, "mosto di birra", 1);
    f.registerOf('M', "MP-7", {kMalt});
    f.registerOf('L', "LAV-7", {kWort});
    f.initialStock('M', "MP-7", 1000.25, 0, 0);
    f.initialStock('L', "LAV-7", 0, 2000, 240);
    f.move('M', "MP-7", kMalt, "S", 200, 0, 0);
    f.move('L', "LAV-7", kWort, "C", 0, 500.123454, 60.5);

    Movement malt = blankMovement();
    malt.TIPREG = "M";
    malt.ANNPRO = "2014"; // the year of the protocol date, not of the list's date
    malt.NUMPRO = "MP-7";
    malt.PRODDO = kMalt;
    malt.DATMOV = kStockDate;
    // Quantities are kept as the shared 5-decimal rounding leaves them.
    malt.QTAKG = roundTo(800.25, 5);
    malt.ETTOGR = roundTo(800.25, 5);
    malt.ANNOTA = "malto d`orzo"; // from TA20, not from the register's copy of the product
    malt.NUMCON = 0;

    Movement wortForBrew = malt;
    wortForBrew.TIPREG = "L";
    wortForBrew.NUMPRO = "LAV-7";
    wortForBrew.PRODDO = kWort;
    wortForBrew.QTAKG = 0;
    wortForBrew.QTALIT = roundTo(2500.12345, 5);
    wortForBrew.ETTOGR = roundTo(2500.12345, 5);
    wortForBrew.ANNOTA = "mosto di birra";
    wortForBrew.NUMCON = 1;

    Movement wortForPackaging = wortForBrew;
    wortForPackaging.ETTOGR = roundTo(300.5, 5);

    const BrewStockLists brew = buildStockListForBrew(f.folders, kDate);
    ASSERT_EQ(brew.rawMaterials.size(), 1u);
    ASSERT_EQ(brew.inProcess.size(), 1u);
    EXPECT_EQ(encodeMovement(brew.rawMaterials[0]), encodeMovement(malt));
    EXPECT_EQ(encodeMovement(brew.inProcess[0]), encodeMovement(wortForBrew));

    const StockList packaging = buildStockListForPackaging(f.folders, kDate);
    ASSERT_EQ(packaging.size(), 1u);
    EXPECT_EQ(encodeMovement(packaging[0]), encodeMovement(wortForPackaging));
    expectSameRecords(packaging, f.listFile("L.DAT"));
}

TEST(StockLists, OrderFollowsRegistersThenProductListAndSkipsWhatCannotBeListed) {
    ListFixture f;
    f.product(kWort, "mosto", 1);
    f.product(kBeer, "birra", 1);
    // Registered first but valid from a later day: PROTOCOLLI.TAB holds it second.
    f.registerOf('L', "LAV-B", {kWort}, dayNumber(2015, 3, 1));
    f.registerOf('L', "LAV-A", {kBeer, "B999-00000000-00-0000", kWort}); // the middle code is not in TA20
    f.registerOf('L', "LAV-UNSENT", {kWort});
    f.registerOf('L', "LAV-OLD", {kWort}, dayNumber(2014, 1, 1), dayNumber(2014, 12, 31));
    f.registerOf('N', "COND-1", {kBeer});
    f.registerOf('L', "LAV-NOSTOCK", {kBeer});
    for (const char* reg : {"LAV-A", "LAV-B", "LAV-OLD"}) f.initialStock('L', reg, 0, 100, 12);
    f.initialStock('L', "LAV-UNSENT", 0, 100, 12, 0);
    f.initialStock('N', "COND-1", 0, 100, 12);
    // A sent initial stock that was later superseded is no active one.
    Movement superseded = f.base('L', "LAV-NOSTOCK", kStockDate);
    superseded.TIPMOV = "G";
    superseded.STATO = "C";
    superseded.NUMFLU = 2;
    appendMovement(f.folders.initialStocks(), superseded, false, f.prompt);

    const std::vector<std::string> expected{"LAV-A " + kBeer, "LAV-A " + kWort, "LAV-B " + kWort};
    EXPECT_EQ(codesOf(buildStockListForPackaging(f.folders, kDate)), expected);
    const BrewStockLists brew = buildStockListForBrew(f.folders, kDate);
    EXPECT_EQ(codesOf(brew.inProcess), expected);
    EXPECT_TRUE(brew.rawMaterials.empty());
    EXPECT_TRUE(f.listFile("M.DAT").empty());

    // Before LAV-B's first day it is not valid: only LAV-A remains.
    EXPECT_EQ(codesOf(buildStockListForPackaging(f.folders, dayNumber(2015, 2, 28))),
              (std::vector<std::string>{"LAV-A " + kBeer, "LAV-A " + kWort}));
    EXPECT_EQ(f.listFile("L.DAT").size(), 2u);
}

TEST(StockLists, ListsAreRebuiltFromNothing) {
    ListFixture f;
    f.product(kWort, "mosto", 1);
    f.registerOf('L', "LAV-1", {kWort});
    f.initialStock('L', "LAV-1", 0, 100, 12);
    ASSERT_EQ(buildStockListForPackaging(f.folders, kDate).size(), 1u);
    ASSERT_EQ(buildStockListForPackaging(f.folders, kDate).size(), 1u);
    EXPECT_EQ(f.listFile("L.DAT").size(), 1u); // not appended to the previous list

    writeWholeFile(f.folders.inTemp("M.DAT"), std::string(3 * kMovementSize, 'x'));
    const BrewStockLists none = buildStockListForBrew(f.folders, dayNumber(2016, 1, 1));
    EXPECT_TRUE(none.inProcess.empty());
    EXPECT_TRUE(f.listFile("M.DAT").empty());
    EXPECT_TRUE(f.listFile("L.DAT").empty());
}

TEST(StockLists, BrewSettingsAreCreatedWithTheDefaultsAndRewritten) {
    ListFixture f;
    const fs::path file = f.folders.brewSettings();

    const BrewSettings first = readBrewSettings(f.folders);
    EXPECT_EQ(first.packagingPosition, "001");
    EXPECT_EQ(first.lossPosition, "003");
    Movement expected = blankMovement();
    expected.POSFIS = "001";
    expected.CAUMOV = "003";
    const RecordBlock created = readRecords(file, kMovementSize, IfMissing::Empty);
    ASSERT_EQ(created.bytes().size(), kMovementSize);
    EXPECT_EQ(created.bytes(), encodeMovement(expected));

    writeBrewSettings(f.folders, BrewSettings{"7", "004"});
    const BrewSettings changed = readBrewSettings(f.folders);
    EXPECT_EQ(changed.packagingPosition, "7");
    EXPECT_EQ(changed.lossPosition, "004");
    EXPECT_EQ(readRecords(file, kMovementSize).bytes().size(), kMovementSize);

    // A file emptied by an interrupted write starts again from the defaults.
    writeWholeFile(file, "");
    EXPECT_EQ(readBrewSettings(f.folders).packagingPosition, "001");
    EXPECT_EQ(readRecords(file, kMovementSize).bytes(), encodeMovement(expected));
}
