// The application paths and web addresses windows.
#include <gtest/gtest.h>

#include "core/files/recordfile.h"
#include "core/tables/company.h"
#include "logic/masterdata/companydata.h"
#include "logic/masterdata/paths.h"
#include "logic/masterdata/webaddresses.h"
#include "logic/shell/commands.h"
#include "logic/window_fixtures.h"

namespace accise {
namespace {

using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

class ConfigWindows : public ::testing::Test {
protected:
    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
};

TEST_F(ConfigWindows, OpeningCreatesABlankFileAndAbandonLeavesItBlank) {
    ApplicationPathsLogic paths(ctx, prompt, services);
    WebAddressesLogic web(ctx, prompt, services);
    for (EntryFormLogic* form : {static_cast<EntryFormLogic*>(&paths), static_cast<EntryFormLogic*>(&web)}) {
        form->open();
        EXPECT_EQ(form->focusAfterOpen(), "LE0");
        form->setValue("LE0", "typed, then abandoned");
        form->abandon();
        EXPECT_TRUE(form->closeRequested());
    }
    for (const fs::path& file : {work.folders.applConfig(), work.folders.webConfig()}) {
        const auto block = readRecords(file, kTableSize, IfMissing::Empty);
        ASSERT_EQ(block.count(), 1u) << file;
        EXPECT_EQ(block.bytes(), encodeTable(blankTable())) << file;
    }
    EXPECT_FALSE(runReadinessCheck(ctx, prompt));
}

TEST_F(ConfigWindows, SavingPutsTheEntriesIntoTheRecordAsRead) {
    TableRecord stored = blankTable();
    stored.col[0] = "old";
    stored.col[5] = "kept column";
    stored.extra[1] = "kept extra";
    stored.nums[3] = 2.5;
    writeConfigRecord(work.folders.applConfig(), stored);

    ApplicationPathsLogic paths(ctx, prompt, services);
    paths.open();
    EXPECT_EQ(paths.value("LE0"), "old");
    paths.setValue("LE0", "/opt/fv/FirmaVerifica");
    paths.setValue("LE3", ""); // empty entries are allowed; the readiness check reports them
    EXPECT_EQ(paths.confirm(), std::nullopt);
    EXPECT_TRUE(paths.closeRequested());

    const TableRecord saved = readConfigRecord(work.folders.applConfig());
    EXPECT_EQ(saved.col[0], "/opt/fv/FirmaVerifica");
    EXPECT_EQ(saved.col[5], "kept column");
    EXPECT_EQ(saved.extra[1], "kept extra");
    EXPECT_EQ(saved.nums[3], 2.5);
    EXPECT_EQ(readRecords(work.folders.applConfig(), kTableSize, IfMissing::Empty).bytes().size(),
              kTableSize);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(ConfigWindows, ChoosingTheSigningProgramProposesItsTwoFolders) {
    ApplicationPathsLogic paths(ctx, prompt, services);
    paths.open();
    const std::string program = (work.dir.path() / "fv" / "FirmaVerifica.exe").string();
    const std::string folder = (work.dir.path() / "fv").string() + "/";
    paths.setValue("LE1", "/somewhere/");
    EXPECT_EQ(paths.browseStart(0), "");
    EXPECT_EQ(paths.browseStart(1), "/somewhere/F");
    paths.fileChosen(0, program);
    EXPECT_EQ(paths.value("LE0"), program);
    EXPECT_EQ(paths.value("LE1"), folder + "dafirmare/");
    EXPECT_EQ(paths.value("LE2"), folder + "firmati/");
    EXPECT_FALSE(fs::exists(work.dir.path() / "fv")); // nothing is created
    paths.fileChosen(3, "/data/emcs/messaggio.xml");
    EXPECT_EQ(paths.value("LE3"), "/data/emcs/");
    paths.fileChosen(2, ""); // dialog cancelled
    EXPECT_EQ(paths.value("LE2"), folder + "firmati/");
}

TEST_F(ConfigWindows, FillingCompanyPathsAndWebAddressesSatisfiesTheReadinessCheck) {
    testing::writeOfficeTable(work.folders);
    EXPECT_EQ(refreshStatus(ctx, prompt).size(), work.folders.working.string().size() + 7 + 18 + 3 + 10);
    EXPECT_EQ(prompt.messages.size(), 3u);

    CompanyDataLogic company(ctx, prompt, services);
    company.open();
    const std::pair<const char*, const char*> typed[] = {
        {"CACCI1", "IT00MIA00012X"}, {"DENOM1", "Birrificio"}, {"INDIR1", "Via Roma"}, {"NUMCI1", "1"},
        {"C_A_P1", "20100"},         {"CITTA1", "MILANO"},     {"UFFDO1", "IT012000"}};
    for (const auto& [control, text] : typed)
        company.setValue(control, text);
    ASSERT_EQ(company.confirm(), std::nullopt);

    ApplicationPathsLogic paths(ctx, prompt, services);
    paths.open();
    for (int i = 0; i < 4; ++i)
        paths.setValue(ApplicationPathsLogic::control(i), "/p" + std::to_string(i) + "/");
    ASSERT_EQ(paths.confirm(), std::nullopt);

    WebAddressesLogic web(ctx, prompt, services);
    web.open();
    for (int i = 0; i < 7; ++i)
        web.setValue(WebAddressesLogic::control(i), "https://w" + std::to_string(i));
    ASSERT_EQ(web.confirm(), std::nullopt); // entry 8 may stay empty

    prompt.messages.clear();
    const std::string status = refreshStatus(ctx, prompt);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(status, work.folders.working.string() + "   *** IT00MIA00012X      - ALCODA    ");
    EXPECT_EQ(readWebConfig(work.folders)[6], "https://w6");
}

} // namespace
} // namespace accise
