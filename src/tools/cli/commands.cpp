#include "cli/commands.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <cstdio>
#include <istream>
#include <optional>
#include <ostream>

#include "cli/cliprompt.h"
#include "cli/json.h"
#include "cli/recordjson.h"
#include "cli/tasks.h"
#include "common/dates.h"
#include "common/deliveredtables.h"
#include "common/folders.h"
#include "common/movementfile.h"
#include "common/recordfile.h"
#include "common/stock.h"
#include "common/text1252.h"

namespace accise::cli {
namespace {

constexpr const char* kUsage =
    "uso: accise-cli init DIR | demo DIR | check DIR | dump FILE [--kind movement|address|table]\n"
    "     | append FILE [--alcopp] | delete FILE NUMREC | correct FILE NUMREC --note TESTO [--modify]\n"
    "     | stock DIR --type M|L|F|N --year AAAA --protocol NUMPRO --date GG/MM/AAAA\n"
    "  i comandi che scrivono accettano --wait SECONDI (attesa massima di un file bloccato, 60 s)";

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The words of a command line: positional arguments and --options.
class Arguments {
public:
    Arguments(const std::vector<std::string>& args, const std::vector<std::string>& flags,
              const std::vector<std::string>& valued) {
        for (std::size_t i = 1; i < args.size(); ++i) {
            const std::string& a = args[i];
            if (a.rfind("--", 0) != 0) {
                positional_.push_back(a);
            } else if (std::find(flags.begin(), flags.end(), a) != flags.end()) {
                options_[a] = "";
            } else if (std::find(valued.begin(), valued.end(), a) != valued.end()) {
                if (i + 1 >= args.size()) throw UsageError("manca il valore di " + a);
                options_[a] = args[++i];
            } else {
                throw UsageError("opzione sconosciuta: " + a);
            }
        }
    }
    const std::string& at(std::size_t i, const char* what) const {
        if (i >= positional_.size()) throw UsageError(std::string("manca ") + what);
        return positional_[i];
    }
    void expectPositional(std::size_t n) const {
        if (positional_.size() > n) throw UsageError("argomento in più: " + positional_[n]);
    }
    bool has(const std::string& option) const { return options_.count(option) != 0; }
    std::string value(const std::string& option, const char* what) const {
        auto it = options_.find(option);
        if (it == options_.end()) throw UsageError(std::string("manca ") + what + " (" + option + ")");
        return it->second;
    }
    std::chrono::milliseconds wait() const {
        if (!has("--wait")) return std::chrono::seconds(60);
        const std::string text = value("--wait", "l'attesa");
        char* end = nullptr;
        const double seconds = std::strtod(text.c_str(), &end);
        if (end == text.c_str() || *end != '\0' || seconds < 0 || seconds > 86400)
            throw UsageError("attesa non valida: " + text);
        return std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
    }

private:
    std::vector<std::string> positional_;
    std::map<std::string, std::string> options_;
};

std::int32_t parseRecordNumber(const std::string& text) {
    char* end = nullptr;
    const long n = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0' || n <= 0 || n > 2147483647) throw UsageError("NUMREC non valido: " + text);
    return static_cast<std::int32_t>(n);
}

int init(const Arguments& a, std::ostream& out) {
    const Folders folders = Folders::of(a.at(0, "la cartella"));
    a.expectPositional(1);
    folders.create();
    const auto written = installDeliveredTables(folders);
    out << "cartella inizializzata: " << folders.working.string() << " (" << written.size() << " file scritti)\n";
    return kOk;
}

int dump(const Arguments& a, std::ostream& out) {
    const fs::path file = a.at(0, "il file");
    a.expectPositional(1);
    const RecordKind kind = a.has("--kind") ? kindFromName(a.value("--kind", "il tipo")) : kindOfFile(file);
    if (kind == RecordKind::Unknown)
        throw UsageError("tipo di record sconosciuto per " + file.filename().string() + ": usare --kind");
    if (!fileExists(file)) throw IoError(file, "apertura: il file non esiste");
    const RecordBlock block = readRecords(file, recordSizeOf(kind), IfMissing::Empty);
    for (std::size_t i = 0; i < block.count(); ++i) {
        switch (kind) {
        case RecordKind::Movement: out << movementToJson(decodeMovement(block.at(i))) << "\n"; break;
        case RecordKind::Address: out << addressToJson(decodeAddress(block.at(i))) << "\n"; break;
        default: out << tableToJson(decodeTable(block.at(i))) << "\n"; break;
        }
    }
    if (block.tailBytes() != 0) {
        throw IoError(file, "gli ultimi " + std::to_string(block.tailBytes()) +
                                " byte non formano un record intero (file danneggiato)");
    }
    return kOk;
}

int append(const Arguments& a, std::istream& in, std::ostream& out, std::ostream& err) {
    const fs::path file = a.at(0, "il file");
    a.expectPositional(1);
    WaitingPrompt prompt(err, a.wait());
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (trimmed(line).empty()) continue;
        Movement m;
        try {
            m = movementFromJson(parseJsonObject(line));
        } catch (const JsonError& e) {
            throw UsageError("riga " + std::to_string(lineNumber) + ": " + e.what());
        }
        prompt.startOperation();
        const AppendResult r = appendMovement(file, m, a.has("--alcopp"), prompt);
        out << r.NUMREC << " " << r.NUMOPE << "\n" << std::flush;
    }
    return kOk;
}

int remove(const Arguments& a, std::ostream& out, std::ostream& err) {
    const fs::path file = a.at(0, "il file");
    const std::int32_t numrec = parseRecordNumber(a.at(1, "il NUMREC"));
    a.expectPositional(2);
    WaitingPrompt prompt(err, a.wait());
    if (!deleteMovement(file, numrec, prompt)) {
        err << "nessun record con NUMREC " << numrec << " in " << file.string() << "\n";
        return kProblems;
    }
    out << "record " << numrec << " cancellato\n";
    return kOk;
}

int correct(const Arguments& a, std::istream& in, std::ostream& out, std::ostream& err) {
    const fs::path file = a.at(0, "il file");
    const std::int32_t numrec = parseRecordNumber(a.at(1, "il NUMREC"));
    a.expectPositional(2);
    const std::string note = a.value("--note", "la nota della rettifica");
    std::optional<Movement> replacement;
    if (a.has("--modify")) {
        std::string line;
        while (std::getline(in, line) && trimmed(line).empty()) {}
        if (trimmed(line).empty()) throw UsageError("--modify: manca il record sostitutivo sullo standard input");
        try {
            const JsonObject object = parseJsonObject(line);
            replacement = movementFromJson(object);
            // The operation number of a register movement stays the corrected record's;
            // an initial stock's replacement carries none.
            if (!object.count("NUMOPE") && file.filename() != "GIACENZE.DAT") {
                for (const Movement& m : readMovements(file))
                    if (m.NUMREC == numrec) replacement->NUMOPE = m.NUMOPE;
            }
        } catch (const JsonError& e) {
            throw UsageError(e.what());
        }
    }
    WaitingPrompt prompt(err, a.wait());
    const CorrectionResult r = correctMovement(file, numrec, note, replacement, prompt);
    switch (r.outcome) {
    case CorrectionOutcome::Done:
        out << r.cancellationNUMREC;
        if (r.replacementNUMREC) out << " " << r.replacementNUMREC;
        out << "\n";
        return kOk;
    case CorrectionOutcome::NotFound: err << "nessun record con NUMREC " << numrec << "\n"; break;
    case CorrectionOutcome::NotSent: err << "il record " << numrec << " non è stato inviato: si modifica, non si rettifica\n"; break;
    case CorrectionOutcome::NotCorrectable: err << "il record " << numrec << " è già rettificato o è un annullamento\n"; break;
    }
    return kProblems;
}

int stock(const Arguments& a, std::ostream& out) {
    const Folders folders = Folders::of(a.at(0, "la cartella"));
    a.expectPositional(1);
    const std::string type = a.value("--type", "il tipo di registro");
    if (type != "M" && type != "L" && type != "F" && type != "N") throw UsageError("tipo di registro non valido: " + type);
    const std::string year = a.value("--year", "l'anno del protocollo");
    const auto date = parseDate(a.value("--date", "la data"));
    if (!date) throw UsageError("data non valida (GG/MM/AAAA)");
    if (!fs::is_directory(folders.registers)) throw IoError(folders.registers, "la cartella dei registri non esiste");
    const Quantities q = registerStockAt(folders, {type, year, a.value("--protocol", "il numero di protocollo")}, *date);
    char line[160];
    std::snprintf(line, sizeof line, "%.5f %.5f %.5f\n", q.QTAKG, q.ETTOGR, q.QTALIT);
    out << line;
    return kOk;
}

} // namespace

int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    try {
        if (args.empty()) throw UsageError("manca il comando");
        const std::string& command = args[0];
        if (command == "init") return init(Arguments(args, {}, {}), out);
        if (command == "demo") return demo(Arguments(args, {}, {}).at(0, "la cartella"), out);
        if (command == "check") {
            Arguments a(args, {}, {});
            a.expectPositional(1);
            return check(a.at(0, "la cartella"), out);
        }
        if (command == "dump") return dump(Arguments(args, {}, {"--kind"}), out);
        if (command == "append") return append(Arguments(args, {"--alcopp"}, {"--wait"}), in, out, err);
        if (command == "delete") return remove(Arguments(args, {}, {"--wait"}), out, err);
        if (command == "correct") return correct(Arguments(args, {"--modify"}, {"--note", "--wait"}), in, out, err);
        if (command == "stock") return stock(Arguments(args, {}, {"--type", "--year", "--protocol", "--date"}), out);
        throw UsageError("comando sconosciuto: " + command);
    } catch (const UsageError& e) {
        err << "accise-cli: " << e.what() << "\n" << kUsage << "\n";
    } catch (const IoError& e) {
        err << "accise-cli: " << e.what() << "\n";
    } catch (const std::exception& e) {
        err << "accise-cli: errore: " << e.what() << "\n";
    }
    return kFailure;
}

} // namespace accise::cli
