// The movement window without a display: typing and confirming loads and unloads,
// the checks in their order with their messages and cursor moves, warnings, the
// open guard, and the four modes, with their effects read back from the files.
#include <gtest/gtest.h>

#include <map>

#include "core/books/movementfile.h"
#include "core/files/lock.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "logic/movements/movemententry.h"
#include "logic/window_fixtures.h"
#include "movement_fixture.h"

namespace accise {
namespace {

using namespace movemententry;
using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;
using Values = std::map<std::string, std::string>;

// A bulk unload of 1 000 litres at 12 degrees, released for consumption.
Values bulkUnload() {
    return {{"TIPMOV", "S"},     {"DATMOV", "01/03/2024"}, {"TIPDOC", "DAS"},
            {"DATDOC", "01/03/2024"}, {"NUMDOC", "F-1"},   {"PRODDO", "B000-22030010-00-0000"},
            {"TIPSTO", "S"},     {"DOUBL5", "12"},         {"CAUMOV", "071"},
            {"DOUBL1_3", "1000"}, {"POSFIS", "001"},       {"CODPAE", "IT"},
            {"MITDES", testing::kClientExcise}};
}

class MovementWindow : public ::testing::Test {
protected:
    MovementWindow() { testing::writeBrewery(work.folders, prompt); prompt.messages.clear(); }

    void openInsert() {
        form.open();
        form.keyTyped();
    }
    // Types the values and confirms; the control that got the cursor, "" when saved.
    std::string enter(const Values& values) {
        if (auto back = form.typeFields(values)) return *back;
        if (auto failed = form.confirmChecks()) return *failed;
        form.confirmPressed();
        return "";
    }
    std::vector<Movement> year(int y) const { return readMovements(work.folders.registerFile(y)); }

    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
    MovementEntryLogic form{ctx, prompt, services};
};

TEST_F(MovementWindow, BulkUnloadIsComputedSavedAndTheWindowResets) {
    openInsert();
    const std::string country = form.value("DCODPAE"); // the description of IT
    EXPECT_EQ(enter(bulkUnload()), "");
    EXPECT_TRUE(prompt.messages.empty()) << prompt.messages.front();
    ASSERT_EQ(year(2024).size(), 1u);
    Movement m = year(2024)[0];
    trimMovement(m);
    EXPECT_EQ(m.TIPREG, "F");
    EXPECT_EQ(m.NUMPRO, "FS1");
    EXPECT_EQ(m.ANNPRO, "2024");
    EXPECT_EQ(m.UFFDOG, "IT079100");
    EXPECT_EQ(m.TIPREC, "C");
    EXPECT_EQ(m.TIPOPE, "I");
    EXPECT_EQ(m.TIPDES, "1");
    EXPECT_DOUBLE_EQ(m.QTALIT, 1000);
    EXPECT_DOUBLE_EQ(m.ETTOGR, 120);
    EXPECT_DOUBLE_EQ(m.ACCISA, 358.8); // 120 × 2,99
    EXPECT_DOUBLE_EQ(m.GARANZ, 0);
    EXPECT_EQ(m.MITDES, testing::kClientExcise);
    EXPECT_EQ(m.NUMOPE, 1);

    // Reset for the next movement: the dates stay, the rest is emptied, the country is IT.
    EXPECT_FALSE(form.closeRequested());
    EXPECT_EQ(form.value("TIPMOV"), "");
    EXPECT_EQ(form.value("DATMOV"), "01/03/2024");
    EXPECT_EQ(form.value("DATDOC"), "01/03/2024");
    EXPECT_EQ(form.value("PRODDO"), "");
    EXPECT_EQ(form.value("CODPAE"), "IT");
    EXPECT_EQ(form.value("DCODPAE"), country); // still beside its code
    EXPECT_EQ(form.stockText(), "");
}

TEST_F(MovementWindow, ChecksStopAtTheFirstFailureWithItsMessageAndCursor) {
    struct Case {
        const char* what;
        Values changes;
        const char* focus;
        const char* message; // "" when the window shows none
        const char* lookupTable;
    };
    const Case cases[] = {
        {"movement type", {{"TIPMOV", "X"}}, "TIPMOV", "", ""},
        {"movement date", {{"DATMOV", "31/02/2024"}}, "DATMOV", "DATA NON VALIDA", ""}, // never silent
        {"document type", {{"TIPDOC", "ZZZ"}}, "TIPDOC", "", "TA05S"},
        {"document number", {{"NUMDOC", "  "}}, "NUMDOC", "", ""},
        {"unknown product", {{"PRODDO", "B000-99999999-00-0000"}}, "PRODDO", "", "TA20"},
        {"no register at the date", {{"DATMOV", "15/01/2026"}, {"DATDOC", "15/01/2026"}}, "PRODDO",
         "NON CI SONO REGISTRI VIDIMATI PER LA DATA DEL MOVIMENTO DI QUESTO PRODOTTO", ""},
        {"bulk or packaged", {{"TIPSTO", "X"}}, "TIPSTO", "", ""},
        {"Plato degree", {{"DOUBL5", "100"}}, "DOUBL5", "valore MASSIMO: 99,99999", ""},
        {"reason", {{"CAUMOV", "999"}}, "CAUMOV", "", "TA21S"},
        {"no quantity", {{"DOUBL1_3", "0"}}, "DOUBL1_3", "quantità obbligatoria", ""},
        {"too much", {{"DOUBL1_3", "100.000.000.000"}}, "DOUBL1_3", "quantità MASSIMA: 99.999.999.999,99999", ""},
        {"over the stock", {{"DOUBL1_3", "1000,00001"}}, "DOUBL1_3", "Quantità superiore alla giacenza ", ""},
        {"tax position", {{"POSFIS", "999"}}, "POSFIS", "", "TA22"},
        {"country", {{"CODPAE", "ZZ"}}, "CODPAE", "", "T004"},
        {"recipient required", {{"MITDES", ""}}, "MITDES", kPartnerRequired, "INDIRIZZI_C"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingPrompt p;
        FakeServices s;
        CommandContext context = work.context();
        MovementEntryLogic window(context, p, s);
        window.open();
        Values values = bulkUnload();
        for (const auto& [control, text] : c.changes) values[control] = text;
        // Set every value, then confirm: the confirmation's own order decides.
        window.keyTyped();
        for (const auto& [control, text] : values) window.setValue(control, text);
        EXPECT_EQ(window.confirmChecks(), std::optional<std::string>(c.focus));
        if (*c.message) {
            ASSERT_FALSE(p.messages.empty());
            EXPECT_EQ(p.messages.back(), c.message);
        } else {
            EXPECT_TRUE(p.messages.empty());
        }
        ASSERT_TRUE(window.refusal());
        EXPECT_EQ(window.refusal()->control, c.focus);
        if (*c.lookupTable) {
            ASSERT_FALSE(s.lookupTables.empty());
            EXPECT_EQ(s.lookupTables.back(), c.lookupTable);
        } else {
            EXPECT_TRUE(s.lookupTables.empty());
        }
    }
    EXPECT_TRUE(year(2024).empty());
}

TEST_F(MovementWindow, DocumentDateLaterThanTheMovementDate) {
    openInsert();
    // Typed before the movement date: moved back silently when the movement date is left.
    form.setValue("DATDOC", "10/03/2024");
    form.setValue("DATMOV", "05/03/2024");
    EXPECT_EQ(form.leave("DATMOV"), FocusMove::next());
    EXPECT_EQ(form.value("DATDOC"), "05/03/2024");
    EXPECT_TRUE(prompt.messages.empty());
    // Typed after it: refused with the message.
    form.setValue("TIPMOV", "S");
    form.leave("TIPMOV");
    form.setValue("TIPDOC", "DAS");
    form.leave("TIPDOC");
    form.setValue("DATDOC", "06/03/2024");
    EXPECT_EQ(form.leave("DATDOC"), FocusMove::to("DATDOC"));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0], kDocumentAfterMovement);
}

TEST_F(MovementWindow, PackagedProductComputesItsTotal) {
    openInsert();
    Values v = bulkUnload();
    v.erase("DOUBL1_3");
    v["PRODAZ"] = "BIONDA33"; // fills the TA20 code, packaged, Plato and unit volume
    v.erase("PRODDO");
    v.erase("TIPSTO");
    v.erase("DOUBL5");
    v["INTER3"] = "24";
    // Leaving the product code fills the product's fields.
    ASSERT_EQ(form.typeFields(v), std::nullopt);
    EXPECT_EQ(form.value("PRODDO"), "B000-22030001-00-0000");
    EXPECT_EQ(form.value("DTIPSTO"), "Condizionato");
    EXPECT_TRUE(form.shown("INTER3"));
    EXPECT_FALSE(form.editable("DOUBL1_3"));
    EXPECT_EQ(form.value("DOUBL1_3"), "7,92000"); // 24 × 0,33
    EXPECT_EQ(form.value("DOUBL2"), "0,95040");
    EXPECT_EQ(form.registerTypeText(), "Finiti condizionati");
    EXPECT_EQ(form.protocolText(), "protocollo:  FC1  del 01/01/2024");
    EXPECT_EQ(form.stockText(), "max 500 (Hlg 60)");
    ASSERT_EQ(form.confirmChecks(), std::nullopt);
    form.confirmPressed();
    Movement m = year(2024).at(0);
    EXPECT_EQ(m.NUMCON, 24);
    EXPECT_DOUBLE_EQ(m.VOLUNI, 0.33);
    EXPECT_DOUBLE_EQ(m.QTALIT, 7.92);
    EXPECT_EQ(m.PRODAZ.substr(0, 8), "BIONDA33");

    // No packages, no unit volume: the cursor goes where the quantity comes from.
    openInsert();
    v["INTER3"] = "0";
    EXPECT_EQ(form.typeFields(v), "INTER3");
    EXPECT_EQ(prompt.messages.back(), kPackagesRequired);
    v["INTER3"] = "2";
    v["DOUBL6"] = "0";
    EXPECT_EQ(form.typeFields(v), "DOUBL6");
    EXPECT_EQ(prompt.messages.back(), kUnitRequired);
    // More packages than the stock: back to the number of packages.
    v["DOUBL6"] = "0,33";
    v["INTER3"] = "2000";
    EXPECT_EQ(form.typeFields(v), "INTER3");
    EXPECT_EQ(prompt.messages.back(), "Quantità superiore alla giacenza ");
}

TEST_F(MovementWindow, RawMaterialInKilogramsHasNoPlatoAndNoExcise) {
    openInsert();
    const Values load = {{"TIPMOV", "C"},  {"DATMOV", "10/01/2024"}, {"TIPDOC", "DDT"},
                         {"DATDOC", "09/01/2024"}, {"NUMDOC", "B-77"}, {"PRODDO", "M000-11071099-00-0000"},
                         {"TIPSTO", "S"}, {"CAUMOV", "105"},          {"DOUBL1_3", "1.200"},
                         {"CODPAE", "IT"}, {"MITDES", testing::kSupplierExcise}};
    ASSERT_EQ(form.typeFields(load), std::nullopt);
    EXPECT_EQ(form.layout().totalLabel, "Totale KG.");
    EXPECT_FALSE(form.shown("DOUBL5"));
    EXPECT_FALSE(form.shown("DOUBL7"));
    EXPECT_EQ(form.value("POSFIS"), "004");
    EXPECT_EQ(form.value("DMITDES"), "Malteria Padana S.p.A. PAVIA");
    EXPECT_EQ(form.stockText(), ""); // a load shows no stock
    ASSERT_EQ(form.confirmChecks(), std::nullopt);
    form.confirmPressed();
    const Movement m = year(2024).at(0);
    EXPECT_DOUBLE_EQ(m.QTAKG, 1200);
    EXPECT_DOUBLE_EQ(m.QTALIT, 0);
    EXPECT_DOUBLE_EQ(m.ETTOGR, 0);
    EXPECT_DOUBLE_EQ(m.ACCISA, 0);
    EXPECT_EQ(m.POSFIS, "004");
    EXPECT_EQ(m.TIPREG, "M");
}

TEST_F(MovementWindow, WarningsDoNotRefuse) {
    openInsert();
    Values v = bulkUnload();
    v["DOUBL1_3"] = "100";
    EXPECT_EQ(enter(v), "");
    EXPECT_TRUE(prompt.messages.empty());
    // The same document again, at a low Plato degree the first time round.
    v["DOUBL5"] = "5";
    v["DOUBL1_3"] = "100";
    EXPECT_EQ(enter(v), "");
    EXPECT_EQ(prompt.messages, (std::vector<std::string>{kCheckPlato, kCheckPlato}));
    v["DOUBL5"] = "12";
    prompt.messages.clear();
    EXPECT_EQ(enter(v), "");
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kDuplicateDocument});
    EXPECT_EQ(year(2024).size(), 3u);
}

TEST_F(MovementWindow, UnloadOfExactlyTheStockPassesAndTheStockIsShown) {
    openInsert();
    ASSERT_EQ(form.typeFields(bulkUnload()), std::nullopt);
    EXPECT_EQ(form.stockText(), "max 1.000 (Hlg 120)");
    EXPECT_EQ(form.confirmChecks(), std::nullopt);
}

TEST_F(MovementWindow, LitreCounterIsPrefilledFromTheLastInProcessLoad) {
    Movement previous = testing::fixtureUnload(dayNumber(2024, 2, 1), 500);
    previous.TIPMOV = "C";
    previous.TIPREG = "L";
    previous.NUMPRO = "LAV1";
    previous.CONTFI = 4200;
    appendMovement(work.folders.registerFile(2024), previous, false, prompt);

    openInsert();
    Values v = {{"TIPMOV", "C"},     {"DATMOV", "05/02/2024"}, {"TIPDOC", "VIA"},
                {"DATDOC", "05/02/2024"}, {"NUMDOC", "COTTA 12"}, {"PRODDO", "B000-22030000-00-0000"},
                {"TIPSTO", "S"},     {"DOUBL5", "12,5"},       {"CAUMOV", "109"},
                {"DOUBL1_3", "1000"}, {"POSFIS", "002"},       {"CODPAE", "IT"}};
    ASSERT_EQ(form.typeFields(v), std::nullopt);
    EXPECT_TRUE(form.shown("INTER1"));
    EXPECT_EQ(form.value("INTER1"), "4200");
    EXPECT_EQ(form.value("INTER2"), "5200");
    EXPECT_EQ(form.layout().exciseLabel, "Accisa sospesa");
    EXPECT_EQ(form.value("DOUBL7"), "373,75"); // 125 × 2,99, suspended
    ASSERT_EQ(form.confirmChecks(), std::nullopt);
    form.confirmPressed();
    const Movement m = year(2024).at(1);
    EXPECT_EQ(m.CONTIN, 4200);
    EXPECT_EQ(m.CONTFI, 5200);
    EXPECT_EQ(m.MITDES, std::string(16, ' ')); // VIA needs no sender

    openInsert();
    v["INTER1"] = "0";
    v["INTER2"] = "0";
    EXPECT_EQ(form.typeFields(v), "INTER1");
    EXPECT_EQ(prompt.messages.back(), kCounterNotPositive);
}

TEST_F(MovementWindow, AlcoppDeclaresExciseOnlyOnTheReportOfReceipt) {
    ctx.alcopp = true;
    openInsert();
    Values v = bulkUnload();
    v["POSFIS"] = "002";
    ASSERT_EQ(form.typeFields(v), std::nullopt);
    EXPECT_EQ(form.value("POSFIS"), "001");
    EXPECT_EQ(form.value("DOUBL7"), "0,00");
    // A typed amount replaces the computed one.
    form.setValue("DOUBL7", "12,34");
    ASSERT_EQ(form.confirmChecks(), std::nullopt);
    EXPECT_DOUBLE_EQ(form.movement().ACCISA, 12.34);
}

TEST_F(MovementWindow, OpenGuardSendsTheCursorBackUntilAKeyIsTyped) {
    form.open();
    for (const auto& [control, text] : bulkUnload()) form.setValue(control, text);
    EXPECT_EQ(form.leave("TIPMOV"), FocusMove::next()); // not checked yet
    EXPECT_EQ(form.confirmChecks(), std::optional<std::string>("TIPMOV"));
    form.keyTyped();
    EXPECT_EQ(form.confirmChecks(), std::nullopt);
}

TEST_F(MovementWindow, UnsentInitialStockBlocksTheRegister) {
    WorkingFolder other;
    testing::writeBrewery(other.folders, prompt, false);
    CommandContext c = other.context();
    MovementEntryLogic window(c, prompt, services);
    window.open();
    window.keyTyped();
    ASSERT_EQ(window.typeFields(bulkUnload()), std::nullopt);
    EXPECT_EQ(window.confirmChecks(), std::optional<std::string>("PRODDO"));
    EXPECT_EQ(prompt.messages.back(), "Prima di registrare i movimenti è obbligatorio inviare la giacenza iniziale");
}

// Pressing the confirm button with nothing checked before reads the year's file once,
// holding its lock from the stock check to the save: no message may wait for the
// clerk while the file is locked, and the lock never outlives the press.
TEST_F(MovementWindow, ConfirmPressShowsNoMessageWhileTheYearsFileIsLocked) {
    std::vector<bool> lockedDuringMessage;
    const auto watch = [&](RecordingPrompt& p, const Folders& folders) {
        p.onInformation = [&lockedDuringMessage, marker = lockMarkerOf(folders.registerFile(2024))](int) {
            lockedDuringMessage.push_back(fileExists(marker));
        };
    };
    // Every value set, then the button pressed: the confirmation's own order decides.
    const auto press = [&](MovementEntryLogic& window, const Values& values) {
        window.open();
        window.keyTyped();
        for (const auto& [control, text] : values) window.setValue(control, text);
        return window.confirmPressed();
    };
    watch(prompt, work.folders);
    Values v = bulkUnload();
    v["DOUBL1_3"] = "100";
    EXPECT_EQ(press(form, v), std::optional<std::string>("TIPMOV")); // saved; the window starts again
    ASSERT_EQ(year(2024).size(), 1u);
    EXPECT_EQ(year(2024)[0].NUMREC, 1);

    EXPECT_EQ(press(form, v), std::optional<std::string>("TIPMOV")); // the same document: warned, saved
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kDuplicateDocument});
    EXPECT_EQ(year(2024).size(), 2u);

    v["DOUBL1_3"] = "801"; // 1000 less the 200 sold
    EXPECT_EQ(press(form, v), std::optional<std::string>("DOUBL1_3"));
    EXPECT_EQ(prompt.messages.back(), kQuantityOverStock);
    EXPECT_EQ(year(2024).size(), 2u);

    // A failure after the stock check: the initial stock was never sent.
    WorkingFolder other;
    RecordingPrompt otherPrompt;
    testing::writeBrewery(other.folders, otherPrompt, false);
    otherPrompt.messages.clear();
    watch(otherPrompt, other.folders);
    CommandContext c = other.context();
    MovementEntryLogic window(c, otherPrompt, services);
    EXPECT_EQ(press(window, v), std::optional<std::string>("PRODDO"));
    EXPECT_EQ(otherPrompt.messages, std::vector<std::string>{kInitialStockNotSent});
    EXPECT_FALSE(fileExists(lockMarkerOf(other.folders.registerFile(2024))));

    EXPECT_EQ(lockedDuringMessage, std::vector<bool>(3, false));
    EXPECT_FALSE(fileExists(lockMarkerOf(work.folders.registerFile(2024))));
}

class MovementWindowModes : public MovementWindow {
protected:
    // A saved unload of 300 litres, optionally sent.
    Movement saved(bool sent) {
        openInsert();
        Values v = bulkUnload();
        v["DOUBL1_3"] = "300";
        EXPECT_EQ(enter(v), "");
        std::vector<Movement> records = year(2024);
        if (sent) {
            records.back().DATFLU = dayNumber(2024, 3, 5);
            records.back().NUMFLU = 2;
            std::string content;
            for (const Movement& m : records) content += encodeMovement(m);
            replaceFileContent(work.folders.registerFile(2024), content);
        }
        prompt.messages.clear();
        return records.back();
    }
    void openOn(const Movement& m, bool modify, bool cancel, bool replace) {
        ctx.modify = modify;
        ctx.correctionCancel = cancel;
        ctx.correctionModify = replace;
        ctx.workingYear = "2024";
        ctx.chosenRecord = m.NUMREC;
        window.emplace(ctx, prompt, services);
        window->open();
    }
    std::optional<MovementEntryLogic> window;
};

TEST_F(MovementWindowModes, ModifyOffersItsOwnQuantityAndReplacesTheMovement) {
    const Movement old = saved(false);
    openOn(old, true, false, false);
    EXPECT_FALSE(window->closeRequested());
    EXPECT_EQ(window->mode(), EntryMode::Modify);
    EXPECT_EQ(window->focusAfterOpen(), "TIPMOV");
    EXPECT_EQ(window->value("DOUBL1_3"), "300,00000");
    EXPECT_EQ(window->stockText(), "max 1.000 (Hlg 120)"); // 700 left plus its own 300
    window->keyTyped();
    window->setValue("DOUBL1_3", "1000");
    ASSERT_EQ(window->confirmChecks(), std::nullopt);
    window->confirmPressed();
    EXPECT_TRUE(window->closeRequested());
    ASSERT_EQ(year(2024).size(), 1u);
    EXPECT_DOUBLE_EQ(year(2024)[0].QTALIT, 1000);

    // A date in another year moves it to that year's file.
    const Movement current = year(2024)[0];
    openOn(current, true, false, false);
    window->keyTyped();
    window->setValue("DATMOV", "02/01/2025");
    window->setValue("DATDOC", "02/01/2025");
    ASSERT_EQ(window->confirmChecks(), std::nullopt);
    window->confirmPressed();
    EXPECT_TRUE(year(2024).empty());
    ASSERT_EQ(year(2025).size(), 1u);
}

TEST_F(MovementWindowModes, ChosenRecordThatVanishedIsNeverReplacedByAnother) {
    const Movement old = saved(false);
    Movement gone = old;
    gone.NUMREC = 42;
    openOn(gone, true, false, false);
    EXPECT_TRUE(window->closeRequested());
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kChosenRecordGone});
}

TEST_F(MovementWindowModes, CorrectionCancelChangesOnlyTheNote) {
    const Movement sent = saved(true);
    openOn(sent, false, true, false);
    EXPECT_EQ(window->title(), kCancelTitle);
    EXPECT_EQ(window->focusAfterOpen(), "ANNOTA");
    EXPECT_FALSE(window->editable("DOUBL1_3"));
    EXPECT_FALSE(window->editable("TIPMOV"));
    EXPECT_TRUE(window->editable("ANNOTA"));
    // Opening runs the checks: the note is still missing.
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kNoteRequired});
    window->keyTyped();
    prompt.messages.clear();
    EXPECT_EQ(window->confirmChecks(), std::optional<std::string>("ANNOTA"));
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kNoteRequired});
    // With the note, the unchanged record matches itself: a warning, and the correction is written.
    window->setValue("ANNOTA", "documento annullato");
    prompt.messages.clear();
    ASSERT_EQ(window->confirmChecks(), std::nullopt);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kDuplicateDocument});
    window->confirmPressed();
    EXPECT_TRUE(window->closeRequested());
    const auto records = year(2024);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].STATO, "C");
    EXPECT_EQ(records[1].TIPOPE, "C");
}

TEST_F(MovementWindowModes, CorrectionModifyStaysInTheCorrectedRecordsFile) {
    const Movement sent = saved(true);
    openOn(sent, false, false, true);
    EXPECT_EQ(window->title(), kModifyTitle);
    window->keyTyped();
    window->setValue("DATMOV", "03/01/2025");
    window->setValue("DATDOC", "03/01/2025");
    window->setValue("DOUBL1_3", "250");
    window->setValue("ANNOTA", "quantità corretta");
    ASSERT_EQ(window->confirmChecks(), std::nullopt);
    window->confirmPressed();
    const auto records = year(2024);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[2].STATO, "R");
    EXPECT_DOUBLE_EQ(records[2].QTALIT, 250);
    EXPECT_EQ(records[2].NUMOPE, sent.NUMOPE);
    EXPECT_EQ(formatDate(records[2].DATMOV), "03/01/2025");
    EXPECT_TRUE(year(2025).empty());
}

// The cursor reached "&CONFERMA" (checks passed without the lock), then another desk
// saved; the press reads the stock again under the lock, refuses as the check does and
// keeps what the clerk typed. FS1 holds 1 000 l.
TEST_F(MovementWindow, ThePressReadsTheStockAgainWhenAnotherDeskSavedAfterTheChecks) {
    openInsert();
    Values v = bulkUnload();
    v["DOUBL1_3"] = "600";
    ASSERT_EQ(form.typeFields(v), std::nullopt);
    ASSERT_EQ(form.confirmChecks(), std::nullopt);
    Movement otherDesk = testing::fixtureUnload(dayNumber(2024, 3, 1), 600);
    otherDesk.NUMDOC = "F-ALTRA";
    ASSERT_EQ(saveMovement(work.folders, EntryMode::Insert, otherDesk, blankMovement(), false, prompt).outcome,
              SaveOutcome::Saved);
    prompt.messages.clear();
    EXPECT_EQ(form.confirmPressed(), std::optional<std::string>("DOUBL1_3"));
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kQuantityOverStock});
    ASSERT_EQ(year(2024).size(), 1u);
    EXPECT_EQ(trimmed(year(2024)[0].NUMDOC), "F-ALTRA");
    EXPECT_FALSE(form.closeRequested());
    EXPECT_EQ(form.value("DOUBL1_3"), "600,00000");
    EXPECT_EQ(form.value("NUMDOC"), "F-1");

    // 400 are left: the clerk types them and confirms again.
    form.setValue("DOUBL1_3", "400");
    EXPECT_EQ(form.confirmPressed(), std::optional<std::string>("TIPMOV"));
    EXPECT_EQ(year(2024).size(), 2u);
}

// A back-dated unload allowed by its own day's stock, while a later unload used the beer.
TEST_F(MovementWindow, ABackDatedUnloadIsRefusedNamingTheFirstShortDay) {
    ASSERT_EQ(saveMovement(work.folders, EntryMode::Insert, testing::fixtureUnload(dayNumber(2024, 12, 31), 700),
                           blankMovement(), false, prompt)
                  .outcome,
              SaveOutcome::Saved);
    prompt.messages.clear();
    openInsert();
    Values v = bulkUnload();
    v["DATMOV"] = v["DATDOC"] = "15/12/2024";
    v["NUMDOC"] = "F-2";
    v["DOUBL1_3"] = "301"; // 1 000 on the 15th, 300 left on the 31st
    EXPECT_EQ(enter(v), "DOUBL1_3");
    EXPECT_EQ(prompt.messages.back(), "LA GIACENZA DEL REGISTRO SAREBBE NEGATIVA IL 31/12/2024");
    EXPECT_EQ(year(2024).size(), 1u);
    form.setValue("DOUBL1_3", "300");
    EXPECT_EQ(form.confirmPressed(), std::optional<std::string>("TIPMOV"));
    EXPECT_EQ(year(2024).size(), 2u);
}

// The excise follows the figures confirmed, unless the clerk typed an amount.
TEST_F(MovementWindowModes, ExciseIsComputedAgainAtConfirmation) {
    const Movement old = saved(false); // 300 l: 36 Hlg × 2,99 = 107,64
    struct Case {
        const char* what;
        const char* litres;
        const char* typedAmount; // nullptr: left as computed
        std::optional<double> saved; // nullopt: refused with kExciseInvalid
    };
    const Case cases[] = {
        {"only the quantity changed", "800", nullptr, 287.04}, // 96 Hlg × 2,99
        {"an amount typed", "800", "100,5", 100.5},
        {"a negative amount", "800", "-5", std::nullopt},
        {"not a number", "800", "abc", std::nullopt},
    };
    for (const Case& c : cases) {
        const Movement current = year(2024)[0];
        openOn(current, true, false, false);
        window->keyTyped();
        window->setValue("DOUBL1_3", c.litres);
        if (c.typedAmount) window->setValue("DOUBL7", c.typedAmount);
        prompt.messages.clear();
        const auto failed = window->confirmChecks();
        if (!c.saved) {
            EXPECT_EQ(failed, std::optional<std::string>("DOUBL7")) << c.what;
            EXPECT_EQ(prompt.messages, std::vector<std::string>{kExciseInvalid}) << c.what;
            continue;
        }
        ASSERT_EQ(failed, std::nullopt) << c.what;
        window->confirmPressed();
        ASSERT_EQ(year(2024).size(), 1u) << c.what;
        EXPECT_DOUBLE_EQ(year(2024)[0].ACCISA, *c.saved) << c.what;
    }
    EXPECT_NE(old.ACCISA, year(2024)[0].ACCISA);
}

// Mode "M" on an unsent cancellation: only its note can change, and it stays a
// cancellation of the corrected record.
TEST_F(MovementWindowModes, ModifyOnACancellationChangesOnlyItsNote) {
    const Movement sent = saved(true);
    ASSERT_EQ(correctMovement(work.folders.registerFile(2024), sent.NUMREC, "prima nota", std::nullopt, prompt).outcome,
              CorrectionOutcome::Done);
    const Movement cancellation = year(2024)[1];
    openOn(cancellation, true, false, false);
    EXPECT_FALSE(window->closeRequested());
    EXPECT_FALSE(window->editable("DOUBL1_3"));
    EXPECT_FALSE(window->editable("DATMOV"));
    EXPECT_TRUE(window->editable("ANNOTA"));
    window->keyTyped();
    window->setValue("ANNOTA", "");
    EXPECT_EQ(window->confirmChecks(), std::optional<std::string>("ANNOTA")); // a correction's note is required
    window->setValue("ANNOTA", "nota corretta");
    ASSERT_EQ(window->confirmChecks(), std::nullopt);
    window->confirmPressed();
    EXPECT_TRUE(window->closeRequested());
    const auto records = year(2024);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].STATO, "C");
    EXPECT_EQ(records[1].TIPOPE, "C");
    EXPECT_EQ(records[1].NUMRIF, sent.NUMREC);
    EXPECT_EQ(records[1].NUMREC, cancellation.NUMREC);
    EXPECT_DOUBLE_EQ(records[1].QTALIT, 300);
    EXPECT_EQ(trimmed(records[1].ANNOTA), "nota corretta");
}

// A replacement dated into the next year is found in the corrected record's file and
// modified there as a replacement.
TEST_F(MovementWindowModes, AReplacementDatedIntoTheNextYearIsModifiedWhereItIs) {
    const Movement sent = saved(true);
    openOn(sent, false, false, true);
    window->keyTyped();
    window->setValue("DATMOV", "03/01/2025");
    window->setValue("DATDOC", "03/01/2025");
    window->setValue("DOUBL1_3", "250");
    window->setValue("ANNOTA", "data corretta");
    ASSERT_EQ(window->confirmChecks(), std::nullopt);
    window->confirmPressed();
    const Movement replacement = year(2024)[2];
    ASSERT_EQ(replacement.STATO, "R");

    openOn(replacement, true, false, false);
    EXPECT_FALSE(window->closeRequested());
    window->keyTyped();
    window->setValue("DOUBL1_3", "200");
    ASSERT_EQ(window->confirmChecks(), std::nullopt);
    window->confirmPressed();
    EXPECT_TRUE(window->closeRequested());
    ASSERT_EQ(window->lastSave()->outcome, SaveOutcome::Saved);
    const auto records = year(2024);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[2].NUMREC, replacement.NUMREC);
    EXPECT_EQ(records[2].STATO, "R");
    EXPECT_EQ(records[2].NUMRIF, sent.NUMREC);
    EXPECT_EQ(records[2].NUMOPE, sent.NUMOPE);
    EXPECT_DOUBLE_EQ(records[2].QTALIT, 200);
    EXPECT_TRUE(year(2025).empty());
}

} // namespace
} // namespace accise
