// The movement computations: quantities, excise and guarantee, the stock available
// for an unload and its check, the initial-stock prerequisite, the duplicate warning
// and the litre-counter prefill, on the files of a small brewery.
#include <gtest/gtest.h>

#include "core/books/movementcalc.h"
#include "core/tables/numbers.h"
#include "movement_fixture.h"
#include "test_support.h"

namespace accise {
namespace {

using testing::RecordingPrompt;
using testing::TempDir;

TEST(MovementQuantities, FollowTheProductsUnit) {
    struct Case {
        MeasureUnit unit;
        double quantity, plato;
        std::optional<double> guaranteeRate;
        MovementQuantities expected;
    };
    const Case cases[] = {
        {MeasureUnit::Kilograms, 1200, 12, 2.99, {1200, 0, 0, 0}},
        {MeasureUnit::HectoDegrees, 1000, 12, std::nullopt, {0, 120, 1000, 0}},
        // 120 hectolitre-degrees at 2,99 a degree, a tenth of it: 35,88.
        {MeasureUnit::HectoDegrees, 1000, 12, 2.99, {0, 120, 1000, 35.88}},
        {MeasureUnit::HectoDegrees, 333.33333, 11.5, 3.04, {0, 38.3333329, 333.33333, 11.65}},
        {MeasureUnit::Litres, 500, 12, 2.99, {0, 0, 500, 0}},
    };
    for (const Case& c : cases) {
        const MovementQuantities q = movementQuantities(c.unit, c.quantity, c.plato, c.guaranteeRate);
        EXPECT_DOUBLE_EQ(q.QTAKG, c.expected.QTAKG);
        EXPECT_NEAR(q.ETTOGR, c.expected.ETTOGR, 1e-7);
        EXPECT_DOUBLE_EQ(q.QTALIT, c.expected.QTALIT);
        EXPECT_DOUBLE_EQ(q.GARANZ, c.expected.GARANZ) << c.quantity;
    }
    EXPECT_EQ(measureUnitOf(0), MeasureUnit::Kilograms);
    EXPECT_EQ(measureUnitOf(1), MeasureUnit::HectoDegrees);
    EXPECT_EQ(measureUnitOf(7), MeasureUnit::Litres);
}

TEST(MovementExcise, RateInForceAtTheMovementDateAndTheAlcoppRule) {
    TempDir dir;
    const Folders folders = Folders::of(dir.path(), dir.path() / "temp");
    folders.create();
    installDeliveredTables(folders);
    EXPECT_DOUBLE_EQ(*rateInForce(folders, "IT", dayNumber(2024, 6, 1)), 2.99);
    EXPECT_DOUBLE_EQ(*rateInForce(folders, "IT", dayNumber(2015, 6, 1)), 3.04);
    EXPECT_FALSE(rateInForce(folders, "IT", dayNumber(2013, 12, 31)));
    EXPECT_FALSE(rateInForce(folders, "DE", dayNumber(2024, 6, 1)));
    // 120 hectolitre-degrees released for consumption in 2024.
    EXPECT_DOUBLE_EQ(exciseAmount(120, 2.99), 358.8);
    EXPECT_DOUBLE_EQ(exciseAmount(38.33333, 3.04), 116.53);

    EXPECT_TRUE(exciseDeclaredHere(false, "DAS"));
    EXPECT_TRUE(exciseDeclaredHere(true, "ROR"));
    EXPECT_FALSE(exciseDeclaredHere(true, "DAS"));
    EXPECT_FALSE(exciseDeclaredHere(true, "EAD"));
}

TEST(MovementStock, UnloadAgainstTheStockWithinTheTolerance) {
    const Quantities stock{0, 120, 1000};
    struct Case {
        double litres, degrees;
        StockVerdict expected;
    };
    const Case cases[] = {
        {1000, 120, StockVerdict::Enough},           // exactly the stock
        {1000.000009, 120, StockVerdict::Enough},    // within the tolerance
        {1000.00001, 120, StockVerdict::QuantityOver},
        {900, 120.000004, StockVerdict::Enough},     // equal once rounded to 5 decimals
        {900, 120.00001, StockVerdict::DegreesOver},
    };
    for (const Case& c : cases) {
        Movement unload = blankMovement();
        unload.QTALIT = c.litres;
        unload.ETTOGR = c.degrees;
        EXPECT_EQ(checkUnloadStock(stock, unload), c.expected) << c.litres << " " << c.degrees;
    }
    EXPECT_EQ(stockLabel({0, 148.4, 1234.6}), "max 1.235 (Hlg 148)");
    EXPECT_EQ(stockLabel({800, 0, 0}), "max 800");
}

class MovementFiles : public ::testing::Test {
protected:
    MovementFiles() { testing::writeBrewery(folders, prompt); }
    void add(const Movement& m) { appendMovement(folders.registerFile(yearOf(m.DATMOV)), m, false, prompt); }

    TempDir dir;
    Folders folders = Folders::of(dir.path(), dir.path() / "temp");
    RecordingPrompt prompt;
};

TEST_F(MovementFiles, StockForAnUnloadPutsBackTheRecordBeingChanged) {
    const double day = dayNumber(2024, 3, 1);
    const Movement sold = testing::fixtureUnload(day, 300);
    add(sold);
    const Movement next = testing::fixtureUnload(day, 1);
    const Quantities forNew = stockForUnload(folders, next, blankMovement());
    EXPECT_DOUBLE_EQ(forNew.QTALIT, 700);
    EXPECT_DOUBLE_EQ(forNew.ETTOGR, 84);
    // Changing the unsent unload offers the stock plus its own quantity.
    const Quantities forChange = stockForUnload(folders, next, sold);
    EXPECT_DOUBLE_EQ(forChange.QTALIT, 1000);
    EXPECT_DOUBLE_EQ(forChange.ETTOGR, 120);
    // A movement dated after the day does not count.
    EXPECT_DOUBLE_EQ(stockForUnload(folders, testing::fixtureUnload(day - 1, 1), blankMovement()).QTALIT, 1000);
}

TEST_F(MovementFiles, InitialStockMustBeSentAndStatedBeforeTheMovement) {
    const Movement onStockDay = testing::fixtureUnload(dayNumber(2023, 12, 31), 1);
    const Movement dayAfter = testing::fixtureUnload(dayNumber(2024, 1, 1), 1);
    EXPECT_FALSE(sentInitialStockBefore(folders, onStockDay));
    EXPECT_TRUE(sentInitialStockBefore(folders, dayAfter));
    Movement otherRegister = dayAfter;
    otherRegister.NUMPRO = "FS9";
    EXPECT_FALSE(sentInitialStockBefore(folders, otherRegister));
    EXPECT_TRUE(hasActiveInitialStock(folders, registerKeyOf(dayAfter)));
    EXPECT_FALSE(hasActiveInitialStock(folders, registerKeyOf(otherRegister)));
    EXPECT_EQ(missingInitialStockMessage(registerKeyOf(otherRegister)),
              "PER IL REGISTRO: FS9/2024 NON SONO STATE INDICATE LE GIACENZE INIZIALI");

    // An initial stock that was never sent blocks every movement of its register.
    TempDir unsentDir;
    const Folders unsent = Folders::of(unsentDir.path(), unsentDir.path() / "temp");
    testing::writeBrewery(unsent, prompt, false);
    EXPECT_FALSE(sentInitialStockBefore(unsent, dayAfter));
    EXPECT_TRUE(hasActiveInitialStock(unsent, registerKeyOf(dayAfter)));
}

TEST_F(MovementFiles, DuplicateWarningComparesTheDocumentAndTheQuantities) {
    const double day = dayNumber(2024, 3, 1);
    const Movement sold = testing::fixtureUnload(day, 300);
    EXPECT_FALSE(duplicateInRegister(folders, sold)); // the year's file does not even exist
    add(sold);

    struct Case {
        const char* what;
        void (*change)(Movement&);
        bool duplicate;
    };
    const Case cases[] = {
        {"the same", [](Movement&) {}, true},
        {"quantity within the tolerance", [](Movement& m) { m.QTALIT += 0.000009; }, true},
        {"larger quantity", [](Movement& m) { m.QTALIT += 0.00002; }, false},
        {"other document number", [](Movement& m) { m.NUMDOC = "F-2"; }, false},
        {"other recipient", [](Movement& m) { m.MITDES = testing::kClientVat; }, false},
        {"other day", [](Movement& m) { m.DATMOV += 1; }, false},
        {"document date with a time of day", [](Movement& m) { m.DATDOC += 0.3; }, true},
        {"a cancellation record", [](Movement& m) { m.TIPOPE = "C"; }, false},
    };
    for (const Case& c : cases) {
        Movement probe = sold;
        c.change(probe);
        EXPECT_EQ(duplicateInRegister(folders, probe), c.duplicate) << c.what;
    }

    // A superseded record is not compared.
    Movement superseded = testing::fixtureUnload(day, 50);
    superseded.NUMDOC = "F-3";
    superseded.STATO = "C";
    add(superseded);
    superseded.STATO = " ";
    EXPECT_FALSE(duplicateInRegister(folders, superseded));
}

TEST_F(MovementFiles, CounterPrefillTakesTheLastLoadOfAnInProcessRegister) {
    EXPECT_EQ(lastCounterReading(folders, 2024), 0);
    auto load = [&](const char* tipreg, std::int32_t contfi, const char* stato) {
        Movement m = testing::fixtureUnload(dayNumber(2024, 2, 1), 10);
        m.TIPMOV = "C";
        m.TIPREG = tipreg;
        m.CONTFI = contfi;
        m.STATO = stato;
        add(m);
    };
    load("L", 1500, " ");
    load("L", 0, " ");    // no reading
    load("F", 9000, " "); // not in process
    load("L", 7000, "C"); // superseded
    EXPECT_EQ(lastCounterReading(folders, 2024), 1500);
    load("L", 2300, "R");
    EXPECT_EQ(lastCounterReading(folders, 2024), 2300);
    EXPECT_EQ(counterAfter(2300, 1000.4), 3300);
    EXPECT_EQ(counterAfter(2300, 1000.5), 3301);
}

} // namespace
} // namespace accise
