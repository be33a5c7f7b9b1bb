// The whole road of a flow: created by accise-cli, signed by accise-firma, sent by the
// transmission window's logic over the real client to accise-agency-sim, in each of
// the simulator's three ways of delivering the outcome, with credentials and with the
// first outcome requests failing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include <QProcess>

#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/flow/outcomereport.h"
#include "core/flow/servicesettings.h"
#include "core/tables/company.h"
#include "core/tables/dates.h"
#include "logic/telematic/transmissionwindow.h"
#include "logic/window_fixtures.h"
#include "qt/telematic/agencyclient.h"

namespace accise {
namespace {

using testing::FakeServices;
using testing::RecordingPrompt;
using testing::TempDir;

std::string tool(const char* name) {
    return std::string(ACCISE_BINARY_DIR) + "/src/tools/" + name;
}

// Runs a program to its end; its standard output, or nullopt when it failed.
std::optional<std::string> run(const std::string& program, const QStringList& arguments, const fs::path& cwd = {}) {
    QProcess p;
    if (!cwd.empty()) p.setWorkingDirectory(QString::fromStdString(cwd.string()));
    p.start(QString::fromStdString(program), arguments);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        ADD_FAILURE() << program << ": " << p.readAllStandardError().toStdString();
        return std::nullopt;
    }
    return p.readAllStandardOutput().toStdString();
}

TEST(AgencyEndToEnd, FlowCreatedSignedSentAndItsOutcomeRead) {
    for (const char* name : {"accise-cli", "accise-firma", "accise-agency-sim"})
        if (!fs::exists(tool(name))) GTEST_SKIP() << name << " not built";
    TempDir dir;
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
    const fs::path work = dir / "demo";
    ASSERT_TRUE(run(tool("accise-cli"), {"demo", QString::fromStdString(work.string())}));
    ASSERT_TRUE(run(tool("accise-cli"), {"paths", QString::fromStdString(work.string()), "--signing-program",
                                         QString::fromStdString(tool("accise-firma"))}));
    const int year = yearOf(todayDayNumber()) - 1;
    const auto created = run(tool("accise-cli"), {"flow", "create", QString::fromStdString(work.string()), "--year",
                                                  QString::number(year), "--date", QString::fromStdString(formatDate(todayDayNumber())),
                                                  "--all"});
    ASSERT_TRUE(created);
    const fs::path flow = trimmed(*created);
    ASSERT_TRUE(fs::exists(flow)) << *created;
    ASSERT_TRUE(run(tool("accise-firma"), {"--batch", QString::fromStdString(flow.string())}, work));

    const Folders folders = Folders::of(work, dir / "cache" / "temp");
    folders.create();
    const std::vector<const char*> styles = {"swa", "mtom", "inline"};
    for (const char* style : styles) {
        SCOPED_TRACE(style);
        const fs::path ca = dir / (std::string(style) + "-ca.pem");
        QProcess sim;
        sim.start(QString::fromStdString(tool("accise-agency-sim")),
                  {"--port", "0", "--ca-out", QString::fromStdString(ca.string()), "--attachment", style,
                   "--fail-get", "2", "--user", "AB12-00-01", "--password", "segreta"});
        int port = 0;
        for (int i = 0; i < 600 && port == 0; ++i) {
            sim.waitForReadyRead(100);
            const QByteArray line = sim.readLine().trimmed();
            if (line.startsWith("listening on ")) port = line.mid(13).toInt();
            if (sim.state() == QProcess::NotRunning) break;
        }
        ASSERT_GT(port, 0) << sim.readAllStandardError().toStdString();
        writeWholeFile(folders.general(kServiceSettingsFile),
                       "HOST_PROVA=localhost\r\nPORTA_PROVA=" + std::to_string(port) + "\r\nHOST_REALE=127.0.0.1\r\nPORTA_REALE=" +
                           std::to_string(port) + "\r\nCA_AGGIUNTIVA=" + ca.string() + "\r\nCA_AGGIUNTIVA_REALE=" +
                           ca.string() + "\r\nTIMEOUT_SECONDI=30\r\n");

        RecordingPrompt prompt;
        prompt.answers = {true}; // accepted in test: on to the real environment
        FakeServices services;
        CommandContext ctx(folders);
        ctx.company = *readCompany(folders);
        ctx.company.street2 = "AB12-00-01";
        ctx.company.city2 = "segreta";
        ctx.flowFileName = flow.filename().string();
        QtAgencyService client(folders);
        TransmissionLogic window(ctx, prompt, services, client);
        window.setPause([](int) {}); // the simulator's failures are counted, not waited for
        window.open();
        window.startWaitPass();
        window.secondElapsed();
        ASSERT_TRUE(window.signedSeen());
        window.setValue("GAMBIENTE", TransmissionLogic::kTest);
        EXPECT_EQ(window.confirm(), std::nullopt);

        EXPECT_EQ(prompt.questions, std::vector<std::string>{kAcceptedInTest});
        EXPECT_TRUE(window.sent());
        EXPECT_EQ(window.outcome(), kOutcomeAccepted);
        ASSERT_FALSE(window.reportLines().empty());
        EXPECT_EQ(window.reportLines()[0].rfind("N° REGISTRAZIONE DEL FILE: ", 0), 0u) << window.reportLines()[0];
        // Two failed outcome requests in each environment, then the outcome.
        const auto count = [&](const std::string& text) {
            return std::count(prompt.messages.begin(), prompt.messages.end(), text);
        };
        EXPECT_EQ(count(attemptMessage(1)), 1);
        EXPECT_EQ(count(attemptMessage(2)), 1);
        EXPECT_EQ(count(attemptMessage(3)), 0);
        sim.terminate();
        sim.waitForFinished(10000);
    }
}

} // namespace
} // namespace accise
