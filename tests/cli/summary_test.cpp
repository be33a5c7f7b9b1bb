// accise-cli summary end to end: the excise summary of a period or of a day, proposed
// from a register typed in through "movements import" (duty records through
// "append"), printed and never written.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "cli/cli_support.h"
#include "core/tables/dates.h"
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

// The demo brewery (its movements are all of last year), with this year's movements
// typed in by the tests. Its keg beer BIONDAFUSTO is at 12 degrees Plato; the excise
// rate in force is 2,99 euro per hectolitre-degree.
class CliSummary : public ::testing::Test {
protected:
    CliSummary() {
        const auto demo = runCli("demo " + q(work));
        EXPECT_EQ(demo.exitCode, 0) << demo.err;
    }
    // A date of this year.
    std::string day(const char* ddmm) const { return std::string(ddmm) + "/" + y; }
    std::string kegs(const char* type, const char* ddmm, const char* document, const char* litres,
                     const char* position, const std::string& more = "") const {
        return std::string("{\"TIPMOV\":\"") + type + "\",\"DATMOV\":\"" + day(ddmm) + "\",\"DATDOC\":\"" +
               day(ddmm) + "\",\"NUMDOC\":\"" + document + "\",\"PRODAZ\":\"BIONDAFUSTO\",\"QTA\":" + litres +
               ",\"POSFIS\":\"" + position + "\"" + more + "}\n";
    }
    void import(const std::string& lines) const {
        const auto r = runCli("movements import " + q(work), lines);
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    void appendDutyRecord(const std::string& json) const {
        const auto r = runCli("append " + q(work / "REGISTRI" / (y + ".DER")), json + "\n");
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }

    TempDir dir;
    std::filesystem::path work = dir / "birrificio";
    std::string y = std::to_string(yearOf(todayDayNumber()));
};

// Period 03 (1-31 March) of the warehouse keeper, hectolitre-degrees = litres x 12 / 100:
//   15/03 sale (DAS) 100 l under 001:       12 hl°P x 2,99 = 35,88   excise due
//   31/03 sale 250 l under 001, last day:   30 hl°P x 2,99 = 89,70   excise due
//   20/03 sale 200 l under 002 (suspended): 71,76 computed, not counted
//   25/03 goods returned (104) 10 l, 001:   1,2 hl°P x 2,99 = 3,588 -> 3,59 reversal
//   28/02 and 01/04 sales of 100 l:         outside the period
//   a credit (record D) of period 03:       20,00
// excise due 35,88 + 89,70 = 125,58; total 125,58 - 20,00 - 3,59 = 101,99.
// Period 02 holds only the sale of 28/02: 35,88.
TEST_F(CliSummary, PeriodOfTheWarehouseKeeper) {
    const std::string dasTo = ",\"TIPDOC\":\"DAS\",\"CAUMOV\":\"071\",\"MITDES\":\"IT00TOA00999Z\"";
    import(kegs("S", "15/03", "S-1", "100", "001", dasTo) + kegs("S", "31/03", "S-2", "250", "001", dasTo) +
           kegs("S", "20/03", "S-3", "200", "002", dasTo) +
           kegs("C", "25/03", "R-1", "10", "001", ",\"TIPDOC\":\"VIA\",\"CAUMOV\":\"104\"") +
           kegs("S", "28/02", "S-4", "100", "001", dasTo) + kegs("S", "01/04", "S-5", "100", "001", dasTo));
    appendDutyRecord(R"({"TIPREC":"D","TIPOPE":"I","ANNPRO":")" + y + R"(","CODPAE":"03","ETTOGR":20})");
    const auto before = listing(work);

    const auto march = runCli("summary " + q(work) + " --year " + y + " --period 03");
    EXPECT_EQ(march.exitCode, 0) << march.err;
    EXPECT_EQ(march.out, "125.58 20.00 3.59 101.99\n");
    const auto february = runCli("summary " + q(work) + " --year " + y + " --period 2");
    EXPECT_EQ(february.exitCode, 0) << february.err;
    EXPECT_EQ(february.out, "35.88 0.00 0.00 35.88\n");

    EXPECT_EQ(listing(work), before);
}

// A registered consignee declares the excise of what it receives, by day, on the
// report of receipt (ROR); the window computes none on other documents:
//   12/05 ROR 100 l:                      12 hl°P x 2,99 = 35,88
//   12/05 ROR 20 l with the excise typed: 7,50 (instead of 2,4 x 2,99 = 7,18)
//   12/05 DAA 50 l:                       no excise computed: 0
//   12/05 sale (DAS) 30 l:                an unload, not a receipt
//   13/05 ROR 100 l:                      another day
// 12/05: 35,88 + 7,50 = 43,38; 13/05: 35,88; 14/05: nothing.
TEST_F(CliSummary, DayOfTheRegisteredConsignee) {
    const auto profile = runCli("profile " + q(work) + " ALCOPP");
    ASSERT_EQ(profile.exitCode, 0) << profile.err;
    EXPECT_EQ(profile.out, "ALCOPP\n");
    const auto ror = [](const char* n, const std::string& more = "") {
        return std::string(",\"TIPDOC\":\"ROR\",\"NPRDAA\":") + n + ",\"NILODD\":\"EAD-" + n +
               "\",\"NUMCPR\":1,\"CAUMOV\":\"101\",\"MITDES\":\"IT00MIA00777M\"" + more;
    };
    import(kegs("C", "12/05", "ROR-1", "100", "001", ror("1")) +
           kegs("C", "12/05", "ROR-2", "20", "001", ror("2", ",\"ACCISA\":\"7,50\"")) +
           kegs("C", "12/05", "DAA-1", "50", "001", ",\"TIPDOC\":\"DAA\",\"CAUMOV\":\"101\",\"MITDES\":\"IT00MIA00777M\"") +
           kegs("S", "12/05", "S-1", "30", "001", ",\"TIPDOC\":\"DAS\",\"CAUMOV\":\"071\",\"MITDES\":\"IT00TOA00999Z\"") +
           kegs("C", "13/05", "ROR-3", "100", "001", ror("3")));
    const auto before = listing(work);

    const struct {
        const char* day;
        const char* out;
    } days[] = {{"12/05", "43.38\n"}, {"13/05", "35.88\n"}, {"14/05", "0.00\n"}};
    for (const auto& d : days) {
        const auto r = runCli("summary " + q(work) + " --day " + day(d.day));
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, d.out) << d.day;
    }
    EXPECT_EQ(listing(work), before);
}

TEST_F(CliSummary, RefusalsOfTheWindow) {
    // A credit with nothing due makes a negative total; a summary already sent.
    appendDutyRecord(R"({"TIPREC":"D","TIPOPE":"I","ANNPRO":")" + y + R"(","CODPAE":"04","ETTOGR":10})");
    appendDutyRecord(R"({"TIPREC":"E","TIPOPE":"I","ANNPRO":")" + y + R"(","CODPAE":"01","NUMFLU":1})");

    struct Case {
        std::string arguments;
        int exitCode;
        const char* out;
        const char* errPart;
    };
    const Case cases[] = {
        {" --year " + y + " --period 04", 1, "0.00 10.00 0.00 -10.00\n", "NON SONO AMMESSI IMPORTI NEGATIVI !"},
        {" --year " + y + " --period 01", 1, "", "ATTENZIONE PERIODO GIA` INVIATO! PER MODIFICARE UTILIZZA LA RETTIFICA"},
        {" --year " + y + " --period 12", 2, "", "periodo non valido"},
        {" --year 2007 --period 01", 2, "", "anno non valido"},
        {" --day 31/02/2014", 2, "", "data non valida"},
        {" --day 10/06/2014 --year 2014", 2, "", "oppure --day"},
        {" --year 2016", 2, "", "indicare --year e --period"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const auto r = runCli("summary " + q(work) + c.arguments);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(r.out, c.out);
        EXPECT_NE(r.err.find(c.errPart), std::string::npos) << r.err;
    }
}

TEST_F(CliSummary, ProfileIsShownAndOnlyTheTwoProfilesAreWritten) {
    EXPECT_EQ(runCli("profile " + q(work)).out, "ALCODA\n");
    const auto wrong = runCli("profile " + q(work) + " ALCOXX");
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_NE(wrong.err.find("profilo non valido"), std::string::npos) << wrong.err;
    EXPECT_EQ(runCli("profile " + q(work)).out, "ALCODA\n");
    const auto empty = runCli("profile " + q(dir / "vuota"));
    EXPECT_EQ(empty.exitCode, 2);
    EXPECT_NE(empty.err.find("dati aziendali"), std::string::npos) << empty.err;
}

} // namespace
