// The flow creation and reactivation windows, driven without a display.
#include <gtest/gtest.h>

#include "core/books/movementfile.h"
#include "core/files/recordfile.h"
#include "core/flow/flowlist.h"
#include "core/tables/company.h"
#include "core/tables/dates.h"
#include "logic/telematic/flowcreationwindow.h"
#include "logic/telematic/flowreactivationwindow.h"
#include "logic/telematic/transmissionwindow.h"
#include "window_fixtures.h"

using namespace accise;
using namespace accise::testing;

namespace {

Movement unload(double date, const char* tipdoc, std::int32_t numrec) {
    Movement m = blankMovement();
    m.NUMREC = numrec;
    m.TIPREC = "C";
    m.TIPOPE = "I";
    m.TIPREG = "F";
    m.TIPMOV = "S";
    m.TIPDOC = tipdoc;
    m.DATMOV = date;
    m.QTALIT = 100;
    return m;
}

struct FlowWindows : WorkingFolder {
    RecordingPrompt prompt;
    FakeServices services;
    CommandContext ctx = context();
    fs::path sign = dir / "dafirmare", signedDir = dir / "firmati";
    int year = yearOf(todayDayNumber());

    FlowWindows() {
        fs::create_directories(sign);
        fs::create_directories(signedDir);
        writeApplConfig(folders, {"/opt/FirmaVerifica.exe", sign.string() + "/", signedDir.string() + "/", "x"});
        ctx.company = blankAddress();
        ctx.company.user_code = "AB12";
        ctx.company.postcode2 = "ALCODA";
        ctx.company.id1 = "IT00ABC12345X";
        ctx.flowYear = std::to_string(year);
        const double today = todayDayNumber();
        writeWholeFile(folders.registerFile(year), encodeMovement(unload(today, "EAD", 1)) +
                                                       encodeMovement(unload(today, "EAD", 2)) +
                                                       encodeMovement(unload(today, "DAS", 3)));
    }
    std::string todayName(int n) const { return flowFileName("AB12", n, todayDayNumber()); }
};

TEST(FlowCreationWindow, OpensWithTheListTickedAndProposesTheNextNumber) {
    FlowWindows w;
    writeWholeFile(w.signedDir / (w.todayName(3) + ".p7m"), "x");
    FlowCreationLogic window(w.ctx, w.prompt, w.services);
    window.open();
    EXPECT_EQ(window.list().lines().size(), 3u);
    EXPECT_EQ(window.list().tickedLines().size(), 3u);
    // Two EAD unloads of one day without a guarantee: one warning.
    EXPECT_EQ(w.prompt.messages, std::vector<std::string>{missingGuaranteeMessage(todayDayNumber())});
    EXPECT_EQ(window.focusAfterOpen(), "DATFLU");
    EXPECT_EQ(window.value("DATFLU"), formatDate(todayDayNumber()));
    EXPECT_EQ(window.value("NUMFLU"), "");
    EXPECT_EQ(window.leave("DATFLU"), FocusMove::next());
    EXPECT_EQ(window.value("NUMFLU"), "4");
    // A flow of the day not yet signed is not overwritten by the next one.
    writeWholeFile(w.sign / w.todayName(5), "x");
    window.leave("DATFLU");
    EXPECT_EQ(window.value("NUMFLU"), "6");

    window.setValue("LANNO", "2007");
    EXPECT_EQ(window.leave("LANNO"), FocusMove::to("LANNO"));
    window.setValue("DATFLU", "31/02/2020");
    EXPECT_EQ(window.leave("DATFLU"), FocusMove::to("DATFLU"));
}

TEST(FlowCreationWindow, ConfirmChecksInOrder) {
    FlowWindows w;
    FlowCreationLogic window(w.ctx, w.prompt, w.services);
    window.open();
    w.prompt.messages.clear();
    window.list().tickNone();
    EXPECT_EQ(window.confirmChecks(), "CELENCO");
    EXPECT_EQ(w.prompt.messages, std::vector<std::string>{kNothingTicked});
    window.list().setTicked(2, true);
    for (const char* number : {"", "0", "-3"}) {
        w.prompt.messages.clear();
        window.setValue("NUMFLU", number);
        EXPECT_EQ(window.confirmChecks(), "NUMFLU") << number;
        // Never a silent refusal: the clerk is told what the number must be.
        EXPECT_EQ(w.prompt.messages, std::vector<std::string>{kFlowNumberHint}) << number;
    }
    window.setValue("NUMFLU", "7");
    window.setValue("DATFLU", "__/__/____");
    EXPECT_EQ(window.confirmChecks(), "DATFLU");
    EXPECT_EQ(window.flowFileName(), "ERRORE");
}

TEST(FlowCreationWindow, ConfirmationWritesTheFlowReplacesTheSignedFileAndStartsTheSigningTool) {
    FlowWindows w;
    const fs::path oldSigned = w.signedDir / (w.todayName(7) + ".p7m");
    writeWholeFile(oldSigned, "old");
    FlowCreationLogic window(w.ctx, w.prompt, w.services);
    window.open();
    window.list().tickNone();
    window.list().setTicked(2, true);
    window.setValue("NUMFLU", "7");
    w.prompt.messages.clear();
    EXPECT_EQ(window.confirm(), std::nullopt);

    EXPECT_TRUE(window.replaceSigned());
    EXPECT_FALSE(fs::exists(oldSigned));
    EXPECT_TRUE(fs::exists(w.sign / w.todayName(7)));
    EXPECT_EQ(window.result().counts.byKind[0], 1);
    EXPECT_EQ(w.services.startedPrograms, std::vector<std::string>{"/opt/FirmaVerifica.exe"});
    // The tool started: the transmission window takes the flow over.
    EXPECT_EQ(w.prompt.messages, std::vector<std::string>{kSignedFileReplaced});
    EXPECT_EQ(w.services.openedWindows, std::vector<std::string>{kTransmissionWindow});
    EXPECT_EQ(w.ctx.flowFileName, w.todayName(7));
    EXPECT_TRUE(window.closeRequested());
    const std::vector<Movement> records = readMovements(w.folders.registerFile(w.year));
    EXPECT_EQ(records[0].NUMFLU, 0);
    EXPECT_EQ(records[2].NUMFLU, 7);
}

TEST(FlowCreationWindow, WithoutSigningTheToolIsNotStarted) {
    FlowWindows w;
    FlowCreationLogic window(w.ctx, w.prompt, w.services);
    window.open();
    window.setValue("NUMFLU", "1");
    window.setValue("CFIRMA", "0");
    EXPECT_EQ(window.confirm(), std::nullopt);
    EXPECT_TRUE(w.services.startedPrograms.empty());
    EXPECT_TRUE(w.services.openedWindows.empty());
    EXPECT_EQ(window.result().counts.total(), 3);
}

TEST(FlowCreationWindow, ASigningToolThatDoesNotStartOpensNoTransmission) {
    FlowWindows w;
    w.services.programStarts = false;
    FlowCreationLogic window(w.ctx, w.prompt, w.services);
    window.open();
    window.setValue("NUMFLU", "1");
    w.prompt.messages.clear();
    EXPECT_EQ(window.confirm(), std::nullopt);
    EXPECT_TRUE(w.services.openedWindows.empty());
    ASSERT_EQ(w.prompt.messages.size(), 2u);
    EXPECT_EQ(w.prompt.messages[0], std::string(kSigningToolNotStarted) + "/opt/FirmaVerifica.exe");
    EXPECT_TRUE(window.closeRequested());
}

TEST(FlowReactivationWindow, OpensOnTodaysLastFlowAndReactivatesOnSI) {
    FlowWindows w;
    {
        FlowCreationLogic create(w.ctx, w.prompt, w.services);
        create.open();
        create.list().tickNone();
        create.list().setTicked(0, true);
        create.setValue("NUMFLU", "1");
        ASSERT_EQ(create.confirm(), std::nullopt);
        // Flow 2 of today carries the other two; its signed copy makes it today's last.
        FlowCreationLogic again(w.ctx, w.prompt, w.services);
        again.open();
        again.setValue("NUMFLU", "2");
        ASSERT_EQ(again.confirm(), std::nullopt);
        writeWholeFile(w.signedDir / (w.todayName(1) + ".p7m"), "s");
        writeWholeFile(w.signedDir / (w.todayName(2) + ".p7m"), "s");
    }
    w.prompt.messages.clear();
    FlowReactivationLogic window(w.ctx, w.prompt, w.services);
    window.open();
    EXPECT_EQ(window.value("INUCO"), "2");
    EXPECT_EQ(window.focusAfterOpen(), "CELENCO");
    ASSERT_EQ(window.list().lines().size(), 2u);
    EXPECT_EQ(window.list().lines()[0].substr(0, 2), "2|");

    window.setValue("INUCO", "1");
    EXPECT_EQ(window.leave("INUCO"), FocusMove::next());
    ASSERT_EQ(window.list().lines().size(), 1u);
    window.setValue("INUCO", "2");
    window.leave("INUCO");

    window.setValue("ECONF", "NO");
    EXPECT_EQ(window.leave("ECONF"), FocusMove::to("CELENCO"));
    EXPECT_FALSE(window.closeRequested());

    // Lines start ticked; the clerk keeps only the second.
    EXPECT_EQ(window.list().tickedLines().size(), 2u);
    window.list().setTicked(0, false);
    window.setValue("ECONF", "SI");
    window.leave("ECONF");
    EXPECT_EQ(window.reactivated(), 1);
    EXPECT_EQ(w.prompt.messages, std::vector<std::string>{kReactivationDone});
    EXPECT_TRUE(window.closeRequested());
    const std::vector<Movement> records = readMovements(w.folders.registerFile(w.year));
    EXPECT_EQ(records[0].NUMFLU, 1);
    EXPECT_EQ(records[1].NUMFLU, 2);
    EXPECT_EQ(records[2].NUMFLU, 0);
    EXPECT_EQ(records[2].DATFLU, 0);
}

TEST(FlowCreationWindow, ANumberStillCarriedIsRefusedAndTheHundredthFlowOfADayHasNoNumber) {
    FlowWindows w;
    {
        FlowCreationLogic first(w.ctx, w.prompt, w.services);
        first.open();
        first.list().tickNone();
        first.list().setTicked(0, true);
        first.setValue("NUMFLU", "1");
        first.setValue("CFIRMA", "0");
        ASSERT_EQ(first.confirm(), std::nullopt);
    }
    const std::string unsignedFlow = readRecords(w.sign / w.todayName(1), 1).bytes();
    // The clerk types 1 over the proposal: flow 1 is still carried by its record.
    FlowCreationLogic window(w.ctx, w.prompt, w.services);
    window.open();
    window.setValue("NUMFLU", "1");
    w.prompt.messages.clear();
    EXPECT_EQ(window.confirm(), "NUMFLU");
    EXPECT_EQ(w.prompt.messages, std::vector<std::string>{flowNumberInUseMessage(w.todayName(1))});
    EXPECT_EQ(readRecords(w.sign / w.todayName(1), 1).bytes(), unsignedFlow);
    EXPECT_EQ(readMovements(w.folders.registerFile(w.year))[1].NUMFLU, 0);

    // Flow 99 of the day exists: there is no hundredth.
    writeWholeFile(w.signedDir / (w.todayName(99) + ".p7m"), "s");
    w.prompt.messages.clear();
    EXPECT_EQ(window.leave("DATFLU"), FocusMove::to("DATFLU"));
    EXPECT_EQ(window.value("NUMFLU"), "");
    EXPECT_EQ(w.prompt.messages, std::vector<std::string>{noFlowNumberLeftMessage(todayDayNumber())});
}

TEST(FlowReactivationWindow, ProposesTodaysLastFlowEvenWhenNotSigned) {
    FlowWindows w;
    FlowCreationLogic create(w.ctx, w.prompt, w.services);
    create.open();
    create.setValue("NUMFLU", "3");
    create.setValue("CFIRMA", "0");
    ASSERT_EQ(create.confirm(), std::nullopt);
    ASSERT_TRUE(fs::exists(w.sign / w.todayName(3)));
    ASSERT_FALSE(fs::exists(w.signedDir / (w.todayName(3) + ".p7m")));

    FlowReactivationLogic window(w.ctx, w.prompt, w.services);
    window.open();
    EXPECT_EQ(window.value("INUCO"), "3");
    EXPECT_EQ(window.list().lines().size(), 3u);
}

TEST(FlowReactivationWindow, NoFlowTodayLeavesTheNumberEmpty) {
    FlowWindows w;
    FlowReactivationLogic window(w.ctx, w.prompt, w.services);
    window.open();
    EXPECT_EQ(window.value("INUCO"), "");
    EXPECT_EQ(window.focusAfterOpen(), "MDARI");
    EXPECT_TRUE(window.list().lines().empty());
}

} // namespace
