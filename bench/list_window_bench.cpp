// How long the list windows hold the screen still on a year of 100 000 rows, on the
// offscreen platform: the record selection list shown on a register file of 100 000
// unsent movements (the list built and drawn; without and with the screen's limits
// on its size that the main window sets), the flow check list refreshed with
// 100 000 lines and drawn, and a search's list of 100 000 found records drawn and
// sorted by date. Each figure is the wall time from the call to the first paint done.
// Run: QT_QPA_PLATFORM=offscreen ./bench/list_window_bench
#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/files/folders.h"
#include "core/files/prompt.h"
#include "core/files/recordfile.h"
#include "core/records/movement.h"
#include "core/tables/dates.h"
#include "logic/reportwindows/searchresults.h"
#include "logic/telematic/checklist.h"
#include "qt/movements/recordselectiondialog.h"
#include "qt/reportwindows/searchresultsview.h"
#include "qt/telematic/checklistwidget.h"

namespace {

using namespace accise;
constexpr std::size_t kRows = 100'000;

class SilentPrompt : public Prompt {
public:
    void information(const std::string&) override {}
    bool question(const std::string&) override { return false; }
};

std::string unsentYear(int year) {
    std::string bytes;
    bytes.reserve(kRows * kMovementSize);
    for (std::size_t i = 0; i < kRows; ++i) {
        Movement m = blankMovement();
        m.NUMREC = static_cast<std::int32_t>(i + 1);
        m.TIPREC = "C";
        m.TIPOPE = "I";
        m.TIPMOV = i % 2 ? "S" : "C";
        m.PRODDO = "B000-22030009-00-0000";
        m.NUMDOC = "D" + std::to_string(i);
        m.QTALIT = 100;
        m.DATMOV = dayNumber(year, 1, 1) + static_cast<double>(i * 365 / kRows);
        bytes += encodeMovement(m);
    }
    return bytes;
}

void report(const char* what, qint64 ms) {
    std::printf("%-44s %6lld ms\n", what, static_cast<long long>(ms));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const fs::path root = fs::temp_directory_path() / "list_window_bench";
    fs::remove_all(root);
    const Folders folders = Folders::of(root, root / "temp");
    folders.create();
    const int year = yearOf(todayDayNumber()); // the year the selection list opens on
    writeWholeFile(folders.registerFile(year), unsentYear(year));
    SilentPrompt prompt;
    QElapsedTimer clock;

    // Without limits the window is made as tall as its rows (2 × "Q" each) and every row
    // is drawn; the program limits it to the screen (the main window's limits), so the
    // view draws the rows in sight only.
    for (const bool screenLimits : {false, true}) {
        CommandContext ctx(folders);
        ctx.mode = 'M';
        if (screenLimits) {
            const QRect area = QGuiApplication::primaryScreen()->geometry();
            ctx.maxWindowWidth = area.width() - 50;
            ctx.maxWindowHeight = area.height() - 100;
        }
        RecordSelectionDialog dialog(ctx, prompt);
        QTimer::singleShot(0, &dialog, [&] {
            dialog.repaint();
            report(screenLimits ? "selection list shown, screen limits" : "selection list shown (100 000 rows)",
                   clock.elapsed());
            dialog.reject();
        });
        clock.start();
        dialog.run();
    }
    {
        CheckList lines;
        std::vector<std::string> texts;
        for (std::size_t i = 0; i < kRows; ++i) texts.push_back("01/01/2026 I Carico      DAS n. D" + std::to_string(i));
        lines.assign(texts, true);
        CheckListWidget widget(lines, nullptr);
        widget.resize(760, 400);
        widget.show();
        clock.start();
        widget.refresh();
        widget.repaint();
        report("flow check list refreshed and drawn", clock.elapsed());
        clock.start();
        lines.tickNone();
        widget.refresh();
        widget.repaint();
        report("\"Nessuno\" on 100 000 lines, drawn", clock.elapsed());
    }
    {
        SearchResults results;
        std::vector<SearchResultRow> rows;
        for (std::size_t i = 0; i < kRows; ++i)
            rows.push_back({{std::to_string(i + 1), formatDate(dayNumber(2026, 1, 1) + static_cast<double>(i % 365)),
                             "B000-22030009-00-0000"},
                            false});
        results.assign("N.Op.;Data Mov.;Prodotto;", std::move(rows));
        SearchResultsView view(results, nullptr);
        view.resize(900, 400);
        view.show();
        clock.start();
        view.reload();
        view.resizeColumnsToContents();
        view.repaint();
        report("search list shown (100 000 rows)", clock.elapsed());
        clock.start();
        view.resultsModel()->sort(1, Qt::DescendingOrder);
        view.repaint();
        report("search list sorted by date, drawn", clock.elapsed());
    }
    fs::remove_all(root);
    return 0;
}
