// The address book windows: captions and fields by kind, the warnings and checks of
// the insert and modify windows, the entries they write (byte for byte, in name
// order), the delete window and the choice that opens modify and delete.
#include <gtest/gtest.h>

#include "core/files/recordfile.h"
#include "core/tables/addressbook.h"
#include "core/tables/codetables.h"
#include "core/tables/deliveredtables.h"
#include "logic/masterdata/addressdelete.h"
#include "logic/masterdata/addressentry.h"
#include "logic/masterdata/addresswindows.h"
#include "logic/window_fixtures.h"

namespace accise {
namespace {

using namespace addressentry;
using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

using Fields = std::vector<std::pair<const char*, const char*>>;

AddressRecord partner(const char* excise, const char* vat, const char* name, const char* city) {
    AddressRecord a = blankAddress();
    a.id1 = excise;
    a.id2 = vat;
    a.name1 = name;
    a.street1 = "Via Roma";
    a.number1 = "1";
    a.postcode1 = "20100";
    a.city1 = city;
    a.section = "it";
    return a;
}

// The bytes the file must hold: each entry padded and encoded, in this order.
std::string fileOf(std::vector<AddressRecord> entries) {
    std::string bytes;
    for (AddressRecord& e : entries) {
        padAddress(e);
        bytes += encodeAddress(e);
    }
    return bytes;
}

std::string fileBytes(const fs::path& file) { return readRecords(file, 1, IfMissing::Empty).bytes(); }

class AddressWindows : public ::testing::Test {
protected:
    AddressWindows() { installDeliveredTables(work.folders); }

    fs::path book(char kind) const { return work.folders.addressBook(kind); }
    CommandContext contextFor(char kind, bool continuous) {
        CommandContext c = work.context();
        c.table = std::string("INDIRIZZI_") + kind;
        c.continuousEntry = continuous;
        return c;
    }
    static void fill(AddressEntryLogic& form, const Fields& fields) {
        for (const auto& [control, text] : fields) form.setValue(control, text);
    }
    static Fields complete() {
        return {{"CACCI2", "01234567890"}, {"CACCI1", "IT00MIA00001X"}, {"DENOM1", "Birra Nord"},
                {"INDIR1", "Via Po"},      {"NUMCI1", "3"},             {"C_A_P1", "10100"},
                {"CITTA1", "TORINO"},      {"SEZDOG", "it"}};
    }

    WorkingFolder work;
    RecordingPrompt prompt;
    FakeServices services;
};

TEST(AddressWindowTitles, CaptionsByKindAndWindow) {
    struct Case {
        const char* book;
        const char* insert;
        const char* modify;
        const char* remove;
    };
    const Case cases[] = {
        {"INDIRIZZI_C", "Inserisce Cliente", "Modifica Cliente ", "Cancella Cliente"},
        {"INDIRIZZI_F", "Inserisce Fornitore", "Modifica Fornitore ", "Cancella Fornitore"},
        {"INDIRIZZI_G", "Inserisce Garante", "Modifica Garante", "Cancella Garante"},
        {"INDIRIZZI_T", "Inserisce Azienda di Trasporto", "Modifica Azienda di Trasporto",
         "Cancella Azienda di Trasporto"},
        {"INDIRIZZI_D", "Inserisce Indirizzo", "Modifica Indirizzo", "Cancella Destinatario DAA"},
        {"INDIRIZZI_X", "Inserisce Indirizzo", "Modifica Indirizzo", "Cancella Destinatario DAA"},
        {"ALTRO", "Inserisce Indirizzo", "Modifica Indirizzo", "Cancella Destinatario DAA"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(addressWindowTitle(AddressWindow::Insert, c.book), c.insert);
        EXPECT_EQ(addressWindowTitle(AddressWindow::Modify, c.book), c.modify);
        EXPECT_EQ(addressWindowTitle(AddressWindow::Delete, c.book), c.remove);
    }
}

TEST(AddressWindowFields, ShownByKind) {
    for (char kind : {'C', 'F', 'G', 'T'}) {
        EXPECT_EQ(AddressEntryLogic::shownForKind("CACCI1", kind), kind != 'T') << kind;
        EXPECT_EQ(AddressEntryLogic::shownForKind("CONGAR", kind), kind == 'G') << kind;
        EXPECT_EQ(AddressEntryLogic::shownForKind("CAUESO", kind), kind == 'G') << kind;
        EXPECT_TRUE(AddressEntryLogic::shownForKind("CACCI2", kind));
        EXPECT_TRUE(AddressEntryLogic::shownForKind("SEZDOG", kind));
    }
}

TEST_F(AddressWindows, OpeningResetsAndChecksNothingUntilAKeyIsTyped) {
    insertAddress(book('F'), partner("IT00MIA00001X", "0111", "Luppoli", "PAVIA"), prompt);
    CommandContext ctx = contextFor('F', true);
    AddressEntryLogic form(ctx, prompt, services);
    form.open();
    EXPECT_EQ(form.title(), "Inserisce Fornitore");
    EXPECT_EQ(form.focusAfterOpen(), "CACCI2");
    EXPECT_EQ(form.value("SEZDOG"), "it");
    EXPECT_EQ(form.value("DSEZDOG"), "");
    EXPECT_EQ(form.value("DENOM1"), "");

    form.setValue("CACCI1", "IT00MIA00001X");
    form.setValue("SEZDOG", "zz");
    EXPECT_EQ(form.leave("CACCI1"), FocusMove::next());
    EXPECT_EQ(form.leave("SEZDOG"), FocusMove::next());
    // Confirming before any key: nothing happens, the cursor goes back to the VAT number.
    fill(form, complete());
    EXPECT_EQ(form.confirm(), "CACCI2");
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(readAddressBook(book('F')).size(), 1u);
}

TEST_F(AddressWindows, DuplicateWarningsOnLeavingNeverBlock) {
    insertAddress(book('C'), partner("IT00MIA00001X", "01234567890", "ALFA SRL", "PAVIA"), prompt);
    CommandContext ctx = contextFor('C', true);
    AddressEntryLogic form(ctx, prompt, services);
    form.open();
    form.keyTyped();
    struct Case {
        const char* control;
        const char* text;
        const char* message; // "" for none
    };
    const Case cases[] = {
        {"CACCI1", "IT00MIA00001X", kExciseCodePresent},
        {"CACCI1", "IT00MIA00001X   ", kExciseCodePresent}, // both sides padded
        {"CACCI1", "IT00MIA00002X", ""},
        {"CACCI1", "", ""},
        {"CACCI2", "01234567890", kVatNumberPresent},
        {"CACCI2", "01234567891", ""},
        {"DENOM1", "Alfa Srl", kNamePresent}, // letter case ignored
        {"DENOM1", "Alfa", ""},
    };
    for (const Case& c : cases) {
        prompt.messages.clear();
        form.setValue(c.control, c.text);
        EXPECT_EQ(form.leave(c.control), FocusMove::next()) << c.control << " " << c.text;
        EXPECT_EQ(prompt.messages, *c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{})
            << c.control << " " << c.text;
    }
    // A duplicate is saved all the same.
    prompt.messages.clear();
    fill(form, {{"CACCI2", "01234567890"}, {"CACCI1", "IT00MIA00001X"}, {"DENOM1", "Alfa Srl"}, {"INDIR1", "Via Po"},
                {"NUMCI1", "3"}, {"C_A_P1", "10100"}, {"CITTA1", "TORINO"}});
    EXPECT_EQ(form.confirm(), std::nullopt);
    EXPECT_EQ(readAddressBook(book('C')).size(), 2u);
}

TEST_F(AddressWindows, LanguageAndBondKindChecks) {
    CommandContext ctx = contextFor('G', true);
    AddressEntryLogic form(ctx, prompt, services);
    form.open();
    form.keyTyped();
    form.setValue("SEZDOG", "en");
    EXPECT_EQ(form.leave("SEZDOG"), FocusMove::next());
    EXPECT_EQ(form.value("DSEZDOG"), "Inglese");

    // Unknown: marked, the cursor stays and the T001 list opens; the chosen code comes back.
    services.lookupAnswer = findCode(work.folders, "T001", "it", prompt)->number;
    form.setValue("SEZDOG", "xx");
    EXPECT_EQ(form.leave("SEZDOG"), FocusMove::to("SEZDOG"));
    EXPECT_EQ(services.lookupTables, std::vector<std::string>{"T001"});
    EXPECT_EQ(form.value("SEZDOG"), "it");
    EXPECT_EQ(form.value("DSEZDOG"), "Italiano");
    // Without the list the field is only marked.
    services.lookupAvailable = false;
    form.setValue("SEZDOG", "xx");
    EXPECT_EQ(form.leave("SEZDOG"), FocusMove::to("SEZDOG"));
    EXPECT_EQ(form.value("DSEZDOG"), "CODICE NON VALIDO");
    EXPECT_TRUE(prompt.messages.empty());

    for (const char* kind : {"C", "E", "Cauzione"}) {
        form.setValue("CAUESO", kind);
        EXPECT_EQ(form.leave("CAUESO"), FocusMove::next()) << kind;
    }
    for (const char* kind : {"", "X"}) {
        form.setValue("CAUESO", kind);
        EXPECT_EQ(form.leave("CAUESO"), FocusMove::to("CAUESO")) << kind;
    }
    EXPECT_EQ(prompt.messages, std::vector<std::string>(2, kWrongBondKind));
}

TEST_F(AddressWindows, RequiredFieldsTakeTheCursorSilentlyFirstInWindowOrder) {
    struct Case {
        char kind;
        Fields changed;
        const char* focus; // "" when the entry is accepted
    };
    const Case cases[] = {
        {'C', {{"CACCI2", ""}}, ""}, // excise code alone is enough
        {'C', {{"CACCI1", ""}}, ""}, // VAT number alone too
        {'C', {{"CACCI1", ""}, {"CACCI2", " "}}, "CACCI2"},
        {'C', {{"CITTA1", ""}, {"NUMCI1", ""}}, "NUMCI1"},
        {'C', {{"C_A_P1", ""}, {"DENOM1", " "}, {"INDIR1", ""}}, "DENOM1"},
        {'C', {{"SEZDOG", "xx"}, {"DENOM1", ""}}, "SEZDOG"}, // the language comes first
        {'C', {{"CONGAR", ""}, {"CAUESO", "X"}}, ""},       // not a guarantor: not asked
        {'T', {{"CACCI2", ""}}, "CACCI2"},                   // carriers need the VAT number
        {'G', {{"CONGAR", ""}, {"CAUESO", "C"}}, "CONGAR"},
        {'G', {{"CONGAR", "GAR-1"}, {"CAUESO", ""}}, "CAUESO"},
        {'G', {{"CONGAR", ""}, {"CAUESO", ""}, {"CITTA1", ""}}, "CITTA1"},
        {'G', {{"CONGAR", "GAR-1"}, {"CAUESO", "e"}}, ""},
    };
    for (const Case& c : cases) {
        CommandContext ctx = contextFor(c.kind, false);
        AddressEntryLogic form(ctx, prompt, services);
        form.open();
        form.keyTyped();
        fill(form, complete());
        fill(form, {{"CONGAR", "GAR-1"}, {"CAUESO", "C"}});
        fill(form, c.changed);
        const auto before = readAddressBook(book(c.kind)).size();
        const auto focus = form.confirm();
        if (*c.focus) {
            EXPECT_EQ(focus, c.focus) << c.kind << " " << c.changed.front().first;
            EXPECT_EQ(readAddressBook(book(c.kind)).size(), before);
            EXPECT_FALSE(form.closeRequested());
        } else {
            EXPECT_EQ(focus, std::nullopt) << c.kind << " " << c.changed.front().first;
            EXPECT_EQ(readAddressBook(book(c.kind)).size(), before + 1);
        }
    }
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(AddressWindows, MistypedBondKindAtConfirmationIsTold) {
    CommandContext ctx = contextFor('G', true);
    AddressEntryLogic form(ctx, prompt, services);
    form.open();
    form.keyTyped();
    fill(form, complete());
    fill(form, {{"CONGAR", "GAR-1"}, {"CAUESO", "X"}});
    EXPECT_EQ(form.confirm(), "CAUESO");
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kWrongBondKind});
}

TEST_F(AddressWindows, SavedEntriesByteForByteInNameOrder) {
    // Continuous entry: the window resets after each entry and stays open.
    CommandContext ctx = contextFor('C', true);
    AddressEntryLogic form(ctx, prompt, services);
    form.open();
    form.keyTyped();
    const Fields entries[] = {
        {{"CACCI2", ""}, {"CACCI1", "it00mia00009x"}, {"DENOM1", "alfa"}, {"CITTA1", "milano"}},
        {{"CACCI2", "  99  "}, {"CACCI1", ""}, {"DENOM1", "ALFA"}, {"CITTA1", "ROMA"}, {"SEZDOG", "EN"}},
        {{"CACCI2", "77"}, {"CACCI1", ""}, {"DENOM1", "ALFA"}, {"CITTA1", "Bari"}},
        {{"CACCI2", "55"}, {"CACCI1", ""}, {"DENOM1", "Zeta"}, {"CITTA1", "Como"}},
    };
    for (const Fields& e : entries) {
        fill(form, {{"INDIR1", "Via Po"}, {"NUMCI1", "3"}, {"C_A_P1", "10100"}});
        fill(form, e);
        ASSERT_EQ(form.confirm(), std::nullopt);
        EXPECT_FALSE(form.closeRequested());
        EXPECT_EQ(form.value("DENOM1"), "");
        EXPECT_EQ(form.value("SEZDOG"), "it");
        EXPECT_EQ(form.focusAfterOpen(), "CACCI2");
    }
    auto expected = [](std::int32_t code, const char* excise, const char* vat, const char* name, const char* city,
                       const char* language) {
        AddressRecord a = blankAddress();
        a.code = code;
        a.id1 = excise;
        a.id2 = vat;
        a.name1 = name;
        a.street1 = "Via Po";
        a.number1 = "3";
        a.postcode1 = "10100";
        a.city1 = city;
        a.section = language;
        return a;
    };
    // Capitals sort before lower case; equal names in order of arrival; codes max + 1.
    EXPECT_EQ(fileBytes(book('C')), fileOf({expected(2, "", "99", "ALFA", "ROMA", "en"),
                                            expected(3, "", "77", "ALFA", "BARI", "it"),
                                            expected(1, "IT00MIA00009X", "", "Alfa", "MILANO", "it"),
                                            expected(4, "", "55", "Zeta", "COMO", "it")}));
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(AddressWindows, CarrierStoresASpaceAsExciseCodeAndGuarantorItsBond) {
    {
        CommandContext ctx = contextFor('T', false);
        AddressEntryLogic form(ctx, prompt, services);
        form.open();
        form.keyTyped();
        fill(form, complete());
        form.setValue("CACCI1", "IT00MIA00001X"); // hidden for carriers: ignored
        ASSERT_EQ(form.confirm(), std::nullopt);
        EXPECT_TRUE(form.closeRequested()); // opened from another window: one entry, then it closes
        EXPECT_EQ(ctx.enteredCode, "01234567890");
    }
    const std::string carrier = fileBytes(book('T'));
    ASSERT_EQ(carrier.size(), kAddressSize);
    EXPECT_EQ(carrier.substr(4, 19), std::string(1, '\x12') + std::string(18, ' ')); // length 18, all spaces
    {
        CommandContext ctx = contextFor('G', false);
        AddressEntryLogic form(ctx, prompt, services);
        form.open();
        form.keyTyped();
        fill(form, complete());
        fill(form, {{"CONGAR", " GAR-2024 "}, {"CAUESO", "e"}});
        ASSERT_EQ(form.confirm(), std::nullopt);
        EXPECT_EQ(ctx.enteredCode, "IT00MIA00001X");
    }
    const auto guarantors = readAddressBook(book('G'));
    ASSERT_EQ(guarantors.size(), 1u);
    EXPECT_EQ(guarantors[0].guarantee_account, "GAR-2024");
    EXPECT_EQ(guarantors[0].bond_kind, "E");
}

TEST_F(AddressWindows, ModifyKeepsTheCodeAndMovesTheEntry) {
    AddressRecord kept = partner("IT00MIA00001X", "0111", "Birra Alta", "PAVIA");
    kept.user_code = "K9"; // not shown by the window: kept
    insertAddress(book('F'), kept, prompt);
    insertAddress(book('F'), partner("IT00MIA00002X", "0222", "Birra Bassa", "LODI"), prompt);
    insertAddress(book('F'), partner("IT00MIA00003X", "0333", "Malto", "COMO"), prompt);
    CommandContext ctx = contextFor('F', true);
    AddressEntryLogic form(ctx, prompt, services, readAddressBook(book('F'))[0]);
    form.open();
    EXPECT_EQ(form.title(), "Modifica Fornitore ");
    EXPECT_EQ(form.value("DENOM1"), "Birra Alta");
    EXPECT_EQ(form.value("CACCI1"), "IT00MIA00001X");
    EXPECT_EQ(form.value("CITTA1"), "PAVIA");
    EXPECT_EQ(form.focusAfterOpen(), "CACCI2");
    form.keyTyped();
    form.setValue("CACCI1", "IT00MIA00002X"); // present elsewhere: no warning when modifying
    EXPECT_EQ(form.leave("CACCI1"), FocusMove::next());
    form.setValue("DENOM1", "zucca");
    EXPECT_EQ(form.confirm(), std::nullopt);
    EXPECT_TRUE(form.closeRequested()); // modify always closes
    EXPECT_TRUE(prompt.messages.empty());

    const auto entries = readAddressBook(book('F'));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name1, "Birra Bassa");
    EXPECT_EQ(entries[1].name1, "Malto");
    EXPECT_EQ(entries[2].name1, "Zucca");
    EXPECT_EQ(entries[2].code, 1);
    EXPECT_EQ(entries[2].id1, "IT00MIA00002X");
    EXPECT_EQ(entries[2].user_code, "K9");
}

TEST_F(AddressWindows, DeleteWindowShowsTheEntryAndDeletesOnSi) {
    AddressRecord a = partner("IT00MIA00001X", "0111", "Birra Alta", "PAVIA");
    a.vat = "12345678901";
    a.guarantee_account = "GAR";
    a.bond_kind = "C";
    const auto code = insertAddress(book('G'), a, prompt);
    insertAddress(book('G'), partner("IT00MIA00002X", "0222", "Birra Bassa", "LODI"), prompt);
    const std::string before = fileBytes(book('G'));

    CommandContext ctx = contextFor('G', false);
    AddressDeleteLogic form(ctx, prompt, services, readAddressBook(book('G'))[0]);
    form.open();
    EXPECT_EQ(form.title(), "Cancella Garante");
    EXPECT_EQ(form.value("TESTO"), "IT00MIA00001X\n12345678901\nBirra Alta\nVia Roma 1\n20100 PAVIA\n\nC GAR\nit");
    EXPECT_EQ(form.focusAfterOpen(), "CONFSI");
    for (const char* answer : {"NO", "", "S", "SI "}) {
        form.setValue("CONFSI", answer);
        EXPECT_EQ(form.leave("CONFSI"), FocusMove::to("CONFSI")) << answer;
    }
    EXPECT_EQ(fileBytes(book('G')), before);
    form.setValue("CONFSI", "si");
    EXPECT_EQ(form.leave("CONFSI"), FocusMove::next());
    EXPECT_TRUE(form.closeRequested());
    EXPECT_TRUE(form.deleted());
    const auto left = readAddressBook(book('G'));
    ASSERT_EQ(left.size(), 1u);
    EXPECT_NE(left[0].code, code);
}

TEST(AddressDeleteText, RecipientsShowTheirSecondBlock) {
    AddressRecord d = blankAddress();
    d.id1 = "IT00MIA00001X";
    d.name1 = "Destinatario";
    d.street1 = "Via A";
    d.number1 = "1";
    d.postcode1 = "00100";
    d.city1 = "ROMA";
    d.user_code = "U1";
    d.name2 = "Deposito";
    d.id2 = "ID2";
    d.street2 = "Via B";
    d.number2 = "2";
    d.postcode2 = "00200";
    d.city2 = "RIETI";
    d.section = "en";
    EXPECT_EQ(addressDeleteText(d, 'D'),
              "IT00MIA00001X\n\nDestinatario\nVia A 1\n00100 ROMA\n\nU1 Deposito\nID2\nVia B 2\n00200 RIETI\n \nen");
    // A client's VAT number is shown from where the book keeps it.
    EXPECT_EQ(addressDeleteText(d, 'C'), "IT00MIA00001X\nID2\nDestinatario\nVia A 1\n00100 ROMA\n\n \nen");
}

TEST_F(AddressWindows, ChoiceForModifyAndDelete) {
    insertAddress(book('C'), partner("IT00MIA00001X", "0111", "Alfa", "PAVIA"), prompt);
    insertAddress(book('C'), partner("IT00MIA00002X", "0222", "Beta", "LODI"), prompt);
    CommandContext ctx = contextFor('C', false);
    services.lookupAnswer = 2;
    const auto chosen = chooseAddressEntry(ctx, services);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->name1, "Beta");
    EXPECT_EQ(services.lookupTables, std::vector<std::string>{"INDIRIZZI_C"});
    services.lookupAnswer = -1;
    EXPECT_FALSE(chooseAddressEntry(ctx, services).has_value());
    services.lookupAnswer = 7; // not in the file
    EXPECT_FALSE(chooseAddressEntry(ctx, services).has_value());
}

} // namespace
} // namespace accise
