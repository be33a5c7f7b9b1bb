// The search windows driven without a display: what each shows when it opens, the
// checks of the confirm button in their order, and what a confirmation leaves behind
// (the export file, the report handed to the preview, the fields reset).
#include <gtest/gtest.h>

#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/tables/addressbook.h"
#include "core/tables/dates.h"
#include "logic/movements/movemententry.h"
#include "logic/reportwindows/dutysearchwindow.h"
#include "logic/reportwindows/registersearchwindow.h"
#include "logic/reportwindows/searchdates.h"
#include "logic/reportwindows/searchresults.h"
#include "logic/reportwindows/stocksearchwindow.h"
#include "window_fixtures.h"

using namespace accise;
using namespace accise::testing;

namespace {

const std::string kThisYear = std::to_string(yearOf(todayDayNumber()));
const std::string kToday = formatDate(todayDayNumber());

Movement record(const char* tiprec, const char* tipmov, double date) {
    Movement m = blankMovement();
    m.TIPREC = tiprec;
    m.TIPOPE = "I";
    m.TIPMOV = tipmov;
    m.DATMOV = date;
    return m;
}

void writeRecords(const fs::path& file, std::vector<Movement> records) {
    std::string bytes;
    for (Movement& m : records) {
        padMovement(m);
        bytes += encodeMovement(m);
    }
    writeWholeFile(file, bytes);
}

std::size_t exportLines(const fs::path& file) {
    const std::string text = readRecords(file, 1, IfMissing::Empty).bytes();
    std::size_t n = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++n;
    return n;
}

struct SearchWindows : WorkingFolder {
    RecordingPrompt prompt;
    FakeServices services;
    CommandContext ctx = context();
};

TEST(RegisterSearchWindow, OpensWithTheYearSoFarAndTheCaptionOfItsMode) {
    SearchWindows w;
    const struct {
        char mode;
        const char* caption;
        const char* codeLabel;
    } modes[] = {{'C', "Ricerca movimenti di carico", "Mittente"},
                 {'S', "Ricerca movimenti di scarico", "Destinatario"},
                 {'c', "Ricerca movimenti di carico inviati", "Destinatario"},
                 {'s', "Ricerca movimenti di scarico inviati", "Destinatario"}};
    for (const auto& m : modes) {
        w.ctx.mode = m.mode;
        RegisterSearchLogic window(w.ctx, w.prompt, w.services);
        window.open();
        EXPECT_EQ(window.title(), m.caption);
        EXPECT_EQ(window.codeLabel(), m.codeLabel);
        EXPECT_EQ(window.value("MDADA"), "01/01/" + kThisYear);
        EXPECT_EQ(window.value("MDAAL"), kToday);
        EXPECT_EQ(window.value("MITDES"), "");
        EXPECT_EQ(window.value("lfile"), "");
        EXPECT_FALSE(window.fileButtonShown());
        EXPECT_EQ(window.focusAfterOpen(), "MDADA");
    }
}

TEST(RegisterSearchWindow, ConfirmChecksTheDatesInOrderAndRunsNothingOnAFailure) {
    SearchWindows w;
    w.ctx.mode = 'C';
    const struct {
        const char* from;
        const char* to;
        std::optional<std::string> failed;
    } cases[] = {
        {"01/01/2025", "31/12/2025", std::nullopt},
        {"01/01/2024", "31/01/2026", std::nullopt}, // the two years may differ
        {"05/05/2025", "05/05/2025", std::nullopt},
        {"__/__/____", "31/12/2025", "MDADA"},
        {"31/02/2025", "31/12/2025", "MDADA"},
        {"31/12/1999", "31/12/2025", "MDADA"},
        {"01/01/2101", "02/01/2101", "MDADA"},
        {"01/01/2025", "32/01/2025", "MDAAL"},
        {"01/01/2025", "01/01/2101", "MDAAL"},
        {"02/01/2025", "01/01/2025", "MDAAL"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " - " + c.to);
        RegisterSearchLogic window(w.ctx, w.prompt, w.services);
        window.open();
        window.setValue("MDADA", c.from);
        window.setValue("MDAAL", c.to);
        EXPECT_EQ(window.confirmChecks(), c.failed);
        // The file label appears as soon as the button is reached, before the search runs.
        EXPECT_EQ(window.value("lfile"),
                  c.failed ? "" : "Ricerca salvata in: " + (w.folders.temp / "RICERCA_C.CSV").string());
        EXPECT_FALSE(window.fileButtonShown());
        if (c.failed) {
            EXPECT_EQ(window.confirmPressed(), std::nullopt); // the failure cancelled the click
            EXPECT_TRUE(w.services.reports.empty());
        }
    }
    EXPECT_FALSE(fileExists(w.folders.inTemp("RICERCA_C.CSV")));
    EXPECT_TRUE(w.prompt.messages.empty()); // nothing is shown
}

TEST(RegisterSearchWindow, ConfirmExportsPrintsAndGetsReadyForTheNextSearch) {
    SearchWindows w;
    w.ctx.mode = 'S';
    Movement shop = record("C", "S", dayNumber(2025, 3, 1));
    shop.MITDES = "01234567890";
    Movement client = record("C", "S", dayNumber(2025, 3, 2));
    client.MITDES = "IT00RMA00555K";
    writeRecords(w.folders.registerFile(2025), {shop, client, record("C", "C", dayNumber(2025, 3, 3))});
    AddressRecord entry = blankAddress();
    entry.id2 = "01234567890";
    entry.name1 = "Bottega";
    insertAddress(w.folders.addressBook('D'), entry, w.prompt);

    RegisterSearchLogic window(w.ctx, w.prompt, w.services);
    window.open();
    window.setValue("MDADA", "01/01/2025");
    window.setValue("MDAAL", "31/12/2025");
    // The code button: recipients in the unload modes, the VAT number when there is no excise code.
    w.services.lookupAnswer = 1;
    EXPECT_EQ(window.runAction("MDAAL", [&] { return window.chooseCode(); }), "MITDES");
    EXPECT_EQ(w.services.lookupTables, std::vector<std::string>{"INDIRIZZI_D"});
    EXPECT_EQ(window.value("MITDES"), "01234567890");

    EXPECT_EQ(window.confirmPressed(), "MDADA");
    EXPECT_TRUE(window.fileButtonShown());
    EXPECT_EQ(window.listed(), 1u);
    EXPECT_EQ(exportLines(w.folders.inTemp("RICERCA_C.CSV")), 2u); // header + the shop's unload
    ASSERT_EQ(w.services.reports.size(), 1u);
    EXPECT_EQ(w.services.reports[0].title, "Ricerca movimenti di scarico");
    EXPECT_EQ(w.services.reports[0].orientation, PageOrientation::Landscape);
    EXPECT_TRUE(w.services.reports[0].draw);
    EXPECT_EQ(window.value("MITDES"), ""); // emptied for the next search
    EXPECT_EQ(window.value("MDADA"), "01/01/2025");

    // Without a code every unload of the period; leaving "Dalla data" clears the label.
    EXPECT_EQ(window.confirmPressed(), "MDADA");
    EXPECT_EQ(window.listed(), 2u);
    EXPECT_EQ(exportLines(w.folders.inTemp("RICERCA_C.CSV")), 3u);
    EXPECT_FALSE(window.value("lfile").empty());
    window.leave("MDADA");
    EXPECT_EQ(window.value("lfile"), "");

    window.openExport();
    EXPECT_EQ(w.services.openedFiles, std::vector<std::string>{(w.folders.temp / "RICERCA_C.CSV").string()});

    // Loads look among the suppliers, and take the excise code first.
    w.ctx.mode = 'C';
    AddressRecord supplier = blankAddress();
    supplier.id1 = "IT00MIA00777M";
    supplier.id2 = "11111111111";
    supplier.name1 = "Malteria";
    insertAddress(w.folders.addressBook('F'), supplier, w.prompt);
    RegisterSearchLogic loads(w.ctx, w.prompt, w.services);
    loads.open();
    loads.chooseCode();
    EXPECT_EQ(w.services.lookupTables.back(), "INDIRIZZI_F");
    EXPECT_EQ(loads.value("MITDES"), "IT00MIA00777M");
    w.services.lookupAnswer = -1; // nothing chosen: the field keeps what it had
    loads.chooseCode();
    EXPECT_EQ(loads.value("MITDES"), "IT00MIA00777M");
}

TEST(DutySearchWindow, OpensOnTheWholeYearAndKeepsTheChosenKind) {
    SearchWindows w;
    w.ctx.mode = 'T';
    DutySearchLogic first(w.ctx, w.prompt, w.services);
    first.open();
    EXPECT_EQ(first.title(), "Ricerca nei registri tributi");
    EXPECT_EQ(first.value("RREGISTRI"), "1"); // "Registro accise"
    EXPECT_EQ(first.value("MDADA"), "01/" + kThisYear);
    EXPECT_EQ(first.value("MDAAL"), "22");
    EXPECT_FALSE(first.fileButtonShown());
    EXPECT_EQ(first.focusAfterOpen(), "MDADA");
    first.setValue("RREGISTRI", "2");
    EXPECT_EQ(first.kindChoice(), 2);

    w.ctx.mode = 't';
    DutySearchLogic next(w.ctx, w.prompt, w.services, first.kindChoice());
    next.open();
    EXPECT_EQ(next.title(), "Ricerca tributi inviate");
    EXPECT_EQ(next.value("RREGISTRI"), "2");
}

TEST(DutySearchWindow, ConfirmChecksMonthYearAndLastPeriodInOrder) {
    SearchWindows w;
    w.ctx.mode = 'T';
    const struct {
        const char* from;
        const char* to;
        std::optional<std::string> failed;
    } cases[] = {
        {"01/2025", "22", std::nullopt}, {"12/2025", "22", std::nullopt}, {"03/2025", "03", std::nullopt},
        {"13/2025", "22", "MDADA"},      {"00/2025", "22", "MDADA"},      {"__/____", "22", "MDADA"},
        {"01/1999", "22", "MDADA"},      {"01/2101", "22", "MDADA"},      {"01/2025", "23", "MDAAL"},
        {"01/2025", "00", "MDAAL"},      {"01/2025", "__", "MDAAL"},      {"05/2025", "04", "MDADA"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " - " + c.to);
        DutySearchLogic window(w.ctx, w.prompt, w.services);
        window.open();
        window.setValue("MDADA", c.from);
        window.setValue("MDAAL", c.to);
        EXPECT_EQ(window.confirmChecks(), c.failed);
        EXPECT_EQ(window.value("lfile").empty(), c.failed.has_value());
    }
    EXPECT_TRUE(w.services.reports.empty());
    EXPECT_TRUE(w.prompt.messages.empty());
}

TEST(DutySearchWindow, ConfirmWritesTheKindsExportAndSetsTheWorkingYear) {
    SearchWindows w;
    w.ctx.mode = 't';
    Movement sent = record("E", " ", dayNumber(2025, 12, 10));
    sent.CODPAE = "21";
    sent.DATFLU = dayNumber(2025, 12, 20);
    sent.NUMFLU = 2;
    Movement unsent = sent;
    unsent.CODPAE = "22";
    unsent.DATFLU = 0;
    unsent.NUMFLU = 0;
    writeRecords(w.folders.dutyFile(2025), {sent, unsent, record("D", " ", dayNumber(2025, 12, 1))});

    DutySearchLogic window(w.ctx, w.prompt, w.services, 1);
    window.open();
    window.setValue("MDADA", "12/2025");
    EXPECT_EQ(window.confirmPressed(), "MDADA");
    EXPECT_EQ(w.ctx.workingYear, "2025");
    EXPECT_EQ(window.value("lfile"), "Ricerca salvata in: " + (w.folders.temp / "RICERCA_E.CSV").string());
    EXPECT_TRUE(window.fileButtonShown());
    EXPECT_EQ(window.listed(), 1u); // mode t: the sent summary alone
    EXPECT_EQ(exportLines(w.folders.inTemp("RICERCA_E.CSV")), 2u);
    ASSERT_EQ(w.services.reports.size(), 1u);

    // Credits of the same year: their own export file, which the file button opens.
    window.setValue("RREGISTRI", "0");
    EXPECT_EQ(window.confirmPressed(), "MDADA");
    EXPECT_EQ(window.listed(), 0u);
    EXPECT_EQ(exportLines(w.folders.inTemp("RICERCA_D.CSV")), 1u);
    window.openExport();
    EXPECT_EQ(w.services.openedFiles, std::vector<std::string>{(w.folders.temp / "RICERCA_D.CSV").string()});
}

TEST(StockSearchWindow, KeepsItsStartDateAndReturnsToTodayAfterEachPreview) {
    SearchWindows w;
    Movement stock = record("C", "G", dayNumber(2024, 12, 31));
    writeRecords(w.folders.initialStocks(), {stock});

    StockSearchLogic window(w.ctx, w.prompt, w.services);
    window.open();
    EXPECT_EQ(window.title(), "Ricerca giacenze iniziali");
    EXPECT_EQ(window.value("MDADA"), "01/01/2009");
    EXPECT_EQ(window.value("MDAAL"), kToday);
    EXPECT_EQ(window.focusAfterOpen(), "MDADA");

    const struct {
        const char* from;
        const char* to;
        std::optional<std::string> failed;
    } cases[] = {
        {"31/12/2024", "31/12/2024", std::nullopt}, {"31/12/1999", "31/12/2024", "MDADA"},
        {"xx/12/2024", "31/12/2024", "MDADA"},      {"01/01/2024", "01/01/2101", "MDAAL"},
        {"01/01/2025", "31/12/2024", "MDAAL"},
    };
    for (const auto& c : cases) {
        window.setValue("MDADA", c.from);
        window.setValue("MDAAL", c.to);
        EXPECT_EQ(window.confirmChecks(), c.failed) << c.from << " - " << c.to;
    }
    EXPECT_TRUE(w.services.reports.empty());

    window.setValue("MDADA", "31/12/2024");
    window.setValue("MDAAL", "31/12/2024");
    EXPECT_EQ(window.confirmPressed(), "MDADA");
    EXPECT_EQ(window.listed(), 1u);
    ASSERT_EQ(w.services.reports.size(), 1u);
    EXPECT_EQ(w.services.reports[0].title, "Ricerca giacenze iniziali");
    EXPECT_EQ(window.value("MDAAL"), kToday); // back from the preview
    EXPECT_EQ(window.value("MDADA"), "31/12/2024");

    // The next showing starts from the date the operator left.
    StockSearchLogic again(w.ctx, w.prompt, w.services, window.value("MDADA"));
    again.open();
    EXPECT_EQ(again.value("MDADA"), "31/12/2024");
}

} // namespace

namespace {

std::string fileBytes(const fs::path& file) {
    return readRecords(file, 1, IfMissing::Empty).bytes();
}

// The first cells of the list, in the order shown, of column `column`.
std::vector<std::string> columnShown(const SearchResults& results, std::size_t column) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < results.size(); ++i) out.push_back(results.row(i).cells[column]);
    return out;
}

} // namespace

TEST(SearchResults, SortsDatesByDayNumbersByValueAndTextsByCharacters) {
    SearchResults results;
    // Three records as a search found them: date, an Italian number, a text, a receipt-note date.
    results.assign("Data;Quantità;Prodotto;Data ROR;", {
                                                           {{"15/01/2025", "1.000", "b", "---"}, false},
                                                           {{"02/03/2025", "99,5", "B", "01/02/2025"}, true},
                                                           {{"01/12/2024", "-3", "a", " "}, false},
                                                       });
    EXPECT_EQ(results.captions(), (std::vector<std::string>{"Data", "Quantità", "Prodotto", "Data ROR"}));
    EXPECT_EQ(results.orderOf(0), SearchResults::Order::Date);
    EXPECT_EQ(results.orderOf(1), SearchResults::Order::Number);
    EXPECT_EQ(results.orderOf(2), SearchResults::Order::Text);
    EXPECT_EQ(results.orderOf(3), SearchResults::Order::Date); // "---" and blanks do not make it a text

    const struct {
        std::size_t column;
        bool descending;
        std::vector<std::string> shown; // column 0 in the order shown
    } cases[] = {
        {0, false, {"01/12/2024", "15/01/2025", "02/03/2025"}}, // by day, not by the text "01" < "02" < "15"
        {0, true, {"02/03/2025", "15/01/2025", "01/12/2024"}},
        {1, false, {"01/12/2024", "02/03/2025", "15/01/2025"}}, // -3 < 99,5 < 1.000
        {2, false, {"02/03/2025", "01/12/2024", "15/01/2025"}}, // "B" < "a" < "b", byte by byte
        {3, false, {"15/01/2025", "01/12/2024", "02/03/2025"}}, // blanks first, in the order found
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.column);
        results.sortBy(c.column, c.descending);
        EXPECT_EQ(columnShown(results, 0), c.shown);
    }
    // The struck-out flag and the place found travel with the row.
    results.sortBy(0, true);
    EXPECT_TRUE(results.row(0).struckOut);
    EXPECT_EQ(results.foundIndex(0), 1u);
}

TEST(RegisterSearchWindow, TheListOpensTheRecordReadOnlyAndTheExportGoesWhereTheClerkSays) {
    SearchWindows w;
    w.ctx.mode = 'S';
    Movement early = record("C", "S", dayNumber(2025, 12, 30));
    early.NUMREC = 7;
    early.ANNOTA = "fine anno";
    Movement late = record("C", "S", dayNumber(2026, 1, 2));
    late.NUMREC = 3;
    writeRecords(w.folders.registerFile(2025), {early});
    writeRecords(w.folders.registerFile(2026), {late});

    RegisterSearchLogic window(w.ctx, w.prompt, w.services);
    window.open();
    EXPECT_FALSE(window.canExport());
    EXPECT_EQ(window.results().size(), 0u);
    window.setValue("MDADA", "01/12/2025");
    window.setValue("MDAAL", "31/01/2026");
    EXPECT_EQ(window.confirmPressed(), "MDADA");

    // The list holds the export's columns and texts, in the print's order.
    SearchResults& list = window.results();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.captions().size(), kRegisterSearchFields);
    EXPECT_EQ(list.captions()[2], "Data Mov.");
    EXPECT_EQ(list.row(0).cells[2], "30/12/2025");

    // Sorted by date descending, the first row is the January unload of the 2026 file.
    list.sortBy(2, true);
    window.openFound(0);
    ASSERT_EQ(w.services.openedWindows, std::vector<std::string>{std::string(movemententry::kViewWindow)});
    ASSERT_TRUE(w.services.openedContext);
    EXPECT_EQ(w.services.openedContext->workingYear, "2026");
    EXPECT_EQ(w.services.openedContext->chosenRecord, 3);
    EXPECT_EQ(w.services.openedContext->selectedRecord.NUMREC, 3);
    EXPECT_TRUE(w.services.openedContext->modify);
    window.openFound(1);
    EXPECT_EQ(w.services.openedContext->workingYear, "2025");
    EXPECT_EQ(trimmed(w.services.openedContext->selectedRecord.ANNOTA), "fine anno"); // as stored
    EXPECT_EQ(w.ctx.mode, 'S'); // the search's own values are untouched
    EXPECT_FALSE(w.ctx.modify);
    window.openFound(2); // no such row: nothing opens
    EXPECT_EQ(w.services.openedWindows.size(), 2u);

    // "Esporta...": the name of kind and period, the same bytes as the temp folder's export.
    ASSERT_TRUE(window.canExport());
    EXPECT_EQ(window.proposedExportName(), "RICERCA_S_20251201_20260131.csv");
    const fs::path chosen = w.folders.working / "scelto.csv";
    EXPECT_TRUE(window.exportTo(chosen));
    EXPECT_EQ(fileBytes(chosen), fileBytes(w.folders.inTemp("RICERCA_C.CSV")));
    EXPECT_EQ(window.value("LESPORTA"), "Ricerca esportata in: " + chosen.string());

    // A file that cannot be written: the clerk is told, nothing claims it was saved.
    window.setValue("LESPORTA", "");
    EXPECT_FALSE(window.exportTo(w.folders.working / "manca" / "x.csv"));
    ASSERT_EQ(w.prompt.messages.size(), 1u);
    EXPECT_EQ(w.prompt.messages[0].rfind(kExportFailed, 0), 0u);
    EXPECT_EQ(window.value("LESPORTA"), "");
}

TEST(RegisterSearchWindow, TheProposedNameSaysKindAndPeriod) {
    SearchWindows w;
    const struct {
        char mode;
        const char* name;
    } cases[] = {{'C', "RICERCA_C_20250105_20250331.csv"},
                 {'S', "RICERCA_S_20250105_20250331.csv"},
                 {'c', "RICERCA_C_INVIATI_20250105_20250331.csv"},
                 {'s', "RICERCA_S_INVIATI_20250105_20250331.csv"}};
    for (const auto& c : cases) {
        w.ctx.mode = c.mode;
        RegisterSearchLogic window(w.ctx, w.prompt, w.services);
        window.open();
        window.setValue("MDADA", "05/01/2025");
        window.setValue("MDAAL", "31/03/2025");
        window.confirmPressed();
        EXPECT_EQ(window.proposedExportName(), c.name);
    }
}

TEST(DutySearchWindow, TheListAndTheExportOfTheChosenKind) {
    SearchWindows w;
    w.ctx.mode = 't';
    Movement sent = record("E", " ", dayNumber(2025, 3, 10));
    sent.CODPAE = "03";
    sent.QTAKG = 1234.5;
    sent.DATFLU = dayNumber(2025, 4, 2);
    sent.NUMFLU = 2;
    writeRecords(w.folders.dutyFile(2025), {sent});
    DutySearchLogic window(w.ctx, w.prompt, w.services, 1);
    window.open();
    window.setValue("MDADA", "02/2025");
    window.setValue("MDAAL", "4");
    EXPECT_EQ(window.confirmPressed(), "MDADA");
    ASSERT_EQ(window.results().size(), 1u);
    EXPECT_EQ(window.results().captions()[1], "Accise a debito");
    EXPECT_EQ(window.results().row(0).cells[1], "1.234,50");
    EXPECT_EQ(window.proposedExportName(), "RICERCA_E_INVIATI_202502_202504.csv");
    const fs::path chosen = w.folders.working / "accise.csv";
    EXPECT_TRUE(window.exportTo(chosen));
    EXPECT_EQ(fileBytes(chosen), fileBytes(w.folders.inTemp("RICERCA_E.CSV")));
}

TEST(MovementViewWindow, ARecordFoundIsShownAsStoredAndNeverSaved) {
    SearchWindows w;
    // A record the movement window's checks would refuse (no register, unknown product).
    Movement m = record("C", "S", dayNumber(2025, 6, 3));
    m.NUMREC = 1;
    m.PRODDO = "NON-ESISTE";
    m.QTALIT = 100;
    m.ANNOTA = "da vedere";
    writeRecords(w.folders.registerFile(2025), {m});
    const std::string before = fileBytes(w.folders.registerFile(2025));

    CommandContext view = w.ctx;
    view.mode = 'M';
    view.modify = true;
    view.workingYear = "2025";
    view.chosenRecord = 1;
    MovementEntryLogic window(view, w.prompt, w.services);
    padMovement(m);
    window.setSelectedRecord(m);
    window.setViewOnly(true);
    window.open();
    EXPECT_FALSE(window.closeRequested());
    EXPECT_EQ(window.title(), movemententry::kViewTitle);
    EXPECT_EQ(window.correctionTitle(), movemententry::kViewTitle); // LTITOLO in the window
    EXPECT_EQ(window.value("PRODDO"), "NON-ESISTE");
    EXPECT_EQ(window.value("ANNOTA"), "da vedere");
    EXPECT_TRUE(w.prompt.messages.empty()); // no check ran
    for (const FieldSpec& f : window.fields()) EXPECT_FALSE(window.editable(f.control)) << f.control;

    window.keyTyped();
    EXPECT_EQ(window.leave("PRODDO"), FocusMove::next());
    EXPECT_EQ(window.lookup("PRODDO"), "PRODDO");
    EXPECT_TRUE(w.services.lookupTables.empty());
    EXPECT_EQ(window.confirmPressed(), std::string(kAbandonControl));
    EXPECT_FALSE(window.lastSave());
    EXPECT_EQ(fileBytes(w.folders.registerFile(2025)), before);
    EXPECT_TRUE(w.prompt.messages.empty());
}
