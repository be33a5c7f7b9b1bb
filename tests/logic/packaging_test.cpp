// The packaging window without a display: the records a packaging writes, field by
// field; the direct release; the checks in their order with their messages and
// cursor moves; no in-process register; and the stock checked again under the lock.
#include <gtest/gtest.h>

#include <map>

#include "core/books/movementcalc.h"
#include "core/books/movementfile.h"
#include "core/files/lock.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/tables/installationsettings.h"
#include "logic/movements/movemententry.h"
#include "logic/movements/packagingwindow.h"
#include "logic/window_fixtures.h"
#include "movement_fixture.h"

namespace accise {
namespace {

using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;
using Values = std::map<std::string, std::string>;

constexpr const char* kCompanyExcise = "IT00MIA00123B";
constexpr const char* kPackaged = "B000-22030001-00-0000";  // FC1, finished packaged
constexpr const char* kInProcess = "B000-22030000-00-0000"; // LAV1: 2 000 litres, 240 hectolitre-degrees

// 1 000 bottles of 0,33 litres at 12 degrees Plato, with 10 litres of losses.
Values bottles() {
    return {{"DATMOV", "01/03/2024"}, {"NUMDOC", "IMB 7"}, {"PRODAZ", "BIONDA33"},
            {"INTER3", "1000"},       {"MCALI", "10"},     {"ANNOTA", "linea 2"}};
}

class PackagingWindow : public ::testing::Test {
protected:
    PackagingWindow() {
        testing::writeBrewery(work.folders, prompt);
        prompt.messages.clear();
        ctx.company.id1 = kCompanyExcise;
    }

    // Types the values and confirms; the control that got the cursor, "" when saved.
    std::string enter(PackagingLogic& window, const Values& values) {
        if (auto back = window.typeFields(values)) return *back;
        if (auto failed = window.confirmChecks()) return *failed;
        if (auto focus = window.confirmPressed(); focus && !window.lastSave()) return *focus;
        return "";
    }
    std::vector<Movement> year2024() const {
        std::vector<Movement> records = readMovements(work.folders.registerFile(2024));
        for (Movement& m : records) trimMovement(m);
        return records;
    }
    void releaseDirectly(const std::string& code) {
        InstallationSettings settings;
        settings.directReleaseExciseCode = code;
        writeInstallationSettings(work.folders, settings);
    }

    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
};

TEST_F(PackagingWindow, BottlesAreLoadedAndTheSameBeerAndTheLossesLeaveTheInProcessRegister) {
    PackagingLogic window(ctx, prompt, services);
    window.open();
    EXPECT_EQ(window.focusAfterOpen(), "DATMOV");
    EXPECT_EQ(window.value("POSFIS"), "003");
    prompt.messages.clear(); // today is beyond the registers of the fixture: no stock list yet
    ASSERT_EQ(enter(window, bottles()), "");
    EXPECT_TRUE(prompt.messages.empty()) << prompt.messages.front();

    const std::vector<Movement> records = year2024();
    ASSERT_EQ(records.size(), 3u);
    const double day = dayNumber(2024, 3, 1);
    for (const Movement& m : records) {
        SCOPED_TRACE(m.CAUMOV);
        EXPECT_EQ(m.TIPDES, "1");
        EXPECT_EQ(m.TIPREC, "C");
        EXPECT_EQ(m.TIPOPE, "I");
        EXPECT_EQ(m.STATO, "");
        EXPECT_EQ(m.TIPDOC, "VIA");
        EXPECT_EQ(m.CODPAE, "IT");
        EXPECT_EQ(m.DATMOV, day);
        EXPECT_EQ(m.DATDOC, day);
        EXPECT_EQ(m.NUMDOC, "IMB 7");
        EXPECT_EQ(m.ANNOTA, "linea 2");
        EXPECT_DOUBLE_EQ(m.GRAPLA, 12);
        EXPECT_EQ(m.NUMFLU, 0);
        EXPECT_EQ(m.UFFDOG, "IT079100"); // the in-process unload too, from its register row
        EXPECT_EQ(m.ANNPRO, "2024");
    }
    // Register order: the load first, then the unloads of the same day, numbered in turn.
    const Movement& load = records[0];
    EXPECT_EQ(load.NUMREC, 1);
    EXPECT_EQ(load.TIPMOV, "C");
    EXPECT_EQ(load.TIPREG, "N");
    EXPECT_EQ(load.NUMPRO, "FC1");
    EXPECT_EQ(load.TIPSTO, "N");
    EXPECT_EQ(load.CAUMOV, "112");
    EXPECT_EQ(load.POSFIS, "002");
    EXPECT_EQ(load.PRODAZ, "BIONDA33");
    EXPECT_EQ(load.PRODDO, kPackaged);
    EXPECT_EQ(load.NUMCON, 1000);
    EXPECT_DOUBLE_EQ(load.VOLUNI, 0.33);
    EXPECT_DOUBLE_EQ(load.QTALIT, 330);
    EXPECT_DOUBLE_EQ(load.ETTOGR, 39.6);
    EXPECT_DOUBLE_EQ(load.ACCISA, 118.40); // 39,6 × 2,99

    const Movement& unload = records[1];
    EXPECT_EQ(unload.TIPMOV, "S");
    EXPECT_EQ(unload.TIPREG, "L");
    EXPECT_EQ(unload.NUMPRO, "LAV1");
    EXPECT_EQ(unload.PRODDO, kInProcess);
    EXPECT_EQ(unload.TIPSTO, "S");
    EXPECT_EQ(unload.CAUMOV, "010");
    EXPECT_EQ(unload.POSFIS, "002");
    EXPECT_EQ(unload.PRODAZ, ""); // no company product and no package data
    EXPECT_EQ(unload.NUMCON, 0);
    EXPECT_DOUBLE_EQ(unload.VOLUNI, 0);
    EXPECT_DOUBLE_EQ(unload.QTALIT, 330);
    EXPECT_DOUBLE_EQ(unload.ETTOGR, 39.6);
    EXPECT_DOUBLE_EQ(unload.ACCISA, 118.40);

    const Movement& losses = records[2];
    EXPECT_EQ(losses.TIPMOV, "S");
    EXPECT_EQ(losses.NUMPRO, "LAV1");
    EXPECT_EQ(losses.CAUMOV, "009");
    EXPECT_EQ(losses.POSFIS, "003");
    EXPECT_DOUBLE_EQ(losses.QTALIT, 10);
    EXPECT_DOUBLE_EQ(losses.ETTOGR, 1.2);
    EXPECT_DOUBLE_EQ(losses.ACCISA, 3.59); // 1,2 × 2,99 = 3,588
    EXPECT_EQ(std::vector<std::int32_t>({records[0].NUMOPE, records[1].NUMOPE, records[2].NUMOPE}),
              std::vector<std::int32_t>({1, 2, 3}));

    // The window resets for the next packaging: the date stays, the guard holds again.
    EXPECT_FALSE(window.closeRequested());
    EXPECT_EQ(window.value("DATMOV"), "01/03/2024");
    EXPECT_EQ(window.value("NUMDOC"), "");
    EXPECT_EQ(window.value("INTER3"), "");
    EXPECT_EQ(window.value("POSFIS"), "003");
    EXPECT_TRUE(window.checksSuspended());
    EXPECT_EQ(window.confirmChecks(), std::optional<std::string>("DATMOV"));
    // The stock shown is the new one: 2 000 - 330 - 10 litres.
    ASSERT_TRUE(window.inProcess());
    EXPECT_DOUBLE_EQ(window.inProcess()->stock.QTALIT, 1660);
    EXPECT_EQ(window.inProcessText(), "protocollo: LAV1/2024 prodotto: B000-22030000-00-0000");
}

TEST_F(PackagingWindow, TheDirectReleaseOperatorAlsoUnloadsThePackagedProduct) {
    struct Case {
        const char* what;
        std::string setting;
        const char* losses;
        std::vector<std::string> reasons; // CAUMOV in register order
    };
    const Case cases[] = {
        {"no direct release configured", "", "10", {"112", "010", "009"}},
        {"another operator releases directly", "IT00RMA00555K", "10", {"112", "010", "009"}},
        {"this operator releases directly", kCompanyExcise, "10", {"112", "071", "010", "009"}},
        {"released directly, no losses", kCompanyExcise, "", {"112", "071", "010"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WorkingFolder fresh;
        RecordingPrompt p;
        testing::writeBrewery(fresh.folders, p);
        InstallationSettings settings;
        settings.directReleaseExciseCode = c.setting;
        writeInstallationSettings(fresh.folders, settings);
        CommandContext context = fresh.context();
        context.company.id1 = kCompanyExcise;
        PackagingLogic window(context, p, services);
        window.open();
        Values values = bottles();
        values["MCALI"] = c.losses;
        ASSERT_EQ(enter(window, values), "");
        std::vector<std::string> reasons;
        std::vector<Movement> records = readMovements(fresh.folders.registerFile(2024));
        for (Movement& m : records) {
            trimMovement(m);
            reasons.push_back(m.CAUMOV);
        }
        EXPECT_EQ(reasons, c.reasons);
        if (c.reasons[1] != "071") continue;
        // The release: the packaged product as loaded, out of its register, excise due.
        Movement release = records[1];
        EXPECT_EQ(release.TIPMOV, "S");
        EXPECT_EQ(release.TIPREG, "N");
        EXPECT_EQ(release.NUMPRO, "FC1");
        EXPECT_EQ(release.POSFIS, "001");
        EXPECT_EQ(release.PRODAZ, "BIONDA33");
        EXPECT_EQ(release.NUMCON, 1000);
        EXPECT_DOUBLE_EQ(release.QTALIT, 330);
        EXPECT_DOUBLE_EQ(release.ACCISA, 118.40);
    }
}

TEST_F(PackagingWindow, ChecksStopAtTheFirstFailureWithItsMessageAndCursor) {
    struct Case {
        const char* what;
        Values changes;
        const char* focus;
        std::string message; // "" when the window shows none
        const char* lookupTable;
    };
    const std::string quantityOver = kInProcessQuantityOver, degreesOver = kInProcessDegreesOver;
    const Case cases[] = {
        {"date", {{"DATMOV", "31/02/2024"}}, "DATMOV", "", ""},
        {"document number", {{"NUMDOC", "  "}}, "NUMDOC", "", ""},
        {"unknown product", {{"PRODDO", "B000-99999999-00-0000"}}, "PRODDO", "", "TA20"},
        {"no register at the date", {{"DATMOV", "15/01/2026"}}, "PRODDO", std::string(kNoRegisterForMovement), ""},
        {"bulk product", {{"PRODDO", "B000-22030010-00-0000"}}, "PRODDO", kNotPackagedRegister, ""},
        {"in-process product", {{"PRODDO", kInProcess}}, "PRODDO", kNotPackagedRegister, ""},
        {"Plato degree", {{"DOUBL5", "100"}}, "DOUBL5", movemententry::kPlatoMax, ""},
        {"negative Plato degree", {{"DOUBL5", "-1"}}, "DOUBL5", movemententry::kCheckPlato, ""},
        {"no packages", {{"INTER3", "0"}}, "INTER3", movemententry::kPackagesRequired, ""},
        {"too many packages", {{"INTER3", "10000000"}}, "INTER3", movemententry::kPackagesMax, ""},
        {"no unit quantity", {{"DOUBL6", "0"}}, "DOUBL6", movemententry::kUnitRequired, ""},
        {"unit quantity too large", {{"DOUBL6", "1000"}}, "DOUBL6", movemententry::kUnitMax, ""},
        // 6 061 × 0,33 = 2 000,13 litres, the stock being 2 000.
        {"more litres than in process", {{"INTER3", "6061"}}, "INTER3", quantityOver, ""},
        // 1 900 litres at 13 degrees: 247 hectolitre-degrees of 240.
        {"more degrees than in process", {{"INTER3", "1900"}, {"DOUBL6", "1"}, {"DOUBL5", "13"}}, "DOUBL5",
         degreesOver, ""},
        {"losses over the litres", {{"MCALI", "1670,1"}}, "MCALI", quantityOver, ""},
        // 1 500 + 450 litres at 12,5 degrees: 243,75 hectolitre-degrees of 240.
        {"losses over the degrees", {{"INTER3", "1500"}, {"DOUBL6", "1"}, {"DOUBL5", "12,5"}, {"MCALI", "450"}},
         "MCALI", degreesOver, ""},
        {"negative losses", {{"MCALI", "-5"}}, "MCALI", packagingwindow::kNegativeLosses, ""},
        {"tax position of the losses", {{"POSFIS", "999"}}, "POSFIS", "", "TA22"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingPrompt p;
        FakeServices s;
        CommandContext context = work.context();
        PackagingLogic window(context, p, s);
        window.open();
        window.keyTyped();
        Values values = bottles();
        values["PRODDO"] = kPackaged;
        values["DOUBL5"] = "12";
        values["DOUBL6"] = "0,33";
        for (const auto& [control, text] : c.changes) values[control] = text;
        // Every value set, then the confirmation: its own order decides.
        for (const auto& [control, text] : values) window.setValue(control, text);
        p.messages.clear();
        EXPECT_EQ(window.confirmChecks(), std::optional<std::string>(c.focus));
        if (!c.message.empty()) {
            ASSERT_FALSE(p.messages.empty());
            EXPECT_EQ(p.messages.back(), c.message);
        } else {
            EXPECT_TRUE(p.messages.empty()) << p.messages.front();
        }
        if (*c.lookupTable) {
            ASSERT_FALSE(s.lookupTables.empty());
            EXPECT_EQ(s.lookupTables.back(), c.lookupTable);
        }
    }
    EXPECT_FALSE(fileExists(work.folders.registerFile(2024)));

    // Exactly the stock passes: 1 000 × 2 litres at 12 degrees are 2 000 litres and 240 hectolitre-degrees.
    PackagingLogic window(ctx, prompt, services);
    window.open();
    Values all = bottles();
    all["DOUBL6"] = "2";
    all["MCALI"] = "";
    EXPECT_EQ(enter(window, all), "");
    EXPECT_EQ(year2024().size(), 2u);
}

TEST_F(PackagingWindow, LeavingAFieldRunsItsCheckAndShowsTheComputation) {
    PackagingLogic window(ctx, prompt, services);
    window.open();
    prompt.messages.clear();
    window.keyTyped();
    window.setValue("DATMOV", "01/03/2024");
    EXPECT_TRUE(window.leave("DATMOV").proceed);
    EXPECT_EQ(window.maxText(), "max 2.000 (Hlg 240)"); // shown as soon as the list is built
    window.setValue("PRODAZ", "BIONDA33");
    EXPECT_TRUE(window.leave("PRODAZ").proceed);
    EXPECT_EQ(window.value("PRODDO"), kPackaged);
    EXPECT_EQ(window.value("DOUBL6"), "0,33000");
    EXPECT_TRUE(window.leave("PRODDO").proceed);
    EXPECT_EQ(window.registerTypeText(), "Finiti condizionati");
    EXPECT_EQ(window.protocolText(), "protocollo:  FC1  del 01/01/2024");
    window.setValue("DOUBL5", "6");
    EXPECT_TRUE(window.leave("DOUBL5").proceed); // a low degree only warns
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages.back(), movemententry::kCheckPlato);
    window.setValue("DOUBL5", "12");
    window.setValue("INTER3", "1000");
    EXPECT_TRUE(window.leave("INTER3").proceed);
    EXPECT_TRUE(window.leave("DOUBL6").proceed);
    EXPECT_EQ(window.value("DOUBL1_3"), "330,00000");
    EXPECT_EQ(window.value("DOUBL2"), "39,60000");
    EXPECT_EQ(window.value("DOUBL7"), "118,40");
    EXPECT_EQ(window.maxText(), "max 2.000 (Hlg 240)");
    window.setValue("MCALI", "1680");
    EXPECT_EQ(window.leave("MCALI"), FocusMove::to("MCALI"));
    EXPECT_EQ(prompt.messages.back(), kInProcessQuantityOver);
    EXPECT_EQ(window.value("ACCISACALI"), "602,78"); // 201,6 × 2,99
}

TEST_F(PackagingWindow, WithoutAnInProcessRegisterNothingIsWritten) {
    // Every initial stock unsent: no in-process register qualifies for the stock list.
    WorkingFolder unsent;
    RecordingPrompt p;
    testing::writeBrewery(unsent.folders, p, false);
    p.messages.clear();
    CommandContext context = unsent.context();
    PackagingLogic window(context, p, services);
    window.open();
    ASSERT_EQ(p.messages.size(), 1u);
    EXPECT_EQ(p.messages.back(), kNoInProcessRegister);
    EXPECT_FALSE(window.inProcess());
    EXPECT_TRUE(readMovements(unsent.folders.inTemp("L.DAT")).empty());

    window.keyTyped();
    window.setValue("DATMOV", "01/03/2024");
    EXPECT_EQ(window.leave("DATMOV"), FocusMove::to("DATMOV"));
    EXPECT_EQ(p.messages.back(), kNoInProcessRegister);

    // Typed in full anyway: the confirmation refuses it with the cursor on the date.
    Values values = bottles();
    for (const auto& [control, text] : values) window.setValue(control, text);
    window.setValue("PRODDO", kPackaged);
    window.setValue("DOUBL5", "12");
    window.setValue("DOUBL6", "0,33");
    EXPECT_EQ(window.confirmChecks(), std::optional<std::string>("DATMOV"));
    EXPECT_EQ(p.messages.back(), kNoInProcessRegister);
    window.confirmPressed();
    EXPECT_FALSE(window.lastSave());
    EXPECT_FALSE(fileExists(unsent.folders.registerFile(2024)));
}

TEST_F(PackagingWindow, APackagedRegisterWhoseInitialStockWasNotSentIsRefused) {
    std::vector<Movement> stocks = readMovements(work.folders.initialStocks());
    for (Movement& m : stocks)
        if (trimmed(m.NUMPRO) == "FC1") {
            m.NUMFLU = 0;
            m.DATFLU = 0;
        }
    std::string bytes;
    for (const Movement& m : stocks) bytes += encodeMovement(m);
    writeWholeFile(work.folders.initialStocks(), bytes);

    PackagingLogic window(ctx, prompt, services);
    window.open();
    EXPECT_EQ(enter(window, bottles()), "PRODDO");
    EXPECT_EQ(prompt.messages.back(), kInitialStockNotSent);
    EXPECT_FALSE(fileExists(work.folders.registerFile(2024)));
}

TEST_F(PackagingWindow, TheStockIsCheckedAgainUnderTheLockAtConfirmation) {
    PackagingLogic window(ctx, prompt, services);
    window.open();
    Values values = bottles();
    values["INTER3"] = "4500"; // 1 485 litres of the 2 000 in process
    values["MCALI"] = "";
    ASSERT_EQ(window.typeFields(values), std::nullopt);
    ASSERT_EQ(window.confirmChecks(), std::nullopt);

    // Meanwhile another workstation holds the register file and unloads 1 000 litres
    // of the beer in process; it releases the file while we wait.
    const fs::path file = work.folders.registerFile(2024);
    writeWholeFile(lockMarkerOf(file), "");
    Movement other = testing::fixtureUnload(dayNumber(2024, 2, 20), 1000);
    other.TIPREG = "L";
    other.NUMPRO = "LAV1";
    other.PRODDO = kInProcess;
    other.CAUMOV = "010";
    prompt.onInformation = [&](int attempt) {
        if (attempt != 1) return;
        appendMovementsLocked(file, {other}, false);
        unlockFile(file);
    };
    prompt.messages.clear();
    const auto focus = window.confirmPressed();
    EXPECT_EQ(focus, std::optional<std::string>("INTER3"));
    EXPECT_EQ(prompt.messages.back(), kInProcessQuantityOver);
    EXPECT_FALSE(window.lastSave());
    // Only the other workstation's unload is in the file; the window shows what is left.
    ASSERT_EQ(year2024().size(), 1u);
    EXPECT_EQ(year2024()[0].CAUMOV, "010");
    EXPECT_DOUBLE_EQ(year2024()[0].QTALIT, 1000);
    EXPECT_EQ(window.maxText(), "max 1.000 (Hlg 120)");
    EXPECT_FALSE(fileExists(lockMarkerOf(file)));
}

} // namespace
} // namespace accise
