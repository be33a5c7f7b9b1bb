#include "cli/flow.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <stdexcept>

#include "cli/cliprompt.h"
#include "cli/commands.h"
#include "cli/windowrunner.h"
#include "core/files/ioerror.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/flow/flowcheck.h"
#include "core/tables/company.h"
#include "core/tables/dates.h"
#include "core/tables/numbers.h"
#include "logic/telematic/flowcreationwindow.h"
#include "logic/telematic/flowreactivationwindow.h"
#include "logic/telematic/transmissionwindow.h"
#include "core/flow/flowhistory.h"
#include "core/flow/outcomereport.h"
#include "core/flow/sentflows.h"

#ifdef ACCISE_CLI_AGENCY
#include <QCoreApplication>

#include "qt/telematic/agencyclient.h"
#endif

#ifdef ACCISE_HAVE_CMS
#include "cms/cmssignature.h"
#endif

namespace accise::cli {
namespace {

constexpr const char* kFlowUsage =
    "uso: accise-cli flow list DIR --year AAAA\n"
    "     | flow create DIR --year AAAA --date GG/MM/AAAA [--number N] [--lines 0,3,5 | --all]\n"
    "     | flow check FILE\n"
    "     | flow verify FILE.p7m [--out FILE]\n"
    "     | flow reactivate DIR --year AAAA --date GG/MM/AAAA --number N [--lines 0,3,5 | --all]\n"
    "     | flow send DIR FILE.p7m --env prova|reale\n"
    "     | flow outcome DIR NOME [--env prova|reale]\n"
    "     | flow history DIR --year AAAA\n"
    "  i comandi che scrivono accettano --wait SECONDI (attesa massima di un file bloccato, 60 s)";

struct FlowUsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The window's messages, one line each on standard error; questions are answered No.
class MessagePrompt : public Prompt {
public:
    explicit MessagePrompt(std::ostream& err) : err_(err) {}
    void information(const std::string& text) override {
        std::string line = text;
        for (char& c : line)
            if (c == '\r') c = ' ';
        err_ << line << "\n";
    }
    bool question(const std::string&) override { return false; }

private:
    std::ostream& err_;
};

struct Options {
    std::vector<std::string> positional;
    std::map<std::string, std::string> valued;
    bool all = false;

    Options(const std::vector<std::string>& args, std::size_t from) {
        static const std::vector<std::string> names = {"--year", "--date", "--number", "--lines",
                                                       "--wait", "--out", "--env"};
        for (std::size_t i = from; i < args.size(); ++i) {
            const std::string& a = args[i];
            if (a == "--all") {
                all = true;
            } else if (std::find(names.begin(), names.end(), a) != names.end()) {
                if (i + 1 >= args.size()) throw FlowUsageError("manca il valore di " + a);
                valued[a] = args[++i];
            } else if (a.rfind("--", 0) == 0) {
                throw FlowUsageError("opzione sconosciuta: " + a);
            } else {
                positional.push_back(a);
            }
        }
        if (all && valued.count("--lines")) throw FlowUsageError("--lines e --all insieme");
    }
    const std::string& only(const char* what) const {
        if (positional.empty()) throw FlowUsageError(std::string("manca ") + what);
        if (positional.size() > 1) throw FlowUsageError("argomento in più: " + positional[1]);
        return positional[0];
    }
    std::string value(const std::string& name, const char* what) const {
        const auto it = valued.find(name);
        if (it == valued.end()) throw FlowUsageError(std::string("manca ") + what + " (" + name + ")");
        return it->second;
    }
    std::chrono::milliseconds wait() const {
        if (!valued.count("--wait")) return std::chrono::seconds(60);
        const double seconds = std::strtod(valued.at("--wait").c_str(), nullptr);
        if (seconds < 0 || seconds > 86400) throw FlowUsageError("attesa non valida");
        return std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
    }
    std::string year() const {
        const std::string y = value("--year", "l'anno");
        int n = 0;
        if (!validFlowYear(y, n)) throw FlowUsageError("anno non valido (2008-2060): " + y);
        return y;
    }
    std::string date() const {
        const std::string d = value("--date", "la data del flusso");
        if (!parseDate(d)) throw FlowUsageError("data non valida (GG/MM/AAAA): " + d);
        return d;
    }
    std::string number() const {
        const std::string n = value("--number", "il numero del flusso");
        char* end = nullptr;
        const long v = std::strtol(n.c_str(), &end, 10);
        if (end == n.c_str() || *end != '\0' || v < 1 || v > 99) throw FlowUsageError("numero del flusso non valido (1-99): " + n);
        return n;
    }
    // The lines to tick; nullopt keeps the window's own ticks (every line).
    void applyTicks(CheckList& list) const {
        if (all || !valued.count("--lines")) {
            list.tickAll();
            return;
        }
        list.tickNone();
        std::stringstream in(valued.at("--lines"));
        std::string item;
        while (std::getline(in, item, ',')) {
            char* end = nullptr;
            const long i = std::strtol(item.c_str(), &end, 10);
            if (item.empty() || *end != '\0' || i < 0 || static_cast<std::size_t>(i) >= list.lines().size())
                throw FlowUsageError("riga non valida in --lines: " + item);
            list.setTicked(static_cast<std::size_t>(i), true);
        }
    }
};

CommandContext contextOf(const std::string& dir, const std::string& year) {
    CommandContext ctx(Folders::of(dir));
    if (!fs::is_directory(ctx.folders.registers)) throw IoError(ctx.folders.registers, "la cartella dei registri non esiste");
    const auto company = readCompany(ctx.folders);
    if (!company) throw IoError(ctx.folders.company(), "mancano i dati aziendali");
    ctx.company = *company;
    ctx.alcopp = isAlcopp(*company);
    ctx.flowYear = year;
    return ctx;
}

int list(const Options& o, std::ostream& out, std::ostream& err) {
    CommandContext ctx = contextOf(o.only("la cartella"), o.year());
    MessagePrompt prompt(err);
    NoWindows services;
    FlowCreationLogic window(ctx, prompt, services);
    window.open();
    const auto& lines = window.list().lines();
    for (std::size_t i = 0; i < lines.size(); ++i) out << i << " " << lines[i] << "\n";
    return kOk;
}

int create(const Options& o, std::ostream& out, std::ostream& err) {
    CommandContext ctx = contextOf(o.only("la cartella"), o.year());
    const std::string date = o.date();
    MessagePrompt prompt(err);
    WaitingPrompt lockPrompt(err, o.wait());
    NoWindows services;
    FlowCreationLogic window(ctx, prompt, services);
    window.setLockPrompt(lockPrompt);
    window.open();
    window.setValue("DATFLU", date);
    window.leave("DATFLU"); // proposes the next progressive
    if (o.valued.count("--number")) window.setValue("NUMFLU", o.number());
    window.setValue("CFIRMA", "0");
    o.applyTicks(window.list());
    if (const auto focus = window.confirm()) {
        err << "flusso non creato (campo " << *focus << ")\n";
        return kProblems;
    }
    if (window.result().flowFile.empty()) return kProblems;
    out << window.result().flowFile.string() << "\n";
    return window.result().leftOut.empty() ? kOk : kProblems;
}

int check(const Options& o, std::ostream& out) {
    const fs::path file = o.only("il file");
    std::ifstream in(file, std::ios::binary);
    if (!in) throw IoError(file, "apertura: il file non esiste o non è leggibile");
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    const std::vector<std::string> problems = checkFlowFile(bytes);
    for (const std::string& p : problems) out << p << "\n";
    return problems.empty() ? kOk : kProblems;
}

// The signature of a signed flow (integrity, and which certificate signed it) and,
// with --out, the flow it carries.
int verify(const Options& o, std::ostream& out) {
    const fs::path file = o.only("il file firmato");
#ifdef ACCISE_HAVE_CMS
    std::ifstream in(file, std::ios::binary);
    if (!in) throw IoError(file, "apertura: il file non esiste o non è leggibile");
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    const cms::Verification v = cms::verifyAttached(bytes);
    if (!v.valid) {
        out << file.string() << ": " << v.problem << "\n";
        return kProblems;
    }
    out << "firma integra: il contenuto non è stato alterato dopo la firma\n";
    out << "firmato da: " << v.signer << "\n";
    if (v.selfSigned)
        out << "certificato autofirmato: nessuna autorità garantisce l'identità di chi ha firmato\n";
    else
        out << "certificato emesso da: " << v.issuer << " (autorità non verificata)\n";
    if (o.valued.count("--out")) {
        const fs::path target = o.valued.at("--out");
        writeWholeFile(target, v.content);
        out << "contenuto estratto in " << target.string() << "\n";
    }
    return kOk;
#else
    (void)out;
    throw IoError(file, "flow verify non è disponibile in questa versione del programma (compilata senza OpenSSL)");
#endif
}

int reactivate(const Options& o, std::ostream& out, std::ostream& err) {
    CommandContext ctx = contextOf(o.only("la cartella"), o.year());
    const std::string date = o.date(), number = o.number();
    MessagePrompt prompt(err);
    WaitingPrompt lockPrompt(err, o.wait());
    NoWindows services;
    FlowReactivationLogic window(ctx, prompt, services);
    window.setLockPrompt(lockPrompt);
    window.open();
    window.setValue("MDARI", date);
    window.setValue("INUCO", number);
    window.buildList();
    o.applyTicks(window.list());
    window.setValue("ECONF", "SI");
    window.leave("ECONF");
    out << window.reactivated() << " record riattivati\n";
    return kOk;
}

// The environment of --env; `fallback` when the option is absent and one is allowed.
AgencyEnvironment environmentOf(const Options& o, std::optional<AgencyEnvironment> fallback) {
    if (!o.valued.count("--env")) {
        if (fallback) return *fallback;
        throw FlowUsageError("manca l'ambiente (--env prova|reale)");
    }
    const std::string& env = o.valued.at("--env");
    if (env == "prova") return AgencyEnvironment::Test;
    if (env == "reale") return AgencyEnvironment::Real;
    throw FlowUsageError("ambiente non valido (prova o reale): " + env);
}

// "AB120315.C01" from "AB120315.C01", "AB120315.C01.p7m" or a path to either.
std::string flowNameOf(const std::string& argument) {
    std::string name = fs::path(argument).filename().string();
    if (name.size() > 4 && (name.substr(name.size() - 4) == ".p7m" || name.substr(name.size() - 4) == ".P7M"))
        name.resize(name.size() - 4);
    return name;
}

#ifdef ACCISE_CLI_AGENCY
// The agency's client runs its calls in a Qt event loop: one application object for
// the command, unless one is there already.
struct QtForCalls {
    int argc = 1;
    char name[16] = "accise-cli";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QCoreApplication> app;
    QtForCalls() {
        if (!QCoreApplication::instance()) app = std::make_unique<QCoreApplication>(argc, argv);
    }
};

// The transmission window on the flow named on the command line, its signed file seen.
struct TransmissionRun {
    CommandContext ctx;
    MessagePrompt prompt;
    NoWindows services;
    QtForCalls qt;
    QtAgencyService agency;
    TransmissionLogic window;

    TransmissionRun(const std::string& dir, const std::string& name, std::ostream& err)
        : ctx(contextOf(dir, "")), prompt(err), agency(ctx.folders), window(ctx, prompt, services, agency) {
        ctx.flowFileName = name;
        window.open();
        window.startWaitPass();
        window.secondElapsed();
    }
};

std::string userCodeOf(const CommandContext& ctx) { return trimmed(ctx.company.user_code); }

// The flow's year, from its date in the records (this year or last).
void setFlowYear(CommandContext& ctx) {
    const int thisYear = yearOf(todayDayNumber());
    for (int y : {thisYear, thisYear - 1}) {
        if (flowDateOfName(ctx.folders, y, userCodeOf(ctx), ctx.flowFileName) > 0) {
            ctx.flowYear = std::to_string(y);
            return;
        }
    }
}

void printReport(const TransmissionLogic& window, std::ostream& out) {
    for (const std::string& line : window.reportLines()) out << line << "\n";
}
#endif

int send(const Options& o, std::ostream& out, std::ostream& err) {
    if (o.positional.size() != 2) throw FlowUsageError("servono la cartella e il file firmato");
    const AgencyEnvironment environment = environmentOf(o, std::nullopt);
#ifdef ACCISE_CLI_AGENCY
    const std::string name = flowNameOf(o.positional[1]);
    TransmissionRun run(o.positional[0], name, err);
    setFlowYear(run.ctx);
    // The file sent is always the one of the folder of signed files, as in the window.
    const fs::path given = fs::absolute(o.positional[1]);
    if (fs::exists(given) && fs::exists(run.window.signedPath()) &&
        !fs::equivalent(given, run.window.signedPath()))
        throw IoError(given, "il file da inviare deve essere quello della cartella dei file firmati: " +
                                 run.window.signedPath().string());
    run.window.setValue("GAMBIENTE", environment == AgencyEnvironment::Real ? TransmissionLogic::kReal
                                                                            : TransmissionLogic::kTest);
    if (const auto focus = run.window.confirm()) {
        err << "flusso non inviato\n";
        return kProblems;
    }
    printReport(run.window, out);
    if (run.window.outcome().empty()) return kProblems;                   // not taken by the service
    if (!run.window.outcomeArrived()) return kProblems;                   // taken; outcome not yet
    return run.window.outcome() == kOutcomeAccepted ? kOk : kProblems;
#else
    (void)out;
    (void)err;
    (void)environment;
    throw IoError(o.positional[1], "flow send non è disponibile in questa versione del programma (senza QtNetwork)");
#endif
}

int outcome(const Options& o, std::ostream& out, std::ostream& err) {
    if (o.positional.size() != 2) throw FlowUsageError("servono la cartella e il nome del flusso");
#ifdef ACCISE_CLI_AGENCY
    const std::string name = flowNameOf(o.positional[1]);
    TransmissionRun run(o.positional[0], name, err);
    setFlowYear(run.ctx);
    // Without --env: the environment of the flow's last send.
    std::optional<AgencyEnvironment> last;
    for (const SentFlowEvent& e : readSentFlowEvents(run.ctx.folders))
        if (e.flowName == name && e.event == "INVIO")
            last = e.environment == 'R' ? AgencyEnvironment::Real : AgencyEnvironment::Test;
    const AgencyEnvironment environment = environmentOf(o, last);
    const std::string text = run.window.askOutcomeAgain(environment);
    printReport(run.window, out);
    if (!run.window.outcomeArrived()) return kProblems;
    return text == kOutcomeAccepted ? kOk : kProblems;
#else
    (void)out;
    (void)err;
    throw IoError(o.positional[1], "flow outcome non è disponibile in questa versione del programma (senza QtNetwork)");
#endif
}

int history(const Options& o, std::ostream& out) {
    CommandContext ctx = contextOf(o.only("la cartella"), o.year());
    const std::vector<FlowHistoryRow> rows = buildFlowHistory(ctx.folders, std::stoi(ctx.flowYear),
                                                              trimmed(ctx.company.user_code),
                                                              resolvedApplPaths(ctx.folders));
    out << "flusso\tdata\tC\tD\tE\tF\tR\tfirmato\tinviato\tregistrazione\tesito\n";
    for (const FlowHistoryRow& r : rows) {
        std::string sent = r.sentReal ? "reale" : r.sentTest ? "prova" : "no";
        if (r.sentReal && r.sentTest) sent = "prova+reale";
        out << r.name << '\t' << formatDate(r.date);
        for (int n : r.counts.byKind) out << '\t' << n;
        out << '\t' << (r.signedFile ? "si" : r.flowFile ? "no" : "mancante") << '\t' << sent << '\t'
            << (r.registration.empty() ? "-" : r.registration) << '\t' << (r.outcome.empty() ? "-" : r.outcome)
            << "\n";
    }
    return kOk;
}

} // namespace

int flow(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        if (args.size() < 2) throw FlowUsageError("manca il sottocomando di flow");
        const Options o(args, 2);
        const std::string& sub = args[1];
        if (sub != "verify" && o.valued.count("--out")) throw FlowUsageError("--out vale solo con flow verify");
        if (sub != "send" && sub != "outcome" && o.valued.count("--env"))
            throw FlowUsageError("--env vale solo con flow send e flow outcome");
        if (sub == "list") return list(o, out, err);
        if (sub == "create") return create(o, out, err);
        if (sub == "check") return check(o, out);
        if (sub == "verify") return verify(o, out);
        if (sub == "reactivate") return reactivate(o, out, err);
        if (sub == "send") return send(o, out, err);
        if (sub == "outcome") return outcome(o, out, err);
        if (sub == "history") return history(o, out);
        throw FlowUsageError("sottocomando sconosciuto: " + sub);
    } catch (const FlowUsageError& e) {
        err << "accise-cli: " << e.what() << "\n" << kFlowUsage << "\n";
    } catch (const IoError& e) {
        err << "accise-cli: " << e.what() << "\n";
    } catch (const std::exception& e) {
        err << "accise-cli: errore: " << e.what() << "\n";
    }
    return kFailure;
}

} // namespace accise::cli
