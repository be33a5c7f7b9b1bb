// The service settings window: SERVIZIO.INI shown and saved field by field, with the
// checks that keep a send from going somewhere unintended.
#include <gtest/gtest.h>

#include "core/files/recordfile.h"
#include "core/flow/servicesettings.h"
#include "logic/telematic/servicesettingswindow.h"
#include "window_fixtures.h"

using namespace accise;
using namespace accise::testing;

namespace {

struct ServiceWindow : WorkingFolder {
    RecordingPrompt prompt;
    FakeServices services;
    CommandContext ctx = context();
    ServiceSettingsLogic window{ctx, prompt, services};
};

TEST(ServiceSettingsWindow, ShowsTheStoredValuesAndSavesThemKeepingTheNotes) {
    ServiceWindow w;
    w.folders.create();
    writeWholeFile(w.folders.general(kServiceSettingsFile), "; scritto a mano\r\nHOST_PROVA=prova.example\r\n");
    w.window.open();
    EXPECT_EQ(w.window.title(), "Servizio telematico");
    EXPECT_EQ(w.window.focusAfterOpen(), "HOST_PROVA");
    EXPECT_EQ(w.window.value("HOST_PROVA"), "prova.example");
    EXPECT_EQ(w.window.value("HOST_REALE"), "");

    w.window.setValue("HOST_REALE", "reale.example");
    w.window.setValue("CA_AGGIUNTIVA_REALE", "/etc/agenzia.pem");
    w.window.setValue("TIMEOUT_SECONDI", "30");
    EXPECT_EQ(w.window.confirm(), std::nullopt);
    EXPECT_TRUE(w.window.closeRequested());
    const ServiceSettings s = readServiceSettings(w.folders);
    EXPECT_EQ(s.endpoint(AgencyEnvironment::Real),
              "https://reale.example:443/TelematicoFtpEjbHttpRouter/TelematicoFtpWsBindingImplService");
    EXPECT_EQ(s.extraCa(AgencyEnvironment::Real), "/etc/agenzia.pem");
    EXPECT_EQ(s.timeoutSeconds, 30);
    EXPECT_TRUE(realEnvironmentProblem(s).empty());
    const std::string text = readRecords(w.folders.general(kServiceSettingsFile), 1).bytes();
    EXPECT_EQ(text.rfind("; scritto a mano\r\n", 0), 0u) << text;
}

TEST(ServiceSettingsWindow, ValuesThatCannotBeUsedKeepTheCursor) {
    struct Case {
        const char* key;
        const char* typed;
    };
    const std::vector<Case> cases = {
        {"HOST_PROVA", "utente@altro.example"}, {"HOST_REALE", "reale.example/percorso"},
        {"PORTA_REALE", "0"},                   {"PORTA_PROVA", "70000"},
        {"TIMEOUT_SECONDI", "dieci"},
    };
    for (const Case& c : cases) {
        ServiceWindow w;
        w.window.open();
        w.window.setValue(c.key, c.typed);
        EXPECT_EQ(w.window.leave(c.key), FocusMove::to(c.key)) << c.key;
        EXPECT_EQ(w.prompt.messages, std::vector<std::string>{ServiceSettingsLogic::invalidMessage(c.key)}) << c.key;
        EXPECT_EQ(w.window.confirm(), c.key) << c.key;
        EXPECT_FALSE(fileExists(w.folders.general(kServiceSettingsFile))) << c.key;
    }
    // The test environment typed as the real one: refused, the real one may stay empty.
    ServiceWindow w;
    w.window.open();
    w.window.setValue("HOST_PROVA", "localhost");
    w.window.setValue("PORTA_PROVA", "9443");
    w.window.setValue("HOST_REALE", "localhost");
    w.window.setValue("PORTA_REALE", "9443");
    EXPECT_EQ(w.window.confirm(), "HOST_REALE");
    EXPECT_EQ(w.prompt.messages.back(), servicesettingswindow::kSameAsTest);
    w.window.setValue("HOST_REALE", "");
    w.window.setValue("PORTA_REALE", "");
    EXPECT_EQ(w.window.confirm(), std::nullopt);
}

} // namespace
