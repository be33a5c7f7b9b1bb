#include "core/reports/booksaudit.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <set>
#include <tuple>

#include "core/files/ioerror.h"
#include "core/files/recordchecks.h"
#include "core/files/recordfile.h"
#include "core/files/recordops.h"
#include "core/files/text1252.h"
#include "core/flow/flowfile.h"
#include "core/records/address.h"
#include "core/records/movement.h"
#include "core/records/movementview.h"
#include "core/records/recordfields.h"
#include "core/records/tablerecord.h"
#include "core/tables/company.h"
#include "core/tables/dates.h"
#include "core/tables/deliveredtables.h"
#include "core/tables/numbers.h"

namespace accise {

namespace {

bool endsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool startsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

// Within a day: loads, then unloads, then closing records.
int movementRank(char tipmov) { return tipmov == 'C' ? 0 : tipmov == 'S' ? 1 : tipmov == 'A' ? 2 : 0; }

// A byte that no text of the books may hold: the C0 controls, DEL, and the five bytes
// Windows-1252 leaves undefined (read back as C1 controls).
bool isControlByte(unsigned char c) {
    return c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

bool textHoldsControl(std::string_view record, std::size_t offset, std::size_t width) {
    const std::size_t length = std::min<std::size_t>(static_cast<unsigned char>(record[offset]), width);
    for (std::size_t i = 0; i < length; ++i)
        if (isControlByte(static_cast<unsigned char>(record[offset + 1 + i]))) return true;
    return false;
}

template <class R>
std::vector<std::string> controlTextFields(const FieldList<R>& fields, std::string_view record) {
    std::vector<std::string> names;
    for (const auto& f : fields)
        if (f.isText() && textHoldsControl(record, f.offset, f.width)) names.emplace_back(f.name);
    return names;
}

std::vector<std::string> controlTableTexts(std::string_view record) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < 10; ++i) {
        if (textHoldsControl(record, tableColumnOffset(i), kTableTextWidth)) names.push_back("col" + std::to_string(i));
        if (textHoldsControl(record, tableExtraOffset(i), kTableTextWidth)) names.push_back("extra" + std::to_string(i));
    }
    return names;
}

std::string registerName(const MovementView& r) {
    namespace off = movement_offset;
    return std::string(1, r.TIPREG()) + " " + trimmed(r.padded(off::NUMPRO, 10)) + "/" + trimmed(r.padded(off::ANNPRO, 4));
}

// A movement file's year from its name ("2014.RGM" -> 2014); 0 when the name has none.
int yearOfFileName(const std::string& name) {
    if (name.size() != 8 || name[4] != '.') return 0;
    for (int i = 0; i < 4; ++i)
        if (name[i] < '0' || name[i] > '9') return 0;
    return std::stoi(name.substr(0, 4));
}

// Half a unit of the fifth decimal: quantities are kept to 5 decimals, so a sum
// below this is a rounding remainder, not a shortage.
constexpr double kQuantityTolerance = 0.000005;

class Auditor {
    struct Source {
        fs::path file;
        RecordBlock block;
    };

public:
    explicit Auditor(const Folders& folders) : folders_(folders) {}

    BooksAudit run() {
        for (const fs::path& folder : {folders_.generalData, folders_.registers}) {
            for (const fs::path& file : filesOf(folder)) {
                const std::string name = file.filename().string();
                if (endsWith(name, "$")) {
                    const std::string age = fileAgeText(file);
                    problem(file, "segnalino di blocco presente" + (age.empty() ? "" : " da " + age) + ". " +
                                      leftoverMarkerAdvice(folder / name.substr(0, name.size() - 1)));
                    continue;
                }
                if (endsWith(name, ".~nuovo")) {
                    problem(file, "copia provvisoria di una scrittura interrotta (il file originale è intatto)");
                    continue;
                }
                checkFile(file, folder == folders_.registers);
            }
        }
        if (fs::is_directory(folders_.generalData)) {
            for (const DeliveredTable& t : deliveredTables())
                if (!fileExists(folders_.structure(t.name))) problem(folders_.structure(t.name), "file di struttura mancante");
        }
        readCompanyValues();
        checkDutyRecords();
        checkStocks();
        checkFlows();
        audit_.filesChecked = files_;
        return std::move(audit_);
    }

private:
    void problem(const fs::path& file, const std::string& text) { audit_.problems.push_back({file, text}); }
    void problem(const fs::path& file, std::size_t index, std::int32_t number, const std::string& text) {
        problem(file, "record " + std::to_string(index + 1) + " (n. " + std::to_string(number) + "): " + text);
    }

    std::vector<fs::path> filesOf(const fs::path& folder) {
        std::vector<fs::path> files;
        std::error_code ec;
        if (!fs::is_directory(folder, ec)) {
            problem(folder, "cartella mancante o illeggibile");
            return files;
        }
        fs::directory_iterator it(folder, ec);
        if (ec) {
            problem(folder, "cartella illeggibile: " + ec.message());
            return files;
        }
        for (fs::directory_iterator end; it != end; it.increment(ec)) {
            if (ec) {
                problem(folder, "lettura della cartella: " + ec.message());
                break;
            }
            if (it->is_regular_file(ec)) {
                files.push_back(it->path());
            } else if (dataFileKindOf(it->path()) != DataFileKind::Unknown) {
                // A folder or a dangling link under a data file's name: every writer would fail on it.
                problem(it->path(), it->is_symlink(ec) ? "collegamento simbolico senza destinazione al posto di un file di dati"
                                                       : "non è un file (una cartella o altro) al posto di un file di dati");
            }
        }
        std::sort(files.begin(), files.end());
        return files;
    }

    void checkFile(const fs::path& file, bool inRegisters) {
        const DataFileKind kind = dataFileKindOf(file);
        if (kind == DataFileKind::Unknown) return;
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
            const std::vector<std::string> oversized = kind == DataFileKind::Movement ? oversizedTextFields(movementFields(), r)
                                                       : kind == DataFileKind::Address ? oversizedTextFields(addressFields(), r)
                                                                                       : oversizedTableTexts(r);
            for (const auto& field : oversized) problem(file, i, number, "lunghezza del campo " + field + " oltre la larghezza");
            const std::vector<std::string> controls = kind == DataFileKind::Movement ? controlTextFields(movementFields(), r)
                                                      : kind == DataFileKind::Address ? controlTextFields(addressFields(), r)
                                                                                      : controlTableTexts(r);
            for (const auto& field : controls) problem(file, i, number, "il campo " + field + " contiene un carattere di controllo");
            for (const auto& field : nonFiniteFieldsOf(r))
                problem(file, i, number, "il campo " + field + " non è un numero valido (NaN o infinito)");
            if (!singleRecord && !numbers.insert(number).second) problem(file, i, number, "numero di record ripetuto");
        }
        if (kind != DataFileKind::Movement || !inRegisters) return;
        checkCorrectionGroups(file, block);
        if (endsWith(name, ".RGM")) checkRegisterOrder(file, block);
        if (name == "GIACENZE.DAT") checkOneActiveStock(file, block);
        const int year = yearOfFileName(name);
        if (name == "GIACENZE.DAT") initialStocks_ = {file, block};
        else if (endsWith(name, ".RGM") && year) registerYears_[year] = {file, block};
        else if (endsWith(name, ".DER") && year) dutyYears_[year] = {file, block};
        else if (endsWith(name, ".GAR") && year) guaranteeYears_[year] = {file, block};
    }

    // A correction group is the superseded record (STATO "C"), right after it its one
    // cancellation (TIPOPE "C") and then at most one replacement (STATO "R"), both
    // with NUMRIF = the superseded record's NUMREC.
    void checkCorrectionGroups(const fs::path& file, const RecordBlock& block) {
        std::map<std::int32_t, std::size_t> supersededAt; // NUMREC -> index
        for (std::size_t i = 0; i < block.count(); ++i) {
            const MovementView r(block.at(i));
            if (r.STATO() == 'C') supersededAt.emplace(r.NUMREC(), i);
        }
        std::map<std::int32_t, int> cancellations, replacements;
        for (std::size_t i = 0; i < block.count(); ++i) {
            const MovementView r(block.at(i));
            const std::int32_t numrif = r.NUMRIF();
            const bool cancellation = r.TIPOPE() == 'C';
            const bool replacement = r.STATO() == 'R';
            if (numrif == 0) {
                if (cancellation) problem(file, i, r.NUMREC(), "annullamento di una rettifica senza il record rettificato (NUMRIF 0)");
                if (replacement) problem(file, i, r.NUMREC(), "record sostitutivo di una rettifica senza il record rettificato (NUMRIF 0)");
                continue;
            }
            const auto it = supersededAt.find(numrif);
            if (it == supersededAt.end()) {
                bool exists = false;
                for (std::size_t j = 0; j < block.count() && !exists; ++j) exists = MovementView(block.at(j)).NUMREC() == numrif;
                problem(file, i, r.NUMREC(), exists ? "il record rettificato " + std::to_string(numrif) + " non è segnato \"C\""
                                                    : "rettifica di un record inesistente (" + std::to_string(numrif) + ")");
                continue;
            }
            if (!cancellation && !replacement) {
                problem(file, i, r.NUMREC(), "NUMRIF " + std::to_string(numrif) + " in un record che non è una rettifica");
                continue;
            }
            const std::size_t expected = it->second + (cancellation ? 1 : 2);
            if (i != expected)
                problem(file, i, r.NUMREC(), std::string(cancellation ? "l'annullamento" : "il record sostitutivo") +
                                                 " non segue il record rettificato " + std::to_string(numrif) +
                                                 (cancellation ? "" : " e il suo annullamento"));
            ++(cancellation ? cancellations : replacements)[numrif];
        }
        for (const auto& [number, at] : supersededAt) {
            const int c = cancellations[number];
            if (c != 1)
                problem(file, at, number, c == 0 ? "record rettificato (\"C\") senza il suo annullamento"
                                                 : "record rettificato con " + std::to_string(c) + " annullamenti");
            if (replacements[number] > 1)
                problem(file, at, number, "record rettificato con " + std::to_string(replacements[number]) + " record sostitutivi");
        }
    }

    void checkRegisterOrder(const fs::path& file, const RecordBlock& block) {
        bool havePrevious = false;
        double prevDate = 0;
        int prevRank = 0;
        std::int32_t prevCpr = 0;
        for (std::size_t i = 0; i < block.count(); ++i) {
            const MovementView r(block.at(i));
            if (r.NUMRIF() != 0) continue; // corrections stand right after the record they correct, whatever their date
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
        std::map<std::string, std::vector<std::int32_t>> active; // register -> NUMREC
        std::vector<std::string> order;
        for (std::size_t i = 0; i < block.count(); ++i) {
            const MovementView r(block.at(i));
            if (r.STATO() == 'C' || r.TIPOPE() != 'I') continue;
            const std::string key = registerName(r);
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

    void readCompanyValues() {
        try {
            if (const auto company = readCompany(folders_)) {
                company_ = *company;
                haveCompany_ = true;
            }
        } catch (const IoError&) {
            // The company file's own problem is already reported by its file check.
        }
    }

    // One active duty record per kind and period (ALCODA) or day (ALCOPP, kinds E and
    // R: credits may be several on one day); one active guarantee record per day.
    void checkDutyRecords() {
        const bool alcopp = haveCompany_ && isAlcopp(company_);
        for (const auto& [year, source] : dutyYears_) {
            std::map<std::string, std::size_t> firstOf;
            for (std::size_t i = 0; i < source.block.count(); ++i) {
                const MovementView r(source.block.at(i));
                if (r.STATO() == 'C' || r.TIPOPE() != 'I') continue;
                const char kind = r.TIPREC();
                if (kind != 'D' && kind != 'E' && kind != 'R') continue;
                if (alcopp && kind == 'D') continue;
                const std::string when = alcopp ? "giorno " + formatDate(r.DATMOV())
                                                : "periodo " + trimmed(r.padded(movement_offset::CODPAE, 2));
                duplicateActive(source.file, firstOf, std::string(1, kind) + " " + when, i, r.NUMREC(), source.block);
            }
        }
        for (const auto& [year, source] : guaranteeYears_) {
            std::map<std::string, std::size_t> firstOf;
            for (std::size_t i = 0; i < source.block.count(); ++i) {
                const MovementView r(source.block.at(i));
                if (r.STATO() == 'C' || r.TIPOPE() != 'I' || r.TIPREC() != 'F') continue;
                duplicateActive(source.file, firstOf, "F giorno " + formatDate(r.DATMOV()), i, r.NUMREC(), source.block);
            }
        }
    }

    void duplicateActive(const fs::path& file, std::map<std::string, std::size_t>& firstOf, const std::string& key,
                         std::size_t i, std::int32_t number, const RecordBlock& block) {
        const auto [it, first] = firstOf.emplace(key, i);
        if (first) return;
        problem(file, i, number, "secondo record attivo di tipo " + key + " (il primo è il n. " +
                                     std::to_string(MovementView(block.at(it->second)).NUMREC()) + ")");
    }

    // The stock of every register with an active initial stock, at the end of every day
    // that has a movement of it, summed as the windows sum it (the initial stock, then
    // every active load and unload of the years from the initial stock's on).
    void checkStocks() {
        struct Running {
            std::size_t stockIndex;
            double kg, lit;
        };
        std::map<std::string, Running> registers;
        for (std::size_t i = 0; i < initialStocks_.block.count(); ++i) {
            const MovementView r(initialStocks_.block.at(i));
            if (r.STATO() == 'C' || r.TIPOPE() != 'I') continue;
            registers.emplace(registerName(r), Running{i, roundTo(r.QTAKG(), 5), roundTo(r.QTALIT(), 5)});
        }
        if (registers.empty()) return;
        std::map<std::string, int> firstYear;
        for (const auto& [key, run] : registers) firstYear[key] = yearOf(MovementView(initialStocks_.block.at(run.stockIndex)).DATMOV());
        std::set<std::string> reported;
        for (const auto& [year, source] : registerYears_) {
            // Day by day: the deltas of each register, then the end-of-day check.
            struct DayEntry {
                double kg = 0, lit = 0;
                std::size_t lastIndex = 0;
            };
            std::map<std::pair<double, std::string>, DayEntry> days;
            for (std::size_t i = 0; i < source.block.count(); ++i) {
                const MovementView r(source.block.at(i));
                const char tipmov = r.TIPMOV();
                if ((tipmov != 'C' && tipmov != 'S') || r.TIPOPE() != 'I' || r.STATO() == 'C') continue;
                const std::string key = registerName(r);
                const auto reg = registers.find(key);
                if (reg == registers.end() || year < firstYear[key]) continue;
                if (!std::isfinite(r.QTAKG()) || !std::isfinite(r.QTALIT())) continue; // reported by the file check
                const double sign = tipmov == 'S' ? -1 : 1;
                DayEntry& day = days[{r.DATMOV(), key}];
                day.kg += sign * roundTo(r.QTAKG(), 5);
                day.lit += sign * roundTo(r.QTALIT(), 5);
                day.lastIndex = i;
            }
            for (const auto& [when, day] : days) {
                Running& run = registers.at(when.second);
                run.kg += day.kg;
                run.lit += day.lit;
                if ((run.kg >= -kQuantityTolerance && run.lit >= -kQuantityTolerance) || reported.count(when.second)) continue;
                reported.insert(when.second);
                const MovementView last(source.block.at(day.lastIndex));
                const bool kg = run.kg < -kQuantityTolerance;
                problem(source.file, day.lastIndex, last.NUMREC(),
                        "giacenza del registro " + when.second + " negativa a fine giornata " + formatDate(when.first) +
                            ": " + (kg ? "QTAKG " + formatNumber(run.kg, 0, 5) : "QTALIT " + formatNumber(run.lit, 0, 5)));
            }
        }
    }

    // Every record marked with a flow (NUMFLU > 0) is carried by the flow file of its
    // label in the folder of files to sign, and every record line of that file is a
    // marked record. A flow whose records were all reactivated has no marked record
    // left and is not looked at. When only the signed copy is left (the clerk cleared
    // the folder of files to sign) the flow is there, but its lines cannot be read
    // without opening the signature: that is the transmission's check.
    void checkFlows() {
        struct Marked {
            fs::path file;
            std::size_t index;
            std::int32_t number;
            std::string line;
        };
        std::map<std::pair<double, std::int32_t>, std::vector<Marked>> flows;
        const FlowCompany company = haveCompany_ ? FlowCompany::of(company_) : FlowCompany{};
        auto collect = [&](const Source& source) {
            for (std::size_t i = 0; i < source.block.count(); ++i) {
                const MovementView r(source.block.at(i));
                if (r.NUMFLU() <= 0) continue;
                const Movement m = decodeMovement(source.block.at(i));
                flows[{m.DATFLU, m.NUMFLU}].push_back({source.file, i, m.NUMREC, flowRecordLine(m, company)});
            }
        };
        collect(initialStocks_);
        for (const auto* years : {&registerYears_, &guaranteeYears_, &dutyYears_})
            for (const auto& [year, source] : *years) collect(source);
        if (flows.empty()) return;
        if (!haveCompany_) {
            problem(folders_.company(), "dati della ditta mancanti: i flussi dei record segnati non si possono controllare");
            return;
        }
        ApplPaths paths;
        try {
            paths = readApplConfig(folders_);
        } catch (const IoError&) {
            // APPL.CFG's own problem is reported by its file check; the flows cannot be found.
        }
        const fs::path signFolder = resolvedApplFolder(folders_, paths[1]);
        const fs::path signedFolder = resolvedApplFolder(folders_, paths[2]);
        for (const auto& [key, records] : flows) {
            const std::string name = flowFileName(company.userCode, key.second, key.first);
            const std::string label = "flusso " + flowLabel(key.second, key.first) + ": ";
            const fs::path flowFile = signFolder.empty() ? fs::path(name) : signFolder / name;
            std::string bytes;
            bool found = false;
            try {
                if (!signFolder.empty() && fileExists(flowFile)) {
                    bytes = readRecords(flowFile, 1, IfMissing::Empty).bytes();
                    found = true;
                }
            } catch (const IoError& e) {
                problem(flowFile, label + e.what());
                continue;
            }
            if (!found && !signedFolder.empty() && fileExists(signedFolder / (name + ".p7m"))) continue;
            if (!found) {
                const Marked& first = records.front();
                problem(first.file, first.index, first.number,
                        label + std::to_string(records.size()) + " record segnati con questo flusso ma il file " +
                            flowFile.string() + " non c'è" +
                            (signFolder.empty() ? " (percorso dei file da firmare non indicato)" : ""));
                continue;
            }
            std::multiset<std::string> lines;
            const std::string text = decode1252(bytes);
            std::size_t lineNumber = 0;
            std::map<std::string, std::size_t> lineNumberOf;
            for (std::size_t at = 0; at < text.size();) {
                std::size_t end = text.find("\r\n", at);
                if (end == std::string::npos) end = text.size();
                ++lineNumber;
                if (lineNumber > 2) { // after the head line and the summary line "A"
                    lines.insert(text.substr(at, end - at));
                    lineNumberOf.emplace(text.substr(at, end - at), lineNumber);
                }
                at = end + 2;
            }
            for (const Marked& m : records) {
                const auto it = lines.find(m.line);
                if (it == lines.end())
                    problem(m.file, m.index, m.number, label + "record segnato con il flusso ma assente dal file " + flowFile.string());
                else
                    lines.erase(it);
            }
            for (const std::string& extra : lines)
                problem(flowFile, "riga " + std::to_string(lineNumberOf[extra]) + ": " + label +
                                      "la riga non corrisponde a nessun record segnato con questo flusso");
        }
    }

    const Folders& folders_;
    BooksAudit audit_;
    int files_ = 0;
    Source initialStocks_;
    std::map<int, Source> registerYears_, dutyYears_, guaranteeYears_;
    AddressRecord company_;
    bool haveCompany_ = false;
};

} // namespace

DataFileKind dataFileKindOf(const fs::path& file) {
    const std::string name = file.filename().string();
    if (startsWith(name, "UTENTE.") || (startsWith(name, "INDIRIZZI_") && endsWith(name, ".DAT")))
        return DataFileKind::Address;
    for (const char* ext : {".TAB", ".STR", ".CFG", ".PRT", ".APP"})
        if (endsWith(name, ext)) return DataFileKind::Table;
    if (name == "REGISTRI.DAT") return DataFileKind::Table;
    for (const char* ext : {".RGM", ".DER", ".GAR", ".MOV"})
        if (endsWith(name, ext)) return DataFileKind::Movement;
    for (const char* n : {"GIACENZE.DAT", "COSTANTI.DAT", "APPOGGIO.DAT", "M.DAT", "L.DAT", "F.DAT", "N.DAT", "GARANZIA.DAT"})
        if (name == n) return DataFileKind::Movement;
    return DataFileKind::Unknown;
}

std::size_t recordSizeOf(DataFileKind kind) {
    switch (kind) {
    case DataFileKind::Movement: return kMovementSize;
    case DataFileKind::Address: return kAddressSize;
    default: return kTableSize;
    }
}

BooksAudit auditBooks(const Folders& folders) { return Auditor(folders).run(); }

int booksProblemCount(const Folders& folders) { return static_cast<int>(auditBooks(folders).problems.size()); }

std::string auditLine(const AuditProblem& problem) { return problem.file.string() + ": " + problem.text; }

std::string auditLine(const AuditProblem& problem, const fs::path& folder) {
    const std::string file = problem.file.lexically_normal().string();
    std::string prefix = folder.lexically_normal().string();
    if (!prefix.empty() && prefix.back() != '/' && prefix.back() != '\\') prefix += fs::path::preferred_separator;
    if (file.rfind(prefix, 0) != 0) return auditLine(problem);
    return file.substr(prefix.size()) + ": " + problem.text;
}

std::string auditSummaryLine(const BooksAudit& audit) {
    if (audit.problems.empty()) return "nessun problema (" + std::to_string(audit.filesChecked) + " file controllati)";
    return std::to_string(audit.problems.size()) + " problemi trovati";
}

std::string fileAgeText(const fs::path& file) {
    std::error_code ec;
    const auto changed = fs::last_write_time(file, ec);
    if (ec) return "";
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(fs::file_time_type::clock::now() - changed).count();
    if (seconds < 120) return std::to_string(seconds < 0 ? 0 : seconds) + " secondi";
    if (seconds < 2 * 3600) return std::to_string(seconds / 60) + " minuti";
    if (seconds < 2 * 86400) return std::to_string(seconds / 3600) + " ore";
    return std::to_string(seconds / 86400) + " giorni";
}

std::string leftoverMarkerAdvice(const fs::path& file) {
    return "Un altro utente sta scrivendo il file, oppure il segnalino è rimasto da un programma che si è "
           "interrotto: se nessuno sta usando il file, rimuoverlo con \"accise-cli unlock " +
           file.string() + "\"";
}

} // namespace accise
