// The company data window: what it shows, the checks on leaving each field, the
// order of the confirmation checks, and the record it saves.
#include "logic/masterdata/companydata.h"

#include <gtest/gtest.h>

#include "core/files/recordfile.h"
#include "core/tables/company.h"
#include "logic/window_fixtures.h"

namespace accise {
namespace {

using namespace companydata;
using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

constexpr const char* kValidExcise = "IT00MIA00012X";
constexpr const char* kValidTaxCode = "RSSMRA85T10A562S";

class CompanyData : public ::testing::Test {
protected:
    CompanyData() {
        testing::writeOfficeTable(work.folders);
        writeCompany(work.folders, blankAddress());
    }

    // Opens the window and fills every field so that all confirmation checks pass.
    void openFilled() {
        form.open();
        const std::pair<const char*, const char*> values[] = {
            {"CACCI1", kValidExcise},  {"DENOM1", "birrificio Prova"}, {"PARIVA", "12345678903"},
            {"CODFIS", kValidTaxCode}, {"INDIR1", "via Roma"},         {"NUMCI1", "1"},
            {"C_A_P1", "20100"},       {"CITTA1", "MILANO"},           {"CODUTE", "AB12"},
            {"UFFDO1", "IT012000"},    {"SEZDOG", "012000"},           {"CONGAR", "g-17"},
            {"CAUESO", "E"},           {"UFFDO2", "IT012100"},         {"INDIR2", "UTENTE"},
            {"CITTA2", "Segreta"},
        };
        for (const auto& [control, text] : values)
            form.setValue(control, text);
    }

    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
    CompanyDataLogic form{ctx, prompt, services};
};

TEST_F(CompanyData, OpeningShowsTheStoredRecordWithItsDefaults) {
    AddressRecord c = blankAddress();
    c.id1 = kValidExcise;
    c.postcode2 = "ALCOPP";
    c.auth_type = "2";
    c.office = "IT012000";
    writeCompany(work.folders, c);
    form.open();
    EXPECT_FALSE(form.closeRequested());
    EXPECT_EQ(form.value("CACCI1"), kValidExcise);
    EXPECT_EQ(form.value("RTIPOIN"), "1");
    EXPECT_EQ(form.value("CAP2"), "1");
    EXPECT_EQ(form.value("CAUESO"), "C"); // an empty bond kind is proposed as "C"
    EXPECT_EQ(form.value("DUFFDOG"), "");
    EXPECT_EQ(form.focusAfterOpen(), "CACCI1");

    writeCompany(work.folders, blankAddress());
    form.open();
    EXPECT_EQ(form.value("RTIPOIN"), "0");
    EXPECT_EQ(form.value("CAP2"), "0");
}

TEST_F(CompanyData, WithoutTheCompanyFileTheWindowClosesAtOnce) {
    fs::remove(work.folders.company());
    form.open();
    EXPECT_TRUE(form.closeRequested());
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(CompanyData, ChecksOnLeavingAField) {
    struct Case {
        const char* control;
        const char* text;
        const char* message; // "" for none
        bool back;           // the cursor is put back
    };
    const Case cases[] = {
        {"CACCI1", kValidExcise, "", false},
        {"CACCI1", "IT00MIB00012X", kWrongExciseCode, true}, // 7th character not "A"
        {"CACCI1", "IT00MIA0001", kWrongExciseCode, true},
        {"DENOM1", "  ", kTypeOneCharacter, true},
        {"DENOM1", "-Birra", kTypeOneCharacter, true},
        {"DENOM1", "birra", "", false},
        {"PARIVA", "12345678901", kWrongVatNumber, false}, // reported, the cursor goes on
        {"PARIVA", "", "", false},
        {"CODFIS", "RSSMRA85T10A562T", kWrongTaxCode, false},
        {"CODFIS", "RSSMRA85T10A56", "", false}, // not 16 characters: not checked
        {"CAUESO", "X", kWrongBondKind, true},
        {"CAUESO", "", kWrongBondKind, true},
        {"CAUESO", "E", "", false},
    };
    form.open();
    for (const Case& c : cases) {
        prompt.messages.clear();
        form.setValue(c.control, c.text);
        const FocusMove move = form.leave(c.control);
        EXPECT_EQ(move, c.back ? FocusMove::to(c.control) : FocusMove::next()) << c.control << " " << c.text;
        const std::vector<std::string> expected =
            *c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{};
        EXPECT_EQ(prompt.messages, expected) << c.control << " " << c.text;
    }
    EXPECT_EQ(form.value("DENOM1"), "Birra ");
}

TEST_F(CompanyData, ValidTaxCodeProposesTheEdiUserNameOnlyWhenEmpty) {
    form.open();
    form.setValue("CODFIS", kValidTaxCode);
    form.leave("CODFIS");
    EXPECT_EQ(form.value("INDIR2"), std::string(kValidTaxCode) + "-001");
    form.setValue("INDIR2", "MIONOME");
    form.leave("CODFIS");
    EXPECT_EQ(form.value("INDIR2"), "MIONOME");
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(CompanyData, TheOfficeButtonLeavesTheTaxCodeWithItsCheck) {
    // The "..." button never takes the cursor; the program moves it to the office.
    form.open();
    form.setValue("CODFIS", kValidTaxCode);
    services.lookupAnswer = -1;
    EXPECT_EQ(form.runAction("CODFIS", [this] { return std::optional<std::string>(form.chooseOffice()); }), "UFFDO1");
    EXPECT_EQ(form.value("INDIR2"), std::string(kValidTaxCode) + "-001");
}

TEST_F(CompanyData, KnownOfficeFillsDescriptionExportOfficeAndSection) {
    form.open();
    form.setValue("UFFDO1", "IT012000");
    EXPECT_EQ(form.leave("UFFDO1"), FocusMove::next());
    EXPECT_EQ(form.value("DUFFDOG"), "UFFICIO DELLE DOGANE DI MILANO 2");
    EXPECT_EQ(form.value("UFFDO2"), "IT012100");
    EXPECT_EQ(form.value("SEZDOG"), "012000");
    // A code whose 6th character is already "1" keeps its export office.
    form.setValue("UFFDO1", "IT079100");
    form.leave("UFFDO1");
    EXPECT_EQ(form.value("UFFDO2"), "IT079100");
    EXPECT_EQ(form.value("SEZDOG"), "079100");
    EXPECT_TRUE(services.lookupTables.empty());
}

TEST_F(CompanyData, UnknownOfficeIsMarkedAndOpensTheOfficeList) {
    form.open();
    form.setValue("UFFDO1", "IT999999");
    services.lookupAnswer = 1;
    EXPECT_EQ(form.leave("UFFDO1"), FocusMove::to("UFFDO1"));
    EXPECT_EQ(form.value("DUFFDOG"), "CODICE NON VALIDO");
    EXPECT_EQ(services.lookupTables, std::vector<std::string>{"TA03"});
    EXPECT_EQ(form.value("UFFDO1"),
              "IT012000"); // the chosen row's code, checked when the cursor leaves again
    EXPECT_TRUE(prompt.messages.empty());
}

TEST(CompanyDataDefaults, ExportOfficeAndSectionOfAnOfficeCode) {
    EXPECT_EQ(exportOfficeFor("IT012000"), "IT012100");
    EXPECT_EQ(exportOfficeFor("IT079100"), "IT079100");
    EXPECT_EQ(exportOfficeFor("IT01"), "IT01 1"); // padded to 6 characters first
    EXPECT_EQ(sectionFor("IT012000"), "012000");
    EXPECT_EQ(sectionFor("IT0"), "0");
    EXPECT_EQ(sectionFor("IT"), "");
}

TEST_F(CompanyData, ConfirmationChecksRunInTheirOrderAndTheFirstFailureWins) {
    struct Case {
        std::vector<std::pair<const char*, const char*>> broken;
        const char* focus;
        const char* message; // "" when the failure is shown beside the field only
    };
    const Case cases[] = {
        {{{"CACCI1", "IT00MIB00012X"}, {"CAUESO", "X"}}, "CACCI1", kWrongExciseCode},
        {{{"CAUESO", "X"}, {"INDIR1", ""}}, "CAUESO", kWrongBondKind},
        // Each empty address field takes the cursor in turn; one message for all.
        {{{"INDIR1", ""}, {"C_A_P1", " "}, {"DENOM1", ""}}, "C_A_P1", kTypeOneCharacter},
        {{{"DENOM1", ""}, {"UFFDO1", "XX"}}, "DENOM1", kTypeOneCharacter},
        {{{"UFFDO1", "XX"}}, "UFFDO1", ""},
    };
    for (const Case& c : cases) {
        openFilled();
        prompt.messages.clear();
        for (const auto& [control, text] : c.broken)
            form.setValue(control, text);
        EXPECT_EQ(form.confirm(), c.focus);
        const std::vector<std::string> expected =
            *c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{};
        EXPECT_EQ(prompt.messages, expected) << c.focus;
        EXPECT_FALSE(form.closeRequested());
    }
    EXPECT_EQ(form.value("DUFFDOG"), "CODICE NON VALIDO");
    EXPECT_EQ(encodeAddress(*readCompany(work.folders)), encodeAddress(blankAddress())); // nothing saved
}

TEST_F(CompanyData, SavingWritesTheRecordThenRunsTheReadinessCheck) {
    openFilled();
    form.setValue("PARIVA", "12345678901"); // not checked at confirmation
    form.setValue("CAP2", "1");
    EXPECT_EQ(form.confirm(), std::nullopt);
    EXPECT_TRUE(form.closeRequested());

    const auto blocks = readRecords(work.folders.company(), kAddressSize, IfMissing::Empty);
    ASSERT_EQ(blocks.count(), 1u);
    EXPECT_EQ(blocks.tailBytes(), 0u);
    const AddressRecord saved = *readCompany(work.folders);
    EXPECT_EQ(saved.id1, kValidExcise);
    EXPECT_EQ(saved.name1, "Birrificio Prova");
    EXPECT_EQ(saved.vat, "12345678901");
    EXPECT_EQ(saved.tax_code, kValidTaxCode);
    EXPECT_EQ(saved.street1, "Via Roma");
    EXPECT_EQ(saved.number1, "1");
    EXPECT_EQ(saved.postcode1, "20100");
    EXPECT_EQ(saved.city1, "MILANO");
    EXPECT_EQ(saved.user_code, "AB12");
    EXPECT_EQ(saved.office, "IT012000");
    EXPECT_EQ(saved.export_office, "IT012100");
    EXPECT_EQ(saved.section, "012000");
    EXPECT_EQ(saved.guarantee_account, "g-17");
    EXPECT_EQ(saved.bond_kind, "E");
    EXPECT_EQ(saved.street2, "UTENTE");
    EXPECT_EQ(saved.city2, "Segreta");
    EXPECT_EQ(saved.postcode2, "ALCOPP");
    EXPECT_EQ(saved.auth_type, "1");
    EXPECT_EQ(saved.code, 0);

    // The configuration is still missing: the readiness check says so after the save.
    EXPECT_EQ(prompt.messages, (std::vector<std::string>{kApplPathsMissing, kWebAddressesMissing}));
    EXPECT_TRUE(ctx.alcopp);
}

TEST_F(CompanyData, SpeditoreAutorizzatoAndProfileAlcodaAreStored) {
    openFilled();
    form.setValue("RTIPOIN", "1");
    form.setValue("CAP2", "0");
    ASSERT_EQ(form.confirm(), std::nullopt);
    const AddressRecord saved = *readCompany(work.folders);
    EXPECT_EQ(saved.auth_type, "2");
    EXPECT_EQ(saved.postcode2, "ALCODA");
    EXPECT_FALSE(ctx.alcopp);
}

TEST_F(CompanyData, SeedButtonsOpenTheirWebAddresses) {
    form.open();
    form.openSeed(); // no WEB.CFG: nothing opens
    EXPECT_TRUE(services.openedAddresses.empty());
    writeWebConfig(work.folders, {"https://seed", " https://europa ", "", "", "", "", "", ""});
    form.openSeed();
    form.openEuropa();
    EXPECT_EQ(services.openedAddresses, (std::vector<std::string>{"https://seed", "https://europa"}));
}

TEST_F(CompanyData, FieldRules) {
    const FieldSpec* excise = form.field("CACCI1");
    ASSERT_NE(excise, nullptr);
    EXPECT_EQ(excise->maxLength, 13);
    EXPECT_EQ(excise->letterCase, LetterCase::Upper);
    EXPECT_EQ(form.field("DENOM1")->letterCase, LetterCase::FirstCapital);
    EXPECT_EQ(form.field("CONGAR")->letterCase, LetterCase::AsTyped);
    EXPECT_TRUE(form.field("DUFFDOG")->readOnly);
    std::vector<std::string> order;
    for (const auto& f : form.fields())
        order.push_back(f.control);
    EXPECT_EQ(order,
              (std::vector<std::string>{"RTIPOIN", "CACCI1", "CAP2", "DENOM1", "PARIVA", "CODFIS", "INDIR1",
                                        "NUMCI1", "C_A_P1", "CITTA1", "CODUTE", "UFFDO1", "DUFFDOG", "SEZDOG",
                                        "CONGAR", "CAUESO", "UFFDO2", "INDIR2", "CITTA2"}));
}

} // namespace
} // namespace accise
