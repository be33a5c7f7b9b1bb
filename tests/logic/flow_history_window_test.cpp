// The sent flows window driven without a display: a small folder with a flow created,
// one signed, one sent and one rejected by the agency.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>

#include "core/books/movementfile.h"
#include "core/files/recordfile.h"
#include "core/flow/agencysoap.h"
#include "core/flow/flowfile.h"
#include "core/flow/flowlist.h"
#include "core/flow/outcomeerrors.h"
#include "core/flow/outcomereport.h"
#include "core/flow/sentflows.h"
#include "core/tables/company.h"
#include "core/tables/dates.h"
#include "logic/telematic/flowhistorywindow.h"
#include "logic/telematic/flowreactivationwindow.h"
#include "logic/telematic/transmissionwindow.h"
#include "window_fixtures.h"

using namespace accise;
using namespace accise::testing;

namespace {

class OutcomeAgency : public AgencyService {
public:
    std::deque<AgencyReply> gets; // answered front to back; a failure when empty
    std::vector<std::pair<AgencyEnvironment, std::string>> asked;

    AgencyReply put(AgencyEnvironment, const std::optional<AgencyCredentials>&, const std::string&,
                    const std::string&) override {
        return {false, {}, {}, "non previsto"};
    }
    AgencyReply get(AgencyEnvironment environment, const std::optional<AgencyCredentials>&,
                    const std::string& fileName) override {
        asked.emplace_back(environment, fileName);
        if (gets.empty()) return {false, {}, {}, "nessuna risposta"};
        AgencyReply reply = gets.front();
        gets.pop_front();
        return reply;
    }
};

Movement unload(std::int32_t numrec, double litres) {
    Movement m = blankMovement();
    m.NUMREC = numrec;
    m.TIPREC = "C";
    m.TIPOPE = "I";
    m.TIPREG = "F";
    m.TIPMOV = "S";
    m.TIPDOC = "DAS";
    m.DATMOV = todayDayNumber();
    m.QTALIT = litres;
    return m;
}

// An outcome header: registration number in characters 28-42, the outcome in 43.
std::string outcomeHeader(const std::string& registration, char outcome) {
    std::string line = "AB12ALCODA0315     ITAB12X ";
    line += std::string(15 - registration.size(), '0') + registration;
    return line + outcome + " ELABORATO";
}

struct SentFlows : WorkingFolder {
    RecordingPrompt prompt;
    FakeServices services;
    OutcomeAgency agency;
    CommandContext ctx = context();
    fs::path sign = dir / "dafirmare", signedDir = dir / "firmati";
    double today = todayDayNumber();
    int year = yearOf(today);
    // Flow 1 created, 2 signed, 3 sent for test, 4 sent for real and rejected (two
    // records); record 6 unsent.
    std::vector<Movement> records = {unload(1, 100), unload(2, 200), unload(3, 300),
                                     unload(4, 400), unload(5, 500), unload(6, 600)};

    std::string name(int n) const { return flowFileName("AB12", n, today); }

    void event(int flow, const char* what, char environment, const std::string& detail) {
        appendSentFlowEvent(folders, {name(flow), today, what, environment, "20260101 120000", detail}, prompt);
    }

    SentFlows() {
        fs::create_directories(sign);
        fs::create_directories(signedDir);
        writeApplConfig(folders, {"/opt/FirmaVerifica.exe", sign.string() + "/", signedDir.string() + "/", "x"});
        ctx.company = blankAddress();
        ctx.company.user_code = "AB12";
        ctx.company.postcode2 = "ALCODA";
        ctx.company.id1 = "IT00ABC12345X";
        ctx.flowYear = std::to_string(year);
        const FlowCompany company = FlowCompany::of(ctx.company);
        const std::vector<int> flowOf = {1, 2, 3, 4, 4, 0};
        std::string stored;
        for (int flow = 1; flow <= 4; ++flow) {
            // The flow is written from the unmarked copies, as creation does.
            std::vector<Movement> carried;
            for (std::size_t i = 0; i < records.size(); ++i)
                if (flowOf[i] == flow) carried.push_back(records[i]);
            writeWholeFile(sign / name(flow), flowFileBytes(company, name(flow), carried));
            if (flow >= 2) writeWholeFile(signedDir / (name(flow) + ".p7m"), "firmato");
        }
        for (std::size_t i = 0; i < records.size(); ++i) {
            if (flowOf[i]) {
                records[i].DATFLU = today;
                records[i].NUMFLU = flowOf[i];
            }
            stored += encodeMovement(records[i]);
        }
        writeWholeFile(folders.registerFile(year), stored);
        event(3, "INVIO", 'P', "prova.example:443");
        event(4, "INVIO", 'P', "prova.example:443");
        event(4, "INVIO", 'R', "reale.example:443");
        event(4, "ESITO", 'R', "000000000000999 ESITO NEGATIVO - SCARTATO");
        // Flow 4's outcome as this desk received it: line 4 of the flow is record 5.
        writeWholeFile(folders.inTemp(outcomeFileName(name(4) + ".p7m")),
                       "preambolo riga 3\r\n" + outcomeHeader("999", '1') +
                           "\r\n Sriga 1: avviso\r\n Eriga 4: quantita' non valida\r\n Eriga 9: riga inesistente\r\n"
                           " Efile: conteggi errati\r\n");
    }
};

TEST(FlowHistoryWindow, ListsTheYearsFlowsFromTheFilesAndTheSentFlowsFile) {
    SentFlows f;
    FlowHistoryLogic window(f.ctx, f.prompt, f.services, f.agency);
    window.open();
    const std::string day = formatDate(f.today);
    // Flusso, Data, C D E F R, Firmato, Inviato, N° registrazione, Esito
    const std::vector<std::vector<std::string>> expected = {
        {f.name(1), day, "1", "0", "0", "0", "0", "NO", "NO", "", ""},
        {f.name(2), day, "1", "0", "0", "0", "0", "SI", "NO", "", ""},
        {f.name(3), day, "1", "0", "0", "0", "0", "SI", "PROVA", "", ""},
        {f.name(4), day, "2", "0", "0", "0", "0", "SI", "PROVA+REALE", "000000000000999", "ESITO NEGATIVO - SCARTATO"},
    };
    ASSERT_EQ(window.rows().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(window.rowTexts(i), expected[i]) << i;
    EXPECT_EQ(FlowHistoryLogic::columnTitles().size(), expected[0].size());

    // A year without flows lists none; a year that is not one is refused and kept.
    EXPECT_TRUE(window.setYear(std::to_string(f.year - 1)));
    EXPECT_TRUE(window.rows().empty());
    EXPECT_FALSE(window.setYear("20x6"));
    EXPECT_EQ(f.prompt.messages.back(), kFlowHistoryYearInvalid);
    EXPECT_EQ(window.year(), std::to_string(f.year - 1));
}

TEST(FlowHistoryWindow, TheRejectedFlowsErrorLinesNameTheirRecords) {
    SentFlows f;
    FlowHistoryLogic window(f.ctx, f.prompt, f.services, f.agency);
    window.open();
    window.showOutcome(3);
    ASSERT_EQ(window.errors().size(), 3u);
    const auto& errors = window.errors();
    EXPECT_EQ(errors[0].flowLine, 4);
    EXPECT_EQ(errors[0].record, reactivationListLine(f.records[4], false)); // record 5, 500 litres
    EXPECT_NE(errors[0].record, reactivationListLine(f.records[3], false));
    EXPECT_EQ(errors[1].flowLine, 9); // the flow has 4 lines
    EXPECT_EQ(errors[1].flowLineText, "");
    EXPECT_EQ(errors[1].record, "");
    EXPECT_EQ(errors[2].flowLine, 0);
    const std::vector<std::string>& d = window.detailLines();
    const auto at = std::find(d.begin(), d.end(), "E riga 4: quantita' non valida");
    ASSERT_NE(at, d.end());
    EXPECT_EQ(*(at + 1), "    -> " + errors[0].record);
    EXPECT_NE(std::find(d.begin(), d.end(), "    -> nessun record del flusso corrisponde alla riga 9"), d.end());
    EXPECT_NE(std::find(d.begin(), d.end(), "    -> l'errore riguarda tutto il flusso"), d.end());

    // A flow whose outcome never reached this desk says so.
    window.showOutcome(2);
    EXPECT_TRUE(window.detailLines().empty());
    EXPECT_EQ(f.prompt.messages.back(), kNoOutcomeYet);
}

TEST(FlowHistoryWindow, ErrorLinesAndTheLinesTheyName) {
    struct Case {
        const char* text;
        int line;
    } cases[] = {{"riga 12: importo", 12}, {"RIGA 3 campo", 3}, {"Riga  7", 7}, {"file: conteggi", 0},
                 {"riga: manca", 0},       {"rigatone 5", 0},   {"riga 1234567", 0}};
    for (const Case& c : cases) EXPECT_EQ(namedFlowLine(c.text), c.line) << c.text;

    // Only " E" lines after the first header line count; warnings do not.
    const auto errors = outcomeErrorLines(" Eprima della testata\n" + outcomeHeader("7", '1') +
                                          "\n Sriga 2: avviso\n Eriga 5: data\r\n E\nEriga 6\n");
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].text, "riga 5: data");
    EXPECT_EQ(errors[0].flowLine, 5);
    EXPECT_EQ(errors[1].text, "");
}

TEST(FlowHistoryWindow, AnOutcomeAskedAgainIsLateFirstAndArrivesLater) {
    SentFlows f;
    FlowHistoryLogic window(f.ctx, f.prompt, f.services, f.agency);
    std::vector<int> pauses;
    window.setPause([&pauses](int seconds) { pauses.push_back(seconds); });
    window.open();

    window.askOutcome(1); // signed, never sent
    EXPECT_EQ(f.prompt.messages.back(), kFlowNeverSent);
    EXPECT_TRUE(f.agency.asked.empty());

    window.askOutcome(2); // sent for test; the service does not answer
    ASSERT_EQ(f.agency.asked.size(), 3u);
    EXPECT_EQ(f.agency.asked[0].first, AgencyEnvironment::Test);
    EXPECT_EQ(f.prompt.messages.back(), kOutcomeNotYet);
    EXPECT_EQ(window.rowTexts(2)[10], "IN ATTESA");

    f.agency.gets.push_back({true, "ok", outcomeHeader("4242", '0') + "\r\n", {}});
    window.askOutcome(2);
    EXPECT_EQ(window.rowTexts(2)[9], "000000000004242");
    EXPECT_EQ(window.rowTexts(2)[10], kOutcomeAccepted);
    EXPECT_TRUE(window.errors().empty());
    EXPECT_NE(std::find(window.detailLines().begin(), window.detailLines().end(), kOutcomeAccepted),
              window.detailLines().end());

    window.askOutcome(3); // the last send of flow 4 went to the real environment
    EXPECT_EQ(f.agency.asked.back().first, AgencyEnvironment::Real);
}

TEST(FlowHistoryWindow, SendAndReactivateOpenTheirWindowsOnTheRowsFlow) {
    SentFlows f;
    FlowHistoryLogic window(f.ctx, f.prompt, f.services, f.agency);
    window.open();
    window.send(0); // not signed
    EXPECT_EQ(f.prompt.messages.back(), kNotSigned);
    EXPECT_TRUE(f.services.openedWindows.empty());
    window.send(1);
    EXPECT_EQ(f.services.openedWindows, std::vector<std::string>{kTransmissionWindow});
    EXPECT_EQ(f.ctx.flowFileName, f.name(2));

    window.reactivate(3);
    EXPECT_EQ(f.services.openedWindows.back(), "AAZZDATIFLUSSO");
    window.send(99);
    EXPECT_EQ(f.prompt.messages.back(), kNoFlowChosen);

    // The reactivation window opens on the flow it is given, not on today's last one.
    f.ctx.reactivationFlowDate = f.today;
    f.ctx.reactivationFlowNumber = 2;
    FlowReactivationLogic reactivation(f.ctx, f.prompt, f.services);
    reactivation.open();
    EXPECT_EQ(reactivation.value("INUCO"), "2");
    EXPECT_EQ(reactivation.list().lines().size(), 1u);
    EXPECT_EQ(f.ctx.reactivationFlowDate, 0);
}

} // namespace
