// Several writers adding to one register file at the same time, each in its own
// process through accise-cli: the lock marker must serialise them so that no record
// is lost or doubled, the numbers stay unique and the file stays in register order.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <tuple>
#include <string>
#include <vector>

#include "core/files/lock.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/records/movement.h"
#include "core/records/movementview.h"
#include "test_support.h"

using namespace accise;
using accise::testing::TempDir;

namespace {

constexpr int kProcesses = 4;
constexpr int kPerProcess = 250;
constexpr double kFirstDay = 41640; // 01/01/2014
constexpr std::size_t kNoteOffset = 288, kNoteWidth = 250; // ANNOTA

// What a writer sent, to be found again in the file under its note.
struct Sent {
    double date;
    char tipmov;
    int numcpr;
};

// Loads, unloads and closing records over a few weeks, in random order, so that most
// records have to be inserted between others. Each process has its own register.
std::string movementLine(int process, int index, std::mt19937& random, std::map<std::string, Sent>& sent) {
    static constexpr std::array<char, 3> kKinds{'C', 'S', 'A'};
    const Sent s{kFirstDay + static_cast<double>(random() % 25), kKinds[random() % kKinds.size()],
                 static_cast<int>(random() % 4)};
    const std::string note = "P" + std::to_string(process) + "-" + std::to_string(index);
    sent[note] = s;
    return "{\"DATMOV\":" + std::to_string(static_cast<int>(s.date)) +
           ",\"TIPREC\":\"C\",\"TIPOPE\":\"I\",\"STATO\":\" \",\"TIPMOV\":\"" + std::string(1, s.tipmov) +
           "\",\"TIPREG\":\"" + (process % 2 ? "F" : "N") + "\",\"ANNPRO\":\"2014\",\"NUMPRO\":\"" +
           std::to_string(process + 1) + "\",\"PRODDO\":\"B000-22030009-00-0000\",\"QTALIT\":" +
           std::to_string(10 + index) + ",\"NUMCPR\":" + std::to_string(s.numcpr) + ",\"ANNOTA\":\"" + note +
           "\"}\n";
}

// Loads before unloads before closing records on the same day.
int kindRank(char tipmov) { return tipmov == 'C' ? 0 : tipmov == 'S' ? 1 : 2; }

std::vector<std::string> linesOf(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

} // namespace

TEST(StressAppend, FourProcessesAddingAtOnceLoseNothingAndKeepRegisterOrder) {
    TempDir dir;
    const std::filesystem::path file = dir / "2014.RGM";
    const std::string binary = std::string(ACCISE_BINARY_DIR) + "/src/tools/accise-cli";
    std::map<std::string, Sent> sent;

    // Start all four writers first, then feed them: the 250 lines of one writer fit in
    // a pipe's buffer, so feeding never waits for a writer and they all run together.
    std::array<FILE*, kProcesses> writers{};
    for (int p = 0; p < kProcesses; ++p) {
        const std::string command = "exec '" + binary + "' append '" + file.string() + "' --wait 60 > '" +
                                    (dir / ("out" + std::to_string(p))).string() + "' 2> '" +
                                    (dir / ("err" + std::to_string(p))).string() + "'";
        writers[static_cast<std::size_t>(p)] = ::popen(command.c_str(), "w");
        ASSERT_NE(writers[static_cast<std::size_t>(p)], nullptr);
    }
    for (int p = 0; p < kProcesses; ++p) {
        std::mt19937 random(static_cast<unsigned>(1000 + p));
        std::string input;
        for (int i = 0; i < kPerProcess; ++i) input += movementLine(p, i, random, sent);
        FILE* writer = writers[static_cast<std::size_t>(p)];
        EXPECT_EQ(std::fwrite(input.data(), 1, input.size(), writer), input.size());
        std::fflush(writer);
    }
    for (int p = 0; p < kProcesses; ++p) {
        const int status = ::pclose(writers[static_cast<std::size_t>(p)]);
        const std::vector<std::string> errors = linesOf(dir / ("err" + std::to_string(p)));
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "writer " << p << " status " << status << ": " << (errors.empty() ? "" : errors.back());
    }

    const RecordBlock block = readRecords(file, kMovementSize, IfMissing::Empty);
    EXPECT_EQ(block.tailBytes(), 0u);
    ASSERT_EQ(block.count(), static_cast<std::size_t>(kProcesses * kPerProcess));
    EXPECT_FALSE(std::filesystem::exists(lockMarkerOf(file)));
    EXPECT_FALSE(std::filesystem::exists(file.string() + ".~nuovo"));

    std::set<std::int32_t> numrecs, numopes;
    std::map<std::string, std::string> numbersOfNote; // "NUMREC NUMOPE"
    for (std::size_t i = 0; i < block.count(); ++i) {
        const MovementView r(block.at(i));
        numrecs.insert(r.NUMREC());
        numopes.insert(r.NUMOPE());
        const std::string note = trimmed(decode1252(r.padded(kNoteOffset, kNoteWidth)));
        ASSERT_TRUE(sent.count(note)) << "unexpected record " << note;
        const std::string numbers = std::to_string(r.NUMREC()) + " " + std::to_string(r.NUMOPE());
        EXPECT_TRUE(numbersOfNote.emplace(note, numbers).second) << note << " written twice";
        const Sent& s = sent[note];
        EXPECT_EQ(r.DATMOV(), s.date) << note;
        EXPECT_EQ(r.TIPMOV(), s.tipmov) << note;
        EXPECT_EQ(r.NUMCPR(), s.numcpr) << note;
        if (i == 0) continue;
        // Register order: by day; within a day by kind; within a kind by e-AD line.
        const MovementView prev(block.at(i - 1));
        const auto key = [](const MovementView& m) {
            return std::make_tuple(m.DATMOV(), kindRank(m.TIPMOV()), m.NUMCPR());
        };
        EXPECT_LE(key(prev), key(r)) << "records " << i - 1 << " and " << i << " out of order";
    }
    EXPECT_EQ(numrecs.size(), block.count());
    EXPECT_EQ(*numrecs.begin(), 1);
    EXPECT_EQ(*numrecs.rbegin(), kProcesses * kPerProcess);
    EXPECT_EQ(numopes.size(), block.count());
    EXPECT_EQ(*numopes.rbegin(), kProcesses * kPerProcess);

    // Each writer reported the numbers its records got, in the order it sent them.
    for (int p = 0; p < kProcesses; ++p) {
        const std::vector<std::string> reported = linesOf(dir / ("out" + std::to_string(p)));
        ASSERT_EQ(reported.size(), static_cast<std::size_t>(kPerProcess)) << "writer " << p;
        for (int i = 0; i < kPerProcess; ++i) {
            const std::string note = "P" + std::to_string(p) + "-" + std::to_string(i);
            EXPECT_EQ(reported[static_cast<std::size_t>(i)], numbersOfNote[note]) << note;
        }
    }
}
