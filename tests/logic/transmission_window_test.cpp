// The transmission window driven without a display, against a scripted service.
#include <gtest/gtest.h>

#include <deque>

#include "core/files/recordfile.h"
#include "core/flow/outcomereport.h"
#include "core/tables/company.h"
#include "logic/telematic/transmissionwindow.h"
#include "window_fixtures.h"

using namespace accise;
using namespace accise::testing;

namespace {

struct Call {
    std::string operation; // "put" or "get"
    AgencyEnvironment environment;
    std::optional<AgencyCredentials> credentials;
    std::string fileName;
    std::string content;
};

class ScriptedAgency : public AgencyService {
public:
    std::deque<AgencyReply> puts, gets; // answered front to back; a failure when empty
    std::vector<Call> calls;

    AgencyReply put(AgencyEnvironment environment, const std::optional<AgencyCredentials>& credentials,
                    const std::string& fileName, const std::string& content) override {
        calls.push_back({"put", environment, credentials, fileName, content});
        return next(puts);
    }
    AgencyReply get(AgencyEnvironment environment, const std::optional<AgencyCredentials>& credentials,
                    const std::string& fileName) override {
        calls.push_back({"get", environment, credentials, fileName, {}});
        return next(gets);
    }

private:
    static AgencyReply next(std::deque<AgencyReply>& replies) {
        if (replies.empty()) return {false, {}, {}, "nessuna risposta"};
        AgencyReply reply = replies.front();
        replies.pop_front();
        return reply;
    }
};

AgencyReply accepted() {
    return {true, "File AB120315.C01.p7m ricevuto con successo", {}, {}};
}

AgencyReply outcomeFile(char outcome) {
    return {true, "ok",
            "AB12ALCODA0315     ITAB12X 000000000012345" + std::string(1, outcome) + " ELABORATO\r\n Savviso\r\n",
            {}};
}

struct Transmission : WorkingFolder {
    RecordingPrompt prompt;
    FakeServices services;
    ScriptedAgency agency;
    CommandContext ctx = context();
    fs::path signedDir = dir / "firmati";
    fs::path signedFile = signedDir / "AB120315.C01.p7m";
    TransmissionLogic window{ctx, prompt, services, agency};
    std::vector<int> pauses; // seconds, instead of sleeping

    Transmission() {
        fs::create_directories(signedDir);
        window.setPause([this](int seconds) { pauses.push_back(seconds); });
        // An installation whose real environment has been set.
        writeWholeFile(folders.general(kServiceSettingsFile), "HOST_REALE=reale.example\r\n");
        writeApplConfig(folders, {"/opt/fv", (dir / "dafirmare").string(), signedDir.string(), "x"});
        WebAddresses web;
        for (int i = 0; i < 8; ++i) web[i] = "https://web" + std::to_string(i + 1);
        writeWebConfig(folders, web);
        ctx.company = blankAddress();
        ctx.company.street2 = "UTENTE";
        ctx.flowFileName = "AB120315.C01";
        window.open();
    }
    // The signed file appears and one wait pass sees it.
    void signAndWait() {
        writeWholeFile(signedFile, std::string("P7M\0bytes", 9));
        window.startWaitPass();
        window.secondElapsed();
    }
    std::vector<std::string> operations() const {
        std::vector<std::string> out;
        for (const Call& c : agency.calls)
            out.push_back(c.operation + (c.environment == AgencyEnvironment::Real ? " reale" : " prova"));
        return out;
    }
};

TEST(TransmissionWindow, WaitsForTheSignedFileThenOffersTheEnvironments) {
    Transmission t;
    EXPECT_EQ(t.window.title(), "SERVIZIO TELEMATICO DOGANALE - TRASMISSIONE FILE");
    EXPECT_EQ(t.window.value("Label2"), "AB120315.C01");
    t.window.startWaitPass();
    EXPECT_EQ(t.window.value("Label4"), t.signedFile.string() + " - 1");
    t.window.secondElapsed();
    t.window.secondElapsed();
    EXPECT_EQ(t.window.value("Label4"), t.signedFile.string() + " - 3");
    EXPECT_TRUE(t.window.waiting());
    EXPECT_FALSE(t.window.choiceShown());

    EXPECT_EQ(t.window.confirmChecks(), "RICHED");
    EXPECT_EQ(t.prompt.messages.back(), kNotSigned);

    writeWholeFile(t.signedFile, "x");
    t.window.secondElapsed();
    EXPECT_FALSE(t.window.waiting());
    EXPECT_TRUE(t.window.signedSeen());
    EXPECT_TRUE(t.window.choiceShown());

    EXPECT_EQ(t.window.confirmChecks(), "GAMBIENTE");
    EXPECT_EQ(t.prompt.messages.back(), kNoEnvironment);
    EXPECT_TRUE(t.agency.calls.empty());
}

TEST(TransmissionWindow, TestAcceptedAndOkSendsTheSameFileToTheRealEnvironment) {
    Transmission t;
    t.ctx.company.street2 = " MRARSS-00-01 ";
    t.ctx.company.city2 = " segreta ";
    t.signAndWait();
    t.agency.puts = {accepted(), accepted()};
    t.agency.gets = {outcomeFile('0'), outcomeFile('0')};
    t.prompt.answers = {true};
    t.window.setValue("GAMBIENTE", TransmissionLogic::kTest);
    EXPECT_EQ(t.window.confirm(), std::nullopt);

    EXPECT_EQ(t.operations(), (std::vector<std::string>{"put prova", "get prova", "put reale", "get reale"}));
    for (const Call& c : t.agency.calls) {
        ASSERT_TRUE(c.credentials);
        EXPECT_EQ(c.credentials->user, "MRARSS-00-01");
        EXPECT_EQ(c.credentials->password, "segreta");
    }
    EXPECT_EQ(t.agency.calls[0].fileName, "AB120315.C01.p7m");
    EXPECT_EQ(t.agency.calls[0].content, std::string("P7M\0bytes", 9));
    EXPECT_EQ(t.agency.calls[1].fileName, "AB120315.J01.p7m");
    EXPECT_EQ(t.prompt.questions, std::vector<std::string>{kAcceptedInTest});
    EXPECT_EQ(t.window.value("GAMBIENTE"), TransmissionLogic::kReal);
    EXPECT_TRUE(t.window.sent());
    EXPECT_EQ(t.window.outcome(), kOutcomeAccepted);
    EXPECT_EQ(t.window.value("RICHED"), "N° REGISTRAZIONE DEL FILE: 000000000012345\nESITO POSITIVO\n ELABORATO\n"
                                         "ACCETTATO CON SEGNALAZIONI: avviso");
    // The report file and the delivered outcome file are in the temp folder.
    EXPECT_EQ(readRecords(t.folders.inTemp(kReportFile), 1, IfMissing::Empty).bytes().substr(0, 30),
              "N\xB0 REGISTRAZIONE DEL FILE: 000");
    EXPECT_TRUE(fileExists(t.folders.inTemp("AB120315.J01.p7m")));

    t.prompt.messages.clear();
    EXPECT_EQ(t.window.confirmChecks(), "RICHED");
    EXPECT_EQ(t.prompt.messages, std::vector<std::string>{kAlreadySent});
    t.window.queryEdi();
    EXPECT_EQ(t.services.openedAddresses, std::vector<std::string>{"https://web4"});
}

TEST(TransmissionWindow, TestAcceptedAndNoStopsThere) {
    Transmission t;
    t.signAndWait();
    t.agency.puts = {accepted()};
    t.agency.gets = {outcomeFile('0')};
    t.prompt.answers = {false};
    t.window.setValue("GAMBIENTE", TransmissionLogic::kTest);
    t.window.confirm();
    EXPECT_EQ(t.operations(), (std::vector<std::string>{"put prova", "get prova"}));
    EXPECT_FALSE(t.agency.calls[0].credentials); // no "-00" in the user name
    EXPECT_FALSE(t.window.sent());
    EXPECT_EQ(t.prompt.messages, std::vector<std::string>{std::string(kServiceAnswer) + accepted().text});
    t.window.queryEdi();
    EXPECT_EQ(t.services.openedAddresses, std::vector<std::string>{"https://web6"});
    // The outcome's header signed the flow again: the clerk may send it to the real one.
    t.window.setValue("GAMBIENTE", TransmissionLogic::kReal);
    EXPECT_EQ(t.window.confirmChecks(), std::nullopt);
}

TEST(TransmissionWindow, SendFailuresAndAnswersWithoutSuccess) {
    struct Case {
        const char* name;
        const char* environment;
        AgencyReply reply;
        std::vector<std::string> messages;
    };
    const std::vector<Case> cases = {
        {"refused in the real environment", TransmissionLogic::kReal, {true, "ERRORE: file non valido", {}, {}},
         {std::string(kServiceAnswer) + "ERRORE: file non valido"}},
        {"fault that mentions success", TransmissionLogic::kTest, {false, {}, {}, "fault: nessun successo"},
         {kConnectionError, std::string(kServiceAnswer) + "ERRORE"}},
        {"no connection", TransmissionLogic::kReal, {false, {}, {}, "connessione rifiutata"},
         {kConnectionError, std::string(kServiceAnswer) + "ERRORE"}},
    };
    for (const Case& c : cases) {
        Transmission t;
        t.signAndWait();
        t.agency.puts = {c.reply};
        t.window.setValue("GAMBIENTE", c.environment);
        t.window.confirm();
        EXPECT_EQ(t.agency.calls.size(), 1u) << c.name; // no outcome request
        EXPECT_EQ(t.prompt.messages, c.messages) << c.name;
        EXPECT_FALSE(t.window.sent()) << c.name;
        if (!c.reply.ok) {
            EXPECT_EQ(t.window.value("RICHED"), "ERRORE DI TRASMISSIONE: " + c.reply.error) << c.name;
        }
        // The window stays usable: the clerk may confirm again.
        EXPECT_EQ(t.window.confirmChecks(), std::nullopt) << c.name;
    }
}

TEST(TransmissionWindow, OutcomeIsAskedThreeTimesAtMost) {
    {
        Transmission t;
        t.signAndWait();
        t.agency.puts = {accepted()};
        t.window.setValue("GAMBIENTE", TransmissionLogic::kTest);
        t.window.confirm();
        EXPECT_EQ(t.operations(), (std::vector<std::string>{"put prova", "get prova", "get prova", "get prova"}));
        // A late outcome is not a rejection: the clerk is told to ask again later.
        EXPECT_EQ(t.prompt.messages,
                  (std::vector<std::string>{std::string(kServiceAnswer) + accepted().text, attemptMessage(1),
                                            attemptMessage(2), attemptMessage(3), kOutcomeNotYet}));
        EXPECT_EQ(t.pauses, (std::vector<int>{2, 4}));
        EXPECT_FALSE(t.window.outcomeArrived());
        EXPECT_TRUE(t.prompt.questions.empty());
        EXPECT_EQ(attemptMessage(2), "Tentativo di connessione N. 2, verifica la disponibilità del sito delle dogane");
        EXPECT_EQ(t.window.reportLines(), (std::vector<std::string>{kDetailsMissing1, kDetailsMissing2,
                                                                     " -- ULTIMO ERRORE: nessuna risposta -- "}));
        EXPECT_EQ(t.window.outcome(), kOutcomeMissing);
        // The outcome request cleared the signed flag; the next wait pass sets it again.
        EXPECT_EQ(t.window.confirmChecks(), "RICHED");
        t.window.startWaitPass();
        t.window.secondElapsed();
        EXPECT_TRUE(t.window.signedSeen());
    }
    {
        Transmission t;
        t.signAndWait();
        t.agency.puts = {accepted()};
        t.agency.gets = {{false, {}, {}, "timeout"}, {false, {}, {}, "timeout"}, outcomeFile('1')};
        t.window.setValue("GAMBIENTE", TransmissionLogic::kTest);
        t.window.confirm();
        EXPECT_EQ(t.agency.calls.size(), 4u);
        EXPECT_EQ(t.prompt.messages,
                  (std::vector<std::string>{std::string(kServiceAnswer) + accepted().text, attemptMessage(1),
                                            attemptMessage(2), kFileHasErrors}));
        EXPECT_EQ(t.window.outcome(), kOutcomeRejected);
        EXPECT_TRUE(t.prompt.questions.empty());
    }
}

TEST(TransmissionWindow, ALateOutcomeIsFetchedWhenAskedAgain) {
    Transmission t;
    t.signAndWait();
    t.agency.puts = {accepted()};
    t.window.setValue("GAMBIENTE", TransmissionLogic::kTest);
    t.window.confirm();
    ASSERT_FALSE(t.window.outcomeArrived());
    t.prompt.messages.clear();
    t.agency.gets = {outcomeFile('1')};
    EXPECT_EQ(t.window.askOutcomeAgain(AgencyEnvironment::Test), kOutcomeRejected);
    EXPECT_TRUE(t.window.outcomeArrived());
    EXPECT_TRUE(t.prompt.messages.empty());
    EXPECT_EQ(t.window.reportLines()[1], kOutcomeRejected);
}

TEST(TransmissionWindow, ARealSendNeedsARealEnvironmentOfItsOwn) {
    for (const std::string& settings : {std::string(), std::string("HOST_REALE=localhost\r\nPORTA_REALE=8443\r\n")}) {
        Transmission t;
        writeWholeFile(t.folders.general(kServiceSettingsFile), settings);
        t.signAndWait();
        t.window.setValue("GAMBIENTE", TransmissionLogic::kReal);
        EXPECT_EQ(t.window.confirm(), "GAMBIENTE") << settings;
        ASSERT_EQ(t.prompt.messages.size(), 1u) << settings;
        EXPECT_NE(t.prompt.messages[0].find("\"Servizio telematico\""), std::string::npos) << t.prompt.messages[0];
        EXPECT_TRUE(t.agency.calls.empty()) << settings;

        // Accepted in the test environment and OK: the real send is refused, not made.
        t.prompt.messages.clear();
        t.agency.puts = {accepted()};
        t.agency.gets = {outcomeFile('0')};
        t.prompt.answers = {true};
        t.window.setValue("GAMBIENTE", TransmissionLogic::kTest);
        EXPECT_EQ(t.window.confirm(), std::nullopt);
        EXPECT_EQ(t.operations(), (std::vector<std::string>{"put prova", "get prova"})) << settings;
        EXPECT_FALSE(t.window.sent());
        EXPECT_EQ(t.prompt.messages.back(), realEnvironmentProblem(readServiceSettings(t.folders)));
    }
}

TEST(TransmissionWindow, AnswerWithoutAttachmentKeepsThePlaceholderReport) {
    Transmission t;
    t.signAndWait();
    writeWholeFile(t.folders.inTemp("AB120315.J01.p7m"), "vecchio esito");
    t.agency.puts = {accepted()};
    t.agency.gets = {{true, "nessun file", std::nullopt, {}}};
    t.window.setValue("GAMBIENTE", TransmissionLogic::kReal);
    t.window.confirm();
    EXPECT_TRUE(t.window.sent());
    // An earlier request's file is never taken for this one's outcome.
    EXPECT_FALSE(fileExists(t.folders.inTemp("AB120315.J01.p7m")));
    EXPECT_EQ(t.window.reportLines(),
              (std::vector<std::string>{kDetailsMissing1, kDetailsMissing2,
                                        " -- IL WEBSERVICE NON HA CONSEGNATO IL FILE DI ESITO -- "}));
}

TEST(TransmissionWindow, ASignedFileThatVanishedIsNotSent) {
    Transmission t;
    t.signAndWait();
    fs::remove(t.signedFile);
    t.window.setValue("GAMBIENTE", TransmissionLogic::kTest);
    t.window.confirm();
    EXPECT_TRUE(t.agency.calls.empty());
    EXPECT_EQ(t.prompt.messages, std::vector<std::string>{kSignedFileGone + t.signedFile.string()});
    EXPECT_FALSE(t.window.signedSeen());
}

TEST(TransmissionWindow, AbandonStopsTheWait) {
    Transmission t;
    t.window.startWaitPass();
    t.window.abandonWindow();
    EXPECT_TRUE(t.window.abandoned());
    EXPECT_TRUE(t.window.closeRequested());
    EXPECT_FALSE(t.window.waiting());
    writeWholeFile(t.signedFile, "x");
    t.window.secondElapsed();
    EXPECT_FALSE(t.window.signedSeen());
}

} // namespace
