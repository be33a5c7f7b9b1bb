// The register stock at a date and the stock of one product.
#include <gtest/gtest.h>

#include <limits>

#include "core/books/movementfile.h"
#include "core/books/stock.h"
#include "core/files/ioerror.h"
#include "core/files/recordfile.h"
#include "core/tables/dates.h"
#include "test_support.h"

using namespace accise;
using accise::testing::RecordingPrompt;
using accise::testing::TempDir;

namespace {

struct StockFixture {
    TempDir dir;
    RecordingPrompt prompt;
    Folders folders = Folders::of(dir.path(), dir / "temp");
    RegisterKey reg{"F", "2014", "P-1"};

    StockFixture() { folders.create(); }

    Movement base(double date, const char* tipmov) const {
        Movement m = blankMovement();
        m.DATMOV = date;
        m.TIPREC = "C";
        m.TIPOPE = "I";
        m.TIPMOV = tipmov;
        m.STATO = " ";
        m.TIPREG = reg.TIPREG;
        m.ANNPRO = reg.ANNPRO;
        m.NUMPRO = reg.NUMPRO;
        m.PRODDO = "B000-22030001-00-0000";
        return m;
    }
    void initialStock(double date, double litres, std::int32_t numflu = 1) {
        Movement m = base(date, "G");
        m.PRODDO = "";
        m.QTALIT = litres;
        m.ETTOGR = litres * 0.12;
        m.NUMFLU = numflu;
        appendMovement(folders.initialStocks(), m, false, prompt);
    }
    void move(double date, const char* tipmov, double litres, const char* stato = " ", const char* tipope = "I") {
        Movement m = base(date, tipmov);
        m.QTALIT = litres;
        m.STATO = stato;
        m.TIPOPE = tipope;
        appendMovement(folders.registerFile(yearOf(date)), m, false, prompt);
    }
};

} // namespace

TEST(RegisterStock, NoActiveInitialStockMeansZero) {
    StockFixture f;
    f.move(dayNumber(2014, 3, 1), "C", 100);
    const Quantities q = registerStockAt(f.folders, f.reg, dayNumber(2014, 12, 31));
    EXPECT_EQ(q.QTALIT, 0);
    EXPECT_EQ(q.QTAKG, 0);
}

TEST(RegisterStock, CountsActiveLoadsAndUnloadsUpToTheDateAcrossYears) {
    StockFixture f;
    f.initialStock(dayNumber(2014, 6, 30), 1000);
    f.move(dayNumber(2014, 1, 10), "C", 50);                  // before the stock date: still counted
    f.move(dayNumber(2014, 7, 1), "S", 200.123456);           // unload, rounded to 5 decimals
    f.move(dayNumber(2014, 7, 2), "C", 300, "C");             // superseded: not counted
    f.move(dayNumber(2014, 7, 3), "S", 300, " ", "C");        // cancellation record: not counted
    f.move(dayNumber(2014, 7, 4), "C", 7, "R");               // replacement: counted
    f.move(dayNumber(2015, 2, 1), "C", 10);                   // on the date: counted
    f.move(dayNumber(2015, 2, 2), "C", 1000);                 // after the date: not counted
    const Quantities q = registerStockAt(f.folders, f.reg, dayNumber(2015, 2, 1));
    EXPECT_NEAR(q.QTALIT, 1000 + 50 - 200.12346 + 7 + 10, 1e-9);
    EXPECT_NEAR(q.ETTOGR, 120, 1e-9);

    RegisterKey other = f.reg;
    other.NUMPRO = "P-2";
    EXPECT_EQ(registerStockAt(f.folders, other, dayNumber(2015, 2, 1)).QTALIT, 0);
}

TEST(RegisterStock, MissingYearFilesReadAsEmptyAndAreNotCreated) {
    StockFixture f;
    f.initialStock(dayNumber(2013, 12, 31), 5);
    const Quantities q = registerStockAt(f.folders, f.reg, dayNumber(2060, 1, 1));
    EXPECT_EQ(q.QTALIT, 5);
    for (int year : {2013, 2014, 2015, 2060}) EXPECT_FALSE(fileExists(f.folders.registerFile(year))) << year;
}

TEST(RegisterStock, ANonFiniteQuantityIsRefusedNamingTheRecord) {
    StockFixture f;
    f.initialStock(dayNumber(2014, 1, 1), 5);
    f.move(dayNumber(2014, 2, 1), "C", 10);
    // Damage the stored quantity of the movement (no writer would store it).
    const fs::path file = f.folders.registerFile(2014);
    std::string bytes = readRecords(file, kMovementSize).bytes();
    Movement m = decodeMovement(bytes);
    m.QTALIT = std::numeric_limits<double>::infinity();
    writeWholeFile(file, encodeMovement(m));
    try {
        registerStockAt(f.folders, f.reg, dayNumber(2014, 12, 31));
        ADD_FAILURE() << "summed a non-finite quantity";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("QTALIT"), std::string::npos) << e.what();
    }
}

TEST(ProductStock, NeedsASentInitialStockAndCountsOnlyTheProduct) {
    StockFixture f;
    f.initialStock(dayNumber(2014, 1, 1), 100, /*numflu=*/0);
    f.move(dayNumber(2014, 2, 1), "C", 40);
    EXPECT_FALSE(productStockAt(f.folders, f.reg, "B000-22030001-00-0000", dayNumber(2014, 3, 1)).found);

    StockFixture g;
    g.initialStock(dayNumber(2014, 1, 1), 100, /*numflu=*/3);
    g.move(dayNumber(2014, 2, 1), "C", 40);
    Movement otherProduct = g.base(dayNumber(2014, 2, 1), "S");
    otherProduct.PRODDO = "B000-22030002-00-0000";
    otherProduct.QTALIT = 25;
    appendMovement(g.folders.registerFile(2014), otherProduct, false, g.prompt);
    const ProductStock s = productStockAt(g.folders, g.reg, "B000-22030001-00-0000", dayNumber(2014, 3, 1));
    ASSERT_TRUE(s.found);
    EXPECT_EQ(s.quantities.QTALIT, 140);
    EXPECT_EQ(s.initialStockDate, dayNumber(2014, 1, 1));
}
