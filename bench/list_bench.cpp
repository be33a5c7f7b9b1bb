// Timing of the two lists a clerk opens on a busy year: the record selection list
// (change and correction commands) and the flow creation list (the unsent records),
// on a register file of 100 000 movements of 2014 whose first nine months are sent
// and whose last three are not (about 25 000 unsent records).
//
//   floor              the files the lists read, their bytes read in order into one
//                      reused 256 KiB buffer: what any list over them costs at least
//   selection M        the list of unsent movements (modify), as the window builds it:
//                      the scan, TABELLA.TXT written and read back, the rows
//   selection E        the list of sent insertions (correct), the same way
//   flow list          the flow creation list: the scan of the initial stocks, the
//                      register, guarantee and duty files, the selection file
//                      APPOGGIO.DAT and the guarantee check file written, the lines
//                      handed to the window's check list
//   its 2 files        APPOGGIO.DAT and GARANZIA.DAT alone: the flow list's bytes
//                      written again the same safe way (flushed to disk), nothing else
//
// Each measure is the best of five, and its floor is timed just before it in the
// same round, so the ratio stays meaningful on a machine shared with other work.
// Run an optimised build with -DACCISE_BUILD_BENCH=ON and ./bench/list_bench.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/files/folders.h"
#include "core/files/prompt.h"
#include "core/files/recordfile.h"
#include "core/books/recordselection.h"
#include "core/flow/flowlist.h"
#include "core/records/movement.h"
#include "core/tables/dates.h"
#include "logic/movements/recordselectionwindow.h"
#include "logic/telematic/checklist.h"

namespace {

using namespace accise;
using Clock = std::chrono::steady_clock;
constexpr int kYear = 2014;
constexpr std::size_t kRecords = 100'000;

class SilentPrompt : public Prompt {
public:
    void information(const std::string&) override {}
    bool question(const std::string&) override { return false; }
};

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string registerFile() {
    using namespace std::string_literals; // std::string values: GCC 12 warns falsely on assigning literals
    std::string bytes;
    bytes.reserve(kRecords * kMovementSize);
    const double first = dayNumber(kYear, 1, 1);
    const double october = dayNumber(kYear, 10, 1);
    for (std::size_t i = 0; i < kRecords; ++i) {
        Movement m = blankMovement();
        m.NUMREC = static_cast<std::int32_t>(i + 1);
        m.NUMOPE = m.NUMREC;
        m.TIPREC = "C"s;
        m.TIPOPE = "I"s;
        m.TIPREG = "F"s;
        m.ANNPRO = "2014";
        m.NUMPRO = "FS-2014-1";
        m.PRODDO = "B000-22030009-00-0000";
        m.TIPMOV = i % 2 ? "S"s : "C"s;
        m.TIPDOC = "DAS";
        m.NUMDOC = "D" + std::to_string(i);
        m.MITDES = "IT00RMA00555K";
        m.CODPAE = "IT";
        m.ANNOTA = "movimento di prova";
        m.QTALIT = 100 + static_cast<double>(i % 50);
        m.GRAPLA = 12.5;
        m.DATMOV = first + static_cast<double>(i * 365 / kRecords);
        m.DATDOC = m.DATMOV;
        if (m.DATMOV < october) {
            m.NUMFLU = 1 + static_cast<std::int32_t>(i * 52 / kRecords);
            m.DATFLU = m.DATMOV + 1;
        }
        bytes += encodeMovement(m);
    }
    return bytes;
}

// The files' bytes read in order into one reused buffer, nothing else.
double floorRead(const std::vector<fs::path>& files) {
    static std::string buffer(1 << 18, '\0');
    const auto start = Clock::now();
    std::size_t done = 0;
    for (const fs::path& file : files) {
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        for (ssize_t n; (n = ::read(fd, buffer.data(), buffer.size())) > 0;) done += static_cast<std::size_t>(n);
        ::close(fd);
    }
    if (done == 0) std::fprintf(stderr, "nothing read\n");
    return msSince(start);
}

struct Best {
    double ms = 1e300, floorMs = 0;
    std::size_t rows = 0;
};

Best measure(const std::vector<fs::path>& files, const std::function<std::size_t()>& operation) {
    Best best;
    for (int round = 0; round < 5; ++round) {
        const double floorMs = floorRead(files);
        const auto start = Clock::now();
        const std::size_t rows = operation();
        const double ms = msSince(start);
        if (ms / floorMs < best.ms / std::max(best.floorMs, 1e-9) || best.floorMs == 0) best = {ms, floorMs, rows};
    }
    return best;
}

void print(const char* name, const Best& b) {
    std::printf("%-14s %8zu %12.1f %12.1f %9.2f\n", name, b.rows, b.ms, b.floorMs, b.ms / b.floorMs);
}

} // namespace

int main() {
    const fs::path root = fs::temp_directory_path() / ("list_bench_" + std::to_string(::getpid()));
    fs::remove_all(root);
    const Folders folders = Folders::of(root, root / "temp");
    folders.create();
    writeWholeFile(folders.registerFile(kYear), registerFile());
    ::sync();
    SilentPrompt prompt;

    std::printf("%-14s %8s %12s %12s %9s\n", "list", "rows", "time (ms)", "floor (ms)", "x floor");
    for (const char mode : {'M', 'E'}) {
        CommandContext ctx(folders);
        ctx.mode = mode;
        RecordSelectionLogic logic(ctx, prompt);
        const Best b = measure({folders.registerFile(kYear)}, [&] {
            logic.leaveYear(std::to_string(kYear));
            return logic.rowCount();
        });
        print(mode == 'M' ? "selection M" : "selection E", b);
        print("  core table", measure({folders.registerFile(kYear)}, [&] {
                  return buildSelectionTable(folders, mode, kYear, false).rows.size();
              }));
    }

    CheckList shown;
    const Best flow = measure({folders.initialStocks(), folders.registerFile(kYear), folders.guaranteeFile(kYear),
                               folders.dutyFile(kYear)},
                              [&] {
                                  FlowList list = buildFlowList(folders, kYear, false);
                                  shown.assign(std::move(list.lines), true);
                                  return shown.lines().size();
                              });
    print("flow list", flow);
    // What the flow list's two files cost alone: the same bytes written the same safe way
    // (beside, flushed to disk, renamed, the folder flushed), nothing computed.
    const std::string selection = readRecords(selectionFile(folders), 1, IfMissing::Empty).bytes();
    const std::string checks = readRecords(guaranteeCheckFile(folders), 1, IfMissing::Empty).bytes();
    print("  its 2 files", measure({folders.initialStocks(), folders.registerFile(kYear), folders.guaranteeFile(kYear),
                                    folders.dutyFile(kYear)},
                                   [&] {
                                       replaceFileContent(guaranteeCheckFile(folders), checks);
                                       replaceFileContent(selectionFile(folders), selection);
                                       return selection.size() / kMovementSize;
                                   }));
    fs::remove_all(root);
    return 0;
}
