// A line break, a TAB or another control character in a text would split a flow
// line, shift its fields and make its head line lie: every writer refuses it, naming
// the field, and the flow writer refuses a record that still holds one.
#include <gtest/gtest.h>

#include "core/books/movementfile.h"
#include "core/files/ioerror.h"
#include "core/files/recordfile.h"
#include "core/flow/flowfile.h"
#include "core/tables/addressbook.h"
#include "core/tables/company.h"
#include "flow_testdata.h"
#include "test_support.h"

using namespace accise;
namespace fd = accise::flowdata;
using accise::testing::RecordingPrompt;
using accise::testing::TempDir;

namespace {

// Texts as they arrive from an import file or a paste.
const std::vector<std::pair<const char*, std::string>> kBadTexts = {
    {"CR LF", "riga1\r\nriga2"}, {"LF", "riga1\nriga2"}, {"TAB", "a\tb"},
    {"ESC", "a\x1b" "b"},        {"DEL", "a\x7f"},        {"C1 NEL", "a\xC2\x85"},
};

std::string bytesOf(const fs::path& file) { return readRecords(file, 1, IfMissing::Empty).bytes(); }

// Runs `write` and expects an IoError naming `field`.
template <class F>
void expectRefused(const char* what, const char* field, F write) {
    try {
        write();
        ADD_FAILURE() << what << ": accepted";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find(std::string("nel campo ") + field), std::string::npos) << what << ": " << e.what();
    }
}

TEST(ControlCharacters, EveryWriterRefusesThemNamingTheField) {
    TempDir dir;
    RecordingPrompt prompt;
    const fs::path rgm = dir / "2014.RGM";
    Movement sent = fd::unloadWithExcise();
    sent.NUMREC = 1;
    sent.NUMFLU = 1;
    writeWholeFile(rgm, encodeMovement(sent));
    const Folders folders = Folders::of(dir / "lavoro", dir / "temp");
    folders.create();
    const std::string before = bytesOf(rgm);

    for (const auto& [what, text] : kBadTexts) {
        Movement note = fd::unloadWithExcise();
        note.ANNOTA = text;
        expectRefused(what, "ANNOTA", [&] { appendMovement(rgm, note, false, prompt); });
        Movement partner = fd::unloadWithExcise();
        partner.MITDES = text;
        expectRefused(what, "MITDES", [&] { appendMovements(rgm, {partner}, false, prompt); });
        expectRefused(what, "ANNOTA", [&] { correctMovement(rgm, 1, text, std::nullopt, prompt); });
        expectRefused(what, "MITDES", [&] { correctMovement(rgm, 1, "rettifica", partner, prompt); });

        AddressRecord address = blankAddress();
        address.id1 = "IT00MIA00777M";
        address.name1 = text;
        expectRefused(what, "name1", [&] { insertAddress(folders.addressBook('F'), address, prompt); });
        expectRefused(what, "name1", [&] { writeCompany(folders, address); });
    }
    EXPECT_EQ(bytesOf(rgm), before);
    EXPECT_FALSE(fileExists(folders.addressBook('F')));
    EXPECT_FALSE(fileExists(folders.company()));

    // Accents, the euro sign and a closing blank are texts like any other.
    Movement fine = fd::unloadWithExcise();
    fine.ANNOTA = "perché 10 € ";
    EXPECT_NO_THROW(appendMovement(rgm, fine, false, prompt));
}

TEST(ControlCharacters, TheFlowWriterRefusesARecordHoldingOne) {
    const FlowCompany company = FlowCompany::of(fd::company());
    for (const auto& [what, text] : kBadTexts) {
        Movement m = fd::unloadWithExcise();
        m.ANNOTA = text;
        EXPECT_THROW(flowFileBytes(company, "AB120315.C01", {fd::unloadWithExcise(), m}), std::invalid_argument)
            << what;
    }
}

} // namespace
