// accise-cli settings: the installation's excise codes shown and set, checked as the
// settings window checks them.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_support.h"
#include "core/files/recordfile.h"
#include "test_support.h"

using namespace accise;
using accise::testing::runCli;
using accise::testing::TempDir;

namespace {

std::string q(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

const char* kAllEmpty =
    "SDOPPIAMENTO_COTTA_1=\nSDOPPIAMENTO_COTTA_2=\nSDOPPIAMENTO_COTTA_3=\nSDOPPIAMENTO_COTTA_4=\n"
    "SDOPPIAMENTO_COTTA_5=\nSDOPPIAMENTO_COTTA_6=\nSDOPPIAMENTO_COTTA_7=\nSVINCOLO_DIRETTO=\n";

} // namespace

TEST(CliSettings, ShowSetAndClear) {
    TempDir dir;
    ASSERT_EQ(runCli("init " + q(dir.path())).exitCode, 0);
    const auto ini = dir / "DATI_GEN/IMPIANTO.INI";

    const auto empty = runCli("settings show " + q(dir.path()));
    ASSERT_EQ(empty.exitCode, 0) << empty.err;
    EXPECT_EQ(empty.out, kAllEmpty);
    EXPECT_FALSE(std::filesystem::exists(ini)); // showing writes nothing

    // Keys in any letter case; codes typed in lower case become capitals, as in the window.
    const auto set = runCli("settings set " + q(dir.path()) + " svincolo_diretto it00mia00123b");
    ASSERT_EQ(set.exitCode, 0) << set.err;
    EXPECT_EQ(set.out, "SVINCOLO_DIRETTO=IT00MIA00123B\n");
    EXPECT_EQ(runCli("settings set " + q(dir.path()) + " SDOPPIAMENTO_COTTA_3 IT00MIA00777M").exitCode, 0);
    const auto shown = runCli("settings show " + q(dir.path()));
    EXPECT_NE(shown.out.find("SDOPPIAMENTO_COTTA_3=IT00MIA00777M\n"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("SVINCOLO_DIRETTO=IT00MIA00123B\n"), std::string::npos) << shown.out;

    // Refusals leave the file as it was: a code the company data would refuse (exit 1),
    // an unknown key or a missing value (exit 2).
    const std::string before = readRecords(ini, 1).bytes();
    const struct {
        std::string arguments;
        int exitCode;
        const char* says;
    } refused[] = {
        {"settings set DIR SVINCOLO_DIRETTO IT00MIV00123B", 1, "CODICE D'ACCISA ERRATO"},
        {"settings set DIR SVINCOLO_DIRETTO IT00MIA0012", 1, "CODICE D'ACCISA ERRATO"},
        {"settings set DIR SDOPPIAMENTO_COTTA_8 IT00MIA00123B", 2, "chiave sconosciuta"},
        {"settings set DIR SVINCOLO_DIRETTO", 2, "manca il valore"},
        {"settings mostra DIR", 2, "sottocomando sconosciuto"},
    };
    for (const auto& r : refused) {
        std::string arguments = r.arguments;
        arguments.replace(arguments.find("DIR"), 3, q(dir.path()));
        const auto result = runCli(arguments);
        EXPECT_EQ(result.exitCode, r.exitCode) << r.arguments;
        EXPECT_NE(result.err.find(r.says), std::string::npos) << r.arguments << ": " << result.err;
        EXPECT_EQ(readRecords(ini, 1).bytes(), before) << r.arguments;
    }

    // An empty value: no operator any more.
    EXPECT_EQ(runCli("settings set " + q(dir.path()) + " SVINCOLO_DIRETTO ''").exitCode, 0);
    EXPECT_EQ(runCli("settings set " + q(dir.path()) + " SDOPPIAMENTO_COTTA_3 ''").exitCode, 0);
    EXPECT_EQ(runCli("settings show " + q(dir.path())).out, kAllEmpty);
}
