// Three desks on one working folder, round after round: each types random loads and
// unloads of bulk beer into the movement window through `accise-cli movements import`
// (the window's checks and its save, with the lock taken as the window takes it), one
// of them is sometimes interrupted half-way, the office types a credit into the credits
// window meanwhile, and between the desks' turns it removes an unsent unload, sends a
// flow and corrects a sent unload. After every round
// the books audit (`accise-cli check`) must find nothing and the register's stock must
// be what the test's own model of the accepted lines says.
//
// Seeded: ACCISE_SOAK_SEED=<n> replays a run. ACCISE_SOAK_KINDS=<list> chooses the
// kinds of operation (comma-separated, "tutti" for every kind); the default leaves
// runs every kind.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "cli/cli_support.h"
#include "core/books/movementfile.h"
#include "core/files/text1252.h"
#include "core/tables/company.h"
#include "core/tables/dates.h"
#include "logic/duty/creditswindow.h"
#include "logic/movements/brewwindow.h"
#include "logic/movements/packagingwindow.h"
#include "test_support.h"

using namespace accise;
using accise::testing::cliPath;
using accise::testing::runCli;
using accise::testing::TempDir;

namespace {

namespace fs = std::filesystem;

constexpr int kRounds = 5;
constexpr int kDesks = 3;
constexpr int kLinesPerDesk = 10;

// The kinds of operation, all on by default; ACCISE_SOAK_KINDS picks some of them to
// look at one kind alone.
const std::set<std::string> kAllKinds = {
    "carichi",              // loads on any day of the year, every desk
    "scarichi",             // unloads on the year's last day, one desk alone
    "scarichi-concorrenti", // the unloads typed by every desk at once, not by one desk alone
    "scarichi-retrodatati", // unloads on any day of the year (back-dated before later unloads)
    "interruzioni",         // a desk stopped (SIGTERM) part-way through its lines
    "cancellazioni",        // the removal of an unsent unload between rounds
    "crediti",              // a credit of a random period typed into the credits window
    "cotte",                // a brew typed into the brew window while the desks type
    "condizionamenti",      // a bottling typed into the packaging window while the desks type
    "flussi",               // a flow of every unsent record between rounds
    "rettifiche",           // the cancelling correction of a sent unload
};
const std::set<std::string> kDefaultKinds = kAllKinds;

std::set<std::string> chosenKinds() {
    const char* env = std::getenv("ACCISE_SOAK_KINDS");
    if (!env || !*env) return kDefaultKinds;
    std::set<std::string> kinds;
    std::stringstream list(env);
    for (std::string kind; std::getline(list, kind, ',');) {
        if (kind == "tutti") return kAllKinds;
        if (kAllKinds.count(kind)) kinds.insert(kind);
        else ADD_FAILURE() << "tipo di operazione sconosciuto in ACCISE_SOAK_KINDS: " << kind;
    }
    return kinds;
}

unsigned chosenSeed() {
    const char* env = std::getenv("ACCISE_SOAK_SEED");
    return env && *env ? static_cast<unsigned>(std::strtoul(env, nullptr, 10)) : 20261210u;
}

std::string q(const fs::path& p) { return "'" + p.string() + "'"; }

std::string slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// One line typed by a desk: a load or an unload of the demo's kegged beer (register
// F 103, bulk, litres), told apart in the register by its document number.
struct TypedLine {
    std::string numdoc;
    bool load = false;
    int litres = 0;
    std::string date; // DD/MM/YYYY
};

std::string jsonOf(const TypedLine& l) {
    if (l.load)
        return "{\"TIPMOV\":\"C\",\"DATMOV\":\"" + l.date + "\",\"TIPDOC\":\"VIA\",\"DATDOC\":\"" + l.date +
               "\",\"NUMDOC\":\"" + l.numdoc + "\",\"PRODAZ\":\"BIONDAFUSTO\",\"CAUMOV\":\"114\",\"QTA\":" +
               std::to_string(l.litres) + ",\"POSFIS\":\"002\",\"CODPAE\":\"IT\"}\n";
    return "{\"TIPMOV\":\"S\",\"DATMOV\":\"" + l.date + "\",\"TIPDOC\":\"DAS\",\"DATDOC\":\"" + l.date +
           "\",\"NUMDOC\":\"" + l.numdoc + "\",\"PRODAZ\":\"BIONDAFUSTO\",\"CAUMOV\":\"071\",\"QTA\":" +
           std::to_string(l.litres) + ",\"POSFIS\":\"001\",\"CODPAE\":\"IT\",\"MITDES\":\"IT00TOA00999Z\"}\n";
}

// A desk: one `movements import` process fed from a file.
struct Desk {
    std::vector<TypedLine> lines;
    fs::path in, out, err;
    pid_t pid = -1;
    bool interrupted = false;
};

pid_t startImport(const fs::path& work, const Desk& desk) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int in = ::open(desk.in.c_str(), O_RDONLY);
        const int out = ::open(desk.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(desk.err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        const std::string binary = cliPath();
        ::execl(binary.c_str(), binary.c_str(), "movements", "import", work.c_str(), "--wait", "60", nullptr);
        std::_Exit(127);
    }
    return pid;
}

// The lines of a desk's standard error that name a refused input line ("line 3: ...",
// warnings aside).
std::set<int> refusedLines(const std::string& err) {
    std::set<int> refused;
    std::stringstream s(err);
    for (std::string line; std::getline(s, line);) {
        if (line.rfind("line ", 0) != 0 || line.find(": avviso: ") != std::string::npos) continue;
        refused.insert(std::atoi(line.c_str() + 5));
    }
    return refused;
}

// The duty windows ask for nothing outside themselves here: no lookup list, no editor.
class NoOtherWindows : public FormServices {
public:
    bool hasLookupList() const override { return false; }
    std::int32_t openLookupList(CommandContext&) override { return -1; }
    bool hasCodeEditor() const override { return false; }
    std::optional<std::string> addNewCode(CommandContext&) override { return std::nullopt; }
    void openAddress(const std::string&) override {}
    bool startProgram(const std::string&) override { return false; }
    void openFile(const std::string&) override {}
    void showReport(const ReportJob&) override {}
};

// The clerk's answers: every message read (a lock marker's wait message after a short
// pause, as the message box takes), every question answered No.
class ClerkPrompt : public Prompt {
public:
    void information(const std::string& text) override {
        messages.push_back(text);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    bool question(const std::string&) override { return false; }
    std::vector<std::string> messages;
};

// The office types a credit of `period` into the credits window (mode I) and confirms
// it: saved (true), or refused with the window's message (a period already sent).
bool typeCredit(const fs::path& work, int year, int period, int amount, int protocol, std::string& refusal) {
    CommandContext ctx{Folders::of(work)};
    ctx.company = *readCompany(ctx.folders);
    ctx.mode = 'I';
    ClerkPrompt prompt;
    NoOtherWindows services;
    CreditsLogic w(ctx, prompt, services);
    w.open();
    w.keyTyped();
    char periodText[3];
    std::snprintf(periodText, sizeof periodText, "%02d", period);
    char day[11];
    std::snprintf(day, sizeof day, "15/%02d/%04d", period, year);
    for (const auto& [control, text] :
         std::vector<std::pair<std::string, std::string>>{{"ANNPRO", std::to_string(year)},
                                                          {"CODPAE", periodText},
                                                          {"PROTOC", "S-" + std::to_string(protocol)},
                                                          {"DATMOV", day},
                                                          {"DOUBL1", std::to_string(amount)},
                                                          {"DOUBL2", std::to_string(amount / 2)}}) {
        w.setValue(control, text);
        if (const FocusMove move = w.leave(control); !move.proceed) {
            refusal = control + ": " + (prompt.messages.empty() ? "" : prompt.messages.back());
            return false;
        }
    }
    if (const auto back = w.confirm()) {
        refusal = *back + ": " + (prompt.messages.empty() ? "" : prompt.messages.back());
        return false;
    }
    return w.closeRequested();
}

// The office types an operation inside the brewery into its window (the brew or the
// packaging window) and confirms it, as a clerk would; the window may refuse it (not
// enough malt or beer in process on that day). Returns how many records of document
// `numdoc` the register file holds afterwards: none, or all of the operation's.
template <class Window>
std::size_t typeOperation(const fs::path& work, const fs::path& registerFile, const std::string& numdoc,
                          const std::map<std::string, std::string>& values,
                          const std::map<std::string, std::string>& unloads = {}) {
    CommandContext ctx{Folders::of(work)};
    ctx.company = *readCompany(ctx.folders);
    ClerkPrompt prompt;
    NoOtherWindows services;
    Window w(ctx, prompt, services);
    w.open();
    std::map<std::string, std::string> typed = values;
    typed["NUMDOC"] = numdoc;
    std::optional<std::string> failed;
    if constexpr (std::is_same_v<Window, BrewLogic>) failed = w.typeFields(typed, unloads);
    else failed = w.typeFields(typed);
    if (!failed) failed = w.confirmChecks();
    if (!failed) w.confirmPressed();
    std::size_t records = 0;
    for (const Movement& m : readMovements(registerFile)) records += trimmed(m.NUMDOC) == numdoc;
    return records;
}

std::size_t countLines(const std::string& text) {
    std::size_t n = 0;
    for (char c : text) n += c == '\n';
    return n;
}

class Soak : public ::testing::Test {
protected:
    Soak() {
        const auto demo = runCli("demo " + q(work));
        EXPECT_EQ(demo.exitCode, 0) << demo.err;
    }

    fs::path registerFile() const { return work / "REGISTRI" / (std::to_string(year) + ".RGM"); }
    std::string yearText() const { return std::to_string(year); }

    // The program's stock of register F 103 at the end of the year, in litres.
    double stockOfTheYear() const {
        const auto r = runCli("stock " + q(work) + " --type F --year " + std::to_string(year) +
                              " --protocol 103 --date 31/12/" + yearText());
        EXPECT_EQ(r.exitCode, 0) << r.err;
        std::stringstream s(r.out);
        double kg = 0, hl = 0, litres = 0;
        s >> kg >> hl >> litres;
        return litres;
    }

    // How many records of the register carry the document number, active or not.
    std::map<std::string, int> documentsInTheFile() const {
        std::map<std::string, int> found;
        for (const Movement& m : readMovements(registerFile()))
            if (m.TIPOPE == "I") ++found[trimmed(m.NUMDOC)];
        return found;
    }

    TempDir dir;
    fs::path work = dir / "birrificio";
    int year = yearOf(todayDayNumber()) - 1;
};

} // namespace

TEST_F(Soak, ThreeDesksRoundAfterRoundKeepTheBooksSound) {
    const std::set<std::string> kinds = chosenKinds();
    const unsigned seed = chosenSeed();
    SCOPED_TRACE("ACCISE_SOAK_SEED=" + std::to_string(seed));
    std::mt19937 random(seed);
    const auto has = [&](const char* kind) { return kinds.count(kind) == 1; };
    const auto started = std::chrono::steady_clock::now();

    ASSERT_EQ(runCli("check " + q(work)).exitCode, 0) << runCli("check " + q(work)).out;
    double expected = stockOfTheYear(); // the demo's year, as the model's starting point
    ASSERT_GT(expected, 1000);
    std::map<std::string, TypedLine> saved; // accepted unloads still active, by document
    int documents = 0;
    std::map<std::string, int> tally; // what the run did, printed at the end
    std::set<int> creditPeriods, sentCreditPeriods; // periods with a credit, and with a sent one

    for (int round = 1; round <= kRounds; ++round) {
        SCOPED_TRACE("giro " + std::to_string(round));
        // The desks' lines.
        std::vector<Desk> desks(kDesks);
        for (int d = 0; d < kDesks; ++d) {
            Desk& desk = desks[static_cast<std::size_t>(d)];
            for (int i = 0; i < kLinesPerDesk; ++i) {
                std::vector<int> choices; // 0 load, 1 last-day unload, 2 back-dated unload
                if (has("carichi")) choices.push_back(0);
                if (has("scarichi") && (d == 0 || has("scarichi-concorrenti"))) choices.push_back(1);
                if (has("scarichi-retrodatati") && (d == 0 || has("scarichi-concorrenti"))) choices.push_back(2);
                if (choices.empty()) break;
                const int choice = choices[random() % choices.size()];
                TypedLine line;
                line.numdoc = "SOAK " + std::to_string(++documents);
                line.load = choice == 0;
                line.litres = choice == 0 ? 50 + static_cast<int>(random() % 400) : 100 + static_cast<int>(random() % 1500);
                const double day = choice == 1 ? dayNumber(year, 12, 31)
                                               : dayNumber(year, 1, 1) + static_cast<double>(random() % 365);
                line.date = formatDate(day);
                desk.lines.push_back(line);
            }
            std::string input;
            for (const TypedLine& l : desk.lines) input += jsonOf(l);
            desk.in = dir / ("banco" + std::to_string(d) + ".in");
            desk.out = dir / ("banco" + std::to_string(d) + ".out");
            desk.err = dir / ("banco" + std::to_string(d) + ".err");
            std::ofstream(desk.in, std::ios::binary) << input;
        }
        // All desks at once; now and then one is stopped part-way.
        for (Desk& desk : desks) desk.pid = startImport(work, desk);
        // The office types a credit while the desks type their movements.
        if (has("crediti")) {
            const int period = 1 + static_cast<int>(random() % 11);
            std::string refusal;
            if (typeCredit(work, year, period, 100 + static_cast<int>(random() % 900), round, refusal)) {
                ++tally["crediti registrati"];
                creditPeriods.insert(period);
            } else {
                // Refused only for a period whose credit has been sent.
                EXPECT_TRUE(sentCreditPeriods.count(period)) << "credito del periodo " << period << ": " << refusal;
                EXPECT_NE(refusal.find("PERIODO GIA` INVIATO"), std::string::npos) << refusal;
                ++tally["crediti rifiutati"];
            }
        }
        // ... and a brew or a bottling of the year: all its records land, or none.
        if (has("cotte")) {
            const std::string day = formatDate(dayNumber(year, 1, 1) + static_cast<double>(random() % 365));
            const std::size_t records = typeOperation<BrewLogic>(
                work, registerFile(), "SOAK COTTA " + std::to_string(round),
                {{"DATMOV", day}, {"DOUBL1_3", std::to_string(300 + random() % 700)}, {"DOUBL5", "12"},
                 {"ANNOTA", "Bionda"}},
                {{"M000-11071099-00-0000", std::to_string(50 + random() % 150)}, {"M000-12102090-00-0000", "2"}});
            EXPECT_TRUE(records == 0 || records >= 3) << "cotta del " << day << ": " << records << " record";
            ++tally[records ? "cotte registrate" : "cotte rifiutate"];
        }
        if (has("condizionamenti")) {
            const std::string day = formatDate(dayNumber(year, 1, 1) + static_cast<double>(random() % 365));
            const std::size_t records = typeOperation<PackagingLogic>(
                work, registerFile(), "SOAK CONDIZ " + std::to_string(round),
                {{"DATMOV", day}, {"PRODAZ", "BIONDA33"}, {"INTER3", std::to_string(100 + random() % 900)},
                 {"MCALI", "5"}, {"POSFIS", "003"}});
            EXPECT_TRUE(records == 0 || records >= 2) << "condizionamento del " << day << ": " << records << " record";
            ++tally[records ? "condizionamenti registrati" : "condizionamenti rifiutati"];
        }
        if (has("interruzioni") && random() % 2 == 0) {
            Desk& victim = desks[random() % desks.size()];
            std::this_thread::sleep_for(std::chrono::milliseconds(50 + random() % 400));
            victim.interrupted = ::kill(victim.pid, SIGTERM) == 0;
            ++tally["interruzioni"];
        }
        for (Desk& desk : desks) {
            int status = 0;
            ::waitpid(desk.pid, &status, 0);
            if (!desk.interrupted) {
                // 0 all saved, 1 some refused: both are a desk's normal day.
                ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) <= 1) << slurp(desk.err);
            }
        }

        // The model: a printed line was saved once, a refused one not at all; of a
        // stopped desk, the line it was typing may have been saved before it could say so.
        const std::map<std::string, int> inFile = documentsInTheFile();
        for (const Desk& desk : desks) {
            const std::set<int> refused = refusedLines(slurp(desk.err));
            std::size_t printed = countLines(slurp(desk.out));
            bool pastTheStop = false;
            for (std::size_t i = 0; i < desk.lines.size(); ++i) {
                const TypedLine& l = desk.lines[i];
                const int times = inFile.count(l.numdoc) ? inFile.at(l.numdoc) : 0;
                bool savedNow = false;
                if (refused.count(static_cast<int>(i + 1))) {
                    ++tally["righe rifiutate"];
                    EXPECT_EQ(times, 0) << l.numdoc << " refused but saved";
                } else if (printed > 0) {
                    --printed;
                    EXPECT_EQ(times, 1) << l.numdoc << " accepted";
                    savedNow = times == 1;
                } else if (desk.interrupted && !pastTheStop) {
                    pastTheStop = true; // the line in hand when the desk was stopped
                    EXPECT_LE(times, 1) << l.numdoc;
                    savedNow = times == 1;
                } else {
                    EXPECT_EQ(times, 0) << l.numdoc << " after the desk stopped";
                }
                if (!savedNow) continue;
                ++tally[l.load ? "carichi registrati" : "scarichi registrati"];
                expected += l.load ? l.litres : -l.litres;
                if (!l.load) saved[l.numdoc] = l;
            }
        }

        // The office: removes an unsent unload, sends a flow, corrects a sent unload.
        const auto recordOf = [&](const std::string& numdoc) -> std::optional<Movement> {
            for (const Movement& m : readMovements(registerFile()))
                if (trimmed(m.NUMDOC) == numdoc && m.TIPOPE == "I" && m.STATO != "C") return m;
            return std::nullopt;
        };
        const auto pick = [&](bool sent) -> std::optional<Movement> {
            std::vector<Movement> candidates;
            for (const auto& [numdoc, l] : saved)
                if (const auto m = recordOf(numdoc); m && (m->NUMFLU > 0) == sent) candidates.push_back(*m);
            if (candidates.empty()) return std::nullopt;
            return candidates[random() % candidates.size()];
        };
        if (has("cancellazioni")) {
            if (const auto m = pick(false)) {
                const auto r = runCli("delete " + q(registerFile()) + " " + std::to_string(m->NUMREC));
                ASSERT_EQ(r.exitCode, 0) << r.err;
                expected += saved.at(trimmed(m->NUMDOC)).litres;
                saved.erase(trimmed(m->NUMDOC));
                ++tally["cancellazioni"];
            }
        }
        if (has("flussi")) {
            const auto r = runCli("flow create " + q(work) + " --year " + yearText() + " --date 31/12/" + yearText() +
                                  " --number " + std::to_string(round + 1) + " --all");
            ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
            ++tally["flussi"];
            sentCreditPeriods.insert(creditPeriods.begin(), creditPeriods.end());
        }
        if (has("rettifiche")) {
            if (const auto m = pick(true)) {
                const auto r = runCli("correct " + q(registerFile()) + " " + std::to_string(m->NUMREC) +
                                      " --note 'rettifica del giro " + std::to_string(round) + "'");
                ASSERT_EQ(r.exitCode, 0) << r.err;
                expected += saved.at(trimmed(m->NUMDOC)).litres;
                saved.erase(trimmed(m->NUMDOC));
                ++tally["rettifiche"];
            }
        }

        // The audit finds nothing, and the books hold what the model expects.
        const auto check = runCli("check " + q(work));
        EXPECT_EQ(check.exitCode, 0) << check.out;
        EXPECT_NEAR(stockOfTheYear(), expected, 0.000005);
        if (::testing::Test::HasFailure()) break;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(120));
    std::string summary = "soak (seme " + std::to_string(seed) + "):";
    for (const auto& [what, n] : tally) summary += " " + what + " " + std::to_string(n) + ";";
    std::cout << summary << "\n";
}
