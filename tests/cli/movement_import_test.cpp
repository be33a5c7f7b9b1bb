// accise-cli movements import, end to end on the demo brewery: accepted lines with
// what the window computed, refusals with the field and the window's message (nothing
// of them written), warnings that do not refuse, the dry run, usage errors.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "cli/cli_support.h"
#include "core/books/movementfile.h"
#include "core/files/lock.h"
#include "core/files/recordfile.h"
#include "core/tables/dates.h"
#include "test_support.h"

using namespace accise;
using accise::testing::cliPath;
using accise::testing::runCli;
using accise::testing::TempDir;

namespace {

std::string q(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

class MovementImport : public ::testing::Test {
protected:
    MovementImport() {
        const auto demo = runCli("demo " + q(work));
        EXPECT_EQ(demo.exitCode, 0) << demo.err;
    }
    std::filesystem::path registerFile() const { return work / "REGISTRI" / (std::to_string(year) + ".RGM"); }
    std::size_t records() const { return readMovements(registerFile()).size(); }
    // A sale of kegged beer to the pub in Turin, in the demo's year.
    std::string kegSale(const char* number, const char* litres, const char* date = "15/06") const {
        return std::string("{\"TIPMOV\":\"S\",\"DATMOV\":\"") + date + "/" + std::to_string(year) +
               "\",\"TIPDOC\":\"DAS\",\"DATDOC\":\"" + date + "/" + std::to_string(year) + "\",\"NUMDOC\":\"" + number +
               "\",\"PRODAZ\":\"BIONDAFUSTO\",\"CAUMOV\":\"071\",\"QTA\":" + litres +
               ",\"POSFIS\":\"001\",\"CODPAE\":\"IT\",\"MITDES\":\"IT00TOA00999Z\"}\n";
    }

    TempDir dir;
    std::filesystem::path work = dir / "birrificio";
    int year = yearOf(todayDayNumber()) - 1;
};

TEST_F(MovementImport, AcceptedLinesPrintWhatTheWindowComputed) {
    const std::size_t before = records();
    const auto r = runCli("movements import " + q(work), kegSale("T-1", "100") + "\n" + kegSale("T-2", "\"2,5\""));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    // 100 litres at 12 degrees: 12 hectolitre-degrees, excise at 2,99.
    const std::string first = std::to_string(before + 1) + " " + std::to_string(before + 1) + " F 103 12,00000 35,88 0,00\n";
    const std::string second = std::to_string(before + 2) + " " + std::to_string(before + 2) + " F 103 0,30000 0,90 0,00\n";
    EXPECT_EQ(r.out, first + second);
    ASSERT_EQ(records(), before + 2);
    const auto all = readMovements(registerFile());
    bool found = false;
    for (const Movement& m : all)
        if (m.NUMREC == static_cast<std::int32_t>(before + 1)) {
            found = true;
            EXPECT_DOUBLE_EQ(m.QTALIT, 100);
            EXPECT_EQ(m.PRODDO, "B000-22030010-00-0000");
            EXPECT_EQ(m.TIPSTO, "S");
            EXPECT_DOUBLE_EQ(m.ACCISA, 35.88);
        }
    EXPECT_TRUE(found);
}

TEST_F(MovementImport, RefusedLinesNameTheFieldAndWriteNothing) {
    const std::size_t before = records();
    const std::string y = std::to_string(year);
    const std::string input =
        kegSale("T-1", "100") +
        "{\"TIPMOV\":\"S\",\"DATMOV\":\"15/06/" + y + "\",\"TIPDOC\":\"ZZZ\",\"NUMDOC\":\"X\",\"PRODAZ\":\"BIONDAFUSTO\",\"QTA\":1}\n" +
        kegSale("T-3", "100000") +
        "{\"TIPMOV\":\"S\",\"DATMOV\":\"15/06/" + y + "\",\"TIPDOC\":\"DAS\",\"DATDOC\":\"15/06/" + y +
        "\",\"NUMDOC\":\"T-4\",\"PRODAZ\":\"BIONDAFUSTO\",\"CAUMOV\":\"071\",\"QTA\":10,\"POSFIS\":\"001\"," +
        "\"CODPAE\":\"IT\",\"MITDES\":\"IT00XXX00000X\"}\n" +
        "{\"TIPMOV\":\"S\",\"DATMOV\":\"15/06/" + y + "\",\"TIPDOC\":\"DAS\",\"DATDOC\":\"16/06/" + y +
        "\",\"NUMDOC\":\"T-5\",\"PRODAZ\":\"BIONDAFUSTO\",\"CAUMOV\":\"071\",\"QTA\":10,\"POSFIS\":\"001\"," +
        "\"CODPAE\":\"IT\",\"MITDES\":\"IT00TOA00999Z\"}\n" +
        "{\"TIPMOV\":\"S\",\"DATMOV\":\"15/06/" + y + "\",\"PESO\":3}\n" +
        "{non json\n";
    const auto r = runCli("movements import " + q(work), input);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, std::to_string(before + 1) + " " + std::to_string(before + 1) + " F 103 12,00000 35,88 0,00\n");
    EXPECT_NE(r.err.find("line 2: TIPDOC: codice non trovato"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("line 3: QTA: Quantità superiore alla giacenza \n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("line 4: MITDES: codice non trovato"), std::string::npos) << r.err;
    // A document date later than the movement's, typed after it.
    EXPECT_NE(r.err.find("line 5: DATDOC: ATTENZIONE LA DATA DEL DOCUMENTO E' SUCCESSIVA A QUELLA DEL MOVIMENTO"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("line 6: PESO: campo sconosciuto"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("line 7: JSON:"), std::string::npos) << r.err;
    EXPECT_EQ(records(), before + 1);
}

TEST_F(MovementImport, TextsWithALineBreakOrATabAreRefused) {
    const std::size_t before = records();
    std::string withBreak = kegSale("T-1", "10");
    withBreak.insert(withBreak.size() - 2, ",\"ANNOTA\":\"riga1\\r\\nriga2\"");
    std::string withTab = kegSale("T-2", "10");
    withTab.replace(withTab.find("\"T-2\""), 5, "\"T\\t2\"");
    const auto r = runCli("movements import " + q(work), withBreak + withTab);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("line 1: ANNOTA: carattere non ammesso"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("line 2: NUMDOC: carattere non ammesso"), std::string::npos) << r.err;
    EXPECT_EQ(records(), before);
}

TEST_F(MovementImport, WarningsAreReportedAndTheLineIsWritten) {
    const std::size_t before = records();
    const auto r = runCli("movements import " + q(work), kegSale("T-1", "10") + kegSale("T-1", "10"));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "line 2: avviso: ATTENZIONE DOCUMENTO GIA` IN MEMORIA !\n");
    EXPECT_EQ(records(), before + 2);
}

TEST_F(MovementImport, DryRunChecksAndComputesButWritesNothing) {
    const auto bytes = std::filesystem::file_size(registerFile());
    const auto r = runCli("movements import " + q(work) + " --dry-run", kegSale("T-1", "100") + kegSale("T-2", "100000"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "0 0 F 103 12,00000 35,88 0,00\n");
    EXPECT_NE(r.err.find("line 2: QTA: Quantità superiore alla giacenza"), std::string::npos);
    EXPECT_EQ(std::filesystem::file_size(registerFile()), bytes);
}

TEST_F(MovementImport, UsageAndFolderErrors) {
    for (const std::string& args : {std::string("movements import"), std::string("movements export ") + q(work),
                                    "movements import " + q(work) + " --fast"}) {
        const auto r = runCli(args, "");
        EXPECT_EQ(r.exitCode, 2) << args;
        EXPECT_NE(r.err.find("uso:"), std::string::npos) << args;
    }
    const auto missing = runCli("movements import " + q(dir / "nessuna"), kegSale("T-1", "1"));
    EXPECT_EQ(missing.exitCode, 2);
}

// Three imports of 2 496 l of kegged beer against the 6 400 l the register holds on
// 31/12, started while another desk holds the year file's marker: each checked the
// stock without the lock, and each save reads it again under the lock, so two land and
// the third is refused with the stock check's own message.
TEST_F(MovementImport, ImportsThatWaitedForTheLockReadTheStockAgain) {
    const std::size_t before = records();
    std::string script;
    for (const char* number : {"K-1", "K-2", "K-3"}) {
        const std::filesystem::path input = dir / (std::string(number) + ".json");
        writeWholeFile(input, kegSale(number, "2496", "31/12"));
        const std::filesystem::path err = dir / (std::string(number) + ".err");
        script += cliPath() + " movements import " + q(work) + " <" + q(input) + " 2>" + q(err) + " &\n";
    }
    writeWholeFile(lockMarkerOf(registerFile()), "");
    script += "sleep 2\nrm -f " + q(lockMarkerOf(registerFile())) + "\nwait\n";
    writeWholeFile(dir / "desks.sh", script);
    const auto r = accise::testing::runProgram("sh " + q(dir / "desks.sh"));
    EXPECT_EQ(records(), before + 2) << r.out;
    std::string errors;
    for (const char* number : {"K-1", "K-2", "K-3"}) {
        std::ifstream err(dir / (std::string(number) + ".err"));
        errors += std::string(std::istreambuf_iterator<char>(err), {});
    }
    // Every import reached its save while the marker was there, and waited.
    std::size_t waited = 0;
    for (std::size_t at = errors.find("bloccato dal segnalino"); at != std::string::npos;
         at = errors.find("bloccato dal segnalino", at + 1))
        ++waited;
    EXPECT_EQ(waited, 3u) << errors;
    EXPECT_NE(errors.find("QTA: Quantità superiore alla giacenza "), std::string::npos) << errors;
    const auto stock = runCli("stock " + q(work) + " --type F --year " + std::to_string(year) +
                              " --protocol 103 --date 31/12/" + std::to_string(year));
    EXPECT_EQ(stock.out, "0.00000 168.96000 1408.00000\n"); // 6 400 - 2 × 2 496 at 12 degrees
}

TEST_F(MovementImport, DemoYearIsAConsistentBrewery) {
    // Every register ends the year with the stock its movements leave.
    struct Case {
        const char* type;
        const char* protocol;
        const char* stock;
    };
    for (const Case& c : {Case{"M", "101", "5420.00000 0.00000 0.00000\n"},
                          Case{"L", "102", "0.00000 120.00000 1000.00000\n"},
                          Case{"F", "103", "0.00000 768.00000 6400.00000\n"},
                          Case{"N", "104", "0.00000 370.08000 3084.00000\n"}}) {
        const auto r = runCli("stock " + q(work) + " --type " + c.type + " --year " + std::to_string(year) +
                              " --protocol " + c.protocol + " --date 31/12/" + std::to_string(year));
        EXPECT_EQ(r.out, c.stock) << c.type;
    }
    const auto all = readMovements(registerFile());
    int sales = 0, suspended = 0;
    for (const Movement& m : all) {
        if (m.CAUMOV == "071") {
            ++sales;
            EXPECT_EQ(m.POSFIS, "001");
            EXPECT_GT(m.ACCISA, 0);
        }
        if (m.CAUMOV == "002") {
            ++suspended;
            EXPECT_EQ(m.TIPDOC, "EAD");
            EXPECT_EQ(m.CODPAE, "DE");
            EXPECT_GT(m.GARANZ, 0);
        }
        if (m.TIPMOV == "C" && m.TIPREG == "M") {
            EXPECT_NE(m.MITDES, std::string(16, ' '));
        }
    }
    EXPECT_EQ(sales, 48);
    EXPECT_EQ(suspended, 4);
}

} // namespace
