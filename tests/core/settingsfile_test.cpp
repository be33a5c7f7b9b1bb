#include <gtest/gtest.h>

#include "core/files/ioerror.h"
#include "core/files/recordfile.h"
#include "core/files/settingsfile.h"
#include "core/tables/installationsettings.h"
#include "support/test_support.h"

namespace accise {
namespace {
using testing::TempDir;

TEST(SettingsFile, ChangingAValueKeepsNotesUnknownKeysAndLineOrder) {
    TempDir dir;
    const fs::path path = dir.path() / "X.INI";
    writeWholeFile(path, "# nota dell'installatore\r\nALTRO=1\r\nhost = prova.example \r\n");
    SettingsFile file = SettingsFile::read(path);
    EXPECT_EQ(file.valueOr("HOST", ""), "prova.example"); // keys without letter case, values trimmed
    EXPECT_FALSE(file.value("MANCA"));
    file.set("Host", "citt\xC3\xA0"); // UTF-8 in memory, Windows-1252 in the file
    file.set("NUOVA", "");
    file.write(path);
    EXPECT_EQ(readRecords(path, 1, IfMissing::Empty).bytes(),
              "# nota dell'installatore\r\nALTRO=1\r\nHOST=citt\xE0\r\nNUOVA=\r\n");
    EXPECT_EQ(SettingsFile::read(path).valueOr("host", ""), "citt\xC3\xA0");
}

TEST(SettingsFile, RefusesALineBreakInAValue) {
    TempDir dir;
    SettingsFile file;
    file.set("A", "uno\r\nB=due");
    EXPECT_THROW(file.write(dir.path() / "X.INI"), IoError);
    EXPECT_FALSE(fileExists(dir.path() / "X.INI"));
}

TEST(InstallationSettings, DefaultIsNoneAndCodesMatchTrimmed) {
    TempDir dir;
    const Folders folders = Folders::of(dir.path() / "w", dir.path() / "t");
    folders.create();
    InstallationSettings settings = readInstallationSettings(folders);
    EXPECT_FALSE(settings.splitsBrews("IT00ABC12345X"));
    EXPECT_FALSE(settings.splitsBrews(""));     // an unused entry matches nothing
    EXPECT_FALSE(settings.releasesDirectly(""));

    settings.brewSplitExciseCodes[6] = "IT00ABC12345X";
    settings.directReleaseExciseCode = "IT00XYZ00001Y";
    writeInstallationSettings(folders, settings);
    const InstallationSettings read = readInstallationSettings(folders);
    EXPECT_TRUE(read.splitsBrews("IT00ABC12345X "));
    EXPECT_FALSE(read.splitsBrews("IT00XYZ00001Y"));
    EXPECT_TRUE(read.releasesDirectly("IT00XYZ00001Y"));
}

} // namespace
} // namespace accise
