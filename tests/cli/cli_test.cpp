// accise-cli end to end: a demo folder, the record commands and the integrity check.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_support.h"
#include "core/files/lock.h"
#include "core/files/recordfile.h"
#include "core/records/movement.h"
#include "core/records/tablerecord.h"
#include "test_support.h"

using namespace accise;
using accise::testing::runCli;
using accise::testing::TempDir;

namespace {

std::string q(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

int lineCount(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

} // namespace

TEST(CliDemo, DemoFolderIsCompleteAndChecksClean) {
    TempDir dir;
    const auto work = dir / "demo";
    const auto demo = runCli("demo " + q(work));
    ASSERT_EQ(demo.exitCode, 0) << demo.err;
    const auto check = runCli("check " + q(work));
    EXPECT_EQ(check.exitCode, 0) << check.out;
    EXPECT_NE(check.out.find("nessun problema"), std::string::npos);

    const auto companies = runCli("dump " + q(work / "DATI_GEN/UTENTE.001"));
    ASSERT_EQ(companies.exitCode, 0);
    EXPECT_NE(companies.out.find("\"postcode2\":\"ALCODA\""), std::string::npos);
    EXPECT_NE(companies.out.find("\"auth_type\":\"1\""), std::string::npos);

    const auto registers = runCli("dump " + q(work / "DATI_GEN/PROTOCOLLI.TAB"));
    EXPECT_EQ(lineCount(registers.out), 4);
    const auto stocks = runCli("dump " + q(work / "REGISTRI/GIACENZE.DAT"));
    EXPECT_EQ(lineCount(stocks.out), 4);
    EXPECT_NE(stocks.out.find("\"NUMFLU\":1"), std::string::npos);

    // Every month's bottling went through the packaging window: the bottles loaded, the
    // same beer and the losses out of the in-process register.
    std::filesystem::path year;
    for (const auto& e : std::filesystem::directory_iterator(work / "REGISTRI"))
        if (e.path().extension() == ".RGM") year = e.path();
    const auto movements = runCli("dump " + q(year));
    ASSERT_EQ(movements.exitCode, 0) << movements.err;
    const auto count = [&](const std::string& text) {
        int n = 0;
        for (auto at = movements.out.find(text); at != std::string::npos; at = movements.out.find(text, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count(R"("VOLUNI":0.33,"NUMCON":8700)"), 12) << "bottles loaded";
    EXPECT_EQ(count(R"("ETTOGR":344.52,"QTALIT":2871,)"), 24) << "the load and its unload from the in-process register";
    EXPECT_EQ(count(R"("CAUMOV":"009","POSFIS":"003")"), 12) << "losses";

    // Running init again over the demo never overwrites what is there.
    const auto before = readRecords(work / "DATI_GEN/TA03.TAB", kTableSize).bytes();
    EXPECT_EQ(runCli("init " + q(work)).exitCode, 0);
    EXPECT_EQ(readRecords(work / "DATI_GEN/TA03.TAB", kTableSize).bytes(), before);
}

TEST(CliRecords, AppendDeleteCorrectAndStock) {
    TempDir dir;
    ASSERT_EQ(runCli("init " + q(dir.path())).exitCode, 0);
    const auto rgm = dir / "REGISTRI/2014.RGM";
    const auto stocks = dir / "REGISTRI/GIACENZE.DAT";
    const std::string reg = R"("TIPREC":"C","TIPOPE":"I","TIPREG":"F","ANNPRO":"2014","NUMPRO":"7")";
    auto initial = runCli("append " + q(stocks),
                          "{" + reg + R"(,"TIPMOV":"G","DATMOV":41640,"QTALIT":1000,"ETTOGR":120,"NUMFLU":1})" "\n");
    ASSERT_EQ(initial.exitCode, 0) << initial.err;
    EXPECT_EQ(initial.out, "1 1\n");

    const std::string lines = "{" + reg + R"(,"TIPMOV":"S","DATMOV":41700,"QTALIT":100,"ETTOGR":12})" "\n\n"
                              "{" + reg + R"(,"TIPMOV":"C","DATMOV":41700,"QTALIT":50,"ETTOGR":6,"NUMFLU":3})" "\n";
    auto appended = runCli("append " + q(rgm), lines);
    ASSERT_EQ(appended.exitCode, 0) << appended.err;
    EXPECT_EQ(appended.out, "1 1\n2 2\n");

    auto stock = runCli("stock " + q(dir.path()) + " --type F --year 2014 --protocol 7 --date 31/12/2014");
    ASSERT_EQ(stock.exitCode, 0) << stock.err;
    EXPECT_EQ(stock.out, "0.00000 114.00000 950.00000\n");

    // The sent load (NUMREC 2) is corrected with a replacement of 40 litres.
    auto corrected = runCli("correct " + q(rgm) + " 2 --note 'quantità errata' --modify",
                            "{" + reg + R"(,"TIPMOV":"C","DATMOV":41700,"QTALIT":40,"ETTOGR":4.8})" "\n");
    ASSERT_EQ(corrected.exitCode, 0) << corrected.err;
    EXPECT_EQ(corrected.out, "3 4\n");
    stock = runCli("stock " + q(dir.path()) + " --type F --year 2014 --protocol 7 --date 31/12/2014");
    EXPECT_EQ(stock.out, "0.00000 112.80000 940.00000\n");
    const auto dump = runCli("dump " + q(rgm));
    EXPECT_NE(dump.out.find("\"NUMREC\":4,\"NUMRIF\":2"), std::string::npos);
    EXPECT_NE(dump.out.find("\"ANNOTA\":\"quantità errata\""), std::string::npos);

    EXPECT_EQ(runCli("correct " + q(rgm) + " 1 --note x").exitCode, 1); // unsent: not corrected
    EXPECT_EQ(runCli("delete " + q(rgm) + " 1").exitCode, 0);
    EXPECT_EQ(runCli("delete " + q(rgm) + " 1").exitCode, 1);
    // Sent records whose flow cannot be looked for (no company, no flow file) are the
    // audit's only finding.
    const auto checked = runCli("check " + q(dir.path()));
    EXPECT_EQ(checked.exitCode, 1) << checked.out;
    EXPECT_NE(checked.out.find("UTENTE.001: dati della ditta mancanti: i flussi dei record segnati non si possono "
                               "controllare\n1 problemi trovati\n"),
              std::string::npos)
        << checked.out;
}

// delete and correct on a register file weigh the register's stock on every later
// day, and --expect names the record as the caller read it.
TEST(CliRecords, DeleteAndCorrectKeepTheStockAndTheRecordAsRead) {
    TempDir dir;
    ASSERT_EQ(runCli("init " + q(dir.path())).exitCode, 0);
    const auto rgm = dir / "REGISTRI/2014.RGM";
    const std::string reg = R"("TIPREC":"C","TIPOPE":"I","TIPREG":"F","ANNPRO":"2014","NUMPRO":"7")";
    ASSERT_EQ(runCli("append " + q(dir / "REGISTRI/GIACENZE.DAT"),
                     "{" + reg + R"(,"TIPMOV":"G","DATMOV":41640,"QTALIT":1000,"ETTOGR":120,"NUMFLU":1})" "\n")
                  .exitCode,
              0);
    // 1 000 + 500 (unsent) + 300 (sent) - 1 700 (sent, 10/03/2014) = 100 l.
    const std::string lines = "{" + reg + R"(,"TIPMOV":"C","DATMOV":41700,"QTALIT":500,"ETTOGR":60})" "\n"
                              "{" + reg + R"(,"TIPMOV":"C","DATMOV":41701,"QTALIT":300,"ETTOGR":36,"NUMFLU":3})" "\n"
                              "{" + reg + R"(,"TIPMOV":"S","DATMOV":41708,"QTALIT":1700,"ETTOGR":204,"NUMFLU":3})" "\n";
    ASSERT_EQ(runCli("append " + q(rgm), lines).exitCode, 0);
    const std::string before = readRecords(rgm, kMovementSize).bytes();
    const std::string refusal = "SAREBBE NEGATIVA IL 10/03/2014";
    auto removed = runCli("delete " + q(rgm) + " 1");
    EXPECT_EQ(removed.exitCode, 1);
    EXPECT_NE(removed.err.find(refusal), std::string::npos) << removed.err;
    auto cancelled = runCli("correct " + q(rgm) + " 2 --note 'carico errato'");
    EXPECT_EQ(cancelled.exitCode, 1);
    EXPECT_NE(cancelled.err.find(refusal), std::string::npos) << cancelled.err;
    EXPECT_EQ(readRecords(rgm, kMovementSize).bytes(), before);
    // 300 taken down to 250 leaves 50.
    auto smaller = runCli("correct " + q(rgm) + " 2 --note 'quantità errata' --modify",
                          "{" + reg + R"(,"TIPMOV":"C","DATMOV":41701,"QTALIT":250,"ETTOGR":30})" "\n");
    EXPECT_EQ(smaller.exitCode, 0) << smaller.err;

    // The record as `dump` showed it: a record that differs from it is left alone.
    const auto lineWith = [&](const std::string& needle) {
        const std::string out = runCli("dump " + q(rgm)).out;
        for (std::size_t at = 0; at < out.size();) {
            const std::size_t end = out.find('\n', at);
            const std::string line = out.substr(at, end - at);
            if (line.find(needle) != std::string::npos) return line;
            at = end + 1;
        }
        return std::string();
    };
    ASSERT_EQ(runCli("append " + q(rgm), "{" + reg + R"(,"TIPMOV":"C","DATMOV":41702,"QTALIT":10,"ETTOGR":1.2})" "\n").exitCode,
              0);
    const std::string added = lineWith("\"QTALIT\":10,");
    ASSERT_FALSE(added.empty());
    const std::size_t from = added.find("\"NUMREC\":") + 9;
    const std::string number = added.substr(from, added.find(',', from) - from);
    std::string other = added;
    other.replace(other.find("\"QTALIT\":10,"), 12, "\"QTALIT\":11,");
    auto stale = runCli("delete " + q(rgm) + " " + number + " --expect " + q(other));
    EXPECT_EQ(stale.exitCode, 1);
    EXPECT_NE(stale.err.find("come letto"), std::string::npos) << stale.err;
    auto asRead = runCli("delete " + q(rgm) + " " + number + " --expect " + q(added));
    EXPECT_EQ(asRead.exitCode, 0) << asRead.err;
    EXPECT_TRUE(lineWith("\"QTALIT\":10,").empty());
}

TEST(CliRecords, BadInputIsAUsageErrorAndWritesNothing) {
    TempDir dir;
    const auto rgm = dir / "2014.RGM";
    const struct {
        const char* arguments;
        const char* input;
    } cases[] = {
        {"append FILE", "{\"DATMOV\":\"oggi\"}\n"},
        {"append FILE", "{\"NONESISTE\":1}\n"},
        {"append FILE", "{\"NUMREC\":1.5}\n"},
        {"append FILE", "non json\n"},
        {"delete FILE abc", ""},
        {"correct FILE 1", ""},
        {"stock DIR --type X --year 2014 --protocol 1 --date 01/01/2014", ""},
        {"stock DIR --type F --year 2014 --protocol 1 --date 31/02/2014", ""},
        {"dump FILE --kind strano", ""},
        {"append", ""},
    };
    for (const auto& c : cases) {
        std::string arguments = c.arguments;
        if (auto at = arguments.find("FILE"); at != std::string::npos) arguments.replace(at, 4, q(rgm));
        if (auto at = arguments.find("DIR"); at != std::string::npos) arguments.replace(at, 3, q(dir.path()));
        const auto r = runCli(arguments, c.input);
        EXPECT_EQ(r.exitCode, 2) << c.arguments;
        EXPECT_FALSE(r.err.empty()) << c.arguments;
        EXPECT_FALSE(std::filesystem::exists(rgm) && std::filesystem::file_size(rgm) > 0) << c.arguments;
    }
}

TEST(CliLock, WriterWaitsForAMarkerAndGivesUpWithoutTakingItOver) {
    TempDir dir;
    const auto rgm = dir / "2014.RGM";
    writeWholeFile(lockMarkerOf(rgm), "");
    const auto r = runCli("append " + q(rgm) + " --wait 1", R"({"DATMOV":41640,"TIPREC":"C","TIPMOV":"C"})" "\n");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(lineCount(r.err), 2) << r.err; // the wait is told once, then the give-up
    // Both name the marker; the give-up says how to remove one left behind.
    EXPECT_NE(r.err.find("bloccato dal segnalino " + lockMarkerOf(rgm).string()), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Errore di I/O su " + lockMarkerOf(rgm).string()), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("dopo 1 secondi"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("accise-cli unlock " + rgm.string()), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("PREMI OK"), std::string::npos) << r.err;
    EXPECT_TRUE(fileExists(lockMarkerOf(rgm)));
    EXPECT_FALSE(fileExists(rgm) && std::filesystem::file_size(rgm) > 0);
}

TEST(CliCheck, ReportsDamagedFilesOneLineEach) {
    TempDir dir;
    ASSERT_EQ(runCli("demo " + q(dir.path())).exitCode, 0);
    const auto general = dir / "DATI_GEN";
    const auto registers = dir / "REGISTRI";
    // A truncated register file, an oversized length byte, a stale marker, a missing
    // structure file and a correction pointing nowhere.
    const auto rgm = *std::filesystem::directory_iterator(registers) ;
    std::filesystem::path rgmFile;
    for (const auto& e : std::filesystem::directory_iterator(registers))
        if (e.path().extension() == ".RGM") rgmFile = e.path();
    ASSERT_FALSE(rgmFile.empty());
    std::string bytes = readRecords(rgmFile, kMovementSize).bytes();
    bytes.resize(bytes.size() - 100);
    writeWholeFile(rgmFile, bytes);

    std::string table = readRecords(general / "TA03.TAB", kTableSize).bytes();
    table[tableColumnOffset(1)] = static_cast<char>(255);
    writeWholeFile(general / "TA03.TAB", table);

    writeWholeFile(lockMarkerOf(general / "T004.TAB"), "");
    std::filesystem::remove(general / "TA22.STR");

    Movement orphan = blankMovement();
    orphan.NUMREC = 99;
    orphan.NUMRIF = 77;
    std::string stocks = readRecords(registers / "GIACENZE.DAT", kMovementSize).bytes() + encodeMovement(orphan);
    writeWholeFile(registers / "GIACENZE.DAT", stocks);

    const auto r = runCli("check " + q(dir.path()));
    EXPECT_EQ(r.exitCode, 1);
    for (const char* expected : {".RGM: dimensione", "TA03.TAB: record", "col1", "T004.TAB$: segnalino", "TA22.STR: file di struttura mancante",
                                 "GIACENZE.DAT: record 5 (n. 99): rettifica di un record inesistente (77)"})
        EXPECT_NE(r.out.find(expected), std::string::npos) << expected << "\n" << r.out;
    EXPECT_NE(r.out.find("5 problemi trovati"), std::string::npos) << r.out;
}
