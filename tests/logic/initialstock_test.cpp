// The initial stock: the command that opens it (register lookup, the refusal of a
// second stock), the window in its three modes with the quantities by unit, the
// checks in their order, and what each save leaves in GIACENZE.DAT.
#include "logic/movements/initialstockwindow.h"

#include <gtest/gtest.h>

#include "core/files/text1252.h"
#include "core/tables/codetables.h"
#include "logic/movements/initialstockcommand.h"
#include "logic/register_fixtures.h"

namespace accise {
namespace {

using namespace initialstockwindow;
using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

class InitialStock : public ::testing::Test {
protected:
    InitialStock() {
        // 1: raw materials (kg), 2: in process (litres with Plato), 3: bulk (litres), 4: no product list.
        testing::writeRegisters(
            work.folders, {testing::registerRow(1, "10", 0, 2015), testing::registerRow(2, "20", 1, 2015),
                           testing::registerRow(3, "30", 2, 2015), testing::registerRow(4, "40", 3, 2015)});
        testing::writeProductList(work.folders, 1, {0});
        testing::writeProductList(work.folders, 2, {2, 1}); // the last product decides
        testing::writeProductList(work.folders, 3, {2});
    }

    // The command for register `number`; true when the window would open.
    bool command(std::int32_t number) {
        services.lookupAnswer = number;
        return prepareInitialStock(ctx, prompt, services);
    }

    std::vector<Movement> stocks() const {
        auto all = readMovements(work.folders.initialStocks());
        for (auto& m : all)
            trimMovement(m);
        return all;
    }

    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
};

TEST_F(InitialStock, CommandPreparesTheRegistersBlankRecordOrRefusesASecondStock) {
    ASSERT_TRUE(command(2));
    EXPECT_EQ(services.lookupTables, std::vector<std::string>{"PROTOCOLLI"});
    EXPECT_EQ(ctx.mode, 'G');
    EXPECT_EQ(ctx.chosenRegister.number, 2);
    const Movement& b = ctx.movementBuffer;
    EXPECT_EQ(b.TIPREG, "L");
    EXPECT_EQ(b.ANNPRO, "2015");
    EXPECT_EQ(b.NUMPRO, "20        "); // padded to 10
    EXPECT_EQ(trimmed(b.UFFDOG), "IT012000");
    EXPECT_EQ(b.DATMOV, dayNumber(2015, 1, 1));

    EXPECT_FALSE(command(-1)); // nothing chosen
    EXPECT_FALSE(command(99)); // a row no longer there
    EXPECT_TRUE(prompt.messages.empty());

    // An active insertion of the same register refuses; a superseded one does not.
    Movement superseded = testing::stockRecord(1, "20", "L", 2015, dayNumber(2015, 1, 1), 100, 3);
    superseded.STATO = "C";
    testing::writeMovementFile(work.folders.initialStocks(), {superseded});
    EXPECT_TRUE(command(2));
    testing::writeMovementFile(
        work.folders.initialStocks(),
        {superseded, testing::stockRecord(2, "20", "L", 2015, dayNumber(2015, 1, 1), 100)});
    EXPECT_FALSE(command(2));
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kInitialStockAlreadyRegistered});

    // The whole command opens the window through the registry only when it may.
    WindowRegistry registry;
    int opened = 0;
    registry.add(kInitialStockWindow, [&opened](CommandContext&) { ++opened; });
    services.lookupAnswer = 3;
    runInitialStockCommand(registry, ctx, prompt, services);
    services.lookupAnswer = 2;
    runInitialStockCommand(registry, ctx, prompt, services);
    EXPECT_EQ(opened, 1);
}

TEST_F(InitialStock, QuantitiesGoWhereTheRegistersUnitSays) {
    struct Case {
        std::int32_t reg;
        const char* quantity;
        const char* degrees;
        const char* label;
        bool degreesShown;
        double QTAKG, ETTOGR, QTALIT;
    };
    const Case cases[] = {
        {1, "1.234,5", "99", kKilogramsLabel, false, 1234.5, 0, 0},
        {2, "1.000,123456", "120,5", kLitresLabel, true, 0, 120.5, 1000.12346},
        {3, "500", "60", kLitresLabel, false, 0, 0, 500},
        {3, "0", "", kLitresLabel, false, 0, 0, 0}, // a stock of 0 is accepted
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reg);
        std::filesystem::remove(work.folders.initialStocks());
        ASSERT_TRUE(command(c.reg));
        InitialStockLogic form(ctx, prompt, services);
        form.open();
        EXPECT_EQ(form.title(), "Giacenze iniziali");
        EXPECT_EQ(form.focusAfterOpen(), "DATMOV");
        EXPECT_EQ(form.value("DATMOV"), "01/01/2015");
        EXPECT_EQ(form.quantityLabel(), c.label);
        EXPECT_EQ(form.degreesShown(), c.degreesShown);
        form.setValue("DATMOV", "31/12/2014");
        form.setValue("DOUBL1_3", c.quantity);
        form.setValue("DOUBL2", c.degrees);
        form.setValue("ANNOTA", "inizio");
        EXPECT_EQ(form.confirm(), std::nullopt);
        EXPECT_TRUE(form.closeRequested());
        const auto written = stocks();
        ASSERT_EQ(written.size(), 1u);
        const Movement& m = written[0];
        // Rounded to 5 decimals the way every window rounds (scaled doubles, not exact).
        EXPECT_NEAR(m.QTAKG, c.QTAKG, 1e-9);
        EXPECT_NEAR(m.ETTOGR, c.ETTOGR, 1e-9);
        EXPECT_NEAR(m.QTALIT, c.QTALIT, 1e-9);
        EXPECT_EQ(m.DATMOV, dayNumber(2014, 12, 31));
        EXPECT_EQ(m.TIPREC + m.TIPOPE + m.TIPMOV + m.STATO, "CIG");
        EXPECT_EQ(m.ANNOTA, "inizio");
        EXPECT_EQ(m.NUMREC, 1);
        EXPECT_EQ(m.NUMFLU, 0);
    }
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(InitialStock, ProductLinesAndRegisterCaption) {
    ASSERT_TRUE(command(2));
    InitialStockLogic form(ctx, prompt, services);
    form.open();
    EXPECT_EQ(form.value("lregistro"), "Lavorazioni prot. 20 del 2015");
    EXPECT_EQ(form.productLines(), (std::vector<std::string>{"B000-22030000-00-0000 * Prodotto 0",
                                                             "B000-22030001-00-0000 * Prodotto 1"}));
    EXPECT_EQ(form.value("LRETTIFICA"), "");
}

TEST_F(InitialStock, ChecksRefuseInOrderAndWriteNothing) {
    struct Case {
        std::int32_t reg;
        const char* date;
        const char* quantity;
        const char* degrees;
        std::optional<std::string> focus;
        const char* message; // "" for none
    };
    const Case cases[] = {
        {2, "31/02/2015", "-5", "1", "DATMOV", ""},            // the date first, silently
        {4, "01/01/2015", "10", "", "DATMOV", kNoProductList}, // no product list: no unit to store
        {2, "01/01/2015", "-0,5", "1", "DOUBL1_3", kNegativeStock},
        {2, "01/01/2015", "10", "-1", "DOUBL2", kNegativeStock},
        {3, "01/01/2015", "10", "-1", std::nullopt, ""}, // degrees not shown: not checked, not stored
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.quantity) + " " + c.date);
        std::filesystem::remove(work.folders.initialStocks());
        prompt.messages.clear();
        ASSERT_TRUE(command(c.reg));
        InitialStockLogic form(ctx, prompt, services);
        form.open();
        form.setValue("DATMOV", c.date);
        form.setValue("DOUBL1_3", c.quantity);
        form.setValue("DOUBL2", c.degrees);
        EXPECT_EQ(form.confirm(), c.focus);
        if (*c.message)
            EXPECT_EQ(prompt.messages, std::vector<std::string>{c.message});
        else
            EXPECT_TRUE(prompt.messages.empty());
        EXPECT_EQ(stocks().size(), c.focus ? 0u : 1u);
    }
}

TEST_F(InitialStock, StockAddedMeanwhileByAnotherWorkstationIsRefusedAtSave) {
    ASSERT_TRUE(command(3));
    InitialStockLogic form(ctx, prompt, services);
    form.open();
    form.setValue("DOUBL1_3", "10");
    testing::writeMovementFile(work.folders.initialStocks(),
                               {testing::stockRecord(7, "30", "F", 2015, dayNumber(2015, 1, 1), 99)});
    EXPECT_EQ(form.confirm(), std::nullopt);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kInitialStockAlreadyRegistered});
    ASSERT_EQ(stocks().size(), 1u);
    EXPECT_EQ(stocks()[0].NUMREC, 7);
}

TEST_F(InitialStock, NewStocksAreNumberedAndPlacedByDate) {
    testing::writeMovementFile(work.folders.initialStocks(),
                               {testing::stockRecord(1, "10", "M", 2015, dayNumber(2015, 1, 1), 1),
                                testing::stockRecord(5, "20", "L", 2015, dayNumber(2015, 6, 1), 1)});
    ASSERT_TRUE(command(3));
    InitialStockLogic form(ctx, prompt, services);
    form.open();
    form.setValue("DATMOV", "01/03/2015");
    form.setValue("DOUBL1_3", "10");
    EXPECT_EQ(form.confirm(), std::nullopt);
    EXPECT_EQ(testing::numbersIn(work.folders.initialStocks()), (std::vector<std::int32_t>{1, 6, 5}));
    EXPECT_EQ(stocks()[1].NUMOPE, 6);
}

TEST_F(InitialStock, NewStockNeverSplitsACorrection) {
    // Stock 4 corrected: its cancellation 5 and a replacement 6 dated later follow it.
    Movement corrected = testing::stockRecord(4, "10", "M", 2015, dayNumber(2015, 1, 1), 1, 2);
    corrected.STATO = "C";
    Movement cancellation = testing::stockRecord(5, "10", "M", 2015, dayNumber(2015, 1, 1), 1);
    cancellation.TIPOPE = "C";
    cancellation.NUMRIF = 4;
    Movement replacement = testing::stockRecord(6, "10", "M", 2015, dayNumber(2015, 5, 1), 2);
    replacement.STATO = "R";
    replacement.NUMRIF = 4;
    testing::writeMovementFile(work.folders.initialStocks(),
                               {corrected, cancellation, replacement,
                                testing::stockRecord(7, "20", "L", 2015, dayNumber(2015, 6, 1), 1)});
    ASSERT_TRUE(command(3));
    InitialStockLogic form(ctx, prompt, services);
    form.open();
    form.setValue("DATMOV", "01/03/2015"); // before the replacement's date
    form.setValue("DOUBL1_3", "10");
    EXPECT_EQ(form.confirm(), std::nullopt);
    EXPECT_EQ(testing::numbersIn(work.folders.initialStocks()), (std::vector<std::int32_t>{4, 5, 6, 8, 7}));
}

class StockCorrection : public InitialStock {
protected:
    // A sent stock of register 2 (number 4) between two other stocks; the buffers as
    // the selection command prepares them.
    void prepare(char mode) {
        testing::writeMovementFile(work.folders.initialStocks(),
                                   {testing::stockRecord(1, "10", "M", 2015, dayNumber(2015, 1, 1), 5, 1),
                                    testing::stockRecord(4, "20", "L", 2015, dayNumber(2015, 1, 1), 1000, 1),
                                    testing::stockRecord(2, "30", "F", 2015, dayNumber(2015, 1, 1), 7, 1)});
        ctx.mode = mode;
        ctx.selectedRecord = readMovements(work.folders.initialStocks())[1];
        ctx.chosenRegister = *findByNumberInRegisters(2);
        Movement buffer = initialStockBufferFor(ctx.chosenRegister);
        buffer.DATMOV = ctx.selectedRecord.DATMOV;
        buffer.QTALIT = 1000;
        buffer.ETTOGR = 120;
        ctx.movementBuffer = buffer;
    }
    std::optional<TableRecord> findByNumberInRegisters(std::int32_t n) {
        for (auto& r : readTable(work.folders.table("PROTOCOLLI")))
            if (r.number == n) return r;
        return std::nullopt;
    }
};

TEST_F(StockCorrection, CancellingCorrectionNeedsANoteAndCopiesTheSentQuantities) {
    prepare('I');
    InitialStockLogic form(ctx, prompt, services);
    form.open();
    EXPECT_EQ(form.title(), "RETTIFICA: CANCELLA giacenze iniziali inviate");
    EXPECT_EQ(form.value("LRETTIFICA"), "RETTIFICA: cancella il dato inviato ");
    EXPECT_EQ(form.focusAfterOpen(), "ANNOTA");
    EXPECT_EQ(form.value("DOUBL1_3"), "1.000,00000");
    EXPECT_EQ(form.value("DOUBL2"), "120,00000");
    EXPECT_TRUE(form.field("DATMOV")->readOnly);
    EXPECT_TRUE(form.field("DOUBL1_3")->readOnly);

    form.setValue("ANNOTA", "   ");
    EXPECT_EQ(form.confirm(), "ANNOTA");
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kNoteRequired});
    EXPECT_EQ(readMovements(work.folders.initialStocks()).size(), 3u);

    form.setValue("ANNOTA", "errore di conteggio");
    EXPECT_EQ(form.confirm(), std::nullopt);
    const auto all = stocks();
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[1].NUMREC, 4);
    EXPECT_EQ(all[1].STATO, "C");
    const Movement& cancellation = all[2];
    EXPECT_EQ(cancellation.NUMREC, 5);
    EXPECT_EQ(cancellation.NUMRIF, 4);
    EXPECT_EQ(cancellation.TIPOPE, "C");
    EXPECT_EQ(cancellation.NUMFLU, 0);
    EXPECT_EQ(cancellation.QTALIT, 1000);
    EXPECT_EQ(cancellation.ANNOTA, "errore di conteggio");
    EXPECT_EQ(all[3].NUMREC, 2);
}

// The stock chosen is the stock corrected: one changed under its number since the
// list read it (here, its note by another desk) is left as it is.
TEST_F(StockCorrection, AStockChangedSinceTheListReadItIsNotCorrected) {
    prepare('I');
    std::vector<Movement> changed = readMovements(work.folders.initialStocks());
    changed[1].ANNOTA = "nota di un'altra postazione";
    testing::writeMovementFile(work.folders.initialStocks(), changed);
    InitialStockLogic form(ctx, prompt, services);
    form.open();
    form.setValue("ANNOTA", "errore di conteggio");
    prompt.messages.clear();
    EXPECT_EQ(form.confirm(), std::nullopt);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{correctionRefusal(CorrectionOutcome::NotFound)});
    ASSERT_EQ(stocks().size(), 3u);
    EXPECT_NE(stocks()[1].STATO, "C");
}

TEST_F(StockCorrection, ModifyingCorrectionWritesTheReplacementAfterTheCancellation) {
    prepare('i');
    InitialStockLogic form(ctx, prompt, services);
    form.open();
    EXPECT_EQ(form.focusAfterOpen(), "DOUBL1_3");
    EXPECT_FALSE(form.field("DOUBL1_3")->readOnly);
    form.setValue("DOUBL1_3", "900");
    form.setValue("DOUBL2", "108");
    form.setValue("ANNOTA", "ricontato");
    EXPECT_EQ(form.confirm(), std::nullopt);
    const auto all = stocks();
    ASSERT_EQ(all.size(), 5u);
    EXPECT_EQ(testing::numbersIn(work.folders.initialStocks()), (std::vector<std::int32_t>{1, 4, 5, 6, 2}));
    const Movement& replacement = all[3];
    EXPECT_EQ(replacement.STATO, "R");
    EXPECT_EQ(replacement.TIPOPE, "I");
    EXPECT_EQ(replacement.TIPMOV, "G");
    EXPECT_EQ(replacement.NUMRIF, 4);
    EXPECT_EQ(replacement.NUMOPE, 0);
    EXPECT_NEAR(replacement.QTALIT, 900, 1e-9);
    EXPECT_NEAR(replacement.ETTOGR, 108, 1e-9);
    EXPECT_EQ(replacement.NUMPRO, "20");
    EXPECT_EQ(all[2].QTALIT, 1000); // the cancellation keeps the sent quantities
}

TEST_F(StockCorrection, RecordCorrectedMeanwhileIsNotCorrectedTwice) {
    prepare('I');
    InitialStockLogic form(ctx, prompt, services);
    form.open();
    form.setValue("ANNOTA", "nota");
    // Another workstation corrected it after the list was built.
    ASSERT_EQ(correctInitialStock(work.folders, 4, "altra", std::nullopt, prompt).outcome,
              CorrectionOutcome::Done);
    EXPECT_EQ(form.confirm(), std::nullopt);
    EXPECT_EQ(prompt.messages,
              std::vector<std::string>{correctionRefusal(CorrectionOutcome::NotCorrectable)});
    EXPECT_EQ(readMovements(work.folders.initialStocks()).size(), 4u);
}

} // namespace
} // namespace accise
