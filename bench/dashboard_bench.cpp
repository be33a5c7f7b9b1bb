// Timing of "Dove sono i registri" on a busy year: 100 000 movements of six registers
// over 2014 (a quarter still unsent), a duty file with a summary and credits, a
// guarantee file, the file of sent flows. Each iteration times the floor (a plain sequential read of every
// file the page reads, into one reused 256 KiB buffer) and then the page's figures
// (computeBooksStanding) just after it, so a busy machine slows both alike; the ratio
// of the sums is printed with the best and worst of the iterations.
// Run a Release build: cmake --preset bench && cmake --build --preset bench
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/files/folders.h"
#include "core/files/prompt.h"
#include "core/files/recordfile.h"
#include "core/flow/sentflows.h"
#include "core/records/movement.h"
#include "core/records/tablerecord.h"
#include "core/tables/codetables.h"
#include "core/tables/dates.h"
#include "core/tables/registers.h"
#include "logic/shell/dashboard.h"

namespace {

using namespace accise;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kRecords = 100'000;
constexpr int kYear = 2014;
constexpr int kIterations = 7;

struct Register {
    const char* type;
    const char* protocol;
    const char* product;
    bool kilograms;
};
constexpr Register kRegisters[] = {
    {"M", "MP-2014-1", "M001-11071090-00-0000", true},  {"M", "MP-2014-2", "M002-12101000-00-0000", true},
    {"L", "LAV-2014-1", "B000-22030001-00-0000", false}, {"F", "FS-2014-1", "B000-22030009-00-0000", false},
    {"N", "FC-2014-1", "B000-22030010-00-0000", false},  {"N", "FC-2014-2", "B000-22030010-00-0033", false},
};

class SilentPrompt : public Prompt {
public:
    void information(const std::string&) override {}
    bool question(const std::string&) override { return false; }
};

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

Movement movementOf(const Register& reg, double date, const char* tipmov) {
    using namespace std::string_literals;
    Movement m = blankMovement();
    m.STATO = " "s;
    m.TIPREC = "C"s;
    m.TIPOPE = "I"s;
    m.TIPMOV = std::string(tipmov);
    m.TIPREG = std::string(reg.type);
    m.UFFDOG = "ITBRE001"s;
    m.ANNPRO = "2013"s;
    m.NUMPRO = reg.protocol;
    m.PRODDO = reg.product;
    m.DATMOV = date;
    return m;
}

void writeDataset(const Folders& folders) {
    SilentPrompt prompt;
    for (const Register& reg : kRegisters) {
        TableRecord product = blankTable();
        product.col[0] = reg.product;
        product.extra[0] = "TA20";
        insertTableRecord(folders.table("TA20"), product, prompt);
        TableRecord record = blankTable();
        record.col[kRegProtocolCol] = reg.protocol;
        record.col[kRegOfficeCol] = "ITBRE001";
        record.extra[0] = "PROTOCOLLI";
        record.ints[kRegTypeInt] = registerTypeIndex(reg.type[0]);
        record.nums[kRegProtocolDateNum] = dayNumber(kYear - 1, 12, 1);
        record.nums[kRegFirstDayNum] = dayNumber(kYear, 1, 1);
        record.nums[kRegLastDayNum] = dayNumber(kYear, 12, 31);
        saveRegister(folders, record, {product}, prompt);
    }
    std::string stocks;
    std::int32_t number = 0;
    for (const Register& reg : kRegisters) {
        Movement m = movementOf(reg, dayNumber(kYear - 1, 12, 31), "G");
        m.NUMREC = m.NUMOPE = ++number;
        m.NUMFLU = 1;
        m.DATFLU = dayNumber(kYear, 1, 10);
        m.QTAKG = reg.kilograms ? 5000 : 0;
        m.QTALIT = reg.kilograms ? 0 : 20000;
        m.ETTOGR = m.QTALIT * 0.125;
        stocks += encodeMovement(m);
    }
    writeWholeFile(folders.initialStocks(), stocks);

    // The year's movements in register order, sent until September; taxed unloads.
    std::string content;
    content.reserve(kRecords * kMovementSize);
    const double first = dayNumber(kYear, 1, 1);
    for (std::size_t i = 0; i < kRecords; ++i) {
        const Register& reg = kRegisters[(i * 7) % std::size(kRegisters)];
        const double date = first + static_cast<double>(i * 365 / kRecords);
        Movement m = movementOf(reg, date, i % 2 ? "S" : "C");
        m.NUMREC = m.NUMOPE = static_cast<std::int32_t>(i + 1);
        m.NUMFLU = date < dayNumber(kYear, 10, 1) ? 2 + static_cast<std::int32_t>(i / 5000) : 0;
        m.DATFLU = m.NUMFLU ? date + 1 : 0;
        const double quantity = 10 + static_cast<double>(i % 97) * 1.25;
        if (reg.kilograms) {
            m.QTAKG = quantity;
        } else {
            m.QTALIT = quantity;
            m.GRAPLA = 12.5;
            m.ETTOGR = quantity * 0.125;
        }
        m.TIPDOC = "DAS";
        m.NUMDOC = "DOC-" + std::to_string(i);
        m.POSFIS = reg.kilograms ? "002" : "001";
        m.ACCISA = reg.kilograms ? 0 : m.ETTOGR * 2.99;
        m.MITDES = "IT00ABC12345X";
        content += encodeMovement(m);
    }
    writeWholeFile(folders.registerFile(kYear), content);

    std::string duty;
    for (int month = 1; month <= 11; ++month) {
        Movement e = blankMovement();
        e.NUMREC = month;
        e.STATO = " ";
        e.TIPREC = month % 3 ? "E" : "D";
        e.TIPOPE = "I";
        e.ANNPRO = "2014";
        char code[4];
        std::snprintf(code, sizeof code, "%02d", month);
        e.CODPAE = code;
        e.DATMOV = dayNumber(kYear, month, 20);
        e.ETTOGR = 100;
        duty += encodeMovement(e);
    }
    writeWholeFile(folders.dutyFile(kYear), duty);

    // The file of sent flows: each flow sent to the test environment with its outcome.
    for (std::int32_t flow = 2; flow < 2 + static_cast<std::int32_t>(kRecords / 5000); ++flow) {
        const double flowDate = first + static_cast<double>((flow - 2) * 5000 * 365 / kRecords) + 1;
        if (flowDate >= dayNumber(kYear, 10, 1)) break;
        const std::string name = flowFileName("AB12", flow, flowDate);
        appendSentFlowEvent(folders, {name, flowDate, "INVIO", 'P', "20141231 100000", "localhost:8443"}, prompt);
        appendSentFlowEvent(folders, {name, flowDate, "ESITO", 'P', "20141231 100100", "14IT0001 ESITO POSITIVO"},
                            prompt);
    }
}

// Every file the page reads, read plainly.
double floorRead(const Folders& folders) {
    static std::string buffer(1 << 18, '\0');
    const fs::path files[] = {folders.table("PROTOCOLLI"), folders.initialStocks(), folders.registerFile(kYear),
                              folders.guaranteeFile(kYear), folders.dutyFile(kYear), folders.applConfig(),
                              folders.general(kSentFlowsFile)};
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

} // namespace

int main() {
    const fs::path root = fs::temp_directory_path() / ("dashboard_bench_" + std::to_string(::getpid()));
    fs::remove_all(root);
    const Folders folders = Folders::of(root, root / "temp");
    folders.create();
    writeDataset(folders);
    ::sync();

    const double today = dayNumber(kYear, 12, 31);
    double floorSum = 0, pageSum = 0, best = 1e300, worst = 0;
    std::size_t lines = 0;
    for (int i = 0; i < kIterations; ++i) {
        const double floorMs = floorRead(folders);
        const auto start = Clock::now();
        const BooksStanding standing = computeBooksStanding(folders, today, false, "AB12");
        const double pageMs = msSince(start);
        lines = dashboardLines(standing).size();
        if (standing.registers.size() != std::size(kRegisters)) std::fprintf(stderr, "unexpected registers\n");
        floorSum += floorMs;
        pageSum += pageMs;
        best = std::min(best, pageMs / floorMs);
        worst = std::max(worst, pageMs / floorMs);
    }
    std::printf("records %zu, %zu lines, %d iterations\n", kRecords, lines, kIterations);
    std::printf("floor (all files read) %.1f ms, dashboard figures %.1f ms (means)\n", floorSum / kIterations,
                pageSum / kIterations);
    std::printf("x floor %.2f (best %.2f, worst %.2f), target 3\n", pageSum / floorSum, best, worst);
    fs::remove_all(root);
    return 0;
}
