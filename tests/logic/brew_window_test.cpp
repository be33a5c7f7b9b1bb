// The brew window without a display: a brew typed and confirmed with and without the
// split section, its records read back field by field, the checks in their order with
// their messages and cursor moves, the grid's key rules, and a raw material used by
// another workstation before the confirmation.
#include <gtest/gtest.h>

#include <map>
#include <variant>

#include "core/books/movementfile.h"
#include "core/books/stocklists.h"
#include "core/files/text1252.h"
#include "core/records/recordfields.h"
#include "core/tables/installationsettings.h"
#include "logic/movements/brewwindow.h"
#include "logic/window_fixtures.h"
#include "movement_fixture.h"

namespace accise {
namespace {

using namespace brew;
using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;
using Values = std::map<std::string, std::string>;

constexpr const char* kMalt = "M000-11071099-00-0000";    // MP1, 5 000 kg
constexpr const char* kGlucose = "M000-17023050-00-0000"; // MP2, 300 litres
constexpr const char* kWort = "B000-22030000-00-0000";    // LAV1
constexpr const char* kSplitOperator = "IT00BSA00001X";

Values brewValues() {
    return {{"DATMOV", "05/03/2024"}, {"NUMDOC", "VIA 7"},     {"DOUBL1_3", "1000"}, {"DOUBL5", "12"},
            {"INTER1", "120000"},     {"ANNOTA", "Bionda"},    {"LITRI010", "990"},  {"POS010", "001"},
            {"POS009", "003"}};
}
Values brewUnloads() { return {{kMalt, "1200"}, {kGlucose, "50"}}; }

// Raw-material register MP3 holding two products (malt and glucose): one initial
// stock of 5 420 kg for the register, then 20 kg of malt and 2 400 kg of glucose
// unloaded. Each product's list entry starts from the whole initial stock (5 400 and
// 3 020) while the register holds 3 000.
void addSharedRegister(const Folders& folders, Prompt& prompt) {
    const testing::FixtureRegister shared{"MP3", 0, kMalt, 5420, 0, 0};
    TableRecord reg = blankTable();
    reg.col[kRegProtocolCol] = shared.protocol;
    reg.col[kRegOfficeCol] = "IT079100";
    reg.extra[0] = "PROTOCOLLI";
    reg.ints[kRegTypeInt] = 0;
    reg.nums[kRegProtocolDateNum] = reg.nums[kRegFirstDayNum] = dayNumber(2024, 1, 1);
    reg.nums[kRegLastDayNum] = dayNumber(2025, 12, 31);
    std::vector<TableRecord> products;
    for (const char* code : {kMalt, kGlucose})
        for (const TableRecord& row : readTable(folders.table("TA20")))
            if (row.col[0] == code) products.push_back(row);
    saveRegister(folders, reg, products, prompt);
    appendMovement(folders.initialStocks(), testing::fixtureInitialStock(shared, dayNumber(2023, 12, 31), true),
                   false, prompt);
    for (const auto& [code, kg] : {std::pair{kMalt, 20.0}, std::pair{kGlucose, 2400.0}}) {
        Movement used = testing::fixtureUnload(dayNumber(2024, 2, 1), 0);
        used.TIPREG = "M";
        used.NUMPRO = "MP3";
        used.PRODDO = code;
        used.QTAKG = kg;
        appendMovement(folders.registerFile(2024), used, false, prompt);
    }
}

// A second raw-material register whose material is counted in litres.
void addGlucoseRegister(const Folders& folders, Prompt& prompt) {
    const testing::FixtureRegister glucose{"MP2", 0, kGlucose, 0, 300, 0};
    TableRecord reg = blankTable();
    reg.col[kRegProtocolCol] = glucose.protocol;
    reg.col[kRegOfficeCol] = "IT079100";
    reg.extra[0] = "PROTOCOLLI";
    reg.ints[kRegTypeInt] = 0;
    reg.nums[kRegProtocolDateNum] = reg.nums[kRegFirstDayNum] = dayNumber(2024, 1, 1);
    reg.nums[kRegLastDayNum] = dayNumber(2025, 12, 31);
    std::vector<TableRecord> products;
    for (const TableRecord& row : readTable(folders.table("TA20")))
        if (row.col[0] == kGlucose) products.push_back(row);
    saveRegister(folders, reg, products, prompt);
    appendMovement(folders.initialStocks(), testing::fixtureInitialStock(glucose, dayNumber(2023, 12, 31), true),
                   false, prompt);
}

// What every record of the brew of 05/03/2024 carries.
Movement expectedRecord(const char* tipreg, const char* numpro, const char* proddo, const char* tipmov,
                        const char* caumov, const char* posfis) {
    Movement m = blankMovement();
    m.STATO = " ";
    m.TIPDES = "1";
    m.TIPREC = "C";
    m.TIPOPE = "I";
    m.TIPDOC = "VIA";
    m.TIPSTO = "S";
    m.CODPAE = "IT";
    m.DATMOV = m.DATDOC = dayNumber(2024, 3, 5);
    m.NUMDOC = "VIA 7";
    m.ANNOTA = "Bionda";
    m.TIPREG = tipreg;
    m.UFFDOG = "IT079100"; // the register's customs office
    m.ANNPRO = "2024";
    m.NUMPRO = numpro;
    m.PRODDO = proddo;
    m.TIPMOV = tipmov;
    m.CAUMOV = caumov;
    m.POSFIS = posfis;
    return m;
}

// Every field but the numbers the record append gives.
void expectSameFields(const Movement& actual, Movement expected) {
    padMovement(expected);
    for (const Field<Movement>& f : movementFields()) {
        const std::string name = f.name;
        if (name == "NUMREC" || name == "NUMOPE") continue;
        std::visit(
            [&](auto member) { EXPECT_EQ(actual.*member, expected.*member) << name; }, f.member);
    }
}

class BrewWindow : public ::testing::Test {
protected:
    BrewWindow() {
        testing::writeBrewery(work.folders, prompt);
        addGlucoseRegister(work.folders, prompt);
        ctx.company.id1 = kSplitOperator;
        prompt.messages.clear();
    }
    void splitForThisOperator() {
        InstallationSettings settings;
        settings.brewSplitExciseCodes[3] = kSplitOperator;
        writeInstallationSettings(work.folders, settings);
    }
    // Opens the window (today has no register: a message) and types a key.
    void openTyped(BrewLogic& window) {
        window.open();
        window.keyTyped();
        prompt.messages.clear();
    }
    // Types the values and confirms; the control that got the cursor, "" when saved.
    static std::string enter(BrewLogic& window, const Values& values, const Values& unloads = brewUnloads()) {
        if (auto back = window.typeFields(values, unloads)) return *back;
        if (auto failed = window.confirmChecks()) return *failed;
        window.confirmPressed();
        return "";
    }
    std::vector<Movement> year2024() const { return readMovements(work.folders.registerFile(2024)); }

    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
};

TEST_F(BrewWindow, SplitBrewWritesItsFiveRecordsAndKeepsThePositionsForTheNextBrew) {
    splitForThisOperator();
    BrewLogic window(ctx, prompt, services);
    openTyped(window);
    ASSERT_TRUE(window.splitShown());
    EXPECT_EQ(window.value("POS010"), "001"); // COSTANTI.DAT created with its defaults
    EXPECT_EQ(window.value("POS009"), "003");

    ASSERT_EQ(window.typeFields(brewValues(), brewUnloads()), std::nullopt);
    EXPECT_EQ(window.protocolText(), std::string("protocollo: LAV1/2024 prodotto: ") + kWort);
    EXPECT_EQ(window.value("INTER2"), "121000");
    EXPECT_EQ(window.value("DOUBL2"), "120,00000");
    EXPECT_EQ(window.value("DOUBL7"), "358,80"); // 120 × 2,99
    EXPECT_EQ(window.value("LITRI010"), "990");
    EXPECT_EQ(window.value("LITRI009"), "10,00000");
    EXPECT_EQ(window.value("ACCISA010"), "355,21");
    EXPECT_EQ(window.value("ACCISA009"), "3,59");
    window.setValue("POS009", "000"); // another position for the losses this time
    EXPECT_EQ(window.confirmChecks(), std::nullopt);
    window.confirmPressed();
    EXPECT_TRUE(prompt.messages.empty()) << prompt.messages.front();

    const std::vector<Movement> records = year2024();
    ASSERT_EQ(records.size(), 5u);
    Movement malt = expectedRecord("M", "MP1", kMalt, "S", "030", "004");
    malt.QTAKG = 1200;
    Movement glucose = expectedRecord("M", "MP2", kGlucose, "S", "030", "004");
    glucose.QTALIT = 50; // its stock is counted in litres
    Movement load = expectedRecord("L", "LAV1", kWort, "C", "109", "002");
    load.QTALIT = 1000;
    load.GRAPLA = 12;
    load.ETTOGR = 120;
    load.ACCISA = 358.8;
    load.CONTIN = 120000;
    load.CONTFI = 121000;
    Movement packaging = expectedRecord("L", "LAV1", kWort, "S", "010", "001");
    packaging.QTALIT = 990;
    packaging.ETTOGR = 118.8;
    packaging.ACCISA = 355.21;
    Movement losses = expectedRecord("L", "LAV1", kWort, "S", "009", "000");
    losses.QTALIT = 10;
    losses.ETTOGR = 1.2;
    losses.ACCISA = 3.59;
    // Numbered in the order they were added; in the file a load comes before the
    // unloads of its day.
    const Movement expected[] = {load, malt, glucose, packaging, losses};
    const std::int32_t numbers[] = {3, 1, 2, 4, 5};
    for (std::size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(i);
        expectSameFields(records[i], expected[i]);
        EXPECT_EQ(records[i].NUMREC, numbers[i]);
    }

    // Reset for the next brew: the date stays, the lists show the new stock, the
    // counter starts from the last reading, the positions are those just used.
    EXPECT_EQ(window.value("DATMOV"), "05/03/2024");
    EXPECT_EQ(window.value("NUMDOC"), "");
    EXPECT_EQ(window.value("DOUBL1_3"), "");
    EXPECT_EQ(window.value("INTER1"), "121000");
    ASSERT_EQ(window.grid().rows(), 2u);
    EXPECT_EQ(window.grid().cell(0, 3), " 3.800");
    EXPECT_EQ(window.grid().cell(0, 4), "");
    const BrewSettings kept = readBrewSettings(work.folders);
    EXPECT_EQ(kept.packagingPosition, "001");
    EXPECT_EQ(kept.lossPosition, "000");
    BrewLogic next(ctx, prompt, services);
    next.open();
    EXPECT_EQ(next.value("POS009"), "000");
}

TEST_F(BrewWindow, WithoutTheSplitOnlyTheRawMaterialsAndTheLoadAreWritten) {
    BrewLogic window(ctx, prompt, services); // no split codes configured
    openTyped(window);
    EXPECT_FALSE(window.splitShown());
    EXPECT_FALSE(window.shown("LITRI010"));
    EXPECT_FALSE(window.shown("POS009"));
    Values values = brewValues();
    values.erase("LITRI010");
    EXPECT_EQ(enter(window, values), "");
    const std::vector<Movement> records = year2024();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].TIPREG + records[1].TIPREG + records[2].TIPREG, "LMM");
    EXPECT_EQ(records[0].TIPMOV, "C");
}

TEST_F(BrewWindow, ChecksStopAtTheFirstFailureWithItsMessageAndCursor) {
    splitForThisOperator();
    struct Case {
        const char* what;
        Values changes;
        const char* focus;
        const char* message; // "" for none
        const char* lookupTable;
    };
    const Case cases[] = {
        {"date", {{"DATMOV", "31/02/2024"}}, "DATMOV", kInvalidDate, ""},
        {"no in-process register", {{"DATMOV", "15/01/2026"}}, "DATMOV", kNoInProcessRegister, ""},
        {"document number", {{"NUMDOC", "  "}}, "NUMDOC", kDocumentRequired, ""},
        {"no litres", {{"DOUBL1_3", "0"}}, "DOUBL1_3", kQuantityRequired, ""},
        {"too many litres", {{"DOUBL1_3", "100.000.000.000"}}, "DOUBL1_3", kQuantityMax, ""},
        {"Plato degree", {{"DOUBL5", "100"}}, "DOUBL5", kPlatoMax, ""},
        {"negative Plato degree", {{"DOUBL5", "-12"}}, "DOUBL5", kCheckPlato, ""},
        {"counter reading", {{"INTER1", "0"}}, "INTER1", kCounterNotPositive, ""},
        {"packaging position", {{"POS010", "999"}}, "POS010", "", "TA22"},
        {"loss position", {{"POS009", ""}}, "POS009", "", "TA22"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingPrompt p;
        FakeServices s;
        BrewLogic window(ctx, p, s);
        openTyped(window);
        p.messages.clear();
        Values values = brewValues();
        for (const auto& [control, text] : c.changes) values[control] = text;
        EXPECT_EQ(enter(window, values), c.focus);
        if (*c.message) {
            ASSERT_FALSE(p.messages.empty());
            EXPECT_EQ(p.messages.back(), c.message);
        } else {
            EXPECT_TRUE(p.messages.empty()) << p.messages.front();
        }
        if (*c.lookupTable) {
            EXPECT_EQ(s.lookupTables, std::vector<std::string>{c.lookupTable});
        }
        EXPECT_TRUE(year2024().empty());
    }

    // A low degree is only a warning: the brew is saved.
    BrewLogic window(ctx, prompt, services);
    openTyped(window);
    Values low = brewValues();
    low["DOUBL5"] = "5";
    EXPECT_EQ(enter(window, low), "");
    ASSERT_FALSE(prompt.messages.empty());
    EXPECT_EQ(prompt.messages.front(), kCheckPlato);
    EXPECT_EQ(year2024().size(), 5u);
}

TEST_F(BrewWindow, TheGridTakesDigitsAndOneCommaAndCutsAQuantityToTheStock) {
    BrewLogic window(ctx, prompt, services);
    openTyped(window);
    window.setValue("DATMOV", "05/03/2024");
    ASSERT_EQ(window.leave("DATMOV"), FocusMove::next());
    ASSERT_EQ(window.grid().rows(), 2u);
    EXPECT_EQ(window.grid().cell(0, 0), "MP1");
    EXPECT_EQ(window.grid().cell(0, 1), kMalt);
    EXPECT_EQ(window.grid().cell(0, 3), " 5.000");
    EXPECT_EQ(window.grid().cell(1, 3), " 300");

    struct Key {
        char32_t key;
        bool taken;
    };
    for (const Key k : {Key{U'1', true}, Key{U'x', false}, Key{U'2', true}, Key{U'.', true}, Key{U',', false},
                        Key{U'5', true}, Key{U'9', true}, Key{kBackspaceKey, true}, Key{U'-', false}})
        EXPECT_EQ(window.gridKey(0, k.key), k.taken) << static_cast<char>(k.key);
    EXPECT_EQ(window.grid().cell(0, 4), "12,5");
    EXPECT_EQ(window.gridEnter(0), std::optional<std::size_t>(1));
    EXPECT_EQ(window.grid().cell(0, 4), "  12,50000");
    EXPECT_TRUE(prompt.messages.empty());

    // Typing over a quantity read starts afresh; above the stock it becomes the stock.
    for (const char32_t k : {U'6', U'0', U'0', U'0'}) window.gridKey(0, k);
    EXPECT_EQ(window.grid().cell(0, 4), "6000");
    window.gridEnter(0);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kQuantityCut});
    EXPECT_EQ(window.grid().cell(0, 4), "5000,00000");
    EXPECT_DOUBLE_EQ(window.grid().quantity(0), 5000);
    // From the last row the cursor leaves the grid.
    EXPECT_EQ(window.gridEnter(1), std::nullopt);
    EXPECT_EQ(window.grid().cell(1, 4), "   0,00000");

    // A quantity typed and left without Enter is read, with the same rule, when the
    // grid is left.
    for (const char32_t k : {U'4', U'0', U'0'}) window.gridKey(1, k);
    prompt.messages.clear();
    EXPECT_EQ(window.leave("STGRID"), FocusMove::next());
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kQuantityCut});
    EXPECT_DOUBLE_EQ(window.grid().quantity(1), 300);
}

TEST_F(BrewWindow, OnlyAChangedDateRebuildsTheGrid) {
    BrewLogic window(ctx, prompt, services);
    openTyped(window);
    window.setValue("DATMOV", "05/03/2024");
    ASSERT_EQ(window.leave("DATMOV"), FocusMove::next());
    for (const char32_t k : {U'1', U'0', U'0'}) window.gridKey(0, k);
    window.gridEnter(0);
    // Another workstation unloads malt on 10/03.
    Movement used = testing::fixtureUnload(dayNumber(2024, 3, 10), 0);
    used.TIPREG = "M";
    used.NUMPRO = "MP1";
    used.PRODDO = kMalt;
    used.QTAKG = 1000;
    appendMovement(work.folders.registerFile(2024), used, false, prompt);

    window.leave("DATMOV"); // the same date: the quantity typed stays
    EXPECT_DOUBLE_EQ(window.grid().quantity(0), 100);
    EXPECT_TRUE(prompt.questions.empty());

    // Another date would empty the grid: the clerk is asked first, No by default,
    // when leaving the date and when the confirmation finds it changed.
    struct Case {
        const char* how;
        bool yes;
        const char* cursor;
    };
    const Case cases[] = {
        {"leaving the date, No", false, "DATMOV"},
        {"at the confirmation, No", false, "DATMOV"},
        {"leaving the date, Yes", true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        prompt.questions.clear();
        prompt.answers = {c.yes};
        window.setValue("DATMOV", "11/03/2024");
        const bool atConfirmation = std::string(c.how).starts_with("at the");
        const FocusMove move = atConfirmation ? FocusMove::to(window.confirmChecks().value_or(""))
                                              : window.leave("DATMOV");
        EXPECT_EQ(prompt.questions, std::vector<std::string>{kDataWillBeLost});
        EXPECT_EQ(move.proceed ? std::string() : move.control, c.cursor);
        if (!c.yes) {
            EXPECT_EQ(window.value("DATMOV"), "05/03/2024");
            EXPECT_DOUBLE_EQ(window.grid().quantity(0), 100);
        }
    }
    EXPECT_DOUBLE_EQ(window.grid().quantity(0), 0);
    EXPECT_EQ(window.grid().cell(0, 3), " 4.000");
}

TEST_F(BrewWindow, ARawMaterialUsedMeanwhileIsNamedAndNothingIsWritten) {
    BrewLogic window(ctx, prompt, services);
    openTyped(window);
    ASSERT_EQ(window.typeFields(brewValues(), brewUnloads()), std::nullopt);
    ASSERT_EQ(window.confirmChecks(), std::nullopt);
    // Between the grid and the confirmation another workstation unloads 4 000 kg of malt.
    Movement used = testing::fixtureUnload(dayNumber(2024, 3, 5), 0);
    used.TIPREG = "M";
    used.NUMPRO = "MP1";
    used.PRODDO = kMalt;
    used.QTAKG = 4000;
    appendMovement(work.folders.registerFile(2024), used, false, prompt);

    window.confirmPressed();
    EXPECT_EQ(year2024().size(), 1u); // only the other workstation's unload
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].find("GIACENZA INSUFFICIENTE PER Malto d'orzo non torrefatto (" +
                                      std::string(kMalt) + ") DEL REGISTRO MP1/2024: disponibili 1.000, "
                                                           "da scaricare 1.200"),
              std::string::npos)
        << prompt.messages[0];
    // The window keeps what was typed and shows the stock as it is now.
    EXPECT_EQ(window.value("NUMDOC"), "VIA 7");
    EXPECT_DOUBLE_EQ(window.grid().quantity(0), 1200);
    EXPECT_EQ(window.grid().cell(0, 3), " 1.000");
    EXPECT_EQ(window.focusAfterOpen(), "STGRID");
}

// The split moves exact figures: what the clerk typed to package (or, with nothing
// typed, every litre brewed) is saved to the 5th decimal, whatever LITRI010 showed,
// and the litres to package plus the losses are the litres brewed.
TEST_F(BrewWindow, TheSplitIsSavedToTheLitreFraction) {
    struct Case {
        const char* what;
        const char* brewed;
        const char* typedToPackage; // nullptr: left empty
        double toPackage, losses;   // saved; 0 losses: no loss record
    };
    const Case cases[] = {
        {"990,5 of 999,9 typed", "999,9", "990,5", 990.5, 9.4},
        {"nothing typed: all of 500,4 to packaging", "500,4", nullptr, 500.4, 0},
        {"a fraction typed on a whole brew", "1000", "0,25", 0.25, 999.75},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(work.folders.registerFile(2024));
        splitForThisOperator();
        BrewLogic window(ctx, prompt, services);
        openTyped(window);
        Values values = brewValues();
        values["DOUBL1_3"] = c.brewed;
        if (c.typedToPackage) values["LITRI010"] = c.typedToPackage;
        else values.erase("LITRI010");
        ASSERT_EQ(enter(window, values), "");
        double toPackage = -1, losses = 0, brewed = 0;
        for (Movement m : year2024()) {
            trimMovement(m);
            if (m.TIPREG != "L") continue;
            if (m.CAUMOV == "109") brewed = m.QTALIT;
            if (m.CAUMOV == "010") toPackage = m.QTALIT;
            if (m.CAUMOV == "009") losses = m.QTALIT;
        }
        EXPECT_DOUBLE_EQ(toPackage, c.toPackage);
        EXPECT_DOUBLE_EQ(losses, c.losses);
        EXPECT_NEAR(toPackage + losses, brewed, 1e-9);
    }
}

// A row keeps its unit: after a refusal that found none of the malt left, the next
// confirmation (once the stock is back) still unloads kilograms.
TEST_F(BrewWindow, ARowKeepsItsUnitWhenItsStockRanOut) {
    BrewLogic window(ctx, prompt, services);
    openTyped(window);
    ASSERT_EQ(window.typeFields(brewValues(), {{kMalt, "1200"}}), std::nullopt);
    ASSERT_EQ(window.confirmChecks(), std::nullopt);
    Movement used = testing::fixtureUnload(dayNumber(2024, 3, 5), 0);
    used.TIPREG = "M";
    used.NUMPRO = "MP1";
    used.PRODDO = kMalt;
    used.QTAKG = 5000; // all of it, by another desk
    appendMovement(work.folders.registerFile(2024), used, false, prompt);
    window.confirmPressed();
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(window.grid().cell(0, 3), " 0");

    Movement back = used; // and loaded again
    back.TIPMOV = "C";
    back.QTAKG = 2000;
    appendMovement(work.folders.registerFile(2024), back, false, prompt);
    ASSERT_EQ(window.confirmChecks(), std::nullopt);
    window.confirmPressed();
    const auto records = year2024();
    ASSERT_EQ(records.size(), 4u); // the other desk's two, the malt unload and the load
    bool found = false;
    for (Movement m : records) {
        trimMovement(m);
        if (m.CAUMOV != "030") continue;
        found = true;
        EXPECT_DOUBLE_EQ(m.QTAKG, 1200);
        EXPECT_DOUBLE_EQ(m.QTALIT, 0);
    }
    EXPECT_TRUE(found);
}

// The products of one register share its stock: the grid offers each at most what
// the register holds, cuts a second product's unload to what the first leaves, and
// the save refuses a brew whose unloads together no longer fit the register.
TEST_F(BrewWindow, TheUnloadsOfOneRegisterNeverExceedItsStock) {
    addSharedRegister(work.folders, prompt);
    BrewLogic window(ctx, prompt, services);
    openTyped(window);
    ASSERT_EQ(window.typeFields(brewValues(), {}), std::nullopt);
    std::vector<std::size_t> shared;
    for (std::size_t row = 0; row < window.grid().rows(); ++row)
        if (trimmed(window.grid().entry(row).NUMPRO) == "MP3") shared.push_back(row);
    ASSERT_EQ(shared.size(), 2u);
    EXPECT_EQ(window.grid().cell(shared[0], 3), " 3.000"); // not 5.400
    EXPECT_EQ(window.grid().cell(shared[1], 3), " 3.000"); // not 3.020

    const auto typeRow = [&](std::size_t row, const char* text) {
        for (const char* k = text; *k; ++k) window.gridKey(row, static_cast<unsigned char>(*k));
        window.gridEnter(row);
    };
    prompt.messages.clear();
    typeRow(shared[0], "2000");
    EXPECT_TRUE(prompt.messages.empty());
    typeRow(shared[1], "2000");
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kQuantityCut});
    EXPECT_DOUBLE_EQ(window.grid().quantity(shared[1]), 1000); // 3 000 - 2 000

    // Another desk unloads 500 kg of malt from MP3 before the press: each product
    // alone still fits, both together do not.
    ASSERT_EQ(window.confirmChecks(), std::nullopt);
    Movement used = testing::fixtureUnload(dayNumber(2024, 3, 5), 0);
    used.TIPREG = "M";
    used.NUMPRO = "MP3";
    used.PRODDO = kMalt;
    used.QTAKG = 500;
    appendMovement(work.folders.registerFile(2024), used, false, prompt);
    const std::size_t before = year2024().size();
    prompt.messages.clear();
    window.confirmPressed();
    EXPECT_EQ(year2024().size(), before);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].rfind("GIACENZA INSUFFICIENTE NEL REGISTRO MP3/2024: disponibili 2.500, da "
                                       "scaricare 3.000", 0),
              0u)
        << prompt.messages[0];
}

// The litre counter of the first brew of a year goes on from the year before.
TEST_F(BrewWindow, TheCounterGoesOnFromThePreviousYear) {
    BrewLogic window(ctx, prompt, services);
    openTyped(window);
    ASSERT_EQ(enter(window, brewValues()), "");
    EXPECT_EQ(window.value("INTER1"), "121000");
    window.setValue("DATMOV", "10/01/2025");
    ASSERT_EQ(window.leave("DATMOV"), FocusMove::next());
    EXPECT_EQ(window.value("INTER1"), "121000");
}

} // namespace
} // namespace accise
