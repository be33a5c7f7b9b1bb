// The installation settings window: the excise codes it accepts, and what it keeps in
// IMPIANTO.INI.
#include <gtest/gtest.h>

#include "core/files/recordfile.h"
#include "core/files/settingsfile.h"
#include "core/tables/installationsettings.h"
#include "logic/masterdata/companydata.h"
#include "logic/masterdata/installationsettingswindow.h"
#include "logic/window_fixtures.h"

namespace accise {
namespace {

using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

class InstallationSettingsWindow : public ::testing::Test {
protected:
    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
};

TEST_F(InstallationSettingsWindow, EachCodeIsEmptyOrAnExciseCodeAsTheCompanyDataTakeIt) {
    const struct {
        const char* code;
        bool accepted;
    } cases[] = {
        {"", true},
        {"IT00MIA00123B", true},
        {"IT00MIV00123B", false}, // a site's code, never the company's
        {"IT00MIA0012", false},   // too short
        {"IT00MIA00123BX", false},
        {"FR00MIA00123B", false},
        {"it00mia00123b", false}, // the field makes capitals as they are typed
    };
    InstallationSettingsLogic window(ctx, prompt, services);
    window.open();
    for (const auto& c : cases) {
        for (const std::string& control : {InstallationSettingsLogic::splitControl(4),
                                          std::string(InstallationSettingsLogic::kReleaseControl)}) {
            SCOPED_TRACE(std::string(c.code) + " in " + control);
            prompt.messages.clear();
            window.setValue(control, c.code);
            EXPECT_EQ(window.leave(control).proceed, c.accepted);
            EXPECT_EQ(window.confirmChecks(),
                      c.accepted ? std::nullopt : std::optional<std::string>(control));
            if (c.accepted) {
                EXPECT_TRUE(prompt.messages.empty());
            } else {
                ASSERT_FALSE(prompt.messages.empty());
                EXPECT_EQ(prompt.messages.back(), companydata::kWrongExciseCode);
            }
            window.setValue(control, "");
        }
    }
    EXPECT_FALSE(fileExists(installationSettingsFile(work.folders)));
}

TEST_F(InstallationSettingsWindow, OpensOnTheFileAndSavesKeepingItsOtherLines) {
    writeWholeFile(installationSettingsFile(work.folders),
                   "; impianto di Milano\r\nSDOPPIAMENTO_COTTA_2=IT00MIA00777M\r\nALTRO=1\r\n");
    InstallationSettingsLogic window(ctx, prompt, services);
    window.open();
    EXPECT_EQ(window.focusAfterOpen(), "SDOPPIAMENTO1");
    EXPECT_EQ(window.value("SDOPPIAMENTO2"), "IT00MIA00777M");
    EXPECT_EQ(window.value("SVINCOLO"), "");
    window.setValue("SDOPPIAMENTO2", "");
    window.setValue("SDOPPIAMENTO7", "IT00MIA00123B");
    window.setValue("SVINCOLO", "IT00MIA00123B");
    EXPECT_EQ(window.confirm(), std::nullopt);
    EXPECT_TRUE(window.closeRequested());

    const InstallationSettings saved = readInstallationSettings(work.folders);
    EXPECT_EQ(saved.brewSplitExciseCodes[1], "");
    EXPECT_EQ(saved.brewSplitExciseCodes[6], "IT00MIA00123B");
    EXPECT_TRUE(saved.releasesDirectly("IT00MIA00123B"));
    EXPECT_TRUE(saved.splitsBrews("IT00MIA00123B"));
    const SettingsFile file = SettingsFile::read(installationSettingsFile(work.folders));
    EXPECT_EQ(file.text().substr(0, 22), "; impianto di Milano\r\n");
    EXPECT_EQ(file.value("ALTRO"), std::optional<std::string>("1"));
}

} // namespace
} // namespace accise
