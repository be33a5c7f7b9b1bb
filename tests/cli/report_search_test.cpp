// accise-cli report search | duty | stock end to end: the search windows' logic run
// on a data folder, the export copied where asked, the print written as a PDF file
// (read back with pdftotext), and the refusals of the windows' checks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli_support.h"
#include "core/files/folders.h"
#include "core/files/text1252.h"
#include "core/tables/dates.h"
#include "register_builder.h"
#include "test_support.h"

using namespace accise;
using namespace accise::testing;

namespace {

std::string q(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

std::string slurp(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Folder {
    TempDir dir;
    Folders folders = Folders::of(dir / "work", dir / "cache" / "accise-birra" / "TEMP_BIRRA");
    Folder() {
        ::setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
        folders.create();
        Movement load = registerMovement("10/03/2025", "C", 0, "", "DDT");
        load.MITDES = "IT00MIA00777M";
        load.NUMDOC = "DDT 7";
        load.DATDOC = *parseDate("09/03/2025");
        load.QTAKG = 1250;
        load.ANNOTA = "orzo; \"extra\"";
        addToRegister(folders, load);
        Movement sent = registerMovement("20/03/2025", "C", 0, "", "DDT");
        sent.MITDES = "IT00MIA00777M";
        sent.NUMFLU = 1;
        sent.DATFLU = *parseDate("21/03/2025");
        addToRegister(folders, sent);
        addToRegister(folders, registerMovement("11/03/2025", "S", 35.88, "001", "DAS"));
        Movement credit = dutyRecord("D", "2025", "03");
        credit.UFFDOG = "IT079100";
        credit.NUMPRO = "PR-1";
        credit.DATMOV = *parseDate("10/03/2025");
        credit.QTAKG = 120;
        credit.ETTOGR = 100;
        addDutyRecord(folders.dutyFile(2025), credit);
        addDutyRecord(folders.dutyFile(2025), dutyRecord("E", "2025", "03"));
    }
    std::string work() const { return q(folders.working); }
};

} // namespace

TEST(CliReport, SearchWritesTheExportAndThePrint) {
    Folder f;
    const auto csv = f.dir / "carichi.csv";
    const auto pdf = f.dir / "carichi.pdf";
    const auto r = runCli("report search " + f.work() + " --from 01/01/2025 --to 31/12/2025 --type C --csv " + q(csv) +
                          " --pdf " + q(pdf));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "2\n");
    const std::string text = decode1252(slurp(csv));
    EXPECT_TRUE(text.starts_with("N.Op.;C/S;Data Mov.;Prodotto;Doc.;Data Doc.;N° Doc.;")) << text;
    EXPECT_NE(text.find(";C;10/03/2025;;DDT;09/03/2025;DDT 7;---;;IT00MIA00777M;0;0;1.250;0;0;;;0,00;0,00; ;I;;;;;"
                        "\"orzo; \"\"extra\"\"\";\r\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(slurp(csv), slurp(f.folders.inTemp("RICERCA_C.CSV"))); // the window's own export

    std::system(("pdftotext -layout " + q(pdf) + " " + q(f.dir / "carichi.txt")).c_str());
    const std::string printed = slurp(f.dir / "carichi.txt");
    EXPECT_NE(printed.find("Ricerca movimenti di carico dal 01/01/2025 al 31/12/2025"), std::string::npos) << printed;
    EXPECT_NE(printed.find("IT00MIA00777M"), std::string::npos);
    EXPECT_NE(printed.find("0321.C01"), std::string::npos);
    EXPECT_NE(printed.find("Mittente/Destinatario"), std::string::npos);

    // The sent loads by flow date, of one supplier: the load sent on 21/03 alone.
    const auto sent = runCli("report search " + f.work() + " --from 21/03/2025 --to 21/03/2025 --sent --code IT00MIA00777M"
                             " --csv " + q(csv));
    ASSERT_EQ(sent.exitCode, 0) << sent.err;
    EXPECT_EQ(sent.out, "1\n");
    EXPECT_NE(slurp(csv).find(";0321.C01;"), std::string::npos);
    // The code as a clerk may type it: its keys become capitals in the window.
    const auto lower = runCli("report search " + f.work() + " --from 21/03/2025 --to 21/03/2025 --sent --code it00Mia00777m"
                              " --csv " + q(csv));
    ASSERT_EQ(lower.exitCode, 0) << lower.err;
    EXPECT_EQ(lower.out, "1\n");
}

TEST(CliReport, DutyWritesTheKindsExportAndStockPrints) {
    Folder f;
    const auto csv = f.dir / "crediti.csv";
    const auto pdf = f.dir / "crediti.pdf";
    const auto r = runCli("report duty " + f.work() + " --year 2025 --kind D --csv " + q(csv) + " --pdf " + q(pdf));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "1\n");
    EXPECT_EQ(decode1252(slurp(csv)),
              "Periodo;Ufficio;N°Provv.;Data Provv.;Importo Compl.;Importo Scont.;Capitolo;Flusso;T.;S.;Note;\r\n"
              "03/2025;IT079100;PR-1      ;10/03/2025;120,00;100,00;; ;I; ;;\r\n");
    std::system(("pdftotext -layout " + q(pdf) + " " + q(f.dir / "crediti.txt")).c_str());
    const std::string printed = slurp(f.dir / "crediti.txt");
    EXPECT_NE(printed.find("Registro crediti e riaccrediti dal 01/2025 al 22/2025"), std::string::npos) << printed;
    EXPECT_NE(printed.find("120,00"), std::string::npos);

    // Mode t lists only what was sent: nothing here.
    const auto sent = runCli("report duty " + f.work() + " --year 2025 --kind E --sent --from 3 --to 3 --csv " + q(csv));
    ASSERT_EQ(sent.exitCode, 0) << sent.err;
    EXPECT_EQ(sent.out, "0\n");
    EXPECT_TRUE(slurp(csv).starts_with("Periodo;Accise a debito;"));

    const auto stock = runCli("report stock " + f.work() + " --from 01/01/2009 --to 31/12/2025 --pdf " + q(pdf));
    ASSERT_EQ(stock.exitCode, 0) << stock.err;
    EXPECT_EQ(stock.out, "0\n");
}

TEST(CliReport, RefusesWhatTheWindowsRefuse) {
    Folder f;
    const auto csv = q(f.dir / "x.csv");
    const struct {
        std::string args;
        const char* message;
    } cases[] = {
        {"search " + f.work() + " --from 01/01/1999 --to 31/12/2025 --csv " + csv, "data iniziale non valida"},
        {"search " + f.work() + " --from 02/01/2025 --to 01/01/2025 --csv " + csv, "data finale non valida"},
        {"search " + f.work() + " --from 01/01/2025 --to 31/12/2025 --type X --csv " + csv, "tipo di movimento"},
        {"search " + f.work() + " --from 01/01/2025 --to 31/12/2025", "manca il file CSV"},
        {"duty " + f.work() + " --year 2025 --kind E --to 23 --csv " + csv, "periodo finale non valido"},
        {"duty " + f.work() + " --year 2025 --kind E --from 5 --to 4 --csv " + csv, "mese iniziale"},
        {"duty " + f.work() + " --year 1999 --kind E --csv " + csv, "anno"},
        {"duty " + f.work() + " --year 2025 --kind F --csv " + csv, "tipo di record"},
        {"listing " + f.work(), "tipo di stampa sconosciuto"},
    };
    for (const auto& c : cases) {
        const auto r = runCli("report " + c.args);
        EXPECT_EQ(r.exitCode, 2) << c.args;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(f.dir / "x.csv"));
}
