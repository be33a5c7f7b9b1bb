// The reports and searches refuse a file with a partial record at its end and a
// record with a figure that is not a number, as the writers do; the export guards
// texts a spreadsheet would take for a formula.
#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "core/files/ioerror.h"
#include "core/files/text1252.h"
#include "core/reports/dutysearch.h"
#include "core/reports/registerprint.h"
#include "core/reports/registersearch.h"
#include "core/reports/registertotals.h"
#include "core/reports/searchcsv.h"
#include "core/reports/stocksearch.h"
#include "report_fixture.h"

using namespace accise;
using namespace accise::testing;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Register F 103 of 2025: an initial stock of 1 000 l on 31/12/2024, a load and an
// unload with excise in March, one excise summary of period 03.
struct DamagedBooks {
    ReportFolder f;
    TableRecord reg = f.addRegister("103", 2, "01/01/2024", "01/01/2024", "31/12/2026");

    explicit DamagedBooks(const std::function<void(Movement&)>& spoilUnload = {}) {
        f.addStock(stockRecord("F", "2024", "103", "31/12/2024", 1000, 120));
        f.addMovement(litresMovement("F", "2024", "103", "05/03/2025", "C", 100));
        Movement unload = litresMovement("F", "2024", "103", "10/03/2025", "S", 200);
        unload.MITDES = "IT00ABC12345X";
        unload.ACCISA = 71.76;
        unload.POSFIS = "001";
        if (spoilUnload) spoilUnload(unload);
        f.addMovement(unload);
        Movement summary = registerRecord("", "2025", "");
        summary.TIPREC = "E";
        summary.CODPAE = "03";
        summary.DATMOV = day("31/03/2025");
        summary.QTAKG = 71.76;
        if (spoilUnload) spoilUnload(summary);
        f.addToFile(f.folders.dutyFile(2025), summary);
        Movement stock = stockRecord("N", "2024", "104", "31/12/2024", 50, 0);
        if (spoilUnload) spoilUnload(stock);
        f.addStock(stock);
    }
};

struct Reader {
    const char* what;
    std::function<fs::path(const Folders&)> file;     // the file it reads
    std::function<std::size_t(DamagedBooks&)> read; // what it lists (rows, or 1 for a total)
};

const std::vector<Reader>& readers() {
    static const std::vector<Reader> list = {
        {"printed register", [](const Folders& f) { return f.registerFile(2025); },
         [](DamagedBooks& b) {
             RegisterPrintRequest r;
             r.reg = b.reg;
             r.from = day("01/03/2025");
             r.to = day("31/03/2025");
             return readRegisterPrint(b.f.folders, r).rows.size();
         }},
        {"register totals", [](const Folders& f) { return f.registerFile(2025); },
         [](DamagedBooks& b) { return computeRegisterTotals(b.f.folders, day("31/03/2025")).registers.size(); }},
        {"register search", [](const Folders& f) { return f.registerFile(2025); },
         [](DamagedBooks& b) {
             return runRegisterSearch(b.f.folders, RegisterSearchCriteria{'S', day("01/01/2025"), day("31/12/2025"), padTo("", 16)}).size();
         }},
        {"duty search", [](const Folders& f) { return f.dutyFile(2025); },
         [](DamagedBooks& b) {
             DutySearchCriteria c;
             c.kind = 'E';
             c.year = 2025;
             return runDutySearch(b.f.folders, c).size();
         }},
        {"initial-stock search", [](const Folders& f) { return f.initialStocks(); },
         [](DamagedBooks& b) { return runStockSearch(b.f.folders, day("01/01/2024"), day("31/12/2025")).size(); }},
    };
    return list;
}

std::string errorOf(const std::function<void()>& run) {
    try {
        run();
    } catch (const IoError& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(ReportsOfDamagedFiles, APartialRecordAtTheEndIsRefusedNamingTheRepair) {
    for (const Reader& r : readers()) {
        DamagedBooks b;
        ASSERT_GT(r.read(b), 0u) << r.what << ": the whole files list something";
        const fs::path file = r.file(b.f.folders);
        writeBytesAt(file, fs::file_size(file), "interrotto");
        const std::string error = errorOf([&] { r.read(b); });
        EXPECT_NE(error.find("ultimo record è incompleto (10 byte"), std::string::npos) << r.what << ": " << error;
        EXPECT_NE(error.find("accise-cli repair"), std::string::npos) << r.what << ": " << error;
    }
}

TEST(ReportsOfDamagedFiles, AFigureThatIsNotANumberIsRefused) {
    struct Spoil {
        const char* field;
        std::function<void(Movement&)> spoil;
    };
    const std::vector<Spoil> spoils = {
        {"ACCISA", [](Movement& m) { m.ACCISA = kInf; }},
        {"GARANZ", [](Movement& m) { m.GARANZ = -kInf; }},
        {"GRAPLA", [](Movement& m) { m.GRAPLA = std::numeric_limits<double>::quiet_NaN(); }},
    };
    for (const Spoil& s : spoils) {
        for (const Reader& r : readers()) {
            DamagedBooks b(s.spoil);
            const std::string error = errorOf([&] { r.read(b); });
            EXPECT_NE(error.find(std::string("il campo ") + s.field + " non è un numero valido"), std::string::npos)
                << r.what << " with " << s.field << ": " << error;
        }
    }
}

TEST(SearchExport, TextsThatWouldOpenAsAFormulaAreWrittenAsText) {
    struct Case {
        const char* field;
        const char* written;
    };
    const std::vector<Case> cases = {
        {"=SOMMA(A1:A9)", "'=SOMMA(A1:A9)"},
        {"+39 011 555", "'+39 011 555"},
        {"@nota", "'@nota"},
        {"-cmd|' /C calc'!A0", "'-cmd|' /C calc'!A0"},
        {"=1;2", "\"'=1;2\""}, // guarded, then quoted for its ";"
        {"-1.234,50", "-1.234,50"}, // figures keep their sign
        {"-0,00", "-0,00"},
        {"---", "---"}, // the "no date" of the export
        {"-1.", "'-1."},
        {"a=b", "a=b"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(csvField(c.field), c.written) << c.field;
}
