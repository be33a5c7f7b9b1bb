#include "cli/commands.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <ctime>
#include <map>
#include <cstdio>
#include <istream>
#include <optional>
#include <ostream>

#include "cli/cliprompt.h"
#include "cli/flow.h"
#include "cli/interrupt.h"
#include "cli/json.h"
#include "cli/paths.h"
#include "cli/recordjson.h"
#include "cli/registerreport.h"
#include "cli/searchreport.h"
#include "cli/summary.h"
#include "cli/tasks.h"
#include "core/books/movementfile.h"
#include "core/books/movementsave.h"
#include "core/books/stock.h"
#include "core/files/folders.h"
#include "core/files/lock.h"
#include "core/files/recordchecks.h"
#include "core/files/recordfile.h"
#include "core/files/recordops.h"
#include "core/files/repair.h"
#include "core/files/text1252.h"
#include "core/records/recordfields.h"
#include "core/records/tablerecord.h"
#include "core/tables/company.h"
#include "core/tables/dates.h"
#include "core/tables/deliveredtables.h"
#include "core/tables/installationsettings.h"
#include "core/tables/keyfilters.h"

namespace accise::cli {
namespace {

constexpr const char* kUsage =
    "uso: accise-cli init DIR | demo DIR | check DIR | dump FILE [--kind movement|address|table]\n"
    "     | append FILE [--alcopp] | delete FILE NUMREC [--expect JSON]\n"
    "     | correct FILE NUMREC --note TESTO [--modify] [--expect JSON]   (--expect: il record come letto da dump)\n"
    "     | stock DIR --type M|L|F|N --year AAAA --protocol NUMPRO --date GG/MM/AAAA\n"
    "     | unlock FILE [--yes] | repair DIR | profile DIR [ALCODA|ALCOPP]\n"
    "     | movements import DIR [--dry-run]   (movimenti in righe JSON sullo standard input)\n"
    "     | settings show DIR | settings set DIR CHIAVE VALORE   (impostazioni dell'impianto, IMPIANTO.INI)\n"
    "     | flow ... (accise-cli flow per l'elenco) | paths DIR [--signing-program PERCORSO]\n"
    "     | report search|duty|stock DIR ...   (ricerche: file CSV e, dove disponibile, PDF)\n"
    "     | report register DIR --type T --year AAAA --protocol P --from GG/MM/AAAA --to GG/MM/AAAA --pdf FILE\n"
    "       [--headings-only [--sheets N] | --movements-only] [--first-page N]\n"
    "     | report totals DIR --date GG/MM/AAAA --pdf FILE\n"
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
    std::size_t positionalCount() const { return positional_.size(); }
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
        if (end == text.c_str() || *end != '\0' || !(seconds >= 0 && seconds <= 86400))
            throw UsageError("attesa non valida: " + text + " (da 0 a 86400 secondi)");
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

// Names, on standard error, the fields of a record that cannot be read as stored:
// texts whose length byte is beyond the width, numbers that are not finite.
bool reportDamage(const fs::path& file, RecordKind kind, std::size_t index, std::string_view bytes, std::ostream& err) {
    std::vector<std::string> damaged = kind == RecordKind::Movement ? oversizedTextFields(movementFields(), bytes)
                                       : kind == RecordKind::Address ? oversizedTextFields(addressFields(), bytes)
                                                                     : oversizedTableTexts(bytes);
    for (const std::string& field : damaged)
        err << "accise-cli: " << file.string() << ": record " << index + 1 << " (n. " << recordNumberOf(bytes)
            << "): lunghezza del campo " << field << " oltre la larghezza, stampato solo il testo leggibile\n";
    const std::vector<std::string> numbers = nonFiniteFieldsOf(bytes);
    for (const std::string& field : numbers)
        err << "accise-cli: " << file.string() << ": record " << index + 1 << " (n. " << recordNumberOf(bytes)
            << "): il campo " << field << " non è un numero valido (NaN o infinito), stampato come null\n";
    return !damaged.empty() || !numbers.empty();
}

int dump(const Arguments& a, std::ostream& out, std::ostream& err) {
    const fs::path file = a.at(0, "il file");
    a.expectPositional(1);
    const RecordKind kind = a.has("--kind") ? kindFromName(a.value("--kind", "il tipo")) : kindOfFile(file);
    if (kind == RecordKind::Unknown)
        throw UsageError("tipo di record sconosciuto per " + file.filename().string() + ": usare --kind");
    if (!fileExists(file)) throw IoError(file, "apertura: il file non esiste");
    const RecordBlock block = readRecords(file, recordSizeOf(kind), IfMissing::Empty);
    bool damaged = false;
    for (std::size_t i = 0; i < block.count() && out; ++i) {
        damaged = reportDamage(file, kind, i, block.at(i), err) || damaged;
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
    return damaged ? kProblems : kOk;
}

int append(const Arguments& a, std::istream& in, std::ostream& out, std::ostream& err) {
    const fs::path file = a.at(0, "il file");
    a.expectPositional(1);
    const auto wait = a.wait();
    // Every line is read and checked before anything is written: a batch with a bad
    // line writes nothing, so a script can correct it and run it again.
    std::vector<Movement> batch;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (trimmed(line).empty()) continue;
        try {
            batch.push_back(movementFromJson(parseJsonObject(line)));
        } catch (const JsonError& e) {
            throw UsageError("riga " + std::to_string(lineNumber) + ": " + e.what() + "; nessun record scritto");
        }
    }
    if (in.bad()) throw IoError("-", "lettura dello standard input");
    if (batch.empty()) return kOk;
    WaitingPrompt prompt(err, wait);
    prompt.startOperation(file);
    for (const AppendResult& r : appendMovements(file, std::move(batch), a.has("--alcopp"), prompt))
        out << r.NUMREC << " " << r.NUMOPE << "\n";
    return kOk;
}

// The working folder of a register file (<yyyy>.RGM in a registers folder), whose
// stock delete and correct weigh; other record files keep no stock.
std::optional<Folders> foldersOfRegisterFile(const fs::path& file) {
    const std::string name = file.filename().string();
    if (name.size() != 8 || name.substr(4) != ".RGM" ||
        !std::all_of(name.begin(), name.begin() + 4, [](unsigned char c) { return std::isdigit(c); }))
        return std::nullopt;
    const fs::path registers = fs::absolute(file).parent_path();
    const Folders folders = Folders::of(registers.parent_path());
    if (folders.registers.filename() != registers.filename()) return std::nullopt;
    return folders;
}

// The record as the caller read it (a line of `dump`), for --expect: a record that
// differs from it is not the one the caller meant.
std::optional<Movement> expectedRecord(const Arguments& a) {
    if (!a.has("--expect")) return std::nullopt;
    try {
        return movementFromJson(parseJsonObject(a.value("--expect", "il record come letto (JSON)")));
    } catch (const JsonError& e) {
        throw UsageError(std::string("--expect: ") + e.what());
    }
}

void reportShortStock(std::int32_t numrec, const StockShortfall& shortfall, std::ostream& err) {
    err << "il record " << numrec << " non è stato toccato: " << shortDayMessage(shortfall.day) << "\n";
}

int remove(const Arguments& a, std::ostream& out, std::ostream& err) {
    const fs::path file = a.at(0, "il file");
    const std::int32_t numrec = parseRecordNumber(a.at(1, "il NUMREC"));
    a.expectPositional(2);
    const auto expected = expectedRecord(a);
    WaitingPrompt prompt(err, a.wait());
    prompt.startOperation(file);
    DeleteOutcome outcome;
    if (const auto folders = foldersOfRegisterFile(file)) {
        const RegisterDelete r = deleteRegisterMovement(*folders, file, numrec, prompt, expected);
        if (r.shortfall) {
            reportShortStock(numrec, *r.shortfall, err);
            return kProblems;
        }
        outcome = r.outcome;
    } else {
        outcome = deleteMovement(file, numrec, prompt, expected);
    }
    switch (outcome) {
    case DeleteOutcome::Deleted: out << "record " << numrec << " cancellato\n"; return kOk;
    case DeleteOutcome::NotFound:
        err << "nessun record con NUMREC " << numrec << (expected ? " come letto" : "") << " in " << file.string() << "\n";
        break;
    case DeleteOutcome::Sent:
        err << "il record " << numrec << " è stato inviato: non si cancella, si rettifica (accise-cli correct)\n";
        break;
    case DeleteOutcome::PartOfCorrection:
        err << "il record " << numrec << " fa parte di una rettifica (record rettificato o annullamento): non si cancella\n";
        break;
    }
    return kProblems;
}

int correct(const Arguments& a, std::istream& in, std::ostream& out, std::ostream& err) {
    const fs::path file = a.at(0, "il file");
    const std::int32_t numrec = parseRecordNumber(a.at(1, "il NUMREC"));
    a.expectPositional(2);
    const std::string note = a.value("--note", "la nota della rettifica");
    std::optional<Movement> replacement;
    bool keepNumope = true;
    if (a.has("--modify")) {
        std::string line;
        while (std::getline(in, line) && trimmed(line).empty()) {}
        if (trimmed(line).empty()) throw UsageError("--modify: manca il record sostitutivo sullo standard input");
        try {
            const JsonObject object = parseJsonObject(line);
            replacement = movementFromJson(object);
            if (object.count("NUMOPE")) keepNumope = false;
        } catch (const JsonError& e) {
            throw UsageError(e.what());
        }
    }
    const auto expected = expectedRecord(a);
    WaitingPrompt prompt(err, a.wait());
    prompt.startOperation(file);
    // The operation number of a register movement stays the corrected record's (read
    // under the lock); an initial stock's replacement carries none.
    const ReplacementNUMOPE numope = keepNumope && file.filename() != "GIACENZE.DAT" ? ReplacementNUMOPE::FromCorrected
                                                                                     : ReplacementNUMOPE::AsGiven;
    CorrectionResult r;
    if (const auto folders = foldersOfRegisterFile(file)) {
        const RegisterCorrection c =
            correctRegisterMovement(*folders, file, numrec, note, replacement, prompt, numope, expected);
        if (c.shortfall) {
            reportShortStock(numrec, *c.shortfall, err);
            return kProblems;
        }
        r = c.result;
    } else {
        r = correctMovement(file, numrec, note, replacement, prompt, numope, expected);
    }
    switch (r.outcome) {
    case CorrectionOutcome::Done:
        out << r.cancellationNUMREC;
        if (r.replacementNUMREC) out << " " << r.replacementNUMREC;
        out << "\n";
        return kOk;
    case CorrectionOutcome::NotFound:
        err << "nessun record con NUMREC " << numrec << (expected ? " come letto" : "") << "\n";
        break;
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

bool isYes(std::string answer) {
    answer = trimmed(answer);
    for (char& c : answer) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return answer == "s" || answer == "si" || answer == "sì" || answer == "y" || answer == "yes";
}

int unlock(const Arguments& a, std::istream& in, std::ostream& out, std::ostream& err) {
    fs::path file = a.at(0, "il file");
    a.expectPositional(1);
    // The marker itself may be named too.
    const std::string name = file.filename().string();
    if (!name.empty() && name.back() == '$') file = file.parent_path() / name.substr(0, name.size() - 1);
    const fs::path marker = lockMarkerOf(file);
    if (!fileExists(marker)) {
        err << "nessun segnalino di blocco per " << file.string() << "\n";
        return kProblems;
    }
    const std::string age = ageOf(marker);
    out << "segnalino di blocco " << marker.string() << (age.empty() ? "" : " presente da " + age) << "\n";
    if (!a.has("--yes")) {
        out << "Rimuoverlo solo se nessun utente sta usando il file. Rimuovere? (s/N) " << std::flush;
        std::string answer;
        if (!std::getline(in, answer) || !isYes(answer)) {
            out << "segnalino non rimosso\n";
            return kProblems;
        }
    }
    unlockFile(file);
    out << "segnalino rimosso\n";
    return kOk;
}

// The installation's excise codes (IMPIANTO.INI), checked as the settings window checks them.
int settings(const Arguments& a, std::ostream& out, std::ostream& err) {
    const std::string sub = a.at(0, "il sottocomando (show o set)");
    if (sub != "show" && sub != "set") throw UsageError("sottocomando sconosciuto: " + sub);
    const Folders folders = Folders::of(a.at(1, "la cartella"));
    if (!fs::is_directory(folders.generalData))
        throw IoError(folders.generalData, "la cartella dei dati generali non esiste");
    InstallationSettings current = readInstallationSettings(folders);
    if (sub == "show") {
        a.expectPositional(2);
        for (const auto& [key, value] : installationSettingEntries(current)) out << key << "=" << value << "\n";
        return kOk;
    }
    const std::string key = a.at(2, "la chiave");
    const std::string code = toUpperAscii(trimmed(a.at(3, "il valore (\"\" per nessuno)")));
    a.expectPositional(4);
    if (!setInstallationSetting(current, key, code))
        throw UsageError("chiave sconosciuta: " + key + " (SDOPPIAMENTO_COTTA_1 ... SDOPPIAMENTO_COTTA_7, SVINCOLO_DIRETTO)");
    if (!acceptableInstallationCode(code)) {
        err << "accise-cli: ATTENZIONE CODICE D'ACCISA ERRATO: " << code
            << " (13 caratteri, inizia con IT00, settimo carattere A; vuoto per nessuno)\n";
        return kProblems;
    }
    writeInstallationSettings(folders, current);
    for (const auto& [name, value] : installationSettingEntries(current))
        if (toUpperAscii(trimmed(key)) == name) out << name << "=" << value << "\n";
    return kOk;
}

std::string timeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (const std::tm* t = std::localtime(&now)) local = *t;
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

int repair(const Arguments& a, std::ostream& out, std::ostream& err) {
    const Folders folders = Folders::of(a.at(0, "la cartella"));
    a.expectPositional(1);
    WaitingPrompt prompt(err, a.wait());
    const std::string stamp = timeStamp();
    int repaired = 0;
    for (const fs::path& folder : {folders.generalData, folders.registers}) {
        std::error_code ec;
        if (!fs::is_directory(folder, ec)) continue;
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(folder)) {
            const RecordKind kind = kindOfFile(entry.path());
            if (kind != RecordKind::Unknown && entry.is_regular_file(ec)) files.push_back(entry.path());
        }
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files) {
            prompt.startOperation(file);
            const RecordKind kind = kindOfFile(file);
            const auto done = repairTail(file, recordSizeOf(kind), stamp, prompt);
            if (!done) continue;
            ++repaired;
            out << file.string() << ": " << done->tailBytes << " byte della coda incompleta spostati in "
                << done->sideFile.string() << "; restano " << done->wholeBytes / recordSizeOf(kind)
                << " record interi\n";
        }
    }
    if (repaired == 0) out << "nessun file da riparare\n";
    return kOk;
}

// The company's profile: a tax warehouse keeper ("ALCODA") or a registered consignee
// ("ALCOPP"). Printed as stored, or replaced in the company record (which is kept
// without a lock marker, like every single-record file).
int profile(const Arguments& a, std::ostream& out) {
    const Folders folders = Folders::of(a.at(0, "la cartella"));
    a.expectPositional(2);
    const std::size_t given = a.positionalCount();
    auto company = readCompany(folders);
    if (!company) throw IoError(folders.company(), "i dati aziendali non sono stati compilati");
    if (given == 2) {
        const std::string wanted = a.at(1, "il profilo");
        if (wanted != "ALCODA" && wanted != "ALCOPP") throw UsageError("profilo non valido (ALCODA o ALCOPP): " + wanted);
        company->postcode2 = wanted;
        writeCompany(folders, *company);
    }
    out << trimmed(company->postcode2) << "\n";
    return kOk;
}

} // namespace

namespace {

// Output that could not be written (a full disk, a closed pipe) is a failure: a
// backup taken with dump must not be cut short in silence.
int finish(int code, std::ostream& out, std::ostream& err) {
    out.flush();
    if (out) return code;
    err << "accise-cli: errore di scrittura dell'uscita (disco pieno o uscita chiusa): risultato incompleto\n";
    return kFailure;
}

} // namespace

int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    try {
        if (args.empty()) throw UsageError("manca il comando");
        const std::string& command = args[0];
        if (command == "init") return finish(init(Arguments(args, {}, {}), out), out, err);
        if (command == "check") {
            Arguments a(args, {}, {});
            a.expectPositional(1);
            return finish(check(a.at(0, "la cartella"), out), out, err);
        }
        if (command == "dump") return finish(dump(Arguments(args, {}, {"--kind"}), out, err), out, err);
        if (command == "summary") return finish(summary(args, out, err), out, err);
        if (command == "report" && args.size() > 1 && (args[1] == "register" || args[1] == "totals"))
            return finish(registerReport(args, out, err), out, err);
        if (command == "report") return finish(searchReport(args, out, err), out, err);
        if (command == "stock")
            return finish(stock(Arguments(args, {}, {"--type", "--year", "--protocol", "--date"}), out), out, err);
        // The commands that take lock markers: an interruption waits until they are released.
        const HeldInterrupts held;
        int code = kFailure;
        if (command == "demo") code = demo(Arguments(args, {}, {}).at(0, "la cartella"), out);
        else if (command == "append") code = append(Arguments(args, {"--alcopp"}, {"--wait"}), in, out, err);
        else if (command == "delete") code = remove(Arguments(args, {}, {"--wait", "--expect"}), out, err);
        else if (command == "correct")
            code = correct(Arguments(args, {"--modify"}, {"--note", "--wait", "--expect"}), in, out, err);
        else if (command == "unlock") code = unlock(Arguments(args, {"--yes"}, {}), in, out, err);
        else if (command == "repair") code = repair(Arguments(args, {}, {"--wait"}), out, err);
        else if (command == "settings") code = settings(Arguments(args, {}, {}), out, err);
        else if (command == "movements") {
            Arguments a(args, {"--dry-run"}, {"--wait"});
            if (a.at(0, "il sottocomando (import)") != "import")
                throw UsageError("sottocomando sconosciuto: " + a.at(0, ""));
            const fs::path working = a.at(1, "la cartella");
            a.expectPositional(2);
            code = importMovements(working, a.has("--dry-run"), a.wait(), in, out, err);
        }
        else if (command == "flow") code = flow(args, out, err);
        else if (command == "paths") code = paths(args, out, err);
        else if (command == "profile") code = profile(Arguments(args, {}, {}), out);
        else throw UsageError("comando sconosciuto: " + command);
        if (const int signal = pendingInterrupt()) throw Interrupted(signal);
        return finish(code, out, err);
    } catch (const Interrupted& e) {
        out.flush();
        err << "accise-cli: interrotto (segnale " << e.signal << ")\n";
        return 128 + e.signal;
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
