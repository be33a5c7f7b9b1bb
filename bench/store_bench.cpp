// Timing of the record store on the register file of a busy year: 100 000 movements
// of several registers and products, in register order over 2014.
//
//   ReadFloor      a plain sequential read of the file's bytes into one reused 256 KiB
//                  buffer: what any scan costs at least (the physical floor)
//   WholeRead      reading the file whole into memory (readRecords, used by the writers)
//   RegisterStock  the stock of one register at the last day (reads the whole year)
//   BrewLists      the brew's stock lists (one product stock per listed product)
//   Append         adding an unload of the last day (it lands at the end of the file)
//   CatProcess     the process "cat FILE > /dev/null", whole
//   StockProcess   the process "accise-cli stock ..." for the same register, whole
//   ConfirmUnload  the movement window confirming an unload: one pass for the stock,
//                  the duplicate warning and the append, the prerequisite, the save
//
// The counters x_floor compare each operation with a floor read timed beside it (the
// processes with a cat process timed beside them); the CPU column counts that extra
// read too, so the Time column is the one to read.
// Run a Release build: cmake --preset bench && cmake --build --preset bench
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "core/books/movementcalc.h"
#include "core/books/movementfile.h"
#include "core/books/movementsave.h"
#include "core/books/stock.h"
#include "core/books/stocklists.h"
#include "core/files/folders.h"
#include "core/files/prompt.h"
#include "core/files/recordfile.h"
#include "core/records/movement.h"
#include "core/tables/codetables.h"
#include "core/tables/dates.h"
#include "core/tables/registers.h"

namespace {

using namespace accise;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kRecords = 100'000;
constexpr int kYear = 2014;

struct Register {
    const char* type;
    const char* protocol;
    const char* product;
    bool kilograms;
};
// Raw materials by weight, beer in process, bulk and packaged finished beer.
constexpr Register kRegisters[] = {
    {"M", "MP-2014-1", "M001-11071090-00-0000", true},  {"M", "MP-2014-2", "M002-12101000-00-0000", true},
    {"L", "LAV-2014-1", "B000-22030001-00-0000", false}, {"F", "FS-2014-1", "B000-22030009-00-0000", false},
    {"N", "FC-2014-1", "B000-22030010-00-0000", false},  {"N", "FC-2014-2", "B000-22030010-00-0033", false},
};
constexpr std::size_t kStockRegister = 3; // the bulk finished beer

class SilentPrompt : public Prompt {
public:
    void information(const std::string&) override {}
    bool question(const std::string&) override { return false; }
};

Movement movementOf(const Register& reg, double date, const char* tipmov) {
    using namespace std::string_literals; // std::string values: GCC 12 warns falsely on assigning literals
    Movement m = blankMovement();
    m.STATO = " "s;
    m.TIPREC = "C"s;
    m.TIPOPE = "I"s;
    m.TIPMOV = std::string(tipmov);
    m.TIPREG = std::string(reg.type);
    m.UFFDOG = "ITBRE001";
    m.ANNPRO = "2013";
    m.NUMPRO = reg.protocol;
    m.PRODDO = reg.product;
    m.DATMOV = date;
    return m;
}

// The working folder of the run, removed at exit.
class Dataset {
public:
    Dataset() {
        root_ = fs::temp_directory_path() / ("accise-bench-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        folders_ = Folders::of(root_, root_ / "temp");
        folders_.create();
        writeRegisterFile();
        writeInitialStocks();
        writeRegisters();
        fileSize_ = fs::file_size(registerFile());
        // Written data on the disk before any measure, so that no measure pays for
        // flushing the data set (an append flushes its file).
        ::sync();
    }
    ~Dataset() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    const Folders& folders() const { return folders_; }
    fs::path registerFile() const { return folders_.registerFile(kYear); }
    std::uintmax_t fileSize() const { return fileSize_; }
    double lastDay() const { return dayNumber(kYear, 12, 31); }

private:
    // Every day of the year gets its share of the records, in register order: the
    // loads, then the unloads, then (on Fridays) the closing records of circulations.
    void writeRegisterFile() {
        std::string content;
        content.reserve(kRecords * kMovementSize);
        const double first = dayNumber(kYear, 1, 1);
        const std::size_t days = 365;
        std::int32_t number = 0;
        for (std::size_t day = 0; day < days; ++day) {
            const double date = first + static_cast<double>(day);
            const std::size_t today = (kRecords * (day + 1)) / days - (kRecords * day) / days;
            const bool closings = day % 7 == 2 && day + 1 < days;
            const std::size_t loads = today / 2, closing = closings ? 3 : 0, unloads = today - loads - closing;
            auto add = [&](std::size_t n, const char* tipmov) {
                for (std::size_t i = 0; i < n; ++i) {
                    const Register& reg = kRegisters[(static_cast<std::size_t>(number) * 7 + i) % std::size(kRegisters)];
                    Movement m = movementOf(reg, date, tipmov);
                    ++number;
                    m.NUMREC = number;
                    m.NUMOPE = number;
                    m.NUMFLU = date < dayNumber(kYear, 10, 1) ? 1 + static_cast<std::int32_t>(day / 7) : 0;
                    m.DATFLU = m.NUMFLU ? date + 1 : 0;
                    const double quantity = 10 + static_cast<double>(number % 97) * 1.25;
                    if (reg.kilograms) {
                        m.QTAKG = quantity;
                    } else {
                        m.QTALIT = quantity;
                        m.GRAPLA = 12.5;
                        m.ETTOGR = quantity * 0.125;
                    }
                    m.TIPDOC = "DAS";
                    m.NUMDOC = "DOC-" + std::to_string(number);
                    m.DATDOC = date;
                    m.CODPAE = "IT";
                    m.MITDES = "IT00ABC12345X";
                    m.CAUMOV = "001";
                    m.POSFIS = "002";
                    m.ANNOTA = "movimento di prova";
                    content += encodeMovement(m);
                }
            };
            add(loads, "C");
            add(unloads, "S");
            add(closing, "A");
        }
        writeWholeFile(registerFile(), content);
    }

    void writeInitialStocks() {
        std::string content;
        std::int32_t number = 0;
        for (const Register& reg : kRegisters) {
            Movement m = movementOf(reg, dayNumber(kYear - 1, 12, 31), "G");
            m.PRODDO = "";
            m.NUMREC = m.NUMOPE = ++number;
            m.NUMFLU = 1;
            m.DATFLU = dayNumber(kYear, 1, 10);
            m.QTAKG = reg.kilograms ? 5000 : 0;
            m.QTALIT = reg.kilograms ? 0 : 20000;
            m.ETTOGR = m.QTALIT * 0.125;
            content += encodeMovement(m);
        }
        writeWholeFile(folders_.initialStocks(), content);
    }

    // PROTOCOLLI.TAB, one product list per register and the products in TA20.
    void writeRegisters() {
        SilentPrompt prompt;
        for (const Register& reg : kRegisters) {
            TableRecord product = blankTable();
            product.col[0] = reg.product;
            product.col[1] = std::string("prodotto ") + reg.product;
            product.extra[0] = "TA20";
            product.ints[0] = reg.kilograms ? 0 : 1;
            insertTableRecord(folders_.table("TA20"), product, prompt);

            TableRecord record = blankTable();
            record.col[kRegProtocolCol] = reg.protocol;
            record.col[kRegOfficeCol] = "ITBRE001";
            record.extra[0] = "PROTOCOLLI";
            record.ints[kRegTypeInt] = registerTypeIndex(reg.type[0]);
            record.nums[kRegProtocolDateNum] = dayNumber(kYear - 1, 12, 1);
            record.nums[kRegFirstDayNum] = dayNumber(kYear, 1, 1);
            record.nums[kRegLastDayNum] = dayNumber(kYear, 12, 31);
            saveRegister(folders_, record, {product}, prompt);
        }
    }

    fs::path root_;
    Folders folders_;
    std::uintmax_t fileSize_ = 0;
};

Dataset& dataset() {
    static Dataset data;
    return data;
}

double secondsOf(const Clock::time_point& start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The floor: the file's bytes read in order into one reused buffer, nothing else.
double readFloor() {
    static std::string buffer(1 << 18, '\0');
    const fs::path file = dataset().registerFile();
    const auto start = Clock::now();
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    std::size_t done = 0;
    for (ssize_t n; (n = ::read(fd, buffer.data(), buffer.size())) > 0;) done += static_cast<std::size_t>(n);
    ::close(fd);
    benchmark::DoNotOptimize(done);
    return secondsOf(start);
}

extern "C" char** environ;

// Runs a program with its output thrown away and returns the seconds it took.
double runProcess(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t pid = 0;
    int status = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) ::waitpid(pid, &status, 0);
    const double seconds = secondsOf(start);
    posix_spawn_file_actions_destroy(&actions);
    return status == 0 ? seconds : -1;
}

double catProcess() { return runProcess({"cat", dataset().registerFile().string()}); }

// Times one operation per iteration (manual time), so that the preparation of each
// iteration stays out of the figures. Every iteration also times one floor read, just
// before the operation, and the counter x_floor is the ratio of the two sums: both
// are measured in the same moments, so a busy machine slows both alike.
template <typename Operation, typename After, typename Floor = double (*)()>
void timedAgainstFloor(benchmark::State& state, Operation operation, After after, Floor floorOf = readFloor) {
    double total = 0, floor = 0;
    for (auto _ : state) {
        floor += floorOf();
        const auto start = Clock::now();
        operation();
        const double seconds = secondsOf(start);
        state.SetIterationTime(seconds);
        total += seconds;
        if (!after()) break;
    }
    if (floor > 0) state.counters["x_floor"] = total / floor;
}

void ReadFloor(benchmark::State& state) {
    for (auto _ : state) state.SetIterationTime(readFloor());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * dataset().fileSize()));
}

void WholeRead(benchmark::State& state) {
    Dataset& data = dataset();
    timedAgainstFloor(
        state, [&] { benchmark::DoNotOptimize(readRecords(data.registerFile(), kMovementSize).count()); },
        [] { return true; });
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.fileSize()));
}

void CatProcess(benchmark::State& state) {
    for (auto _ : state) state.SetIterationTime(catProcess());
}

// The whole command as a script runs it, against a cat of the same file timed beside it.
void StockProcess(benchmark::State& state) {
    Dataset& data = dataset();
    const Register& reg = kRegisters[kStockRegister];
    const std::vector<std::string> command{ACCISE_CLI_PATH, "stock", data.folders().working.string(), "--type",
                                           reg.type, "--year", "2013", "--protocol", reg.protocol,
                                           "--date", "31/12/" + std::to_string(kYear)};
    bool failed = false;
    timedAgainstFloor(
        state,
        [&] {
            if (runProcess(command) < 0) failed = true;
        },
        [&] {
            if (failed) state.SkipWithError("accise-cli stock failed");
            return !failed;
        },
        catProcess);
}

void RegisterStock(benchmark::State& state) {
    Dataset& data = dataset();
    const Register& reg = kRegisters[kStockRegister];
    const RegisterKey key{reg.type, "2013", reg.protocol};
    timedAgainstFloor(
        state, [&] { benchmark::DoNotOptimize(registerStockAt(data.folders(), key, data.lastDay()).QTALIT); },
        [] { return true; });
}

// The brew's stock lists: one product each in two raw-material registers and one
// in-process register, so three product stocks over the year.
void BrewLists(benchmark::State& state) {
    Dataset& data = dataset();
    timedAgainstFloor(
        state, [&] { benchmark::DoNotOptimize(buildStockListForBrew(data.folders(), data.lastDay()).inProcess.size()); },
        [] { return true; });
}

// Every iteration appends to 100 000 records: the file is cut back after the clock stopped.
void Append(benchmark::State& state) {
    Dataset& data = dataset();
    SilentPrompt prompt;
    Movement unload = movementOf(kRegisters[kStockRegister], data.lastDay(), "S");
    unload.QTALIT = 100;
    unload.ETTOGR = 12.5;
    AppendResult added;
    timedAgainstFloor(
        state, [&] { added = appendMovement(data.registerFile(), unload, false, prompt); },
        [&] {
            if (added.position != kRecords || added.replaced) {
                state.SkipWithError("the record did not land at the end of the file");
                return false;
            }
            fs::resize_file(data.registerFile(), data.fileSize());
            return true;
        });
}

// Confirming an unload in the movement window, as the confirm button does it: one pass
// over the year's file under its lock (the stock available, the duplicate warning and
// what the append needs), the stock check, the initial-stock prerequisite and the save
// (record append), against the floor read timed in the same iteration (x_floor).
void ConfirmUnload(benchmark::State& state) {
    Dataset& data = dataset();
    SilentPrompt prompt;
    Movement unload = movementOf(kRegisters[kStockRegister], data.lastDay(), "S");
    unload.QTALIT = 100;
    unload.ETTOGR = 12.5;
    unload.NUMDOC = "NUOVO-1";
    SaveResult saved;
    double total = 0, floor = 0;
    for (auto _ : state) {
        floor += readFloor();
        const auto start = Clock::now();
        NewMovementPass pass(data.folders(), unload, false, prompt, NewMovementPass::Lock::Hold);
        const bool enough = checkUnloadStock(pass.stockForUnload(), unload) == StockVerdict::Enough;
        const bool sent = sentInitialStockBefore(data.folders(), unload);
        const bool duplicate = pass.duplicate(unload);
        if (enough && sent) saved = pass.save(unload);
        const double seconds = secondsOf(start);
        state.SetIterationTime(seconds);
        total += seconds;
        if (!enough || !sent || duplicate || saved.outcome != SaveOutcome::Saved) {
            state.SkipWithError("the unload was not confirmed as a new movement");
            break;
        }
        fs::resize_file(data.registerFile(), data.fileSize());
    }
    if (floor > 0) state.counters["x_floor"] = total / floor;
}

} // namespace

BENCHMARK(ConfirmUnload)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ReadFloor)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(WholeRead)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(RegisterStock)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BrewLists)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Append)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(CatProcess)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(StockProcess)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
