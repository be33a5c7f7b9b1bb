// The flow list, flow creation with its marks, and reactivation, through the core.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "core/books/movementfile.h"
#include "core/files/binary.h"
#include "core/files/ioerror.h"
#include "core/files/lock.h"
#include "core/files/recordfile.h"
#include "core/flow/flowcreation.h"
#include "core/flow/flowlist.h"
#include "core/tables/dates.h"
#include "flow_testdata.h"
#include "test_support.h"

using namespace accise;
namespace fd = accise::flowdata;
using accise::testing::RecordingPrompt;
using accise::testing::TempDir;

namespace {

constexpr int kYear = 2014;

// ---- List line texts ----

struct LineCase {
    const char* what;
    Movement record;
    bool alcopp;
    std::string line;
};

Movement movementOf(const char* tipmov, const char* tipdoc) {
    Movement m = fd::unloadWithExcise();
    m.TIPMOV = tipmov;
    m.TIPDOC = tipdoc;
    m.PRODAZ = "BIONDA";
    m.QTAKG = 0.5;
    padMovement(m);
    return m;
}

TEST(FlowListLines, TextOfEveryKind) {
    Movement e = fd::exciseSummary();
    e.ANNOTA = "nota";
    Movement dayE = fd::daySummaryAlcopp();
    Movement dayR = fd::dayCorrectionAlcopp();
    dayR.ANNOTA = "r";
    const std::vector<LineCase> cases = {
        {"initial stock", fd::initialStock(), false,
         "01/01/2014 I GIACENZA INIZIALE: 1.234,50000 12        -2013 Pr. Finiti"},
        {"load", movementOf("C", "DAA"), false,
         "14/03/2014 I Carico      DAA n. A/15 Bar Roma q. 1.000,50 - 2203-00000001-00-0000 BIONDA Pr. Finiti"},
        {"unload", movementOf("S", "DAS"), false,
         "14/03/2014 I Scarico     DAS n. A/15 Bar Roma q. 1.000,50 - 2203-00000001-00-0000 BIONDA Pr. Finiti"},
        {"end of circulation", movementOf("A", "FBR"), false,
         "14/03/2014 I Fine circol.FBR n. A/15 Bar Roma q. 1.000,50 - 2203-00000001-00-0000 BIONDA Pr. Finiti"},
        {"change of destination", movementOf("A", "COD"), false,
         "14/03/2014 I Cambio Dest.COD n. A/15 Bar Roma q. 1.000,50 - 2203-00000001-00-0000 BIONDA Pr. Finiti"},
        {"other closing", movementOf("A", "DAS"), false,
         "14/03/2014 I Chiusura    DAS n. A/15 Bar Roma q. 1.000,50 - 2203-00000001-00-0000 BIONDA Pr. Finiti"},
        {"guarantee", fd::guarantee(), false,
         "14/03/2014I Garanzia | Imp. 1.000,00 | Svin. 200,00 | Nuova 800,00 | Scad. 0,00 | Disp. 800,00 |"},
        {"credit", fd::credit(), false, "2014 02 I Crediti e riaccrediti | Importo 500,00 | Scontato 125,50 |"},
        {"summary", e, false,
         "2014 02 I Riepilogo accisa | Importo 1.000,00 | Crediti 125,50 || Storni -12,30| Totale a saldo 874,50"},
        {"summary by day", dayE, true, "31/03/2014 I Riepilogo accisa | Importo 45,68 giorno"},
        {"correction", fd::voluntaryCorrection(), false,
         "2014 01 I Ravvedimento | Importo sanzione 10,00| Importo interessi 0,01 | ravvedimento"},
        {"correction by day", dayR, true,
         "31/03/2014 I Ravvedimento | Importo sanzione 4,00| Importo interessi 0,00 | r"},
    };
    for (const LineCase& c : cases) EXPECT_EQ(flowListLine(c.record, c.alcopp), c.line) << c.what;
    // The reactivation list shows no register label.
    EXPECT_EQ(reactivationListLine(fd::initialStock(), false), "01/01/2014 I GIACENZA INIZIALE: 1.234,50000 12        -2013");
}

TEST(FlowListLines, RegisterTypeLabels) {
    EXPECT_EQ(registerTypeLabel("M"), "Mat. Prime");
    EXPECT_EQ(registerTypeLabel("L"), "Lavorazioni");
    EXPECT_EQ(registerTypeLabel("F"), "Pr. Finiti");
    EXPECT_EQ(registerTypeLabel("N"), "Pr. Finiti");
    EXPECT_EQ(registerTypeLabel("X"), " ");
}

// ---- A working folder with records of every kind ----

struct Books {
    TempDir dir;
    Folders folders = Folders::of(dir.path(), dir.path() / "temp");
    RecordingPrompt prompt;
    fs::path signFolder = dir / "dafirmare";
    fs::path signedFolder = dir / "firmati";
    AddressRecord company = fd::company();

    Books() {
        folders.create();
        fs::create_directories(signFolder);
        fs::create_directories(signedFolder);
    }
    void write(const fs::path& file, std::vector<Movement> records) {
        std::string bytes;
        std::int32_t n = 0;
        for (Movement& m : records) {
            m.NUMREC = ++n;
            bytes += encodeMovement(m);
        }
        writeWholeFile(file, bytes);
    }
    void writeAll() {
        Movement oldStock = fd::initialStock();
        oldStock.DATMOV = dayNumber(2010, 1, 1);
        Movement sentStock = fd::initialStock();
        sentStock.NUMFLU = 3;
        write(folders.initialStocks(), {oldStock, sentStock});
        Movement ead = movementOf("S", "EAD");
        ead.DATMOV = dayNumber(2014, 5, 2);
        write(folders.registerFile(kYear), {fd::unloadWithExcise(), ead, ead, fd::closingCancellation()});
        Movement sentGuarantee = fd::guarantee(); // covers 14/03 though sent
        sentGuarantee.NUMFLU = 1;
        write(folders.guaranteeFile(kYear), {sentGuarantee});
        write(folders.dutyFile(kYear), {fd::credit(), fd::exciseSummary(), fd::voluntaryCorrection()});
    }
    FlowRequest request(std::vector<std::size_t> ticked, int number = 1) const {
        FlowRequest r;
        r.year = kYear;
        r.number = number;
        r.date = dayNumber(2014, 6, 30);
        r.ticked = std::move(ticked);
        r.signFolder = signFolder;
        return r;
    }
    std::vector<std::int32_t> flowNumbers(const fs::path& file) const {
        std::vector<std::int32_t> out;
        for (const Movement& m : readMovements(file)) out.push_back(m.NUMFLU);
        return out;
    }
    std::vector<std::string> filesIn(const fs::path& folder) const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST(FlowList, FourPassesSelectionFileAndMissingGuarantees) {
    Books b;
    b.writeAll();
    const FlowList list = buildFlowList(b.folders, kYear, false);
    // An initial stock of any year; the movements; no sent guarantee; the duty records.
    ASSERT_EQ(list.lines.size(), 1u + 4u + 3u);
    EXPECT_EQ(list.lines[0].substr(0, 10), "01/01/2010");
    EXPECT_EQ(list.lines[1], flowListLine(fd::unloadWithExcise(), false));
    EXPECT_EQ(list.lines[5].substr(0, 31), "2014 02 I Crediti e riaccrediti");
    // One warning for the EAD day; the closing of 14/03 is covered by the sent guarantee.
    EXPECT_EQ(list.missingGuarantees, std::vector<std::string>{"ATTENZIONE MANCA LA GARANZIA DEL 02/05/2014"});

    const std::vector<Movement> selection = readMovements(selectionFile(b.folders));
    ASSERT_EQ(selection.size(), list.lines.size());
    for (std::size_t i = 0; i < selection.size(); ++i)
        EXPECT_EQ(flowListLine(selection[i], false), list.lines[i]) << i;
    const std::vector<Movement> checks = readMovements(guaranteeCheckFile(b.folders));
    ASSERT_EQ(checks.size(), 2u);
    EXPECT_EQ(checks[0].DATMOV, dayNumber(2014, 5, 2));
    EXPECT_EQ(checks[0].NUMRIF, 0); // no guarantee that day
    EXPECT_EQ(checks[1].NUMRIF, 1); // 14/03, covered
}

// The register's lines are made from the stored bytes without decoding the record:
// each must be the line of the decoded record, whatever its texts (accents, empty or
// over-long fields), its kind and its register, and the days needing a guarantee
// come out once each, in the order first met.
TEST(FlowList, ARegisterLineIsTheLineOfItsDecodedRecord) {
    Books b;
    const double may2 = dayNumber(2014, 5, 2), may3 = dayNumber(2014, 5, 3);
    const auto with = [](const char* tipmov, const char* tipdoc, const char* tipreg, double day) {
        Movement m = movementOf(tipmov, tipdoc);
        m.TIPREG = tipreg;
        m.DATMOV = day;
        padMovement(m);
        return m;
    };
    Movement accents = with("C", "DAA", "M", may3);
    accents.NUMDOC = "Bolla è";
    accents.MITDES = "Caffè €";
    accents.PRODAZ = "ROSSA ò";
    accents.PRODDO = " 2203 ";
    accents.QTALIT = 1234567.125;
    padMovement(accents);
    Movement stock = with("G", "", "F", may3);
    Movement duty = with("C", "DAS", "L", may3);
    duty.TIPREC = "D";
    Movement sent = with("S", "EAD", "N", may3);
    sent.NUMFLU = 5;
    std::vector<Movement> records = {accents,
                                     with("S", "EAD", "N", may2 + 0.6), // a time of day: the line shows 03/05
                                     with("S", "FBE", "L", may3),
                                     with("A", "FBR", "X", may2),
                                     with("A", "FBC", "", may2),
                                     with("A", "XYZ", "F", may2 + 0.4),
                                     with("S", " EA", "M", may2),
                                     with("C", "DAS", "F", may2),
                                     stock,
                                     duty,
                                     sent};
    std::string bytes;
    for (std::size_t i = 0; i < records.size(); ++i) {
        records[i].NUMREC = static_cast<std::int32_t>(i + 1);
        bytes += encodeMovement(records[i]);
    }
    bytes[kMovementSize + 34] = 0;                   // record 2: TIPOPE of no characters
    bytes[2 * kMovementSize + 184] = 40;             // record 3: NUMDOC's length byte beyond its 21 characters
    bytes[3 * kMovementSize + 180] = 2;              // record 4: TIPDOC "FB"
    writeWholeFile(b.folders.registerFile(kYear), bytes);
    Movement cover = fd::guarantee();
    cover.DATMOV = may2;
    b.write(b.folders.guaranteeFile(kYear), {cover});

    const FlowList list = buildFlowList(b.folders, kYear, false);
    const RecordBlock selection = readRecords(selectionFile(b.folders), kMovementSize);
    ASSERT_EQ(list.lines.size(), records.size() - 1 + 1); // the sent one left out, the guarantee listed
    ASSERT_EQ(selection.count(), list.lines.size());
    for (std::size_t i = 0; i + 1 < list.lines.size(); ++i) {
        SCOPED_TRACE(i);
        std::string expected = bytes.substr(i * kMovementSize, kMovementSize);
        binary::putDouble(expected.data() + 24, std::round(binary::getDouble(expected.data() + 24)));
        EXPECT_EQ(selection.at(i), expected);
        EXPECT_EQ(list.lines[i], flowListLine(decodeMovement(expected), false));
    }
    EXPECT_EQ(list.lines[0],
              "03/05/2014 I Carico      DAA n. Bolla è Caffè € q. 1.234.567,63 - 2203 ROSSA ò Mat. Prime");
    EXPECT_EQ(list.lines[1].substr(0, 25), "03/05/2014   Scarico     "); // no TIPOPE: a blank

    // EAD on 03/05 (the time of day made whole), FBE on 03/05, three closings on 02/05:
    // two days, the first covered by no guarantee, the second by the one of 02/05.
    const std::vector<Movement> checks = readMovements(guaranteeCheckFile(b.folders));
    ASSERT_EQ(checks.size(), 2u);
    EXPECT_EQ(checks[0].NUMREC, 2);
    EXPECT_EQ(checks[0].DATMOV, may3);
    EXPECT_EQ(checks[0].NUMRIF, 0);
    EXPECT_EQ(checks[1].NUMREC, 4);
    EXPECT_EQ(checks[1].NUMRIF, 1);
    EXPECT_EQ(list.missingGuarantees, std::vector<std::string>{"ATTENZIONE MANCA LA GARANZIA DEL 03/05/2014"});
}

TEST(FlowCreation, MarksTheTickedRecordsAndWritesThemInListOrder) {
    Books b;
    b.writeAll();
    buildFlowList(b.folders, kYear, false);
    const FlowResult r = createFlow(b.folders, b.company, b.request({0, 1, 5, 7}, 7), b.prompt);
    EXPECT_EQ(r.flowFile, b.signFolder / "AB120630.C07");
    EXPECT_TRUE(r.leftOut.empty());
    EXPECT_EQ(r.counts.byKind, (std::array<int, 5>{2, 1, 0, 0, 1}));

    EXPECT_EQ(b.flowNumbers(b.folders.initialStocks()), (std::vector<std::int32_t>{7, 3}));
    EXPECT_EQ(b.flowNumbers(b.folders.registerFile(kYear)), (std::vector<std::int32_t>{7, 0, 0, 0}));
    EXPECT_EQ(b.flowNumbers(b.folders.dutyFile(kYear)), (std::vector<std::int32_t>{7, 0, 7}));
    EXPECT_EQ(readMovements(b.folders.dutyFile(kYear))[0].DATFLU, dayNumber(2014, 6, 30));

    const std::vector<Movement> selection = readMovements(selectionFile(b.folders));
    const std::string expected = flowFileBytes(FlowCompany::of(b.company), "AB120630.C07",
                                               {selection[0], selection[1], selection[5], selection[7]});
    std::ifstream in(r.flowFile, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), expected);
    // Nothing left beside the flow, no lock marker left behind.
    EXPECT_EQ(b.filesIn(b.signFolder), std::vector<std::string>{"AB120630.C07"});
    EXPECT_FALSE(fs::exists(lockMarkerOf(b.folders.registerFile(kYear))));
    // The unticked records are listed again, the marked ones are not.
    EXPECT_EQ(buildFlowList(b.folders, kYear, false).lines.size(), 4u);
}

TEST(FlowCreation, AFailedMarkingLeavesEveryRecordUnsentAndNoFlow) {
    Books b;
    b.writeAll();
    buildFlowList(b.folders, kYear, false);
    const std::string registerBefore = readRecords(b.folders.registerFile(kYear), kMovementSize).bytes();
    // The duty file cannot be replaced: its new content has nowhere to go.
    fs::path blocked = b.folders.dutyFile(kYear);
    blocked += ".~nuovo";
    fs::create_directories(blocked);
    EXPECT_THROW(createFlow(b.folders, b.company, b.request({0, 1, 2, 5}), b.prompt), IoError);

    EXPECT_EQ(readRecords(b.folders.registerFile(kYear), kMovementSize).bytes(), registerBefore);
    EXPECT_EQ(b.flowNumbers(b.folders.initialStocks()), (std::vector<std::int32_t>{0, 3}));
    EXPECT_EQ(b.flowNumbers(b.folders.dutyFile(kYear)), (std::vector<std::int32_t>{0, 0, 0}));
    EXPECT_TRUE(b.filesIn(b.signFolder).empty());
    for (FlowSource s : kFlowSources) EXPECT_FALSE(fs::exists(lockMarkerOf(flowSourcePath(b.folders, kYear, s))));
}

TEST(FlowCreation, RecordsChangedSinceTheListAreLeftOutAndNamed) {
    Books b;
    b.writeAll();
    const FlowList list = buildFlowList(b.folders, kYear, false);
    RecordingPrompt other;
    // Another workstation removes one movement, changes another and sends a duty record.
    ASSERT_EQ(deleteMovement(b.folders.registerFile(kYear), 1, other), DeleteOutcome::Deleted);
    std::vector<Movement> duty = readMovements(b.folders.dutyFile(kYear));
    duty[0].NUMFLU = 9;
    duty[1].QTAKG = 1;
    b.write(b.folders.dutyFile(kYear), duty);

    const FlowResult r = createFlow(b.folders, b.company, b.request({1, 2, 5, 6, 7}), b.prompt);
    EXPECT_EQ(r.leftOut, (std::vector<std::string>{list.lines[1], list.lines[5], list.lines[6]}));
    EXPECT_EQ(r.counts.byKind, (std::array<int, 5>{1, 0, 0, 0, 1}));
    EXPECT_EQ(b.flowNumbers(b.folders.registerFile(kYear)), (std::vector<std::int32_t>{1, 0, 0}));
    EXPECT_EQ(b.flowNumbers(b.folders.dutyFile(kYear)), (std::vector<std::int32_t>{9, 0, 1}));
    const std::string message = leftOutMessage(r.leftOut);
    EXPECT_NE(message.find(list.lines[5]), std::string::npos);
    EXPECT_NE(message.find("RICOSTRUIRE L'ELENCO"), std::string::npos);

    // When every ticked record changed, no flow is written at all.
    const FlowResult none = createFlow(b.folders, b.company, b.request({1}, 2), b.prompt);
    EXPECT_TRUE(none.flowFile.empty());
    EXPECT_EQ(b.filesIn(b.signFolder), std::vector<std::string>{"AB120630.C01"});
}

TEST(FlowCreation, WaitsForTheLockMarkerOfAFileItMarks) {
    Books b;
    b.writeAll();
    buildFlowList(b.folders, kYear, false);
    const fs::path rgm = b.folders.registerFile(kYear);
    RecordingPrompt other;
    lockFile(rgm, other);
    b.prompt.onInformation = [&](int) { unlockFile(rgm); };
    const FlowResult r = createFlow(b.folders, b.company, b.request({1}), b.prompt);
    ASSERT_EQ(b.prompt.messages.size(), 1u);
    EXPECT_EQ(b.prompt.messages[0], lockWaitMessage(rgm));
    EXPECT_EQ(b.flowNumbers(rgm)[0], 1);
    EXPECT_FALSE(r.flowFile.empty());
}

// Each refusal leaves every record unsent and no flow file: nothing to send, nothing
// that carries a number of a flow the agency will never see.
TEST(FlowCreation, RefusalsMarkNothing) {
    struct Case {
        const char* what;
        std::function<void(Books&)> prepare;
        const char* expected; // a piece of the refusal
    };
    const double date = dayNumber(2014, 6, 30);
    const std::vector<Case> cases = {
        // A note stored with a line break before texts were checked at entry.
        {"line break in a stored note",
         [](Books& b) {
             std::vector<Movement> rgm = readMovements(b.folders.registerFile(kYear));
             rgm[0].ANNOTA = "riga1\r\nriga2";
             b.write(b.folders.registerFile(kYear), rgm);
         },
         "NEL CAMPO ANNOTA"},
        // The old signed copy cannot go (here a folder in its place; on Windows a file
        // still open in the signing program): it would be sent as the new flow.
        {"undeletable signed copy",
         [](Books& b) { fs::create_directories(b.signedFolder / "AB120630.C01.p7m" / "aperto"); },
         "IMPOSSIBILE ELIMINARE IL VECCHIO FILE FIRMATO"},
        // Flow 1 of the day was created and its records still carry it.
        {"number still carried",
         [date](Books& b) {
             std::vector<Movement> duty = readMovements(b.folders.dutyFile(kYear));
             duty[2].NUMFLU = 1;
             duty[2].DATFLU = date;
             b.write(b.folders.dutyFile(kYear), duty);
             writeWholeFile(b.signFolder / "AB120630.C01", "il flusso 1 non firmato");
         },
         "AB120630.C01 E' GIA' STATO CREATO"},
    };
    for (const Case& c : cases) {
        Books b;
        b.writeAll();
        c.prepare(b);
        buildFlowList(b.folders, kYear, false);
        const std::string before = readRecords(b.folders.registerFile(kYear), kMovementSize).bytes();
        const std::string dutyBefore = readRecords(b.folders.dutyFile(kYear), kMovementSize).bytes();
        const std::vector<std::string> folderBefore = b.filesIn(b.signFolder);
        FlowRequest request = b.request({0, 1, 5});
        request.signedFolder = b.signedFolder;
        const FlowResult r = createFlow(b.folders, b.company, request, b.prompt);
        EXPECT_NE(r.refused.find(c.expected), std::string::npos) << c.what << ": " << r.refused;
        EXPECT_TRUE(r.flowFile.empty()) << c.what;
        EXPECT_EQ(readRecords(b.folders.registerFile(kYear), kMovementSize).bytes(), before) << c.what;
        EXPECT_EQ(readRecords(b.folders.dutyFile(kYear), kMovementSize).bytes(), dutyBefore) << c.what;
        EXPECT_EQ(b.flowNumbers(b.folders.initialStocks())[0], 0) << c.what;
        // The unsigned flow of the same name is kept as it was, nothing is left beside it.
        EXPECT_EQ(b.filesIn(b.signFolder), folderBefore) << c.what;
    }
}

TEST(FlowCreation, AReactivatedNumberIsReusedAndItsOldSignedCopyRemovedFirst) {
    Books b;
    b.writeAll();
    writeWholeFile(b.signFolder / "AB120630.C01", "vecchio flusso riattivato");
    writeWholeFile(b.signedFolder / "AB120630.C01.p7m", "vecchia firma");
    buildFlowList(b.folders, kYear, false);
    FlowRequest request = b.request({1});
    request.signedFolder = b.signedFolder;
    const FlowResult r = createFlow(b.folders, b.company, request, b.prompt);
    EXPECT_TRUE(r.refused.empty()) << r.refused;
    EXPECT_EQ(r.flowFile, b.signFolder / "AB120630.C01");
    EXPECT_FALSE(fs::exists(b.signedFolder / "AB120630.C01.p7m"));
    EXPECT_EQ(b.flowNumbers(b.folders.registerFile(kYear))[0], 1);
    EXPECT_TRUE(flowNumberInUse(b.folders, kYear, dayNumber(2014, 6, 30), 1));
    EXPECT_FALSE(flowNumberInUse(b.folders, kYear, dayNumber(2014, 6, 29), 1));
}

TEST(FlowReactivation, ListsAFlowAndClearsTheTickedMarks) {
    Books b;
    b.writeAll();
    buildFlowList(b.folders, kYear, false);
    const double date = dayNumber(2014, 6, 30);
    createFlow(b.folders, b.company, b.request({0, 1, 2, 5}, 4), b.prompt);

    EXPECT_TRUE(buildReactivationList(b.folders, kYear, date, 5, false).empty());
    const std::vector<std::string> lines = buildReactivationList(b.folders, kYear, date, 4, false);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "2|" + reactivationListLine(fd::initialStock(), false).replace(0, 10, "01/01/2010"));
    EXPECT_EQ(lines[3].substr(0, 2), "5|");

    // One movement gone from its file meanwhile; line 2 (the other movement) unticked.
    std::string rgm = readRecords(b.folders.registerFile(kYear), kMovementSize).bytes();
    rgm.erase(0, kMovementSize);
    writeWholeFile(b.folders.registerFile(kYear), rgm);
    int reactivated = 0;
    reactivateFlowRecords(b.folders, kYear, {0, 1, 3}, b.prompt, reactivated);
    EXPECT_EQ(reactivated, 2);
    EXPECT_EQ(b.flowNumbers(b.folders.initialStocks()), (std::vector<std::int32_t>{0, 3}));
    EXPECT_EQ(b.flowNumbers(b.folders.registerFile(kYear)), (std::vector<std::int32_t>{4, 0, 0}));
    EXPECT_EQ(b.flowNumbers(b.folders.dutyFile(kYear)), (std::vector<std::int32_t>{0, 0, 0}));
    EXPECT_EQ(readMovements(b.folders.dutyFile(kYear))[0].DATFLU, 0);
}

} // namespace
