// The duty-record windows: credits, excise summary by period and by day, voluntary
// correction and guarantees. Their checks, the identity of a record (a sent one
// blocks, an unsent one is loaded and replaced), the corrections, and the records
// written, read back field by field through the core.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "core/books/movementfile.h"
#include "core/duty/dutyrecords.h"
#include "core/files/lock.h"
#include "core/files/recordfile.h"
#include "core/tables/codetables.h"
#include "core/tables/dates.h"
#include "logic/duty/creditswindow.h"
#include "logic/duty/excisesummaryday.h"
#include "logic/duty/excisesummaryperiod.h"
#include "logic/duty/guaranteewindow.h"
#include "logic/duty/voluntarycorrection.h"
#include "logic/window_fixtures.h"
#include "register_builder.h"

namespace accise {
namespace {

using namespace accise::testing;

const int kThisYear = yearOf(todayDayNumber());
const std::string kYear = std::to_string(kThisYear);

class DutyWindows : public ::testing::Test {
protected:
    DutyWindows() {
        writeOfficeTable(work.folders);
        TableRecord rate = blankTable();
        rate.number = 1;
        rate.col[kRateCountryCol] = "IT";
        rate.col[kRateChapterCol] = "1402ABC";
        rate.nums[kRateDateNum] = dayNumber(2010, 1, 1);
        rate.nums[kRateAmountNum] = 2.35;
        writeWholeFile(work.folders.table("ACCISE"), encodeTable(rate));
        ctx.company.office = "IT012000";
    }

    template <class Logic>
    Logic& open(char mode = 'I') {
        ctx.mode = mode;
        auto logic = std::make_unique<Logic>(ctx, prompt, services);
        Logic& ref = *logic;
        window = std::move(logic);
        ref.open();
        ref.keyTyped();
        return ref;
    }

    // Types `text` into `control` and leaves it; the control that gets the cursor.
    std::string type(const std::string& control, const std::string& text) {
        window->setValue(control, text);
        const FocusMove move = window->leave(control);
        return move.proceed ? "" : move.control;
    }

    std::vector<Movement> records(const fs::path& file) const {
        auto all = readMovements(file);
        for (auto& m : all) trimMovement(m);
        return all;
    }
    fs::path dutyFile(int year = kThisYear) const { return work.folders.dutyFile(year); }

    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
    std::unique_ptr<DutyWindowLogic> window;
};

TEST_F(DutyWindows, CreditsOpenWithTodayTheCompanyOfficeAndTheChapterInForce) {
    auto& w = open<CreditsLogic>();
    EXPECT_EQ(w.title(), "Inserisce crediti e riaccrediti");
    EXPECT_EQ(w.value("ANNPRO"), kYear);
    EXPECT_EQ(w.value("CODPAE"), "");
    EXPECT_EQ(w.value("DATMOV"), formatDate(todayDayNumber()));
    EXPECT_EQ(w.value("CODUFF"), "IT012000");
    EXPECT_EQ(w.value("DUFFDOG"), "UFFICIO DELLE DOGANE DI MILANO 2");
    EXPECT_EQ(w.value("MITDES"), "1402A"); // the first five characters
    EXPECT_TRUE(w.isEditable("ANNPRO"));
    EXPECT_FALSE(w.isEditable("DCODPAE"));
}

TEST_F(DutyWindows, PeriodAndYearChecks) {
    struct Case {
        const char* control;
        const char* typed;
        bool passes;
        const char* shown;       // the field afterwards
        const char* description; // DCODPAE afterwards
    };
    const std::string marzo = "Marzo - " + kYear;
    const Case cases[] = {
        {"CODPAE", "3", true, "03", marzo.c_str()},
        {"CODPAE", "21", true, "21", nullptr},
        {"CODPAE", "12", false, "12", ""},
        {"CODPAE", "20", false, "20", ""},
        {"CODPAE", "", false, "", ""},
        {"ANNPRO", "2007", false, "2007", nullptr},
        {"ANNPRO", "2008", true, "2008", nullptr},
        {"ANNPRO", "2060", true, "2060", nullptr},
        {"ANNPRO", "2061", false, "2061", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.control) + "=" + c.typed);
        auto& w = open<CreditsLogic>();
        const std::string focus = type(c.control, c.typed);
        EXPECT_EQ(focus, c.passes ? "" : c.control);
        EXPECT_EQ(w.value(c.control), c.shown);
        if (c.description) {
            EXPECT_EQ(w.value("DCODPAE"), c.description);
        }
    }
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(DutyWindows, CreditIsWrittenFieldByField) {
    auto& w = open<CreditsLogic>();
    type("CODPAE", "4");
    type("PROTOC", "PR/123");
    type("DATMOV", "15/04/2014");
    type("CODUFF", "IT079100");
    EXPECT_EQ(w.value("DUFFDOG"), "UFFICIO DELLE DOGANE DI ROMA 1");
    type("DOUBL1", "1.234,5");
    type("DOUBL2", "1.000,126");
    w.setValue("ANNOTA", "credito di aprile");
    ASSERT_EQ(w.confirm(), std::nullopt);
    EXPECT_TRUE(w.closeRequested());

    const auto all = records(dutyFile());
    ASSERT_EQ(all.size(), 1u);
    const Movement& m = all[0];
    EXPECT_EQ(m.NUMREC, 1);
    EXPECT_EQ(m.TIPREC, "D");
    EXPECT_EQ(m.TIPOPE, "I");
    EXPECT_EQ(m.STATO, "");
    EXPECT_EQ(m.ANNPRO, kYear);
    EXPECT_EQ(m.CODPAE, "04");
    EXPECT_EQ(m.NUMPRO, "PR/123");
    EXPECT_EQ(formatDate(m.DATMOV), "15/04/2014");
    EXPECT_EQ(m.UFFDOG, "IT079100");
    EXPECT_EQ(m.MITDES, "1402A");
    EXPECT_DOUBLE_EQ(m.QTAKG, 1234.5);
    EXPECT_DOUBLE_EQ(m.ETTOGR, 1000.13);
    EXPECT_EQ(m.ANNOTA, "credito di aprile");
    EXPECT_EQ(m.NUMFLU, 0);
}

TEST_F(DutyWindows, UnknownOfficeSaysSoAndOpensTheList) {
    auto& w = open<CreditsLogic>();
    services.lookupAnswer = 2;
    EXPECT_EQ(type("CODUFF", "XX"), "CODUFF");
    EXPECT_EQ(w.value("DUFFDOG"), "CODICE NON VALIDO");
    ASSERT_EQ(services.lookupTables, std::vector<std::string>{"TA03"});
    EXPECT_EQ(w.value("CODUFF"), "IT079100");
}

// An unsent credit of the period is loaded; under the warehouse keeper's profile the
// confirmation replaces it, under the consignee's it adds a second one beside it.
TEST_F(DutyWindows, UnsentCreditIsLoadedThenReplacedOrAddedByProfile) {
    for (const bool alcopp : {false, true}) {
        SCOPED_TRACE(alcopp ? "ALCOPP" : "ALCODA");
        fs::remove(dutyFile());
        ctx.alcopp = alcopp;
        Movement old = dutyRecord("D", kYear, "01");
        old.NUMPRO = "OLD";
        old.UFFDOG = "IT079100";
        old.DATMOV = dayNumber(2014, 1, 20);
        old.MITDES = "9999";
        old.QTAKG = 50;
        old.ETTOGR = 40;
        old.ANNOTA = "vecchia";
        addDutyRecord(dutyFile(), old, alcopp);

        auto& w = open<CreditsLogic>();
        EXPECT_EQ(type("CODPAE", "1"), "");
        EXPECT_EQ(w.value("PROTOC"), "OLD");
        EXPECT_EQ(w.value("DATMOV"), "20/01/2014");
        EXPECT_EQ(w.value("CODUFF"), "IT079100");
        EXPECT_EQ(w.value("DUFFDOG"), "UFFICIO DELLE DOGANE DI ROMA 1");
        EXPECT_EQ(w.value("MITDES"), "9999");
        EXPECT_EQ(w.value("DOUBL1"), "50,00");
        EXPECT_EQ(w.value("DOUBL2"), "40,00");
        EXPECT_EQ(w.value("ANNOTA"), "vecchia");
        w.setValue("DOUBL2", "45");
        ASSERT_EQ(w.confirm(), std::nullopt);

        const auto all = records(dutyFile());
        ASSERT_EQ(all.size(), alcopp ? 2u : 1u);
        EXPECT_DOUBLE_EQ(all.back().ETTOGR, 45);
        EXPECT_EQ(all.back().NUMPRO, "OLD");
    }
}

// A sent record of the same period or day blocks a new entry of every duty window,
// and the values typed so far stay in the window after the message.
TEST_F(DutyWindows, SentRecordBlocksTheNewEntry) {
    struct Case {
        const char* name;
        std::function<DutyWindowLogic&()> openWindow;
        bool alcopp;
        const char* tiprec;
        const char* control;
        const char* typed;
        const char* message;
    };
    const std::string day = "10/06/" + kYear;
    const Case cases[] = {
        {"credits", [&]() -> DutyWindowLogic& { return open<CreditsLogic>(); }, false, "D", "CODPAE", "6",
         duty::kPeriodSent},
        {"summary by period", [&]() -> DutyWindowLogic& { return open<ExciseSummaryPeriodLogic>(); }, false, "E",
         "CODPAE", "06", duty::kPeriodSent},
        {"correction by period", [&]() -> DutyWindowLogic& { return open<VoluntaryCorrectionLogic>(); }, false,
         "R", "CODPAE", "6", duty::kPeriodSent},
        {"summary by day", [&]() -> DutyWindowLogic& { return open<ExciseSummaryDayLogic>(); }, true, "E",
         "DATMOV", day.c_str(), duty::kSummarySent},
        {"correction by day", [&]() -> DutyWindowLogic& { return open<VoluntaryCorrectionLogic>(); }, true, "R",
         "DATMOV", day.c_str(), duty::kCorrectionSent},
        {"guarantee", [&]() -> DutyWindowLogic& { return open<GuaranteeLogic>(); }, false, "F", "DATMOV",
         day.c_str(), duty::kGuaranteeSent},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ctx.alcopp = c.alcopp;
        const bool guarantee = *c.tiprec == 'F';
        const fs::path file = guarantee ? work.folders.guaranteeFile(kThisYear) : dutyFile();
        fs::remove(file);
        Movement sent = dutyRecord(c.tiprec, c.alcopp ? "" : kYear, c.alcopp || guarantee ? "" : "06");
        sent.DATMOV = *parseDate(day);
        sent.NUMFLU = 3;
        sent.DATFLU = dayNumber(kThisYear, 6, 11);
        addDutyRecord(file, sent, c.alcopp);

        prompt.messages.clear();
        DutyWindowLogic& w = c.openWindow();
        w.setValue("DOUBL1", "77,00");
        EXPECT_EQ(type(c.control, c.typed), c.control);
        EXPECT_EQ(prompt.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(w.value("DOUBL1"), "77,00"); // kept after the message
        EXPECT_EQ(w.confirm(), std::optional<std::string>(c.control));
        EXPECT_EQ(records(file).size(), 1u);
    }
}

TEST_F(DutyWindows, SummaryProposesTheNextPeriodAndComputesIt) {
    addDutyRecord(dutyFile(2016), dutyRecord("E", "2016", "01"));
    Movement credit1 = dutyRecord("D", "2016", "02");
    credit1.ETTOGR = 100;
    Movement credit2 = dutyRecord("D", "2016", "02");
    credit2.ETTOGR = 50;
    addDutyRecord(dutyFile(2016), credit1, true);
    addDutyRecord(dutyFile(2016), credit2, true);
    addToRegister(work.folders, registerMovement("29/02/2016", "S", 1000));
    addToRegister(work.folders, registerMovement("01/03/2016", "S", 7));
    addToRegister(work.folders, registerMovement("10/02/2016", "C", 20.5));
    addToRegister(work.folders, registerMovement("10/02/2016", "S", 9, "002"));

    auto& w = open<ExciseSummaryPeriodLogic>();
    EXPECT_EQ(w.title(), "Riepilogo accisa");
    EXPECT_EQ(type("ANNPRO", "2016"), "");
    EXPECT_EQ(w.value("CODPAE"), "02");
    EXPECT_EQ(type("CODPAE", "02"), "");
    EXPECT_EQ(w.value("DCODPAE"), "Febbraio - 2016");
    EXPECT_EQ(w.value("DOUBL1"), "1.000,00");
    EXPECT_EQ(w.value("DOUBL2"), "150,00");
    EXPECT_EQ(w.value("DOUBL3"), "20,50");
    EXPECT_EQ(w.value("DOUBL4"), "829,50");

    // The clerk changes the proposal; entering the notes recomputes the total.
    w.setValue("DOUBL3", "29,50");
    EXPECT_EQ(w.enterNotes(), std::nullopt);
    EXPECT_EQ(w.value("DOUBL4"), "820,50");
    w.setValue("ANNOTA", "febbraio");
    ASSERT_EQ(w.confirm(), std::nullopt);

    const auto all = records(dutyFile(2016));
    ASSERT_EQ(all.size(), 4u);
    const Movement& m = all[3]; // after the period 02 credits
    EXPECT_EQ(m.TIPREC, "E");
    EXPECT_EQ(m.ANNPRO, "2016");
    EXPECT_EQ(m.CODPAE, "02");
    EXPECT_DOUBLE_EQ(m.DATMOV, 0);
    EXPECT_DOUBLE_EQ(m.QTAKG, 1000);
    EXPECT_DOUBLE_EQ(m.ETTOGR, 150);
    EXPECT_DOUBLE_EQ(m.QTALIT, 29.5);
    EXPECT_DOUBLE_EQ(m.VALAUX, 820.5);
    EXPECT_EQ(m.MITDES, "1402A");
    EXPECT_EQ(m.ANNOTA, "febbraio");
}

// The negative total is refused; the message leaves every typed value in place and
// sends the cursor to the excise due.
TEST_F(DutyWindows, NegativeTotalIsRefusedAndTheTypedValuesStay) {
    auto& w = open<ExciseSummaryPeriodLogic>();
    type("ANNPRO", "2014");
    type("CODPAE", "05");
    w.setValue("DOUBL1", "100");
    w.setValue("DOUBL2", "150");
    w.setValue("DOUBL3", "0");
    w.setValue("ANNOTA", "nota");
    EXPECT_EQ(w.enterNotes(), std::optional<std::string>("DOUBL1"));
    EXPECT_EQ(w.value("DOUBL4"), "-50,00");
    EXPECT_EQ(w.confirm(), std::optional<std::string>("DOUBL1"));
    EXPECT_EQ(prompt.messages, (std::vector<std::string>{duty::kNegativeAmount, duty::kNegativeAmount}));
    EXPECT_EQ(w.value("DOUBL1"), "100");
    EXPECT_EQ(w.value("DOUBL2"), "150");
    EXPECT_EQ(w.value("ANNOTA"), "nota");
    EXPECT_EQ(w.value("CODPAE"), "05");
    EXPECT_FALSE(fs::exists(dutyFile(2014)));
}

TEST_F(DutyWindows, UnsentSummaryOfThePeriodIsReplaced) {
    Movement old = dutyRecord("E", "2014", "03");
    old.MITDES = "7777";
    old.ANNOTA = "prima";
    old.QTAKG = 5;
    addDutyRecord(dutyFile(2014), old);
    addToRegister(work.folders, registerMovement("31/03/2014", "S", 12));

    auto& w = open<ExciseSummaryPeriodLogic>();
    type("ANNPRO", "2014");
    type("CODPAE", "3");
    EXPECT_EQ(w.value("MITDES"), "7777");
    EXPECT_EQ(w.value("ANNOTA"), "prima");
    EXPECT_EQ(w.value("DOUBL1"), "12,00"); // recomputed, not copied
    ASSERT_EQ(w.confirm(), std::nullopt);
    const auto all = records(dutyFile(2014));
    ASSERT_EQ(all.size(), 1u);
    EXPECT_DOUBLE_EQ(all[0].QTAKG, 12);
    EXPECT_DOUBLE_EQ(all[0].VALAUX, 12);
}

TEST_F(DutyWindows, SummaryOfADayCountsItsReceiptsAndIsKeptByDate) {
    ctx.alcopp = true;
    addToRegister(work.folders, registerMovement("10/06/2014", "C", 30, "001", "DAA"));
    addToRegister(work.folders, registerMovement("10/06/2014", "C", 500, "001", "EAD"));
    addToRegister(work.folders, registerMovement("10/06/2014", "C", 2.25, "001", "FBR"));

    auto& w = open<ExciseSummaryDayLogic>();
    EXPECT_EQ(w.value("DATMOV"), formatDate(todayDayNumber()));
    EXPECT_EQ(type("DATMOV", "10/06/2014"), "");
    EXPECT_EQ(w.value("DOUBL1"), "32,25");
    EXPECT_EQ(type("DATMOV", "31/02/2014"), "DATMOV");
    w.setValue("DATMOV", "10/06/2014");
    ASSERT_EQ(w.confirm(), std::nullopt);

    const auto all = records(dutyFile(2014));
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].TIPREC, "E");
    EXPECT_EQ(all[0].ANNPRO, "");
    EXPECT_EQ(all[0].CODPAE, "");
    EXPECT_EQ(formatDate(all[0].DATMOV), "10/06/2014");
    EXPECT_DOUBLE_EQ(all[0].QTAKG, 32.25);
}

TEST_F(DutyWindows, VoluntaryCorrectionByPeriodStoresTheFiguresAsTyped) {
    auto& w = open<VoluntaryCorrectionLogic>();
    EXPECT_EQ(w.focusAfterOpen(), "ANNPRO");
    EXPECT_TRUE(w.isShown("CODPAE"));
    EXPECT_FALSE(w.isShown("DATMOV"));
    type("ANNPRO", "2014");
    type("CODPAE", "22");
    w.setValue("DOUBL1", "1.000");
    w.setValue("DOUBL2", "30");
    w.setValue("DOUBL3", "66,67");
    w.setValue("DOUBL4", "999,99"); // does not match the others: stored as typed
    w.setValue("DOUBL5", "2,5");
    w.setValue("INTER1", "-5");
    w.setValue("DOUBL6", "0,34");
    ASSERT_EQ(w.confirm(), std::nullopt);

    const auto all = records(dutyFile(2014));
    ASSERT_EQ(all.size(), 1u);
    const Movement& m = all[0];
    EXPECT_EQ(m.TIPREC, "R");
    EXPECT_EQ(m.ANNPRO, "2014");
    EXPECT_EQ(m.CODPAE, "22");
    EXPECT_DOUBLE_EQ(m.DATMOV, 0);
    EXPECT_DOUBLE_EQ(m.QTAKG, 1000);
    EXPECT_DOUBLE_EQ(m.ETTOGR, 30);
    EXPECT_DOUBLE_EQ(m.QTALIT, 66.67);
    EXPECT_DOUBLE_EQ(m.VALAUX, 999.99);
    EXPECT_DOUBLE_EQ(m.GRAPLA, 2.5);
    EXPECT_EQ(m.CONTIN, -5);
    EXPECT_DOUBLE_EQ(m.VOLUNI, 0.34);
}

TEST_F(DutyWindows, VoluntaryCorrectionByDayReplacesTheUnsentOneOfTheDate) {
    ctx.alcopp = true;
    Movement old = dutyRecord("R", "2015", "");
    old.DATMOV = dayNumber(2015, 3, 9);
    old.QTAKG = 10;
    old.CONTIN = 12;
    old.GRAPLA = 1.5;
    addDutyRecord(dutyFile(2015), old, true);

    auto& w = open<VoluntaryCorrectionLogic>();
    EXPECT_EQ(w.focusAfterOpen(), "DATMOV");
    EXPECT_FALSE(w.isShown("ANNPRO"));
    EXPECT_EQ(type("DATMOV", "09/03/2015"), "");
    EXPECT_EQ(w.value("DOUBL1"), "10,00");
    EXPECT_EQ(w.value("INTER1"), "12");
    EXPECT_EQ(w.value("DOUBL5"), "1,50");
    w.setValue("DOUBL1", "11");
    ASSERT_EQ(w.confirm(), std::nullopt);

    const auto all = records(dutyFile(2015));
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].ANNPRO, "2015");
    EXPECT_EQ(all[0].CODPAE, "");
    EXPECT_EQ(formatDate(all[0].DATMOV), "09/03/2015");
    EXPECT_DOUBLE_EQ(all[0].QTAKG, 11);
    EXPECT_EQ(all[0].CONTIN, 12);
}

TEST_F(DutyWindows, GuaranteeGoesToTheGuaranteeFileOfItsDay) {
    auto& w = open<GuaranteeLogic>();
    EXPECT_EQ(w.title(), "Garanzia");
    type("DATMOV", "02/01/2015");
    w.setValue("DOUBL1", "100");
    w.setValue("DOUBL2", "20");
    w.setValue("DOUBL3", "5");
    w.setValue("DOUBL4", "1");
    w.setValue("DOUBL5", "84");
    w.setValue("ANNOTA", "cauzione");
    ASSERT_EQ(w.confirm(), std::nullopt);
    EXPECT_FALSE(fs::exists(dutyFile(2015)));
    const auto all = records(work.folders.guaranteeFile(2015));
    ASSERT_EQ(all.size(), 1u);
    const Movement& m = all[0];
    EXPECT_EQ(m.TIPREC, "F");
    EXPECT_EQ(formatDate(m.DATMOV), "02/01/2015");
    EXPECT_DOUBLE_EQ(m.QTAKG, 100);
    EXPECT_DOUBLE_EQ(m.ETTOGR, 20);
    EXPECT_DOUBLE_EQ(m.QTALIT, 5);
    EXPECT_DOUBLE_EQ(m.VALAUX, 1);
    EXPECT_DOUBLE_EQ(m.GRAPLA, 84);
    EXPECT_EQ(m.ANNOTA, "cauzione");

    // The same day again: the unsent guarantee is loaded and replaced.
    auto& again = open<GuaranteeLogic>();
    type("DATMOV", "02/01/2015");
    EXPECT_EQ(again.value("DOUBL5"), "84,00");
    again.setValue("DOUBL5", "80");
    ASSERT_EQ(again.confirm(), std::nullopt);
    const auto after = records(work.folders.guaranteeFile(2015));
    ASSERT_EQ(after.size(), 1u);
    EXPECT_DOUBLE_EQ(after[0].GRAPLA, 80);
}

// Every window corrects a sent record of its kind: it opens on that record with the
// correction caption, requires a note, and leaves the correction pattern in the file.
TEST_F(DutyWindows, CorrectionsOfSentRecords) {
    struct Case {
        const char* name;
        std::function<DutyWindowLogic&(char)> openWindow;
        bool alcopp;
        const char* tiprec;
        const char* cancelCaption;
        const char* modifyCaption;
        const char* firstValueField;
    };
    const Case cases[] = {
        {"credits", [&](char m) -> DutyWindowLogic& { return open<CreditsLogic>(m); }, false, "D",
         "RETTIFICA: cancella crediti inviati", "RETTIFICA: modifica i dati dei crediti inviati", "PROTOC"},
        {"summary by period", [&](char m) -> DutyWindowLogic& { return open<ExciseSummaryPeriodLogic>(m); }, false,
         "E", "RETTIFICA: cancella riepilogo accisa inviato",
         "RETTIFICA: modifica i dati del riepilogo accisa inviato", "MITDES"},
        {"summary by day", [&](char m) -> DutyWindowLogic& { return open<ExciseSummaryDayLogic>(m); }, true, "E",
         "RETTIFICA: cancella riepilogo accisa inviato", "RETTIFICA: modifica i dati del riepilogo accisa inviato",
         "MITDES"},
        {"voluntary correction", [&](char m) -> DutyWindowLogic& { return open<VoluntaryCorrectionLogic>(m); },
         false, "R", "RETTIFICA: cancella ravvedimento inviato",
         "RETTIFICA: modifica i dati del ravvedimento inviato", "MITDES"},
        {"guarantee", [&](char m) -> DutyWindowLogic& { return open<GuaranteeLogic>(m); }, false, "F",
         "RETTIFICA: cancella garanzia inviata", "RETTIFICA: modifica i dati della garanzia inviata", "DOUBL1"},
    };
    for (const auto& c : cases) {
        for (const char mode : {'T', 't'}) {
            SCOPED_TRACE(std::string(c.name) + " " + mode);
            ctx.alcopp = c.alcopp;
            const bool guarantee = *c.tiprec == 'F';
            const fs::path file = guarantee ? work.folders.guaranteeFile(2014) : dutyFile(2014);
            fs::remove(file);
            Movement sent = dutyRecord(c.tiprec, c.alcopp ? "" : "2014", c.alcopp || guarantee ? "" : "07");
            // Credits carry the date of their measure; records kept by day carry the day.
            const bool dated = c.alcopp || guarantee || *c.tiprec == 'D';
            sent.DATMOV = dated ? dayNumber(2014, 7, 3) : 0;
            sent.UFFDOG = *c.tiprec == 'D' ? "IT012000" : "";
            sent.QTAKG = 70;
            sent.MITDES = guarantee ? "" : "1402";
            sent.ANNOTA = "inviato";
            sent.NUMFLU = 5;
            sent.DATFLU = dayNumber(2014, 8, 1);
            addDutyRecord(file, sent, c.alcopp);
            ctx.workingYear = "2014";
            ctx.chosenRecord = 1;

            prompt.messages.clear();
            DutyWindowLogic& w = c.openWindow(mode);
            EXPECT_FALSE(w.closeRequested());
            EXPECT_EQ(w.title(), mode == 'T' ? c.cancelCaption : c.modifyCaption);
            EXPECT_EQ(w.focusAfterOpen(), mode == 'T' ? "ANNOTA" : c.firstValueField);
            EXPECT_EQ(w.value("DOUBL1"), "70,00");
            EXPECT_EQ(w.isEditable("DOUBL1"), mode == 't');
            EXPECT_TRUE(w.isEditable("ANNOTA"));
            EXPECT_FALSE(w.isEditable(c.alcopp || guarantee ? "DATMOV" : "CODPAE"));

            // The correction opens with an empty note: the old reason is not the new one.
            EXPECT_EQ(w.value("ANNOTA"), "");
            EXPECT_EQ(w.confirm(), std::optional<std::string>("ANNOTA"));
            EXPECT_EQ(prompt.messages, std::vector<std::string>{duty::kNoteRequired});
            if (mode == 't') w.setValue("DOUBL1", "71");
            w.setValue("ANNOTA", "errore di battitura");
            ASSERT_EQ(w.confirm(), std::nullopt);
            EXPECT_TRUE(w.closeRequested());

            const auto all = records(file);
            ASSERT_EQ(all.size(), mode == 'T' ? 2u : 3u);
            EXPECT_EQ(all[0].STATO, "C");
            EXPECT_EQ(all[0].NUMFLU, 5);
            EXPECT_EQ(all[1].NUMREC, 2);
            EXPECT_EQ(all[1].NUMRIF, 1);
            EXPECT_EQ(all[1].TIPOPE, "C");
            EXPECT_EQ(all[1].NUMFLU, 0);
            EXPECT_DOUBLE_EQ(all[1].QTAKG, 70);
            EXPECT_EQ(all[1].ANNOTA, "errore di battitura");
            if (mode == 't') {
                const Movement& r = all[2];
                EXPECT_EQ(r.NUMREC, 3);
                EXPECT_EQ(r.NUMRIF, 1);
                EXPECT_EQ(r.STATO, "R");
                EXPECT_EQ(r.TIPOPE, "I");
                EXPECT_EQ(r.TIPREC, c.tiprec);
                EXPECT_EQ(r.NUMFLU, 0);
                EXPECT_DOUBLE_EQ(r.QTAKG, 71);
                EXPECT_EQ(r.MITDES, sent.MITDES);
                EXPECT_EQ(r.DATMOV, sent.DATMOV);
                EXPECT_EQ(r.CODPAE, sent.CODPAE);
                EXPECT_EQ(r.ANNOTA, "errore di battitura");
            }
        }
    }
}

// A cancellation keeps the corrected credit's office, which the clerk cannot change:
// an office no longer in TA03 does not block it.
TEST_F(DutyWindows, CreditCancellationSkipsTheOfficeCheck) {
    Movement sent = dutyRecord("D", "2014", "07");
    sent.DATMOV = dayNumber(2014, 7, 3);
    sent.UFFDOG = "IT999999"; // not in the office table
    sent.NUMFLU = 5;
    sent.DATFLU = dayNumber(2014, 8, 1);
    addDutyRecord(dutyFile(2014), sent);
    ctx.workingYear = "2014";
    ctx.chosenRecord = 1;
    auto& w = open<CreditsLogic>('T');
    w.setValue("ANNOTA", "annullato");
    EXPECT_EQ(w.confirm(), std::nullopt);
    EXPECT_EQ(records(dutyFile(2014)).size(), 2u);
    EXPECT_TRUE(w.closeRequested());
}

// The figures saved are those computed for the day or period the record names: the
// proposed day is computed when the window opens (a clerk who only presses Enter
// saves that day's excise), and a day or year changed without its figures following
// is computed again at the confirmation, which then stops to show them.
TEST_F(DutyWindows, SummaryFiguresFollowTheirDayOrPeriod) {
    const double today = todayDayNumber();
    addToRegister(work.folders, registerMovement(formatDate(today), "C", 30, "001", "DAA"));
    addToRegister(work.folders, registerMovement("10/06/2014", "C", 4.5, "001", "DAA"));

    {
        SCOPED_TRACE("day proposed, accepted with Enter");
        ctx.alcopp = true;
        ctx.mode = 'I';
        ExciseSummaryDayLogic w(ctx, prompt, services);
        w.open(); // no key typed: the guard skips the leave check of the date
        EXPECT_EQ(w.value("DOUBL1"), "30,00");
        ASSERT_EQ(w.confirm(), std::nullopt);
        const auto all = records(dutyFile(yearOf(today)));
        ASSERT_EQ(all.size(), 1u);
        EXPECT_DOUBLE_EQ(all[0].QTAKG, 30);
    }
    {
        SCOPED_TRACE("day changed without leaving it");
        auto& w = open<ExciseSummaryDayLogic>();
        w.setValue("DATMOV", "10/06/2014");
        prompt.messages.clear();
        EXPECT_EQ(w.confirm(), std::optional<std::string>("DOUBL1"));
        EXPECT_EQ(prompt.messages, std::vector<std::string>{duty::kAmountsRecomputed});
        EXPECT_EQ(w.value("DOUBL1"), "4,50");
        ASSERT_EQ(w.confirm(), std::nullopt);
        ASSERT_EQ(records(dutyFile(2014)).size(), 1u);
        EXPECT_DOUBLE_EQ(records(dutyFile(2014))[0].QTAKG, 4.5);
    }
    ctx.alcopp = false;
    addToRegister(work.folders, registerMovement("10/01/2015", "S", 40));
    addToRegister(work.folders, registerMovement("20/06/2014", "S", 8));
    {
        SCOPED_TRACE("year changed: its period and figures");
        auto& w = open<ExciseSummaryPeriodLogic>();
        type("ANNPRO", "2014");
        type("CODPAE", "06");
        EXPECT_EQ(w.value("DOUBL1"), "8,00");
        EXPECT_EQ(w.value("DOUBL3"), "4,50"); // the taxed receipt of 10/06/2014
        type("ANNPRO", "2015");
        EXPECT_EQ(w.value("CODPAE"), "01");
        EXPECT_EQ(w.value("DOUBL1"), ""); // June 2014's figures are gone
        type("CODPAE", "01");
        EXPECT_EQ(w.value("DOUBL1"), "40,00");
        EXPECT_EQ(w.value("DOUBL3"), "0,00");
        EXPECT_EQ(w.value("DOUBL4"), "40,00");
        w.setValue("ANNPRO", "2014"); // changed back without leaving the field
        w.setValue("ANNOTA", "nota");
        prompt.messages.clear();
        EXPECT_EQ(w.confirm(), std::optional<std::string>("DOUBL1"));
        EXPECT_EQ(prompt.messages, std::vector<std::string>{duty::kAmountsRecomputed});
        EXPECT_EQ(w.value("DOUBL1"), "0,00"); // January 2014 has no taxed unload
    }
}

// The save reads the duty file again under its lock: a record of the same period or
// day that another workstation sent after the window's check refuses the new entry
// with the check's own message, nothing is written and the window stays open.
TEST_F(DutyWindows, RecordSentBetweenTheCheckAndTheSaveRefusesIt) {
    struct Case {
        const char* name;
        std::function<DutyWindowLogic&()> openWindow;
        bool alcopp;
        const char* tiprec;
        const char* control;
        const char* typed;
        const char* message;
    };
    const std::string day = "10/06/" + kYear;
    const Case cases[] = {
        {"credits", [&]() -> DutyWindowLogic& { return open<CreditsLogic>(); }, false, "D", "CODPAE", "6",
         duty::kPeriodSent},
        {"summary by period", [&]() -> DutyWindowLogic& { return open<ExciseSummaryPeriodLogic>(); }, false, "E",
         "CODPAE", "06", duty::kPeriodSent},
        {"summary by day", [&]() -> DutyWindowLogic& { return open<ExciseSummaryDayLogic>(); }, true, "E",
         "DATMOV", day.c_str(), duty::kSummarySent},
        {"correction by day", [&]() -> DutyWindowLogic& { return open<VoluntaryCorrectionLogic>(); }, true, "R",
         "DATMOV", day.c_str(), duty::kCorrectionSent},
        {"guarantee", [&]() -> DutyWindowLogic& { return open<GuaranteeLogic>(); }, false, "F", "DATMOV",
         day.c_str(), duty::kGuaranteeSent},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ctx.alcopp = c.alcopp;
        const bool guarantee = *c.tiprec == 'F';
        const fs::path file = guarantee ? work.folders.guaranteeFile(kThisYear) : dutyFile();
        fs::remove(file);
        prompt.messages.clear();
        DutyWindowLogic& w = c.openWindow();
        EXPECT_EQ(type(c.control, c.typed), "");
        w.setValue("ANNOTA", "nota");
        if (w.field("PROTOC")) type("PROTOC", "P1");

        // Another desk holds the file while it sends the record of the same period.
        writeWholeFile(lockMarkerOf(file), "");
        prompt.onInformation = [&](int) {
            if (!fs::exists(lockMarkerOf(file))) return;
            Movement sent = dutyRecord(c.tiprec, c.alcopp ? "" : kYear, c.alcopp || guarantee ? "" : "06");
            sent.DATMOV = *parseDate(day);
            sent.NUMFLU = 3;
            sent.DATFLU = dayNumber(kThisYear, 6, 11);
            fs::remove(lockMarkerOf(file));
            addDutyRecord(file, sent, c.alcopp);
        };
        EXPECT_EQ(w.confirm(), std::nullopt); // the checks passed; the save refused
        prompt.onInformation = nullptr;
        EXPECT_EQ(prompt.messages.back(), c.message);
        EXPECT_FALSE(w.closeRequested());
        EXPECT_EQ(w.focusAfterOpen(), c.control);
        const auto all = records(file);
        ASSERT_EQ(all.size(), 1u);
        EXPECT_EQ(all[0].NUMFLU, 3);
    }
}

TEST_F(DutyWindows, CorrectionOfARecordNoLongerThereEndsTheCommand) {
    ctx.workingYear = "2014";
    ctx.chosenRecord = 9;
    auto& w = open<CreditsLogic>('T');
    EXPECT_TRUE(w.closeRequested());
    EXPECT_TRUE(prompt.messages.empty());
}

} // namespace
} // namespace accise
