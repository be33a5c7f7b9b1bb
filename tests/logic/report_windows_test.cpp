#include <gtest/gtest.h>

#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/reports/registerreports.h"
#include "core/tables/company.h"
#include "core/tables/deliveredtables.h"
#include "logic/reportwindows/booksauditwindow.h"
#include "logic/reportwindows/registerprintwindow.h"
#include "logic/reportwindows/registertotalswindow.h"
#include "recording_canvas.h"
#include "report_fixture.h"
#include "window_fixtures.h"

namespace accise {
namespace {

using testing::FakeServices;
using testing::litresMovement;
using testing::RecordingCanvas;
using testing::RecordingPrompt;
using testing::ReportFolder;
using testing::stockRecord;

// Draws every report it is given on a recording canvas.
class RecordingViewer : public ReportViewer {
public:
    std::vector<std::string> titles;
    std::vector<RecordingCanvas> canvases;
    void show(const ReportJob& job) override {
        titles.push_back(job.title);
        canvases.emplace_back(800, 600, 0.5, 1.25);
        job.draw(canvases.back());
    }
};

struct ReportWindowTest : ::testing::Test {
    ReportFolder f;
    CommandContext ctx{f.folders};
    RecordingPrompt prompt;
    FakeServices services;
    RecordingViewer viewer;

    void SetUp() override {
        f.addRegister("103", 2, "10/01/2025", "01/01/2025", "31/12/2025", "BIRRA SFUSA");
        f.addRegister("104", 3, "10/01/2025", "15/03/2025", "31/12/2025", "BIRRA IN FUSTI"); // starts in March
        f.addRegister("105", 0, "10/01/2024", "01/01/2024", "20/03/2025", "MALTO");          // ends in March
        f.addRegister("106", 1, "10/01/2025", "01/01/2025", "31/12/2025", "MOSTO");
        f.addStock(stockRecord("F", "2025", "103", "31/12/2024", 1000, 120));
        f.addMovement(litresMovement("F", "2025", "103", "05/03/2025", "S", 100));
        AddressRecord company = blankAddress();
        company.name1 = "BIRRIFICIO ALFA SRL";
        writeCompany(f.folders, company);
    }
};

using RegisterPrintWindow = ReportWindowTest;

TEST_F(RegisterPrintWindow, OpensOnTheCurrentMonthAndListsTheRegistersValidOverThePeriod) {
    RegisterPrintLogic w(ctx, prompt, services, viewer);
    w.open();
    EXPECT_EQ(w.focusAfterOpen(), "MDADA");
    EXPECT_EQ(w.value("RTIPO"), "0");
    EXPECT_EQ(w.value("MDAAL"), formatDate(todayDayNumber()));
    EXPECT_EQ(w.value("MDADA").substr(0, 3), "01/");
    EXPECT_EQ(w.value("MDADA").substr(2), w.value("MDAAL").substr(2));

    w.keyTyped();
    w.setValue("MDADA", "01/03/2025");
    w.setValue("MDAAL", "31/03/2025");
    EXPECT_TRUE(w.leave("MDAAL").proceed);
    EXPECT_EQ(w.registerEntries(),
              (std::vector<std::string>{"Finiti sfusi         103 BIRRA SFUSA", "Lavorazioni          106 MOSTO"}));
    EXPECT_EQ(w.value("ELENCO"), "-1"); // nothing chosen yet
    const RecordBlock list = readRecords(f.folders.inTemp(kRegisterListFile), kTableSize, IfMissing::Empty);
    ASSERT_EQ(list.count(), 2u);
    EXPECT_EQ(trimmed(decodeTable(list.at(1)).col[0]), "106");

    // A choice survives a new list that still holds its register, not one that drops it.
    w.setValue("ELENCO", "1");
    w.setValue("MDADA", "02/03/2025");
    w.leave("MDADA");
    EXPECT_EQ(w.value("ELENCO"), "1");
    w.setValue("MDADA", "01/04/2025");
    w.setValue("MDAAL", "30/04/2025");
    w.leave("MDAAL");
    EXPECT_EQ(w.registerEntries().size(), 3u);
    EXPECT_EQ(w.value("ELENCO"), "2");
}

TEST_F(RegisterPrintWindow, ChecksInOrderAndPrintsOnlyAValidSelection) {
    struct Case {
        const char *from, *to, *mode, *sheets, *chosen;
        std::optional<std::string> failure;
    } cases[] = {
        {"32/01/2025", "31/03/2025", "0", "", "0", "MDADA"},
        {"01/01/1999", "31/03/1999", "0", "", "0", "MDADA"}, // years 2000 to 2100 only
        {"__/__/____", "31/03/2025", "0", "", "0", "MDADA"},
        {"01/03/2025", "28/02/2025", "0", "", "0", "MDAAL"}, // before the start
        {"01/12/2025", "05/01/2026", "0", "", "0", "MDAAL"}, // another year
        {"01/03/2025", "31/02/2025", "0", "", "0", "MDAAL"},
        {"01/03/2025", "31/03/2025", "2", "", "0", "MFOGLI"}, // headings mode: at least one sheet
        {"01/03/2025", "31/03/2025", "2", "-2", "0", "MFOGLI"},
        {"01/03/2025", "31/03/2025", "0", "", "-1", "ELENCO"},
        {"01/03/2025", "31/03/2025", "0", "", "5", "ELENCO"},
        {"01/03/2025", "31/03/2025", "0", "", "0", std::nullopt},
        {"01/03/2025", "31/03/2025", "1", "", "1", std::nullopt},
        {"01/03/2025", "31/03/2025", "2", "3", "0", std::nullopt},
    };
    for (const Case& c : cases) {
        RegisterPrintLogic w(ctx, prompt, services, viewer);
        w.open();
        w.keyTyped();
        w.setValue("MDADA", "01/03/2025");
        w.setValue("MDAAL", "31/03/2025");
        w.leave("MDAAL");
        w.setValue("MDADA", c.from);
        w.setValue("MDAAL", c.to);
        w.setValue("RTIPO", c.mode);
        w.setValue("MFOGLI", c.sheets);
        w.setValue("ELENCO", c.chosen);
        const std::size_t printed = viewer.titles.size();
        EXPECT_EQ(w.confirm(), c.failure) << c.from << " " << c.to << " " << c.mode << " " << c.chosen;
        EXPECT_EQ(viewer.titles.size(), printed + (c.failure ? 0 : 1)) << c.from;
    }
}

TEST_F(RegisterPrintWindow, PrintsTheChosenRegisterAndGoesBackToTheStartDate) {
    RegisterPrintLogic w(ctx, prompt, services, viewer);
    w.open();
    w.keyTyped();
    w.setValue("MDADA", "01/03/2025");
    w.setValue("MDAAL", "31/03/2025");
    w.leave("MDAAL");
    w.setValue("ELENCO", "0");
    w.setValue("IDAPAG", "12");
    EXPECT_EQ(w.confirmPressed(), std::optional<std::string>("MDADA"));
    EXPECT_FALSE(w.closeRequested());
    ASSERT_EQ(viewer.canvases.size(), 1u);
    EXPECT_EQ(viewer.titles[0], "Registro F 103-2025 dal 01/03/2025 al 31/03/2025");
    const RecordingCanvas& page = viewer.canvases[0];
    EXPECT_EQ(page.textsEqual("REGISTRO DI CARICO e SCARICO - Finiti sfusi - BIRRA SFUSA").size(), 1u);
    EXPECT_EQ(page.textsEqual("PAG.  12").size(), 1u); // the first page number applies in every mode
    EXPECT_EQ(page.textsEqual("BIRRIFICIO ALFA SRL").size(), 1u);
    EXPECT_EQ(page.textsEqual("-100,00000").size(), 1u);
    EXPECT_EQ(page.textsEqual("900,00000").size(), 1u); // the totals
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(RegisterPrintWindow, ASecondActiveInitialStockIsToldBeforeThePreview) {
    f.addStock(stockRecord("F", "2025", "103", "31/01/2025", 5, 5));
    RegisterPrintLogic w(ctx, prompt, services, viewer);
    w.open();
    w.keyTyped();
    w.setValue("MDADA", "01/03/2025");
    w.setValue("MDAAL", "31/03/2025");
    w.leave("MDAAL");
    w.setValue("ELENCO", "0");
    EXPECT_EQ(w.confirm(), std::nullopt);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].find("2 GIACENZE INIZIALI ATTIVE"), std::string::npos);
    EXPECT_EQ(viewer.canvases.at(0).textsEqual(prompt.messages[0]).size(), 1u);
    EXPECT_EQ(viewer.canvases.at(0).textsEqual("900,00000").size(), 1u);
}

using RegisterTotalsWindow = ReportWindowTest;

TEST_F(RegisterTotalsWindow, ChecksTheDateThenPrintsTheTotals) {
    RegisterTotalsLogic w(ctx, prompt, services, viewer);
    w.open();
    EXPECT_EQ(w.value("MDAAL"), formatDate(todayDayNumber()));
    EXPECT_EQ(w.focusAfterOpen(), "MDAAL");
    w.keyTyped();
    for (const char* bad : {"31/04/2025", "01/01/1999", "01/01/2101", "__/__/____"}) {
        w.setValue("MDAAL", bad);
        EXPECT_EQ(w.leave("MDAAL"), FocusMove::to("MDAAL")) << bad;
        EXPECT_EQ(w.confirm(), std::optional<std::string>("MDAAL")) << bad;
    }
    EXPECT_TRUE(viewer.titles.empty());

    w.setValue("MDAAL", "10/03/2025");
    EXPECT_TRUE(w.leave("MDAAL").proceed);
    EXPECT_EQ(w.confirmPressed(), std::optional<std::string>("MDAAL"));
    ASSERT_EQ(viewer.canvases.size(), 1u);
    const RecordingCanvas& page = viewer.canvases[0];
    EXPECT_EQ(page.textsEqual("TOTALI DI TUTTI I REGISTRI ALLA DATA: 10/03/2025").size(), 1u);
    EXPECT_EQ(page.textsEqual("       900,00000").size(), 1u);
    ASSERT_EQ(w.lastTotals().registers.size(), 3u); // 104 starts on the 15th
    const RecordBlock list = readRecords(f.folders.inTemp(kRegisterListFile), kTableSize, IfMissing::Empty);
    EXPECT_EQ(list.count(), 3u);
}

} // namespace
} // namespace accise

namespace accise {
namespace {

using BooksAuditWindow = ReportWindowTest;

// Register 103 holds 1 000 l and an unload of 100 l; a later unload of 950 l leaves
// -50 l on 20/03. The window lists the problem on opening, and confirming checks the
// books again, so a problem put right meanwhile is gone from the printed report.
TEST_F(BooksAuditWindow, ListsTheProblemsAndPrintsTheAuditOfTheMomentOfConfirmation) {
    installDeliveredTables(f.folders);
    f.addMovement(litresMovement("F", "2025", "103", "20/03/2025", "S", 950));
    BooksAuditLogic w(ctx, prompt, services, viewer);
    w.open();
    EXPECT_EQ(w.focusAfterOpen(), "ELENCO");
    const std::string problem = "REGISTRI/2025.RGM: record 2 (n. 3): giacenza del registro F 103/2025 negativa a fine giornata "
                                "20/03/2025: QTALIT -50,00000";
    EXPECT_EQ(w.value("ELENCO"), problem);
    EXPECT_EQ(w.value("ESITO"), "1 problemi trovati");
    EXPECT_EQ(w.audit().problems.size(), 1u);

    // The printed report carries it (a long line continues on the next printed line).
    EXPECT_EQ(w.confirmPressed(), std::optional<std::string>("ELENCO"));
    ASSERT_EQ(viewer.canvases.size(), 1u);
    EXPECT_EQ(viewer.titles[0], "Controllo dei registri al " + formatDate(todayDayNumber()));
    std::string printed;
    for (const auto& t : viewer.canvases[0].texts) printed += t.text;
    EXPECT_NE(printed.find("negativa a fine giornata 20/03/2025: QTALIT -50,00000"), std::string::npos) << printed;
    EXPECT_NE(printed.find("1 problemi trovati"), std::string::npos) << printed;

    // Another desk removes the unload before the clerk confirms again.
    const RecordBlock year = readRecords(f.folders.registerFile(2025), kMovementSize);
    writeWholeFile(f.folders.registerFile(2025), std::string(year.at(0)));
    EXPECT_EQ(w.confirmPressed(), std::optional<std::string>("ELENCO"));
    ASSERT_EQ(viewer.canvases.size(), 2u);
    EXPECT_EQ(w.value("ELENCO"), "");
    EXPECT_TRUE(w.value("ESITO").starts_with("nessun problema (")) << w.value("ESITO");
    EXPECT_EQ(viewer.canvases[1].textsEqual(w.value("ESITO")).size(), 1u);
}

} // namespace
} // namespace accise
