// The other authorised sites window: the first free number and the company's data
// proposed, an existing site loaded, the checks on leaving and at confirmation in
// their order, and the site file written.
#include "logic/masterdata/othersites.h"

#include <gtest/gtest.h>

#include "core/files/recordfile.h"
#include "core/tables/company.h"
#include "logic/window_fixtures.h"

namespace accise {
namespace {

using namespace othersites;
using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

constexpr const char* kSiteExcise = "IT00MIV00099Z";
constexpr const char* kWrongExcise = "ATTENZIONE CODICE D'ACCISA ERRATO";
constexpr const char* kTypeOne = "DIGITARE ALMENO UN CARATTERE";

AddressRecord company() {
    AddressRecord c = blankAddress();
    c.auth_type = "1";
    c.id1 = "IT00MIA00012X";
    c.name1 = "Birrificio Prova ";
    c.street1 = "Via Roma ";
    c.number1 = "1 ";
    c.postcode1 = "20100 ";
    c.city1 = "MILANO";
    c.office = "IT012000";
    c.export_office = "IT012100";
    c.section = "012000";
    c.user_code = "AB12";
    return c;
}

AddressRecord site(const char* number, const char* name) {
    AddressRecord s = blankAddress();
    s.user_code = number;
    s.id2 = kSiteExcise;
    s.name2 = name;
    s.street2 = "Via Po ";
    s.number2 = "3 ";
    s.postcode2 = "10100 ";
    s.city2 = "TORINO ";
    s.office = "IT079100";
    s.export_office = "IT079100";
    s.section = "079100";
    return s;
}

class OtherSitesWindow : public ::testing::Test {
protected:
    OtherSitesWindow() {
        testing::writeOfficeTable(work.folders);
        writeCompany(work.folders, company());
    }

    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
    OtherSitesLogic form{ctx, prompt, services};
};

TEST_F(OtherSitesWindow, OpeningProposesTheFirstFreeNumberAndTheCompanyData) {
    form.open();
    EXPECT_FALSE(form.closeRequested());
    EXPECT_EQ(form.focusAfterOpen(), "SEDE");
    EXPECT_EQ(form.value("SEDE"), "002");
    EXPECT_EQ(form.value("Memo1"), "IT00MIA00012X\nBirrificio Prova\nVia Roma\nMILANO");
    const std::pair<const char*, const char*> expected[] = {
        {"CACCI2", "IT00MIA00012X"}, {"DENOM2", "Birrificio Prova"}, {"INDIR2", "Via Roma"},
        {"NUMCI2", "1"},             {"C_A_P2", "20100"},            {"CITTA2", "MILANO"},
        {"UFFDO1", "IT012000"},      {"UFFDO2", "IT012100"},         {"SEZDOG", "012000"},
        {"DUFFDOG", ""},
    };
    for (const auto& [control, text] : expected) EXPECT_EQ(form.value(control), text) << control;

    writeSite(work.folders, site("002", "Deposito"));
    form.open();
    EXPECT_EQ(form.value("SEDE"), "003");
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(OtherSitesWindow, LeavingTheSiteNumber) {
    writeSite(work.folders, site("004", "Deposito Torino"));
    struct Case {
        const char* number;
        bool back;
        bool message;
        const char* denomination; // afterwards
    };
    const Case cases[] = {
        {"001", true, false, "Birrificio Prova"},  {"000", true, false, "Birrificio Prova"},
        {"12_", true, true, "Birrificio Prova"},   {"___", true, true, "Birrificio Prova"},
        {"003", false, false, "Birrificio Prova"}, // a new site keeps what is on screen
        {"004", false, false, "Deposito Torino"},
    };
    for (const Case& c : cases) {
        form.open();
        prompt.messages.clear();
        form.setValue("SEDE", c.number);
        EXPECT_EQ(form.leave("SEDE"), c.back ? FocusMove::to("SEDE") : FocusMove::next()) << c.number;
        EXPECT_EQ(prompt.messages.size(), c.message ? 1u : 0u) << c.number;
        EXPECT_EQ(form.value("DENOM2"), c.denomination) << c.number;
    }
    EXPECT_EQ(prompt.messages, std::vector<std::string>{}); // the last case
    EXPECT_EQ(form.value("CACCI2"), kSiteExcise);
    EXPECT_EQ(form.value("CITTA2"), "TORINO");
    EXPECT_EQ(form.value("UFFDO1"), "IT079100");
    EXPECT_EQ(form.value("SEZDOG"), "079100");
}

TEST_F(OtherSitesWindow, ChecksOnLeavingAField) {
    struct Case {
        const char* control;
        const char* text;
        const char* message; // "" for none
        bool back;
    };
    const Case cases[] = {
        {"CACCI2", "IT00MIA00012X", kWrongExcise, true}, // the company's own letter "A"
        {"CACCI2", "IT00MIV0001", kWrongExcise, true},
        {"CACCI2", kSiteExcise, "", false},
        {"DENOM2", " ", kTypeOne, true},
        {"DENOM2", "deposito", "", false},
        {"UFFDO1", "IT079100", "", false},
    };
    form.open();
    for (const Case& c : cases) {
        prompt.messages.clear();
        form.setValue(c.control, c.text);
        EXPECT_EQ(form.leave(c.control), c.back ? FocusMove::to(c.control) : FocusMove::next()) << c.text;
        const std::vector<std::string> expected =
            *c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{};
        EXPECT_EQ(prompt.messages, expected) << c.text;
    }
    EXPECT_EQ(form.value("DENOM2"), "Deposito ");
    EXPECT_EQ(form.value("DUFFDOG"), "UFFICIO DELLE DOGANE DI ROMA 1");
    EXPECT_EQ(form.value("SEZDOG"), "079100");

    services.lookupAnswer = 1;
    form.setValue("UFFDO1", "IT999999");
    EXPECT_EQ(form.leave("UFFDO1"), FocusMove::to("UFFDO1"));
    EXPECT_EQ(form.value("DUFFDOG"), "CODICE NON VALIDO");
    EXPECT_EQ(form.value("UFFDO1"), "IT012000"); // the code chosen in the list
    EXPECT_EQ(services.lookupTables, std::vector<std::string>{"TA03"});
}

TEST_F(OtherSitesWindow, ConfirmationChecksRunInTheirOrderAndTheFirstFailureWins) {
    struct Case {
        std::vector<std::pair<const char*, const char*>> broken;
        const char* focus;
        const char* message; // "" for none
    };
    const Case cases[] = {
        {{{"SEDE", "001"}, {"CACCI2", "X"}}, "SEDE", ""},
        {{{"SEDE", "1__"}, {"CACCI2", "X"}}, "SEDE", kIncompleteSite},
        {{{"CACCI2", "IT00MIA00012X"}, {"INDIR2", ""}}, "CACCI2", kWrongExcise},
        // Each empty address field takes the cursor in turn; one message for all.
        {{{"INDIR2", ""}, {"C_A_P2", " "}, {"DENOM2", ""}}, "C_A_P2", kTypeOne},
        {{{"CITTA2", ""}}, "CITTA2", kTypeOne},
        {{{"DENOM2", ""}, {"UFFDO1", "XX"}}, "DENOM2", kTypeOne},
        {{{"UFFDO1", "XX"}}, "UFFDO1", ""},
    };
    for (const Case& c : cases) {
        form.open();
        form.setValue("CACCI2", kSiteExcise);
        prompt.messages.clear();
        for (const auto& [control, text] : c.broken) form.setValue(control, text);
        EXPECT_EQ(form.confirm(), c.focus);
        const std::vector<std::string> expected =
            *c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{};
        EXPECT_EQ(prompt.messages, expected) << c.focus;
        EXPECT_FALSE(form.closeRequested());
    }
    EXPECT_EQ(form.value("DUFFDOG"), "CODICE NON VALIDO");
    EXPECT_FALSE(fs::exists(work.folders.site(2)));
}

TEST_F(OtherSitesWindow, SavingWritesTheSiteFileAndCloses) {
    writeSite(work.folders, site("002", "Deposito"));
    form.open();
    form.setValue("SEDE", "005");
    form.leave("SEDE");
    form.setValue("CACCI2", kSiteExcise);
    form.setValue("DENOM2", "deposito Torino");
    form.setValue("INDIR2", "  via Po");
    form.setValue("NUMCI2", "3");
    form.setValue("C_A_P2", "10100");
    form.setValue("CITTA2", "TORINO");
    form.setValue("UFFDO1", "IT079100");
    form.leave("UFFDO1");
    EXPECT_EQ(form.confirm(), std::nullopt);
    EXPECT_TRUE(form.closeRequested());
    EXPECT_TRUE(prompt.messages.empty());

    AddressRecord expected = site("005", "Deposito Torino ");
    expected.street2 = "Via Po ";
    padAddress(expected);
    const RecordBlock written = readRecords(work.folders.site(5), kAddressSize, IfMissing::Empty);
    ASSERT_EQ(written.count(), 1u);
    EXPECT_EQ(written.tailBytes(), 0u);
    EXPECT_EQ(std::string(written.at(0)), encodeAddress(expected));

    form.open(); // 002 and 005 are taken: 003 is proposed
    EXPECT_EQ(form.value("SEDE"), "003");
}

TEST_F(OtherSitesWindow, TheOfficeButtonsAndTheEuropeanDatabase) {
    form.open();
    services.newCodeAnswer = "IT099000";
    EXPECT_EQ(form.addOffice(), "UFFDO1");
    EXPECT_EQ(form.value("UFFDO1"), "IT099000");
    EXPECT_EQ(services.editorTables, std::vector<std::string>{"TA03"});

    form.openEuropa(); // no WEB.CFG: nothing opens
    EXPECT_TRUE(services.openedAddresses.empty());
    writeWebConfig(work.folders, {"seed", "https://uffici.example", "", "", "", "", "", ""});
    form.openEuropa();
    EXPECT_EQ(services.openedAddresses, std::vector<std::string>{"https://uffici.example"});
}

} // namespace
} // namespace accise
