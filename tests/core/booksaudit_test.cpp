// The books audit: each rule against a small set of books written record by record,
// and books written by the program's own operations that must come out clean.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "core/books/movementfile.h"
#include "core/files/recordfile.h"
#include "core/flow/flowcreation.h"
#include "core/flow/flowlist.h"
#include "core/reports/booksaudit.h"
#include "core/tables/company.h"
#include "core/tables/dates.h"
#include "core/tables/deliveredtables.h"
#include "flow_testdata.h"
#include "test_support.h"

using namespace accise;
namespace fd = accise::flowdata;
using accise::testing::RecordingPrompt;
using accise::testing::TempDir;

namespace {

struct AuditBooks {
    TempDir dir;
    Folders folders = Folders::of(dir.path(), dir.path() / "temp");
    RecordingPrompt prompt;
    fs::path signFolder = dir / "dafirmare";

    explicit AuditBooks(const char* profile = "ALCODA") {
        folders.create();
        installDeliveredTables(folders);
        writeCompany(folders, fd::company(profile));
        fs::create_directories(signFolder);
        writeApplConfig(folders, {"firma", signFolder.string(), (dir / "firmati").string(), ""});
    }

    // Register F 12/2013 (litres).
    static Movement movement(double date, const char* tipmov, double litres) {
        Movement m = fd::record("C", date);
        m.TIPREG = "F";
        m.ANNPRO = "2013";
        m.NUMPRO = "12";
        m.TIPMOV = tipmov;
        m.QTALIT = litres;
        m.PRODDO = "2203-00000001-00-0000";
        padMovement(m);
        return m;
    }
    static Movement initialStock(double litres) {
        Movement m = movement(dayNumber(2013, 12, 31), "G", litres);
        m.PRODDO = "";
        padMovement(m);
        return m;
    }
    // Records exactly as given (numbered 1, 2, ... where NUMREC is 0).
    void write(const fs::path& file, std::vector<Movement> records) {
        std::string bytes;
        std::int32_t n = 0;
        for (Movement& m : records) {
            ++n;
            if (m.NUMREC == 0) m.NUMREC = n;
            bytes += encodeMovement(m);
        }
        writeWholeFile(file, bytes);
    }
    std::vector<std::string> lines() const {
        std::vector<std::string> out;
        for (const AuditProblem& p : auditBooks(folders).problems) out.push_back(auditLine(p));
        return out;
    }
    std::string rgm() const { return folders.registerFile(2014).string(); }
};

double day(int d, int m = 12) { return dayNumber(2014, m, d); }

// The superseded record O (sent), its cancellation C and its replacement R.
struct Group {
    Movement o, c, r;
};
Group correctionGroup(std::int32_t number) {
    Group g{AuditBooks::movement(day(1), "C", 100), {}, {}};
    g.o.NUMREC = number;
    g.o.NUMFLU = 0; // the flow is not what this group is about
    g.o.STATO = "C";
    g.c = g.o;
    g.c.NUMREC = number + 10;
    g.c.NUMRIF = number;
    g.c.STATO = " ";
    g.c.TIPOPE = "C";
    g.r = g.o;
    g.r.NUMREC = number + 11;
    g.r.NUMRIF = number;
    g.r.STATO = "R";
    g.r.QTALIT = 80;
    return g;
}

} // namespace

TEST(BooksAudit, BooksWrittenByTheProgramAreClean) {
    AuditBooks b;
    EXPECT_TRUE(b.lines().empty());
    // 1 000 l initial stock, a load and two unloads, a whole correction group, a flow.
    appendMovement(b.folders.initialStocks(), AuditBooks::initialStock(1000), false, b.prompt);
    const fs::path rgm = b.folders.registerFile(2014);
    appendMovement(rgm, AuditBooks::movement(day(2), "C", 500), false, b.prompt);
    appendMovement(rgm, AuditBooks::movement(day(3), "S", 1500), false, b.prompt);
    const Group g = correctionGroup(3);
    std::vector<Movement> records = readMovements(rgm);
    b.write(rgm, {g.o, g.c, g.r, records[0], records[1]});
    FlowRequest request;
    request.year = 2014;
    request.number = 1;
    request.date = day(20);
    request.ticked = {0};
    request.signFolder = b.signFolder;
    buildFlowList(b.folders, 2014, false);
    ASSERT_FALSE(createFlow(b.folders, fd::company(), request, b.prompt).flowFile.empty());
    EXPECT_TRUE(b.lines().empty()) << ::testing::PrintToString(b.lines());
    EXPECT_EQ(booksProblemCount(b.folders), 0);
}

// A stock that is right on the day of every unload but negative on a later day.
TEST(BooksAudit, StockNegativeOnALaterDay) {
    AuditBooks b;
    b.write(b.folders.initialStocks(), {AuditBooks::initialStock(1000)});
    // 15/12: 1 000 - 500 = 500; 20/12: 500 - 800 = -300; 22/12 a load of 400 puts it back to 100.
    b.write(b.folders.registerFile(2014), {AuditBooks::movement(day(15), "S", 500), AuditBooks::movement(day(20), "S", 800),
                                           AuditBooks::movement(day(22), "C", 400)});
    EXPECT_EQ(b.lines(), std::vector<std::string>{b.rgm() + ": record 2 (n. 2): giacenza del registro F 12/2013 negativa a "
                                                            "fine giornata 20/12/2014: QTALIT -300,00000"});
    // Superseded records and cancellations do not count; the same unload as a
    // cancellation leaves the stock at 500.
    Movement cancelled = AuditBooks::movement(day(20), "S", 800);
    cancelled.STATO = "C";
    Movement cancellation = cancelled;
    cancellation.STATO = " ";
    cancellation.TIPOPE = "C";
    cancellation.NUMRIF = 2;
    b.write(b.folders.registerFile(2014), {AuditBooks::movement(day(15), "S", 500), cancelled, cancellation});
    EXPECT_TRUE(b.lines().empty()) << ::testing::PrintToString(b.lines());
}

TEST(BooksAudit, CorrectionGroupsMustBeWhole) {
    struct Case {
        const char* what;
        std::function<std::vector<Movement>(const Group&)> records;
        std::string problem;
    };
    const std::vector<Case> cases = {
        {"superseded without its cancellation", [](const Group& g) { return std::vector<Movement>{g.o}; },
         "record 1 (n. 5): record rettificato (\"C\") senza il suo annullamento"},
        {"replacement before the cancellation", [](const Group& g) { return std::vector<Movement>{g.o, g.r, g.c}; },
         "record 2 (n. 16): il record sostitutivo non segue il record rettificato 5 e il suo annullamento"},
        {"two cancellations",
         [](const Group& g) {
             Movement second = g.c;
             second.NUMREC = 30;
             return std::vector<Movement>{g.o, g.c, second};
         },
         "record 1 (n. 5): record rettificato con 2 annullamenti"},
        {"a cancellation of a record not superseded",
         [](const Group& g) {
             Movement o = g.o;
             o.STATO = " ";
             return std::vector<Movement>{o, g.c};
         },
         "record 2 (n. 15): il record rettificato 5 non è segnato \"C\""},
        {"a cancellation of a missing record", [](const Group& g) { return std::vector<Movement>{g.c}; },
         "record 1 (n. 15): rettifica di un record inesistente (5)"},
        {"a replacement turned into a plain movement",
         [](const Group& g) {
             Movement plain = g.r;
             plain.STATO = " ";
             return std::vector<Movement>{g.o, g.c, plain};
         },
         "record 3 (n. 16): NUMRIF 5 in un record che non è una rettifica"},
        {"a cancellation without NUMRIF",
         [](const Group& g) {
             Movement c = g.c;
             c.NUMRIF = 0;
             return std::vector<Movement>{c};
         },
         "record 1 (n. 15): annullamento di una rettifica senza il record rettificato (NUMRIF 0)"},
    };
    for (const Case& c : cases) {
        AuditBooks b;
        const Group g = correctionGroup(5);
        b.write(b.folders.registerFile(2014), c.records(g));
        const std::vector<std::string> lines = b.lines();
        EXPECT_NE(std::find(lines.begin(), lines.end(), b.rgm() + ": " + c.problem), lines.end())
            << c.what << ": " << ::testing::PrintToString(lines);
    }
}

TEST(BooksAudit, OneActiveDutyRecordPerPeriodOrDay) {
    struct Case {
        const char* what;
        const char* profile;
        std::function<std::vector<Movement>()> records;
        bool problem;
    };
    auto summary = [](const char* period, double date, const char* stato = " ") {
        Movement e = fd::exciseSummary();
        e.CODPAE = period;
        e.DATMOV = date;
        e.STATO = stato;
        return e;
    };
    auto credit = [](double date) {
        Movement d = fd::credit();
        d.DATMOV = date;
        return d;
    };
    const std::vector<Case> cases = {
        {"two summaries of one period", "ALCODA",
         [&] { return std::vector<Movement>{summary("03", day(1, 3)), summary("03", day(2, 3))}; }, true},
        {"a corrected summary and its replacement", "ALCODA",
         [&] {
             Movement o = summary("03", day(1, 3), "C"), c = o, r = summary("03", day(2, 3), "R");
             o.NUMREC = 1;
             c.STATO = " ";
             c.TIPOPE = "C";
             c.NUMRIF = r.NUMRIF = 1;
             return std::vector<Movement>{o, c, r};
         },
         false},
        {"two periods", "ALCODA", [&] { return std::vector<Movement>{summary("03", day(1, 3)), summary("04", day(1, 3))}; },
         false},
        {"two summaries of one day", "ALCOPP",
         [&] { return std::vector<Movement>{summary("03", day(1, 3)), summary("04", day(1, 3))}; }, true},
        {"one period, two days", "ALCOPP",
         [&] { return std::vector<Movement>{summary("03", day(1, 3)), summary("03", day(2, 3))}; }, false},
        {"credits by day may be several", "ALCOPP", [&] { return std::vector<Movement>{credit(day(1, 3)), credit(day(1, 3))}; },
         false},
    };
    for (const Case& c : cases) {
        AuditBooks b(c.profile);
        b.write(b.folders.dutyFile(2014), c.records());
        const std::vector<std::string> lines = b.lines();
        EXPECT_EQ(lines.size(), c.problem ? 1u : 0u) << c.what << ": " << ::testing::PrintToString(lines);
        if (c.problem && !lines.empty()) {
            EXPECT_NE(lines[0].find("record 2 (n. 2): secondo record attivo di tipo E"), std::string::npos) << lines[0];
        }
    }
    AuditBooks b;
    Movement second = fd::guarantee();
    b.write(b.folders.guaranteeFile(2014), {fd::guarantee(), second});
    EXPECT_EQ(b.lines(), std::vector<std::string>{b.folders.guaranteeFile(2014).string() +
                                                  ": record 2 (n. 2): secondo record attivo di tipo F giorno 14/03/2014 "
                                                  "(il primo è il n. 1)"});
}

TEST(BooksAudit, ControlCharacterInAText) {
    AuditBooks b;
    Movement m = AuditBooks::movement(day(2), "C", 10);
    m.ANNOTA = "riga\tdue";
    Movement c1 = AuditBooks::movement(day(3), "C", 10);
    c1.NUMDOC = "A\x7f";
    b.write(b.folders.registerFile(2014), {m, c1});
    EXPECT_EQ(b.lines(), (std::vector<std::string>{b.rgm() + ": record 1 (n. 1): il campo ANNOTA contiene un carattere di controllo",
                                                   b.rgm() + ": record 2 (n. 2): il campo NUMDOC contiene un carattere di controllo"}));
}

TEST(BooksAudit, MarkedRecordsAndTheirFlowFile) {
    AuditBooks b;
    const fs::path rgm = b.folders.registerFile(2014);
    b.write(rgm, {AuditBooks::movement(day(2), "C", 500), AuditBooks::movement(day(3), "C", 200)});
    FlowRequest request;
    request.year = 2014;
    request.number = 4;
    request.date = day(20);
    request.ticked = {0, 1};
    request.signFolder = b.signFolder;
    buildFlowList(b.folders, 2014, false);
    const fs::path flowFile = createFlow(b.folders, fd::company(), request, b.prompt).flowFile;
    ASSERT_EQ(flowFile, b.signFolder / "AB121220.C04");
    ASSERT_TRUE(b.lines().empty()) << ::testing::PrintToString(b.lines());
    const std::string flowBytes = readRecords(flowFile, 1).bytes();

    // A record marked with the flow that the file does not carry (here: changed after).
    std::vector<Movement> records = readMovements(rgm);
    records[1].QTALIT = 250;
    b.write(rgm, records);
    EXPECT_EQ(b.lines(), (std::vector<std::string>{
                             rgm.string() + ": record 2 (n. 2): flusso 1220.C04: record segnato con il flusso ma assente dal file " +
                                 flowFile.string(),
                             flowFile.string() + ": riga 4: flusso 1220.C04: la riga non corrisponde a nessun record segnato con "
                                                 "questo flusso"}));
    // The flow file gone.
    fs::remove(flowFile);
    EXPECT_EQ(b.lines(), std::vector<std::string>{rgm.string() + ": record 1 (n. 1): flusso 1220.C04: 2 record segnati con "
                                                                 "questo flusso ma il file " +
                                                  flowFile.string() + " non c'è"});
    // Only the signed copy left: the flow is there.
    fs::create_directories(b.dir / "firmati");
    writeWholeFile(b.dir / "firmati" / "AB121220.C04.p7m", "firmato");
    EXPECT_TRUE(b.lines().empty()) << ::testing::PrintToString(b.lines());
    fs::remove(b.dir / "firmati" / "AB121220.C04.p7m");
    // Reactivated: no marks left, the old file is not looked at.
    writeWholeFile(flowFile, flowBytes + "riga in più\r\n");
    for (Movement& m : records) m.NUMFLU = 0, m.DATFLU = 0;
    b.write(rgm, records);
    EXPECT_TRUE(b.lines().empty()) << ::testing::PrintToString(b.lines());
}
