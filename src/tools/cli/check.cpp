#include "cli/tasks.h"

#include <algorithm>
#include <map>
#include <ostream>
#include <set>
#include <vector>

#include "cli/cliprompt.h"
#include "cli/commands.h"
#include "core/files/folders.h"
#include "core/files/ioerror.h"
#include "core/files/recordchecks.h"
#include "core/files/recordfile.h"
#include "core/files/recordops.h"
#include "core/files/text1252.h"
#include "core/records/address.h"
#include "core/records/movement.h"
#include "core/records/movementview.h"
#include "core/records/recordfields.h"
#include "core/records/tablerecord.h"
#include "core/tables/deliveredtables.h"

namespace accise::cli {

namespace fs = std::filesystem;

namespace {

bool endsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool startsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

// Within a day: loads, then unloads, then closing records.
int movementRank(char tipmov) { return tipmov == 'C' ? 0 : tipmov == 'S' ? 1 : tipmov == 'A' ? 2 : 0; }

class Checker {
public:
    explicit Checker(std::ostream& out) : out_(out) {}

    void problem(const fs::path& file, const std::string& text) {
        out_ << file.string() << ": " << text << "\n";
        ++problems_;
    }
    void problem(const fs::path& file, std::size_t index, std::int32_t number, const std::string& text) {
        problem(file, "record " + std::to_string(index + 1) + " (n. " + std::to_string(number) + "): " + text);
    }
    int problems() const { return problems_; }
    int files() const { return files_; }

    void checkFile(const fs::path& file) {
        const RecordKind kind = kindOfFile(file);
        if (kind == RecordKind::Unknown) return;
        ++files_;
        RecordBlock block;
        try {
            block = readRecords(file, recordSizeOf(kind), IfMissing::Empty);
        } catch (const IoError& e) {
            problem(file, e.what());
            return;
        }
        if (block.tailBytes() != 0)
            problem(file, "dimensione " + std::to_string(block.bytes().size()) + " byte non multipla di " +
                              std::to_string(block.recordSize()) + ": l'ultimo record è troncato");
        const std::string name = file.filename().string();
        const bool singleRecord = startsWith(name, "UTENTE.") || endsWith(name, ".CFG") || endsWith(name, ".STR");
        if (singleRecord && block.count() > 1) problem(file, "contiene " + std::to_string(block.count()) + " record invece di uno");
        std::set<std::int32_t> numbers;
        for (std::size_t i = 0; i < block.count(); ++i) {
            const std::string_view r = block.at(i);
            const std::int32_t number = recordNumberOf(r);
            std::vector<std::string> bad = kind == RecordKind::Movement ? oversizedTextFields(movementFields(), r)
                                           : kind == RecordKind::Address ? oversizedTextFields(addressFields(), r)
                                                                         : oversizedTableTexts(r);
            for (const auto& field : bad) problem(file, i, number, "lunghezza del campo " + field + " oltre la larghezza");
            for (const auto& field : nonFiniteFieldsOf(r))
                problem(file, i, number, "il campo " + field + " non è un numero valido (NaN o infinito)");
            if (!singleRecord && !numbers.insert(number).second)
                problem(file, i, number, "numero di record ripetuto");
        }
        if (kind == RecordKind::Movement) checkMovements(file, block, name);
    }

private:
    void checkMovements(const fs::path& file, const RecordBlock& block, const std::string& name) {
        std::map<std::int32_t, char> stateOf;
        for (std::size_t i = 0; i < block.count(); ++i) {
            const MovementView r(block.at(i));
            stateOf[r.NUMREC()] = r.STATO();
        }
        if (name == "GIACENZE.DAT") checkOneActiveStock(file, block);
        const bool registerFile = endsWith(name, ".RGM");
        bool havePrevious = false;
        double prevDate = 0;
        int prevRank = 0;
        std::int32_t prevCpr = 0;
        for (std::size_t i = 0; i < block.count(); ++i) {
            const std::string_view bytes = block.at(i);
            const MovementView r(bytes);
            const std::int32_t numrif = binary::getInt32(bytes.data() + movement_offset::NUMRIF);
            if (numrif != 0) {
                auto it = stateOf.find(numrif);
                if (it == stateOf.end()) problem(file, i, r.NUMREC(), "rettifica di un record inesistente (" + std::to_string(numrif) + ")");
                else if (it->second != 'C') problem(file, i, r.NUMREC(), "il record rettificato " + std::to_string(numrif) + " non è segnato \"C\"");
                continue; // corrections stand right after the record they correct, whatever their date
            }
            if (!registerFile) continue;
            const double date = r.DATMOV();
            const int rank = movementRank(r.TIPMOV());
            if (havePrevious) {
                const bool outOfOrder = date < prevDate || (date == prevDate && rank < prevRank) ||
                                        (date == prevDate && rank == prevRank && r.NUMCPR() < prevCpr);
                if (outOfOrder) problem(file, i, r.NUMREC(), "fuori dall'ordine del registro (data, tipo movimento, NUMCPR)");
            }
            havePrevious = true;
            prevDate = date;
            prevRank = rank;
            prevCpr = r.NUMCPR();
        }
    }

    // A register has one active initial stock; a second one would count its movements
    // twice in the register totals (the reports count the first and say so).
    void checkOneActiveStock(const fs::path& file, const RecordBlock& block) {
        namespace off = movement_offset;
        std::map<std::string, std::vector<std::int32_t>> active; // register key -> NUMREC
        std::vector<std::string> order;
        for (std::size_t i = 0; i < block.count(); ++i) {
            const MovementView r(block.at(i));
            if (r.STATO() == 'C' || r.TIPOPE() != 'I') continue;
            const std::string key = std::string(1, r.TIPREG()) + " " + trimmed(r.padded(off::NUMPRO, 10)) + "/" +
                                    trimmed(r.padded(off::ANNPRO, 4));
            if (active[key].empty()) order.push_back(key);
            active[key].push_back(r.NUMREC());
        }
        for (const std::string& key : order) {
            const auto& numbers = active[key];
            if (numbers.size() < 2) continue;
            std::string list;
            for (std::int32_t n : numbers) list += (list.empty() ? "" : ", ") + std::to_string(n);
            problem(file, "il registro " + key + " ha " + std::to_string(numbers.size()) +
                              " giacenze iniziali attive (record n. " + list +
                              "): totali e stampa del registro contano solo la prima; annullare quelle in più");
        }
    }

    std::ostream& out_;
    int problems_ = 0;
    int files_ = 0;
};

std::vector<fs::path> filesOf(const fs::path& folder, Checker& checker) {
    std::vector<fs::path> files;
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        checker.problem(folder, "cartella mancante o illeggibile");
        return files;
    }
    fs::directory_iterator it(folder, ec);
    if (ec) {
        checker.problem(folder, "cartella illeggibile: " + ec.message());
        return files;
    }
    for (fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) {
            checker.problem(folder, "lettura della cartella: " + ec.message());
            break;
        }
        if (it->is_regular_file(ec)) {
            files.push_back(it->path());
        } else if (kindOfFile(it->path()) != RecordKind::Unknown) {
            // A folder or a dangling link under a data file's name: every writer would fail on it.
            checker.problem(it->path(), it->is_symlink(ec) ? "collegamento simbolico senza destinazione al posto di un file di dati"
                                                           : "non è un file (una cartella o altro) al posto di un file di dati");
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

RecordKind kindFromName(const std::string& name) {
    if (name == "movement") return RecordKind::Movement;
    if (name == "address") return RecordKind::Address;
    if (name == "table") return RecordKind::Table;
    return RecordKind::Unknown;
}

RecordKind kindOfFile(const fs::path& file) {
    const std::string name = file.filename().string();
    if (startsWith(name, "UTENTE.") || (startsWith(name, "INDIRIZZI_") && endsWith(name, ".DAT")))
        return RecordKind::Address;
    for (const char* ext : {".TAB", ".STR", ".CFG", ".PRT", ".APP"})
        if (endsWith(name, ext)) return RecordKind::Table;
    if (name == "REGISTRI.DAT") return RecordKind::Table;
    for (const char* ext : {".RGM", ".DER", ".GAR", ".MOV"})
        if (endsWith(name, ext)) return RecordKind::Movement;
    for (const char* n : {"GIACENZE.DAT", "COSTANTI.DAT", "APPOGGIO.DAT", "M.DAT", "L.DAT", "F.DAT", "N.DAT", "GARANZIA.DAT"})
        if (name == n) return RecordKind::Movement;
    return RecordKind::Unknown;
}

std::size_t recordSizeOf(RecordKind kind) {
    switch (kind) {
    case RecordKind::Movement: return kMovementSize;
    case RecordKind::Address: return kAddressSize;
    default: return kTableSize;
    }
}

int check(const fs::path& working, std::ostream& out) {
    Checker checker(out);
    const Folders folders = Folders::of(working);
    for (const fs::path& folder : {folders.generalData, folders.registers}) {
        for (const fs::path& file : filesOf(folder, checker)) {
            const std::string name = file.filename().string();
            if (endsWith(name, "$")) {
                const std::string age = ageOf(file);
                checker.problem(file, "segnalino di blocco presente" + (age.empty() ? "" : " da " + age) + ". " +
                                          leftoverMarkerAdvice(folder / name.substr(0, name.size() - 1)));
                continue;
            }
            if (endsWith(name, ".~nuovo")) {
                checker.problem(file, "copia provvisoria di una scrittura interrotta (il file originale è intatto)");
                continue;
            }
            checker.checkFile(file);
        }
    }
    if (fs::is_directory(folders.generalData)) {
        for (const DeliveredTable& t : deliveredTables())
            if (!fileExists(folders.structure(t.name))) checker.problem(folders.structure(t.name), "file di struttura mancante");
    }
    if (checker.problems() == 0) {
        out << "nessun problema (" << checker.files() << " file controllati)\n";
        return kOk;
    }
    out << checker.problems() << " problemi trovati\n";
    return kProblems;
}

} // namespace accise::cli
