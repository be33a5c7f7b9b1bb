// Timing of the printed register: a register of 1 000 and of 10 000 movements in one
// period, read from its files and written as a PDF file through the same drawing as
// the preview. Target: 10 000 rows within 5 s, the time growing linearly with rows.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QString>
#include <filesystem>
#include <string>

#include "core/files/folders.h"
#include "core/files/recordfile.h"
#include "core/records/movement.h"
#include "core/records/tablerecord.h"
#include "core/reports/registerprint.h"
#include "core/tables/dates.h"
#include "core/tables/registers.h"
#include "qt/reports/reportpdf.h"

namespace fs = std::filesystem;
using namespace accise;

namespace {

// A working folder with one bulk register, its initial stock and `rows` loads and
// unloads spread over the year 2025.
struct RegisterFolder {
    fs::path root;
    Folders folders;
    RegisterPrintRequest request;

    explicit RegisterFolder(int rows)
        : root(fs::temp_directory_path() / ("accise-print-bench-" + std::to_string(rows))),
          folders(Folders::of(root / "lavoro", root / "temp")) {
        fs::remove_all(root);
        folders.create();
        TableRecord reg = blankTable();
        reg.number = 1;
        reg.extra[0] = "PROTOCOLLI";
        reg.col[kRegProtocolCol] = "103";
        reg.col[kRegTitleCol] = "BIRRA SFUSA";
        reg.col[kRegHeaderCol] = "UFFICIO DELLE DOGANE DI TORINO";
        reg.ints[kRegTypeInt] = 2;
        reg.nums[kRegProtocolDateNum] = dayNumber(2025, 1, 10);
        reg.nums[kRegFirstDayNum] = dayNumber(2025, 1, 1);
        reg.nums[kRegLastDayNum] = dayNumber(2025, 12, 31);
        padTable(reg);
        writeWholeFile(folders.table(kRegistersTable), encodeTable(reg));

        Movement m = blankMovement();
        m.TIPREC = "C";
        m.TIPOPE = "I";
        m.TIPREG = "F";
        m.ANNPRO = "2025";
        m.NUMPRO = "103";
        m.TIPMOV = "G";
        m.NUMREC = 1;
        m.DATMOV = dayNumber(2024, 12, 31);
        m.QTALIT = 1e6;
        m.ETTOGR = 1.2e5;
        padMovement(m);
        writeWholeFile(folders.initialStocks(), encodeMovement(m));

        std::string bytes;
        for (int i = 0; i < rows; ++i) {
            Movement r = m;
            r.NUMREC = i + 1;
            r.NUMOPE = i + 1;
            r.DATMOV = dayNumber(2025, 1, 1) + (i * 365) / rows;
            r.TIPMOV = i % 3 == 0 ? "C" : "S";
            r.PRODDO = "B000-22030010-00-0000";
            r.TIPDOC = "DAS";
            r.DATDOC = r.DATMOV;
            r.NUMDOC = "F-" + std::to_string(i + 1);
            r.CODPAE = "IT";
            r.MITDES = "IT00TOA00999Z";
            r.TIPSTO = "S";
            r.QTALIT = 100 + i % 50;
            r.ETTOGR = r.QTALIT * 0.12;
            r.CAUMOV = "071";
            r.POSFIS = "001";
            r.ACCISA = 35.88;
            padMovement(r);
            bytes += encodeMovement(r);
        }
        writeWholeFile(folders.registerFile(2025), bytes);
        request.reg = reg;
        trimTable(request.reg);
        request.company = blankAddress();
        trimAddress(request.company);
        request.from = dayNumber(2025, 1, 1);
        request.to = dayNumber(2025, 12, 31);
        request.firstPage = 1;
    }
    ~RegisterFolder() { fs::remove_all(root); }
};

// Fonts need a GUI application: the offscreen platform, kept to the end of the run.
void ensureOffscreenGui() {
    if (QGuiApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "register_print_bench";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

void RegisterPrintToPdf(benchmark::State& state) {
    ensureOffscreenGui();
    const int rows = static_cast<int>(state.range(0));
    RegisterFolder folder(rows);
    const QString pdf = QString::fromStdString((folder.root / "registro.pdf").string());
    for (auto _ : state) {
        const RegisterPrintContent content = readRegisterPrint(folder.folders, folder.request);
        if (content.rows.size() != static_cast<std::size_t>(rows)) state.SkipWithError("rows missing");
        if (!writeReportPdf(pdf, PageOrientation::Landscape,
                            [&](PageCanvas& canvas) { drawRegisterPrint(canvas, folder.request, content); }))
            state.SkipWithError("PDF not written");
    }
    state.counters["rows"] = rows;
    state.counters["PDF_MB"] = static_cast<double>(fs::file_size(folder.root / "registro.pdf")) / 1e6;
    state.counters["us_per_row"] =
        benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsIterationInvariantRate |
                                                          benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(RegisterPrintToPdf)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
