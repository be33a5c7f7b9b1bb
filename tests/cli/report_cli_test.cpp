// accise-cli report register|totals end to end: the PDF files read back as text with
// pdftotext, as an inspector would read the printed pages.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "cli/cli_support.h"
#include "report_fixture.h"

using namespace accise;
using namespace accise::testing;

namespace {

std::string q(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

// The text of a PDF file, page by page (pages end with a form feed).
std::vector<std::string> pdfPages(const std::filesystem::path& pdf) {
    const std::string command = "pdftotext -layout " + q(pdf) + " - 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string text;
    char buffer[4096];
    while (pipe && !std::feof(pipe)) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe);
        text.append(buffer, n);
    }
    const int status = pipe ? ::pclose(pipe) : -1;
    EXPECT_EQ(status, 0) << text;
    std::vector<std::string> pages;
    std::size_t at = 0;
    for (std::size_t ff = text.find('\f'); ff != std::string::npos; ff = text.find('\f', at)) {
        pages.push_back(text.substr(at, ff - at));
        at = ff + 1;
    }
    return pages;
}

// Words of a text separated by single blanks, so column spacing does not matter.
std::string squeezed(const std::string& text) {
    std::string out;
    for (char c : text) {
        const bool blank = c == ' ' || c == '\n';
        if (blank && (out.empty() || out.back() == ' ')) continue;
        out += blank ? ' ' : c;
    }
    return out;
}

struct Brewery {
    ReportFolder f;
    Brewery() {
        f.addRegister("103", 2, "10/01/2025", "01/01/2025", "31/12/2025", "BIRRA SFUSA",
                      "UFFICIO DELLE DOGANE DI TORINO - SOT PINEROLO");
        f.addStock(stockRecord("F", "2025", "103", "31/12/2024", 10000, 1200));
        f.addMovement(litresMovement("F", "2025", "103", "15/02/2025", "S", 500)); // before the period
        // 45 rows in March: more than one A4 page holds.
        for (int d = 1; d <= 45; ++d) {
            Movement m = litresMovement("F", "2025", "103", (d <= 28 ? (d < 10 ? "0" : "") + std::to_string(d) : "28") + "/03/2025",
                                        d % 3 == 0 ? "C" : "S", 10);
            m.NUMOPE = d;
            m.NUMDOC = "DOC " + std::to_string(d);
            m.POSFIS = "001";
            m.ACCISA = 3.59;
            f.addMovement(m);
        }
    }
    std::filesystem::path work() const { return f.folders.working; }
};

TEST(CliReport, RegisterPdfHasHeadingsCarryOverAndTotalsOnEveryPage) {
    Brewery b;
    const auto pdf = b.f.dir / "registro.pdf";
    const auto r = runCli("report register " + q(b.work()) +
                          " --type F --year 2025 --protocol 103 --from 01/03/2025 --to 31/03/2025 --first-page 41 --pdf " +
                          q(pdf));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 2u);
    // Opening: 10000 - 500 = 9500 litres, 1140 hectolitre-degrees. 15 loads and 30
    // unloads of 10 litres: 9350 at the end, 1122 hectolitre-degrees.
    const std::string first = squeezed(pages[0]), second = squeezed(pages[1]);
    for (const auto& page : {first, second}) {
        EXPECT_NE(page.find("DEPOSITI FISCALI DI BIRRA"), std::string::npos);
        EXPECT_NE(page.find("REGISTRO DI CARICO e SCARICO - Finiti sfusi - BIRRA SFUSA"), std::string::npos);
        EXPECT_NE(page.find("UFFICIO DELLE DOGANE DI TORINO - SOT PINEROLO"), std::string::npos);
        EXPECT_NE(page.find("Mittente/Destinatario"), std::string::npos);
    }
    EXPECT_NE(first.find("PAG. 41"), std::string::npos);
    EXPECT_NE(second.find("PAG. 42"), std::string::npos);
    EXPECT_NE(first.find("RIPORTI 1.140,00000 9.500,00000"), std::string::npos) << first;
    EXPECT_NE(first.find("1 01/03/2025"), std::string::npos);
    EXPECT_NE(first.find("-1,20000 -10,00000"), std::string::npos);
    EXPECT_NE(first.find("-3,59"), std::string::npos); // excise paid of a load, sign changed
    EXPECT_EQ(first.find("TOTALI"), std::string::npos);
    // The second page carries over what the first printed.
    const auto carried = second.find("RIPORTI ");
    ASSERT_NE(carried, std::string::npos);
    EXPECT_NE(second.find("TOTALI 1.122,00000 9.350,00000"), std::string::npos) << second;
    EXPECT_NE(second.find("45 28/03/2025"), std::string::npos);
}

TEST(CliReport, HeadingSheetsTotalsAndRefusals) {
    Brewery b;
    const auto sheets = b.f.dir / "fogli.pdf";
    auto r = runCli("report register " + q(b.work()) +
                    " --type F --year 2025 --protocol 103 --from 01/03/2025 --to 31/03/2025 --headings-only --sheets 3"
                    " --first-page 5 --pdf " + q(sheets));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto pages = pdfPages(sheets);
    ASSERT_EQ(pages.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NE(squeezed(pages[i]).find("PAG. 0" + std::to_string(5 + i)), std::string::npos);
        EXPECT_EQ(pages[i].find("RIPORTI"), std::string::npos);
        EXPECT_EQ(pages[i].find("Ettogradi"), std::string::npos);
    }

    const auto totals = b.f.dir / "totali.pdf";
    r = runCli("report totals " + q(b.work()) + " --date 10/03/2025 --pdf " + q(totals));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto totalPages = pdfPages(totals);
    ASSERT_EQ(totalPages.size(), 1u);
    const std::string text = squeezed(totalPages[0]);
    EXPECT_NE(text.find("TOTALI DI TUTTI I REGISTRI ALLA DATA: 10/03/2025"), std::string::npos);
    // Up to the 10th: 9500 - 7 unloads + 3 loads of 10 litres.
    EXPECT_NE(text.find("103 - 2025 Finiti sfusi 0,00000 1.135,20000 9.460,00000 BIRRA SFUSA"), std::string::npos) << text;
    // Excise of March to the 10th: 7 unloads paid, 3 loads given back.
    EXPECT_NE(text.find("TOTALE ACCISA ASSOLTA: 14,36"), std::string::npos) << text;

    struct Refusal {
        std::string arguments;
        int exitCode;
        std::string message;
    } refusals[] = {
        {"--type F --year 2025 --protocol 999 --from 01/03/2025 --to 31/03/2025", 1, "nessun registro F 999/2025"},
        {"--type F --year 2025 --protocol 103 --from 01/03/2025 --to 28/02/2025", 1, "data finale non valida"},
        {"--type F --year 2025 --protocol 103 --from 31/02/2025 --to 28/03/2025", 1, "data iniziale non valida"},
        {"--type F --year 2025 --protocol 103 --from 01/03/2025 --to 31/03/2025 --headings-only --sheets 0", 1,
         "numero dei fogli non valido"},
        {"--type F --year 2025 --protocol 103 --from 01/03/2025", 2, "manca --to"},
    };
    for (const auto& x : refusals) {
        const auto out = b.f.dir / "rifiuto.pdf";
        r = runCli("report register " + q(b.work()) + " " + x.arguments + " --pdf " + q(out));
        EXPECT_EQ(r.exitCode, x.exitCode) << x.arguments << "\n" << r.err;
        EXPECT_NE(r.err.find(x.message), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(out)) << x.arguments;
    }
    r = runCli("report totals " + q(b.work()) + " --date 10/03/2025 --pdf " + q(b.f.dir / "manca" / "x.pdf"));
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("non si può scrivere"), std::string::npos) << r.err;
}

TEST(CliReport, ASecondActiveInitialStockIsReportedByCheckAndByTheReports) {
    Brewery b;
    b.f.addStock(stockRecord("F", "2025", "103", "31/01/2025", 1, 1));
    const auto r = runCli("report totals " + q(b.work()) + " --date 10/03/2025 --pdf " + q(b.f.dir / "t.pdf"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("avviso: ATTENZIONE: IL REGISTRO 103 - 2025 HA 2 GIACENZE INIZIALI ATTIVE"), std::string::npos)
        << r.err;
    const std::string text = squeezed(pdfPages(b.f.dir / "t.pdf").at(0));
    EXPECT_NE(text.find("9.460,00000"), std::string::npos) << text; // counted once
    EXPECT_NE(text.find("HA 2 GIACENZE INIZIALI ATTIVE"), std::string::npos);

    const auto check = runCli("check " + q(b.work()));
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_NE(check.out.find("il registro F 103/2025 ha 2 giacenze iniziali attive (record n. 1, 48)"),
              std::string::npos)
        << check.out;
}

} // namespace
