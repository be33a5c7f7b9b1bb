#include "cli/flow.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <map>
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
        static const std::vector<std::string> names = {"--year", "--date", "--number", "--lines", "--wait", "--out"};
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

} // namespace

int flow(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        if (args.size() < 2) throw FlowUsageError("manca il sottocomando di flow");
        const Options o(args, 2);
        const std::string& sub = args[1];
        if (sub != "verify" && o.valued.count("--out")) throw FlowUsageError("--out vale solo con flow verify");
        if (sub == "list") return list(o, out, err);
        if (sub == "create") return create(o, out, err);
        if (sub == "check") return check(o, out);
        if (sub == "verify") return verify(o, out);
        if (sub == "reactivate") return reactivate(o, out, err);
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
