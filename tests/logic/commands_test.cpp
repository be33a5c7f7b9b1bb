// The command table of the two menus and what the shell does around a command.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "core/files/recordfile.h"
#include "core/tables/company.h"
#include "core/tables/dates.h"
#include "logic/shell/commands.h"
#include "logic/shell/commandtable.h"
#include "logic/shell/registryservices.h"
#include "logic/window_fixtures.h"

namespace accise {
namespace {

using testing::RecordingPrompt;
using testing::WorkingFolder;

const CommandEntry& command(std::string_view action) {
    const CommandEntry* e = findCommand(action);
    if (!e) throw std::runtime_error("no command " + std::string(action));
    return *e;
}

std::vector<std::string> menusOf(MenuPage page) {
    std::vector<std::string> menus;
    for (const auto& e : commandTable())
        if (e.page == page && (menus.empty() || menus.back() != e.menu)) menus.emplace_back(e.menu);
    return menus;
}

TEST(CommandTable, MenusOfBothPagesInOrderWithUniqueActions) {
    EXPECT_EQ(menusOf(MenuPage::GeneralData),
              (std::vector<std::string>{"&Dati Aziendali", "I&ndirizzario", "&Codici e Tabelle",
                                        "C&onfigurazione", ""}));
    EXPECT_EQ(menusOf(MenuPage::Register),
              (std::vector<std::string>{"G&iacenze iniziali", "&Carichi e scarichi", "&Tributi",
                                        "&Flussi telematici", "&Registri"}));
    std::set<std::string_view> actions;
    for (const auto& e : commandTable())
        EXPECT_TRUE(actions.insert(e.action).second) << e.action;
    EXPECT_EQ(actions.size(), 67u);
    EXPECT_EQ(kRegisterPageCaption, "    Registro    ");
    // Captions are kept exactly, spaces included.
    EXPECT_EQ(command("AINSFORNITORI").caption, "I&nserisce Fornitori ");
    EXPECT_EQ(command("ATA20").caption, "&Codici prodotti  (TA20)");
    EXPECT_EQ(command("Action9").caption, "&Documenti per Scarico (TA05 s)");
    EXPECT_EQ(command("AINFO").menu, "");
    EXPECT_EQ(command("ASERVIZIO").menu, "C&onfigurazione");
    EXPECT_EQ(command("ASERVIZIO").caption, "Servizio &telematico");
}

// The letter after "&" (lower case); 0 when the caption has none.
char altLetter(std::string_view caption) {
    const auto at = caption.find('&');
    if (at == std::string_view::npos || at + 1 >= caption.size()) return 0;
    return static_cast<char>(std::tolower(static_cast<unsigned char>(caption[at + 1])));
}

TEST(CommandTable, EveryMenuAndEntryHasItsOwnAltLetter) {
    // A bar's titles (its menus and its own entries) and each menu's entries: one letter
    // each, none repeated, so one Alt letter reaches one place.
    std::map<std::string, std::map<char, std::string_view>> used; // scope -> letter -> caption
    std::set<std::string> titlesSeen;
    for (const auto& e : commandTable()) {
        const std::string bar = e.page == MenuPage::GeneralData ? "bar G" : "bar R";
        const std::string_view title = e.menu.empty() ? e.caption : e.menu;
        if (titlesSeen.insert(bar + std::string(title)).second) {
            const char letter = altLetter(title);
            EXPECT_NE(letter, 0) << title;
            const auto [it, fresh] = used[bar].emplace(letter, title);
            EXPECT_TRUE(fresh) << title << " repeats the letter of " << it->second;
        }
        if (e.menu.empty()) continue;
        const char letter = altLetter(e.caption);
        EXPECT_NE(letter, 0) << e.caption;
        const auto [it, fresh] = used[bar + std::string(e.menu)].emplace(letter, e.caption);
        EXPECT_TRUE(fresh) << e.caption << " repeats the letter of " << it->second;
    }
}

TEST(CommandTable, ReadyFlagsAreExactlyTheCommandsThatNeedCompleteData) {
    const std::set<std::string_view> ready{
        "APROTOCOLLO",    "AGIACENZE",   "Action20",     "AINSSCARICO",    "Action45",
        "Action48",       "AMODSCARICO", "ARETTSCARICO", "Action2",        "AINSCREDITI",
        "ARECORDE",       "Action43",    "AGARANZIE",    "Action4",      "ARETTGAR",  "ARETTGARF1", "ARETTGARF2",       "ACREAFIRINVFLUSSO",
        "AAZZDATIFLUSSO", "AFLUSSITRASMESSI", "ADOGANE",     "AEDIREALE",    "AFIRMAVERIFICA", "AEDIPROVA",
        "Action6"};
    for (const auto& e : commandTable())
        EXPECT_EQ(e.ready, ready.count(e.action) == 1) << e.action;
}

TEST(CommandTable, SharedHandlersAgreeWithTheModesTheirTagsStandFor) {
    int shared = 0;
    for (const auto& e : commandTable()) {
        if (!e.tag) continue;
        if (const auto m = modeForTag(e.handler, *e.tag)) {
            ++shared;
            EXPECT_EQ(e.mode, m) << e.action;
        }
    }
    EXPECT_EQ(shared, 24);
    EXPECT_EQ(modeForTag(handlers::kCancellation, 30), 'I');
    EXPECT_EQ(modeForTag(handlers::kRegisterSearch, 13), 'C'); // known to the handler, not on the menu
    EXPECT_EQ(modeForTag(handlers::kDutySearch, 4), std::nullopt);
}

class ShellCommands : public ::testing::Test {
protected:
    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;

    void makeComplete() {
        AddressRecord c = blankAddress();
        c.id1 = "IT00MIA00012X";
        c.postcode2 = "ALCOPP";
        c.auth_type = "1";
        writeCompany(work.folders, c);
        writeApplConfig(work.folders,
                        {"/opt/fv/FirmaVerifica", "/opt/fv/dafirmare/", "/opt/fv/firmati/", "/emcs/"});
        writeWebConfig(work.folders,
                       {"seed", "uffici", "accise", "edi", "emcs", "prova", "emcs-prova", "home"});
    }
};

TEST_F(ShellCommands, CodeTableCommandsTakeTheirTableFromTheTag) {
    const std::pair<const char*, const char*> cases[] = {
        {"AT001", "T001"},  {"AT004", "T004"},    {"AT010", "T010"},   {"ATA03", "TA03"},
        {"ATA05", "TA05C"}, {"Action9", "TA05S"}, {"ATA21C", "TA21C"}, {"ATA21S", "TA21S"},
    };
    for (const auto& [action, table] : cases) {
        ctx.table = "PROTOCOLLI";
        ASSERT_TRUE(prepareCommand(command(action), ctx, prompt));
        EXPECT_EQ(ctx.table, table) << action;
        EXPECT_EQ(tableForTag(ctx.tag), table);
    }
    EXPECT_EQ(tableForTag(2), std::nullopt);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(ShellCommands, CommandValuesSetKeptAndCleared) {
    ctx.modify = true;
    prepareCommand(command("ARETTSCARICO"), ctx, prompt);
    EXPECT_EQ(ctx.tag, 16);
    EXPECT_EQ(ctx.mode, 'E');
    EXPECT_TRUE(ctx.correctionCancel);
    EXPECT_FALSE(ctx.modify);

    prepareCommand(command("Action19"), ctx, prompt); // no mode, no flags: both kept
    EXPECT_EQ(ctx.tag, 0);
    EXPECT_EQ(ctx.mode, 'E');
    EXPECT_TRUE(ctx.correctionCancel);

    prepareCommand(command("AINSSCARICO"), ctx, prompt);
    EXPECT_FALSE(ctx.modify || ctx.correctionCancel || ctx.correctionModify);
    prepareCommand(command("ARETTGAR"), ctx, prompt);
    EXPECT_TRUE(ctx.correctionModify);
    EXPECT_EQ(ctx.mode, 't');

    prepareCommand(command("AINSFORNITORI"), ctx, prompt);
    EXPECT_TRUE(ctx.continuousEntry);
    EXPECT_EQ(ctx.table, "INDIRIZZI_F");
    prepareCommand(command("APROTOCOLLO"), ctx, prompt);
    EXPECT_FALSE(ctx.continuousEntry);
    EXPECT_EQ(ctx.table, "PROTOCOLLI");
    EXPECT_EQ(ctx.mode, 'T');

    prepareCommand(command("AAZZDATIFLUSSO"), ctx, prompt);
    EXPECT_EQ(ctx.flowYear, std::to_string(yearOf(todayDayNumber())));
}

TEST_F(ShellCommands, ReadyCommandsStopOnAnIncompleteConfigurationWithEveryMessage) {
    EXPECT_FALSE(prepareCommand(command("AEDIREALE"), ctx, prompt));
    EXPECT_EQ(prompt.messages,
              (std::vector<std::string>{kCompanyMissing, kApplPathsMissing, kWebAddressesMissing}));
    prompt.messages.clear();
    EXPECT_TRUE(prepareCommand(command("AAZIENDA"), ctx, prompt)); // not a "ready" command
    EXPECT_TRUE(prompt.messages.empty());

    makeComplete();
    EXPECT_TRUE(prepareCommand(command("AEDIREALE"), ctx, prompt));
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_TRUE(ctx.alcopp);
    EXPECT_EQ(ctx.company.id1, "IT00MIA00012X");
}

TEST_F(ShellCommands, FirstStartStatusTextCreatesTheCompanyFileAndReportsAllThree) {
    const std::string text = refreshStatus(ctx, prompt);
    EXPECT_EQ(text, work.folders.working.string() + "   *** " + std::string(18, ' ') + " - " +
                        std::string(10, ' '));
    EXPECT_EQ(prompt.messages.size(), 3u);
    EXPECT_EQ(readRecords(work.folders.company(), 608, IfMissing::Empty).count(), 1u);
    EXPECT_FALSE(ctx.alcopp);
}

TEST_F(ShellCommands, LinkTargetsFollowTheTag) {
    EXPECT_EQ(linkTarget(work.folders, 3), std::nullopt); // no WEB.CFG
    EXPECT_EQ(linkTarget(work.folders, 100), std::nullopt);
    makeComplete();
    EXPECT_EQ(linkTarget(work.folders, 100), (LinkTarget{LinkTarget::Program, "/opt/fv/FirmaVerifica"}));
    EXPECT_EQ(linkTarget(work.folders, 0), (LinkTarget{LinkTarget::WebAddress, "seed"}));
    EXPECT_EQ(linkTarget(work.folders, 3), (LinkTarget{LinkTarget::WebAddress, "edi"}));
    EXPECT_EQ(linkTarget(work.folders, 5), (LinkTarget{LinkTarget::WebAddress, "prova"}));
    EXPECT_EQ(linkTarget(work.folders, 7), (LinkTarget{LinkTarget::WebAddress, "home"}));
    EXPECT_EQ(linkTarget(work.folders, 8), std::nullopt);
    writeWebConfig(work.folders, {"seed", "", "", "", "", "", "", "  "});
    EXPECT_EQ(linkTarget(work.folders, 7), std::nullopt); // an empty entry opens nothing
}

TEST_F(ShellCommands, OtherSitesNeedATaxWarehouse) {
    EXPECT_EQ(sitesCommandRefusal(work.folders), std::string(kCompanyMissing));
    AddressRecord c = blankAddress();
    writeCompany(work.folders, c);
    EXPECT_EQ(sitesCommandRefusal(work.folders), std::string(kCompanyMissing));
    c.auth_type = "2";
    writeCompany(work.folders, c);
    EXPECT_EQ(sitesCommandRefusal(work.folders), std::string("SEZIONE RISERVATA AI DEPOSITI FISCALI"));
    c.auth_type = "1";
    writeCompany(work.folders, c);
    EXPECT_EQ(sitesCommandRefusal(work.folders), std::nullopt);
}

TEST_F(ShellCommands, ExciseSummaryWindowFollowsTheProfile) {
    makeComplete();
    runReadinessCheck(ctx, prompt);
    EXPECT_EQ(exciseSummaryWindow(ctx), kExciseSummaryAlcopp);
    ctx.alcopp = false;
    EXPECT_EQ(exciseSummaryWindow(ctx), kExciseSummaryAlcoda);
}

TEST(InfoWindow, TextCarriesTheVersionAndTheProgramFileDate) {
    EXPECT_EQ(infoText(dayNumber(2024, 3, 5), "0.1 (9436177)"),
              "Accise Birra versione 0.1 (9436177)\nultimo aggiornamento: 05/03/2024");
}

TEST(RegistryServices, ServeWhatIsRegisteredAndNothingElse) {
    WindowRegistry registry;
    std::vector<std::string> opened;
    RegistryServices services(
        registry, [&](const std::string& a) { opened.push_back("web " + a); },
        [&](const std::string& p) {
            opened.push_back("run " + p);
            return p != "/bin/missing";
        });
    CommandContext ctx;
    ctx.chosenCode = 5;
    EXPECT_FALSE(services.hasLookupList());
    EXPECT_EQ(services.openLookupList(ctx), -1);
    EXPECT_EQ(services.addNewCode(ctx), std::nullopt);

    registry.add(kLookupList, [](CommandContext& c) { c.chosenCode = c.table == "TA03" ? 7 : -1; });
    registry.add(kCodeEditorReturn,
                 [](CommandContext& c) { c.enteredCode = c.table == "TA03" ? " IT1 " : ""; });
    ctx.table = "TA03";
    EXPECT_TRUE(services.hasLookupList());
    EXPECT_EQ(services.openLookupList(ctx), 7);
    EXPECT_EQ(services.addNewCode(ctx), "IT1");
    ctx.table = "T004";
    EXPECT_EQ(services.addNewCode(ctx), std::nullopt);

    services.openAddress("");
    EXPECT_FALSE(services.startProgram(""));
    services.openAddress("https://x");
    EXPECT_TRUE(services.startProgram("/bin/fv"));
    EXPECT_FALSE(services.startProgram("/bin/missing"));
    EXPECT_EQ(opened, (std::vector<std::string>{"web https://x", "run /bin/fv", "run /bin/missing"}));
    EXPECT_FALSE(services.openWindow("NESSUNA", ctx));
    registry.add("ALTRA", [](CommandContext& c) { c.chosenCode = 42; });
    EXPECT_TRUE(services.openWindow("ALTRA", ctx));
    EXPECT_EQ(ctx.chosenCode, 42);
}

} // namespace
} // namespace accise
