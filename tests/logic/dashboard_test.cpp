// "Dove sono i registri": the figures of the main window's page against the same
// computations the windows use (the stock of the movement window, the excise summary
// window's proposal, the flow creation list), on a small brewery in March 2024.
#include "logic/shell/dashboard.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "core/books/stock.h"
#include "core/duty/dutyrecords.h"
#include "core/files/recordfile.h"
#include "core/files/folders.h"
#include "core/flow/flowlist.h"
#include "core/flow/sentflows.h"
#include "core/tables/dates.h"
#include "logic/shell/dashboarddeadlines.h"
#include "logic/window_fixtures.h"
#include "movement_fixture.h"
#include "register_builder.h"

namespace accise {
namespace {

using namespace accise::testing;

std::string fileBytes(const fs::path& file) { return readRecords(file, 1, IfMissing::Empty).bytes(); }

double day(const char* ddmmyyyy) {
    return *parseDate(ddmmyyyy);
}

// A movement of one of the brewery's registers (fixtureRegisters: MP1 kg, FS1 litres at 12 degrees).
Movement inRegister(const char* date, const char* tipmov, const char* tipreg, const char* protocol, double kg,
                    double litres, double accisa) {
    Movement m = registerMovement(date, tipmov, accisa);
    m.TIPREG = tipreg;
    m.UFFDOG = "IT079100";
    m.ANNPRO = "2024";
    m.NUMPRO = protocol;
    m.QTAKG = kg;
    m.QTALIT = litres;
    m.GRAPLA = litres ? 12 : 0;
    m.ETTOGR = litres * 12 / 100;
    return m;
}

Movement sent(Movement m, const char* flowDate, int number) {
    m.DATFLU = day(flowDate);
    m.NUMFLU = number;
    return m;
}

class DashboardTest : public ::testing::Test {
protected:
    DashboardTest() {
        writeBrewery(work.folders, prompt); // initial stocks sent in flow 1 of 10/01/2024
        // 1 200 kg of malt loaded, sent in flow 2 of 15/02/2024.
        addToRegister(work.folders, sent(inRegister("10/02/2024", "C", "M", "MP1", 1200, 0, 0), "15/02/2024", 2));
        // 100 l released for consumption: 12 hl-degrees, excise 35,88; unsent.
        addToRegister(work.folders, inRegister("05/03/2024", "S", "F", "FS1", 0, 100, 35.88));
        // Dated after today: not in today's stock nor the last movement, but unsent all the same.
        addToRegister(work.folders, inRegister("25/03/2024", "S", "F", "FS1", 0, 50, 17.94));
    }
    BooksStanding standing(AuditProblemCount audit = {}) const {
        return computeBooksStanding(work.folders, today, false, "ABCD", audit);
    }

    WorkingFolder work;
    RecordingPrompt prompt;
    const double today = day("20/03/2024");
};

TEST_F(DashboardTest, RegisterStocksAreThoseOfTheStockComputation) {
    const BooksStanding s = standing();
    ASSERT_EQ(s.registers.size(), fixtureRegisters().size());
    struct Case {
        const char* protocol;
        double kg, litres, hlDegrees; // worked: initial stock +/- the movements up to today
        const char* lastMovement;     // "" for none this year
    };
    const Case cases[] = {
        {"MP1", 5000 + 1200, 0, 0, "10/02/2024"},
        {"LAV1", 0, 2000, 240, ""},
        {"FS1", 0, 1000 - 100, 120 - 12, "05/03/2024"}, // the unload of 25/03 comes later
        {"FC1", 0, 500, 60, ""},
    };
    for (const Case& c : cases) {
        const auto it = std::find_if(s.registers.begin(), s.registers.end(),
                                     [&](const RegisterStanding& r) { return r.protocol == c.protocol; });
        ASSERT_NE(it, s.registers.end()) << c.protocol;
        const FixtureRegister& reg =
            *std::find_if(fixtureRegisters().begin(), fixtureRegisters().end(),
                          [&](const FixtureRegister& r) { return std::string(r.protocol) == c.protocol; });
        const Quantities expected = registerStockAt(
            work.folders, RegisterKey{std::string(1, registerTypeLetter(reg.type)), "2024", c.protocol}, today);
        EXPECT_DOUBLE_EQ(it->stock.QTAKG, expected.QTAKG) << c.protocol;
        EXPECT_DOUBLE_EQ(it->stock.QTALIT, expected.QTALIT) << c.protocol;
        EXPECT_DOUBLE_EQ(it->stock.ETTOGR, expected.ETTOGR) << c.protocol;
        EXPECT_DOUBLE_EQ(it->stock.QTAKG, c.kg) << c.protocol;
        EXPECT_DOUBLE_EQ(it->stock.QTALIT, c.litres) << c.protocol;
        EXPECT_NEAR(it->stock.ETTOGR, c.hlDegrees, 1e-9) << c.protocol;
        EXPECT_EQ(it->lastMovement == 0 ? "" : formatDate(it->lastMovement), c.lastMovement) << c.protocol;
    }
}

TEST_F(DashboardTest, ExciseIsTheSummaryWindowsProposalAndItsRecordIsFollowed) {
    BooksStanding s = standing();
    const PeriodSummary period = *summarisePeriod(work.folders, 2024, "03");
    EXPECT_EQ(s.excise.period, "03");
    EXPECT_DOUBLE_EQ(s.excise.amount, summaryTotal(period.exciseDue, period.creditsUsed, period.reversals));
    EXPECT_DOUBLE_EQ(s.excise.amount, 35.88 + 17.94); // the whole of March, as the summary will declare it
    EXPECT_FALSE(s.excise.recorded);
    EXPECT_EQ(formatDate(s.excise.paymentDue), "16/04/2024");
    EXPECT_EQ(formatDate(s.excise.sendingDue), "16/04/2024");

    // A credit of March used for 10,00 and, for a registered consignee, a taxed receipt
    // of today: each computation still agrees with the summary window's.
    Movement credit = dutyRecord("D", "2024", "03");
    credit.ETTOGR = 10;
    addDutyRecord(work.folders.dutyFile(2024), credit);
    addToRegister(work.folders, inRegister("20/03/2024", "C", "F", "FS1", 0, 40, 12.5)); // document "DAA"
    s = standing();
    const PeriodSummary withCredit = *summarisePeriod(work.folders, 2024, "03");
    EXPECT_DOUBLE_EQ(s.excise.amount,
                     summaryTotal(withCredit.exciseDue, withCredit.creditsUsed, withCredit.reversals));
    EXPECT_DOUBLE_EQ(s.excise.amount, 53.82 - 10 - 12.5); // the taxed load is a reversal here
    const BooksStanding byDay = computeBooksStanding(work.folders, today, true, "ABCD");
    EXPECT_TRUE(byDay.excise.byDay);
    EXPECT_DOUBLE_EQ(byDay.excise.amount, summariseDay(work.folders, today));
    EXPECT_DOUBLE_EQ(byDay.excise.amount, 12.5);

    Movement summary = dutyRecord("E", "2024", "03");
    addDutyRecord(work.folders.dutyFile(2024), summary);
    s = standing();
    EXPECT_TRUE(s.excise.recorded);
    EXPECT_FALSE(s.excise.sent);
}

TEST_F(DashboardTest, UnsentRecordsAreThoseOfTheFlowListAndTheLastFlowIsTheLatestMarked) {
    addDutyRecord(work.folders.dutyFile(2024), dutyRecord("D", "2024", "02"));
    const BooksStanding s = standing();
    int total = 0;
    for (const UnsentStanding& u : s.unsent) total += u.count;
    EXPECT_EQ(static_cast<std::size_t>(total), buildFlowList(work.folders, 2024, false).lines.size());
    ASSERT_EQ(s.unsent.size(), 4u);
    EXPECT_EQ(s.unsent[1].kind, "Movimenti");
    EXPECT_EQ(s.unsent[1].count, 2);
    EXPECT_EQ(formatDate(s.unsent[1].oldest), "05/03/2024");
    EXPECT_EQ(s.unsent[3].count, 1); // the credit
    EXPECT_EQ(s.lateSince, 0);       // nothing older than its sending date (16/04 for March)

    ASSERT_TRUE(s.lastFlow.any);
    EXPECT_EQ(s.lastFlow.number, 2);
    EXPECT_EQ(formatDate(s.lastFlow.date), "15/02/2024");
    EXPECT_EQ(s.lastFlow.name, flowFileName("ABCD", 2, day("15/02/2024")));
    EXPECT_FALSE(s.lastFlow.signedCopy);
    EXPECT_EQ(s.lastFlow.outcome, "");
}

TEST_F(DashboardTest, TheLastFlowLineTellsTheFileOfSentFlowsOrElseTheRecords) {
    // The records carry flow 1 of 10/01 (initial stocks) and flow 2 of 15/02 (the malt).
    struct Event {
        const char* name;
        const char* flowDate;
        const char* event;
        char environment;
        const char* detail;
    };
    struct Case {
        const char* what;
        std::vector<Event> events; // none: no file of sent flows
        const char* line;          // the page's "Ultimo flusso" line
        bool sent;
    };
    const Case cases[] = {
        {"no file: from the records", {}, "ABCD0215.C02 del 15/02/2024, ambiente non registrato, non ancora firmato",
         false},
        {"sent to test and accepted",
         {{"ABCD0215.C02", "15/02/2024", "INVIO", 'P', "localhost:8443"},
          {"ABCD0215.C02", "15/02/2024", "ESITO", 'P', "24IT000001 ESITO POSITIVO"}},
         "ABCD0215.C02 del 15/02/2024, ambiente di prova, ESITO POSITIVO", true},
        {"then sent to the real environment, no outcome there yet",
         {{"ABCD0215.C02", "15/02/2024", "INVIO", 'P', "localhost:8443"},
          {"ABCD0215.C02", "15/02/2024", "ESITO", 'P', "24IT000001 ESITO POSITIVO"},
          {"ABCD0215.C02", "15/02/2024", "INVIO", 'R', "agenzia:443"},
          {"ABCD0215.C02", "15/02/2024", "ESITO", 'P', "24IT000001 ESITO POSITIVO"}}, // the test's, asked again
         "ABCD0215.C02 del 15/02/2024, ambiente reale, inviato, esito non ricevuto", true},
        {"the outcome asked for too early",
         {{"ABCD0215.C02", "15/02/2024", "INVIO", 'R', "agenzia:443"},
          {"ABCD0215.C02", "15/02/2024", "ATTESA", 'R', ""}},
         "ABCD0215.C02 del 15/02/2024, ambiente reale, esito in attesa", true},
        {"the latest flow by date, whatever the order of the events",
         {{"ABCD0215.C02", "15/02/2024", "INVIO", 'R', "agenzia:443"},
          {"ABCD0215.C02", "15/02/2024", "ESITO", 'R', "24IT000002 ESITO NEGATIVO - SCARTATO"},
          {"ABCD0110.C01", "10/01/2024", "INVIO", 'P', "localhost:8443"}},
         "ABCD0215.C02 del 15/02/2024, ambiente reale, ESITO NEGATIVO - SCARTATO", true},
        {"a later flow of the file whose records were reactivated",
         {{"ABCD0215.C02", "15/02/2024", "INVIO", 'P', "localhost:8443"},
          {"ABCD0318.C03", "18/03/2024", "INVIO", 'R', "agenzia:443"},
          {"ABCD0318.C03", "18/03/2024", "ESITO", 'R', "24IT000003 ESITO POSITIVO"}},
         "ABCD0318.C03 del 18/03/2024, ambiente reale, ESITO POSITIVO", true},
        {"the records carry a later flow than the file knows",
         {{"ABCD0110.C01", "10/01/2024", "INVIO", 'P', "localhost:8443"}},
         "ABCD0215.C02 del 15/02/2024, ambiente non registrato, non ancora firmato", false},
    };
    const fs::path file = work.folders.general(kSentFlowsFile);
    for (const Case& c : cases) {
        fs::remove(file);
        for (const Event& e : c.events)
            appendSentFlowEvent(work.folders,
                                {e.name, day(e.flowDate), e.event, e.environment, "20240320 101500", e.detail}, prompt);
        const BooksStanding s = standing();
        EXPECT_EQ(s.lastFlow.sent, c.sent) << c.what;
        const auto lines = dashboardLines(s);
        const auto heading = std::find_if(lines.begin(), lines.end(),
                                          [](const DashboardLine& l) { return l.text == "Ultimo flusso"; });
        ASSERT_NE(heading, lines.end());
        ASSERT_NE(heading + 1, lines.end());
        EXPECT_EQ(heading[1].text, c.line) << c.what;
        EXPECT_EQ(heading[1].command, "ACREAFIRINVFLUSSO") << c.what;
    }
}

TEST_F(DashboardTest, LastYearsUnsentRecordsAreCountedAndWarned) {
    // A December unload of 2023 never sent: on 20/03/2024 it is the oldest unsent
    // movement and long past its sending date; a sent one of 2023 is not counted.
    Movement december = inRegister("18/12/2023", "S", "F", "FS1", 0, 10, 3.59);
    december.ANNPRO = "2023";
    addToRegister(work.folders, december);
    Movement sentDecember = sent(inRegister("19/12/2023", "S", "F", "FS1", 0, 10, 3.59), "10/01/2024", 1);
    sentDecember.ANNPRO = "2023";
    addToRegister(work.folders, sentDecember);
    addDutyRecord(work.folders.dutyFile(2023), dutyRecord("D", "2023", "12"));
    const BooksStanding s = standing();
    EXPECT_EQ(s.unsent[1].count, 3); // two of 2024, one of 2023
    EXPECT_EQ(formatDate(s.unsent[1].oldest), "18/12/2023");
    EXPECT_EQ(s.unsent[3].count, 1); // the credit of 2023
    EXPECT_NE(s.lateSince, 0);
}

TEST_F(DashboardTest, AnUnsentRecordPastItsSendingDateIsWarned) {
    // January's records are sent by 16/02: one still unsent on 20/03 is late.
    addToRegister(work.folders, inRegister("10/01/2024", "C", "M", "MP1", 10, 0, 0));
    const BooksStanding s = standing();
    EXPECT_EQ(formatDate(s.lateSince), "10/01/2024");
    EXPECT_EQ(formatDate(s.lateDeadline), "16/02/2024");
    const auto lines = dashboardLines(s);
    const auto warning = std::find_if(lines.begin(), lines.end(), [](const DashboardLine& l) {
        return l.kind == DashboardLine::Kind::Warning && l.text.find("10/01/2024") != std::string::npos;
    });
    ASSERT_NE(warning, lines.end());
    EXPECT_EQ(warning->text, "ATTENZIONE: record del 10/01/2024 non ancora inviati, scadenza di invio 16/02/2024");
    EXPECT_EQ(warning->command, "ACREAFIRINVFLUSSO");
}

TEST_F(DashboardTest, EveryLineButTheHeadingsOpensAWindow) {
    const auto lines = dashboardLines(standing([] { return std::optional<int>(0); }));
    for (const DashboardLine& l : lines) {
        if (l.kind == DashboardLine::Kind::Heading) EXPECT_EQ(l.command, "") << l.text;
        else EXPECT_NE(l.command, "") << l.text;
    }
    const std::vector<std::string> expectedStart = {
        "Registri validi oggi, 20/03/2024",
        "Materie prime (prot. MP1): giacenza 6.200 kg, ultimo movimento 10/02/2024",
    };
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, expectedStart[0]);
    EXPECT_EQ(lines[1].text, expectedStart[1]);
    const auto excise = std::find_if(lines.begin(), lines.end(), [](const DashboardLine& l) { return l.command == "ARECORDE"; });
    ASSERT_NE(excise, lines.end());
    EXPECT_EQ(excise->text, "Riepilogo 03/2024 (Marzo): accisa 53,82, riepilogo non registrato");
}

TEST(DashboardAudit, TheVerdictLineFollowsTheAuditsCount) {
    struct Case {
        std::optional<int> problems;
        const char* text;
        DashboardLine::Kind kind;
        const char* command;
    };
    const Case cases[] = {
        {std::nullopt, "Controllo non disponibile", DashboardLine::Kind::Item, ""},
        {0, "nessun problema", DashboardLine::Kind::Item, kAuditCommand},
        {1, "1 problema trovato", DashboardLine::Kind::Warning, kAuditCommand},
        {3, "3 problemi trovati", DashboardLine::Kind::Warning, kAuditCommand},
    };
    WorkingFolder work;
    for (const Case& c : cases) {
        const BooksStanding s =
            computeBooksStanding(work.folders, day("20/03/2024"), false, "ABCD", [&] { return c.problems; });
        const DashboardLine last = dashboardLines(s).back();
        EXPECT_EQ(last.text, c.text);
        EXPECT_EQ(last.kind, c.kind);
        EXPECT_EQ(last.command, c.command);
    }
}

TEST(DashboardDeadlines, PeriodsAndTheirDatesFromTheDeliveredTable) {
    const auto table = parseDeadlines(deliveredDeadlinesText());
    EXPECT_EQ(table.size(), 13u); // eleven months and the two halves of December
    struct Case {
        const char* day;
        const char* period;
        const char* payment;
    };
    const Case cases[] = {
        {"01/01/2024", "01", "16/02/2024"},
        {"30/11/2024", "11", "16/12/2024"},
        {"15/12/2024", "21", "27/12/2024"},
        {"16/12/2024", "22", "16/01/2025"}, // paid in the next year
    };
    for (const Case& c : cases) {
        EXPECT_EQ(periodOfDay(day(c.day)), c.period) << c.day;
        EXPECT_EQ(formatDate(paymentDueDay(table, c.period, 2024)), c.payment) << c.day;
    }
}

TEST(DashboardDeadlines, TheClerksEditsCountAndBadLinesAreSkipped) {
    const auto table = parseDeadlines("# commento\r\n03;20/04;30/04\r\n04;99/05;16/05\n12;16/01;16/01\nxx\n");
    ASSERT_EQ(table.size(), 1u); // day 99 and the code "12" are not periods' lines
    EXPECT_EQ(formatDate(paymentDueDay(table, "03", 2024)), "20/04/2024");
    EXPECT_EQ(formatDate(sendingDueDay(table, "03", 2024)), "30/04/2024");
    EXPECT_EQ(paymentDueDay(table, "04", 2024), 0);
}

TEST(DashboardDeadlines, TheTableIsDeliveredWhenFirstEditedAndThenReadAsEdited) {
    WorkingFolder work;
    EXPECT_EQ(readDeadlines(work.folders).size(), 13u);
    EXPECT_FALSE(fs::exists(deadlinesFile(work.folders))); // reading wrote nothing
    EXPECT_EQ(fileBytes(deadlinesFileToEdit(work.folders)), deliveredDeadlinesText());
    writeWholeFile(deadlinesFile(work.folders), "03;20/04;30/04\n");
    EXPECT_EQ(readDeadlines(work.folders).size(), 1u);
    EXPECT_EQ(fileBytes(deadlinesFileToEdit(work.folders)), "03;20/04;30/04\n"); // never overwritten
}

} // namespace
} // namespace accise
