// accise-cli summary end to end: the excise summary of a period or of a day, proposed
// from a register built with the core, printed and never written.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "cli/cli_support.h"
#include "common/dates.h"
#include "common/folders.h"
#include "register_builder.h"
#include "test_support.h"

using namespace accise;
using namespace accise::testing;

namespace {

std::string q(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

// Every file under the folder with its size: what "nothing is written" must keep.
std::map<std::string, std::uintmax_t> listing(const std::filesystem::path& dir) {
    std::map<std::string, std::uintmax_t> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir))
        files[e.path().string()] = e.is_regular_file() ? e.file_size() : 0;
    return files;
}

struct Brewery {
    TempDir dir;
    Folders folders = Folders::of(dir / "work", dir / "temp");
    Brewery() {
        folders.create();
        addToRegister(folders, registerMovement("29/02/2016", "S", 1000));
        addToRegister(folders, registerMovement("01/03/2016", "S", 7));
        addToRegister(folders, registerMovement("10/02/2016", "C", 20.5));
        addToRegister(folders, registerMovement("10/02/2016", "S", 9, "002"));
        Movement credit = dutyRecord("D", "2016", "02");
        credit.ETTOGR = 150;
        addDutyRecord(folders.dutyFile(2016), credit);
        Movement sent = dutyRecord("E", "2016", "01");
        sent.NUMFLU = 1;
        addDutyRecord(folders.dutyFile(2016), sent);
        addToRegister(folders, registerMovement("10/06/2014", "C", 30, "001", "DAA"));
        addToRegister(folders, registerMovement("10/06/2014", "C", 500, "001", "EAD"));
        addToRegister(folders, registerMovement("10/06/2014", "C", 2.25, "001", "ROR"));
    }
    std::string work() const { return q(folders.working); }
};

} // namespace

TEST(CliSummary, PeriodAndDayPrintTheProposalAndWriteNothing) {
    Brewery b;
    const auto before = listing(b.folders.working);

    const auto period = runCli("summary " + b.work() + " --year 2016 --period 02");
    EXPECT_EQ(period.exitCode, 0) << period.err;
    EXPECT_EQ(period.out, "1000.00 150.00 20.50 829.50\n");

    const auto march = runCli("summary " + b.work() + " --year 2016 --period 3");
    EXPECT_EQ(march.exitCode, 0) << march.err;
    EXPECT_EQ(march.out, "7.00 0.00 0.00 7.00\n");

    const auto day = runCli("summary " + b.work() + " --day 10/06/2014");
    EXPECT_EQ(day.exitCode, 0) << day.err;
    EXPECT_EQ(day.out, "32.25\n");

    EXPECT_EQ(listing(b.folders.working), before);
}

TEST(CliSummary, RefusalsOfTheWindow) {
    Brewery b;
    Movement credit = dutyRecord("D", "2016", "04");
    credit.ETTOGR = 10;
    addDutyRecord(b.folders.dutyFile(2016), credit);

    struct Case {
        const char* arguments;
        int exitCode;
        const char* out;
        const char* errPart;
    };
    const Case cases[] = {
        {" --year 2016 --period 04", 1, "0.00 10.00 0.00 -10.00\n", "NON SONO AMMESSI IMPORTI NEGATIVI !"},
        {" --year 2016 --period 01", 1, "", "ATTENZIONE PERIODO GIA` INVIATO! PER MODIFICARE UTILIZZA LA RETTIFICA"},
        {" --year 2016 --period 12", 2, "", "periodo non valido"},
        {" --year 2007 --period 01", 2, "", "anno non valido"},
        {" --day 31/02/2014", 2, "", "data non valida"},
        {" --day 10/06/2014 --year 2014", 2, "", "oppure --day"},
        {" --year 2016", 2, "", "indicare --year e --period"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const auto r = runCli("summary " + b.work() + c.arguments);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(r.out, c.out);
        EXPECT_NE(r.err.find(c.errPart), std::string::npos) << r.err;
    }
}
