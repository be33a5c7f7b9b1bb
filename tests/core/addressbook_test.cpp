#include "core/tables/addressbook.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/files/lock.h"
#include "core/files/recordfile.h"
#include "test_support.h"

namespace accise {
namespace {

std::string fileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

AddressRecord entry(const std::string& name, const std::string& excise = "", const std::string& vat = "",
                    std::int32_t code = 0) {
    AddressRecord a = blankAddress();
    a.code = code;
    a.name1 = name;
    a.id1 = excise;
    a.id2 = vat;
    a.city1 = "MILANO";
    a.section = "it";
    return a;
}

class AddressBook : public ::testing::Test {
protected:
    AddressBook() : folders(Folders::of(dir.path(), dir / "temp")) {
        folders.create();
        book = folders.addressBook('F');
    }

    // (code, denomination) of every entry in file order.
    std::vector<std::pair<std::int32_t, std::string>> order(const fs::path& file) const {
        std::vector<std::pair<std::int32_t, std::string>> out;
        for (const auto& a : readAddressBook(file)) out.emplace_back(a.code, a.name1);
        return out;
    }
    using Order = std::vector<std::pair<std::int32_t, std::string>>;

    testing::TempDir dir;
    Folders folders;
    fs::path book;
    testing::RecordingPrompt prompt;
};

TEST_F(AddressBook, OrderedByPaddedDenominationCapitalsFirst) {
    EXPECT_EQ(insertAddress(book, entry("Alfa"), prompt), 1);
    EXPECT_EQ(insertAddress(book, entry("Beta"), prompt), 2);
    EXPECT_EQ(insertAddress(book, entry("ALFA"), prompt), 3);
    EXPECT_EQ(insertAddress(book, entry("ALFA"), prompt), 4);  // after the first ALFA
    EXPECT_EQ(insertAddress(book, entry("ALF"), prompt), 5);   // padded: "ALF " before "ALFA"
    EXPECT_EQ(order(book), (Order{{5, "ALF"}, {3, "ALFA"}, {4, "ALFA"}, {1, "Alfa"}, {2, "Beta"}}));
    EXPECT_EQ(fs::file_size(book), 5 * kAddressSize);
    EXPECT_FALSE(fileExists(lockMarkerOf(book)));
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(AddressBook, NewCodeIsHighestPlusOne) {
    for (const char* name : {"A", "B", "C"}) insertAddress(book, entry(name), prompt);
    ASSERT_TRUE(deleteAddress(book, 1, prompt));
    EXPECT_EQ(insertAddress(book, entry("D"), prompt), 4); // not the count + 1
    EXPECT_EQ(insertAddress(book, entry("E", "", "", 40), prompt), 40); // a given code is kept
    EXPECT_EQ(insertAddress(book, entry("F"), prompt), 41);
}

TEST_F(AddressBook, Delete) {
    for (const char* name : {"A", "B", "C"}) insertAddress(book, entry(name), prompt);
    const std::string before = fileBytes(book);
    EXPECT_FALSE(deleteAddress(book, 9, prompt));
    EXPECT_EQ(fileBytes(book), before);
    EXPECT_TRUE(deleteAddress(book, 2, prompt));
    EXPECT_EQ(order(book), (Order{{1, "A"}, {3, "C"}}));
    EXPECT_TRUE(deleteAddress(book, 3, prompt));
    EXPECT_EQ(order(book), (Order{{1, "A"}}));
    EXPECT_EQ(fs::file_size(book), kAddressSize);
}

TEST_F(AddressBook, ModifyMovesTheEntryAndKeepsItsCode) {
    for (const char* name : {"Alfa", "Beta", "Gamma", "Zeta"}) insertAddress(book, entry(name), prompt);
    AddressRecord changed = entry("Delta", "IT00MIA00001X", "", 1); // was "Alfa"
    EXPECT_EQ(modifyAddress(book, changed, prompt), 1);
    EXPECT_EQ(order(book), (Order{{2, "Beta"}, {1, "Delta"}, {3, "Gamma"}, {4, "Zeta"}}));
    EXPECT_EQ(readAddressBook(book)[1].id1, "IT00MIA00001X");
    EXPECT_FALSE(fileExists(lockMarkerOf(book)));
}

// The single rewrite gives the bytes that deleting and then inserting would give.
TEST_F(AddressBook, ModifyEqualsDeleteThenInsert) {
    const fs::path twoStep = folders.addressBook('C');
    const struct {
        std::int32_t code;
        const char* name;
    } cases[] = {
        {2, "ALFA"},  // onto an equal key: after the existing ALFA
        {3, "Zz"},    // to the end
        {1, "Alfa"},  // unchanged name
        {7, "Nuovo"}, // a code not present: inserted with that code
        {0, "Zero"},  // code 0: numbered as a new entry
    };
    for (const fs::path& f : {book, twoStep})
        for (const char* name : {"Alfa", "ALFA", "Beta", "Gamma"}) insertAddress(f, entry(name), prompt);
    for (const auto& c : cases) {
        const AddressRecord e = entry(c.name, "", "IT123", c.code);
        const std::int32_t written = modifyAddress(book, e, prompt);
        deleteAddress(twoStep, c.code, prompt);
        EXPECT_EQ(written, insertAddress(twoStep, e, prompt)) << c.name;
        EXPECT_EQ(fileBytes(book), fileBytes(twoStep)) << c.name;
    }
}

TEST_F(AddressBook, ModifyWaitsForTheLock) {
    insertAddress(book, entry("Alfa"), prompt);
    writeWholeFile(lockMarkerOf(book), "");
    prompt.onInformation = [&](int) { fs::remove(lockMarkerOf(book)); };
    modifyAddress(book, entry("Beta", "", "", 1), prompt);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{lockWaitMessage(book)});
    EXPECT_EQ(order(book), (Order{{1, "Beta"}}));
    EXPECT_FALSE(fileExists(lockMarkerOf(book)));
}

TEST_F(AddressBook, SearchKinds) {
    insertAddress(book, entry("ALFA SRL", "IT00MIA00001X", "01234567890"), prompt);   // code 1
    insertAddress(book, entry("Società Birra", "", "99999999999"), prompt);           // code 2
    insertAddress(book, entry("Beta", "IT00MIA00002X", "01234567890"), prompt);       // code 3, same VAT
    const struct {
        AddressSearch kind;
        AddressRecord probe;
        std::int32_t found; // 0: none
    } cases[] = {
        {AddressSearch::Code, entry("", "", "", 3), 3},
        {AddressSearch::Code, entry("", "", "", 9), 0},
        {AddressSearch::ExciseCode, entry("", "IT00MIA00001X   "), 1}, // trailing spaces
        {AddressSearch::ExciseCode, entry("", "IT00MIA00001"), 0},
        {AddressSearch::Name, entry("Alfa Srl"), 1},
        {AddressSearch::Name, entry("alfa srl  "), 1},
        {AddressSearch::Name, entry("SOCIETÀ BIRRA"), 2}, // accented letters fold too
        {AddressSearch::Name, entry("Alfa"), 0},
        {AddressSearch::VatNumber, entry("", "", "01234567890"), 1}, // the first in file order
        {AddressSearch::VatNumber, entry("", "", "0123456789"), 0},
    };
    for (const auto& c : cases) {
        const auto found = searchAddress(folders, 'F', c.kind, c.probe);
        if (c.found == 0) {
            EXPECT_FALSE(found.has_value()) << static_cast<int>(c.kind) << " " << c.probe.name1;
        } else {
            ASSERT_TRUE(found.has_value()) << static_cast<int>(c.kind) << " " << c.probe.name1;
            EXPECT_EQ(found->code, c.found);
            EXPECT_EQ(found->city1, "MILANO"); // trimmed
        }
    }
}

TEST_F(AddressBook, SearchComparesStoredTextsOnTheirPaddedForm) {
    // An entry written elsewhere: the excise code's length byte is 13, the rest garbage.
    std::string raw = encodeAddress(entry("Dest", "IT00MIA00003X", "", 1));
    raw[4] = 13;
    for (std::size_t i = 4 + 1 + 13; i < 4 + 1 + 18; ++i) raw[i] = 'Q';
    writeWholeFile(folders.addressBook('D'), raw);
    const auto found = searchAddress(folders, 'D', AddressSearch::ExciseCode, entry("", "IT00MIA00003X"));
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->id1, "IT00MIA00003X");
}

TEST_F(AddressBook, SearchCreatesAMissingBook) {
    const fs::path guarantors = folders.addressBook('G');
    EXPECT_FALSE(searchAddress(guarantors, AddressSearch::Name, entry("X")).has_value());
    EXPECT_TRUE(fileExists(guarantors));
    EXPECT_EQ(fs::file_size(guarantors), 0u);
    EXPECT_TRUE(readAddressBook(folders.addressBook('T')).empty());
}

TEST_F(AddressBook, KindLetterAndCaption) {
    EXPECT_EQ(addressBookKind("INDIRIZZI_F"), 'F');
    EXPECT_EQ(addressBookKind("INDIRIZZI_"), '\0');
    const struct {
        char kind;
        const char* caption;
    } cases[] = {{'C', "Cliente"},
                 {'F', "Fornitore"},
                 {'G', "Garante"},
                 {'T', "Azienda di Trasporto"},
                 {'D', "Destinatario DAA"},
                 {'X', ""}};
    for (const auto& c : cases) EXPECT_EQ(addressKindCaption(c.kind), c.caption) << c.kind;
}

} // namespace
} // namespace accise
