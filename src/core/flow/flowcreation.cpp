#include "core/flow/flowcreation.h"

#include <cmath>
#include <map>
#include <memory>
#include <stdexcept>
#include <system_error>

#include "core/files/binary.h"
#include "core/files/ioerror.h"
#include "core/files/lock.h"
#include "core/files/recordchecks.h"
#include "core/files/recordfile.h"
#include "core/flow/flowcheck.h"
#include "core/flow/flowlist.h"
#include "core/records/movementview.h"
#include "core/tables/company.h"
#include "core/tables/dates.h"

namespace accise {
namespace {

namespace off = movement_offset;

struct TickedCopy {
    std::size_t line;
    std::string bytes; // as copied into the selection file
    Movement record;
};

// The ticked copies of a selection file, grouped by the file they come from.
std::map<FlowSource, std::vector<TickedCopy>> tickedCopies(const fs::path& selection,
                                                           const std::vector<std::size_t>& ticked) {
    const RecordBlock block = readRecords(selection, kMovementSize);
    std::map<FlowSource, std::vector<TickedCopy>> bySource;
    for (std::size_t line : ticked) {
        if (line >= block.count()) continue;
        TickedCopy c{line, std::string(block.at(line)), decodeMovement(block.at(line))};
        const FlowSource source = flowSourceOf(c.record);
        bySource[source].push_back(std::move(c));
    }
    return bySource;
}

// Position of the first record of each NUMREC.
std::map<std::int32_t, std::size_t> positionsByNumber(const RecordBlock& block) {
    std::map<std::int32_t, std::size_t> at;
    for (std::size_t i = 0; i < block.count(); ++i) at.emplace(MovementView(block.at(i)).NUMREC(), i);
    return at;
}

std::string withWholeDay(std::string_view stored) {
    std::string bytes(stored);
    binary::putDouble(bytes.data() + off::DATMOV, std::round(binary::getDouble(bytes.data() + off::DATMOV)));
    return bytes;
}

void setMarks(std::string& content, std::size_t index, std::int32_t number, double date) {
    char* record = content.data() + index * kMovementSize;
    binary::putInt32(record + off::NUMFLU, number);
    binary::putDouble(record + off::DATFLU, date);
}

// A file whose records are being changed, with what it held before.
struct FileChange {
    fs::path file;
    std::string before;
    std::string after;
    bool written = false;
};

void restore(std::vector<FileChange>& changes) {
    for (FileChange& c : changes) {
        if (!c.written) continue;
        try {
            replaceFileContent(c.file, c.before);
        } catch (const IoError&) {
            // The first error is the one reported; this file keeps its marks.
        }
    }
}

void removeQuietly(const fs::path& file) {
    std::error_code ec;
    fs::remove(file, ec);
}

bool carriesFlow(const fs::path& file, double date, int number) {
    const RecordBlock block = readRecords(file, kMovementSize, IfMissing::Empty);
    for (std::size_t i = 0; i < block.count(); ++i) {
        const MovementView r(block.at(i));
        if (r.NUMFLU() == number && std::round(binary::getDouble(block.at(i).data() + off::DATFLU)) == std::round(date))
            return true;
    }
    return false;
}

// The first carried record holding a control character, as its list line and fields.
std::string controlCharacterRefusal(const std::map<std::size_t, Movement>& carried, bool alcopp) {
    for (const auto& [line, record] : carried) {
        const std::vector<std::string> fields = controlCharacterFieldsOf(record);
        if (fields.empty()) continue;
        std::string names;
        for (const std::string& f : fields) names += (names.empty() ? "" : ", ") + f;
        return "IL RECORD \"" + flowListLine(record, alcopp) + "\" CONTIENE UN A CAPO, UN TAB O UN ALTRO CARATTERE "
               "NON AMMESSO NEL CAMPO " + names + ": CORREGGERLO O TOGLIERLO DALLA SELEZIONE. NESSUN RECORD E' STATO "
               "MARCATO.";
    }
    return {};
}

} // namespace

bool flowNumberInUse(const Folders& folders, int year, double date, int number) {
    std::vector<int> years = {year};
    if (yearOf(date) != year) years.push_back(yearOf(date));
    if (carriesFlow(folders.initialStocks(), date, number)) return true;
    for (int y : years)
        for (FlowSource source : {FlowSource::Register, FlowSource::Guarantees, FlowSource::Duty})
            if (carriesFlow(flowSourcePath(folders, y, source), date, number)) return true;
    return false;
}

std::string flowNumberInUseMessage(const std::string& flowName) {
    return "IL FLUSSO " + flowName + " E' GIA' STATO CREATO E I SUOI RECORD NE PORTANO ANCORA IL NUMERO: NON VIENE "
           "SOVRASCRITTO. SCEGLIERE UN ALTRO NUMERO, OPPURE RIATTIVARE PRIMA I SUOI RECORD CON \"Azzera i dati di "
           "invio di un flusso\".";
}

std::string leftOutMessage(const std::vector<std::string>& leftOut) {
    std::string text = "I SEGUENTI RECORD SONO STATI MODIFICATI, CANCELLATI O INVIATI DA UN ALTRO UTENTE DOPO LA "
                       "PREPARAZIONE DELL'ELENCO E NON SONO STATI INSERITI NEL FLUSSO:";
    for (const std::string& line : leftOut) text += "\r" + line;
    text += "\r\rRICOSTRUIRE L'ELENCO PER INVIARLI.";
    return text;
}

FlowResult createFlow(const Folders& folders, const AddressRecord& company, const FlowRequest& request,
                      Prompt& lockPrompt) {
    if (request.number < 1 || request.number > 99) throw std::invalid_argument("numero del flusso fuori da 1..99");
    FlowResult result;
    const auto bySource = tickedCopies(selectionFile(folders), request.ticked);
    if (bySource.empty()) return result;

    // Every lock first, in the fixed order, held until the end.
    std::vector<std::unique_ptr<FileLock>> locks;
    std::vector<FileChange> changes;
    std::map<std::size_t, Movement> carried; // by list line, so the flow keeps the list order
    for (FlowSource source : kFlowSources) {
        const auto it = bySource.find(source);
        if (it == bySource.end()) continue;
        const fs::path file = flowSourcePath(folders, request.year, source);
        locks.push_back(std::make_unique<FileLock>(file, lockPrompt));
        const RecordBlock block = readRecords(file, kMovementSize);
        requireWholeRecords(file, block);
        const auto positions = positionsByNumber(block);
        FileChange change{file, block.bytes(), block.bytes()};
        for (const TickedCopy& copy : it->second) {
            const auto at = positions.find(copy.record.NUMREC);
            if (at == positions.end() || withWholeDay(block.at(at->second)) != copy.bytes) {
                result.leftOut.push_back(flowListLine(copy.record, isAlcopp(company)));
                continue;
            }
            setMarks(change.after, at->second, request.number, request.date);
            carried.emplace(copy.line, copy.record);
        }
        if (change.after != change.before) changes.push_back(std::move(change));
    }
    if (carried.empty()) return result;
    const FlowCompany flowCompany = FlowCompany::of(company);
    const std::string name = flowFileName(flowCompany.userCode, request.number, request.date);
    // Re-read under the locks: another desk may have created this number meanwhile.
    if (flowNumberInUse(folders, request.year, request.date, request.number)) {
        result.refused = flowNumberInUseMessage(name);
        return result;
    }
    result.refused = controlCharacterRefusal(carried, isAlcopp(company));
    if (!result.refused.empty()) return result;

    std::vector<Movement> records;
    records.reserve(carried.size());
    for (auto& [line, record] : carried) records.push_back(record);
    const fs::path finalPath = request.signFolder / name;
    fs::path beside = finalPath;
    beside += ".~nuovo";

    writeWholeFile(beside, flowFileBytes(flowCompany, name, records));
    // A flow that fails its own check would be refused by the agency: nothing is marked.
    const std::vector<std::string> problems = checkFlowFile(readRecords(beside, 1).bytes());
    if (!problems.empty()) {
        removeQuietly(beside);
        result.refused = "IL FLUSSO " + name + " NON SUPERA IL CONTROLLO DEL FORMATO E NON E' STATO CREATO; NESSUN "
                         "RECORD E' STATO MARCATO:";
        for (const std::string& p : problems) result.refused += "\r" + p;
        return result;
    }
    // The old signed copy goes first: left there, it would be found and sent as this flow.
    if (!request.signedFolder.empty()) {
        const fs::path oldSigned = request.signedFolder / (name + ".p7m");
        std::error_code ec;
        if (fs::exists(oldSigned, ec) && (!fs::remove(oldSigned, ec) || ec)) {
            removeQuietly(beside);
            result.refused = "IMPOSSIBILE ELIMINARE IL VECCHIO FILE FIRMATO " + oldSigned.string() + " (" +
                             (ec ? ec.message() : std::string("non rimosso")) +
                             "): CHIUDERE IL PROGRAMMA CHE LO TIENE APERTO O TOGLIERNE LA PROTEZIONE E RIPROVARE. "
                             "NESSUN RECORD E' STATO MARCATO.";
            return result;
        }
    }
    try {
        for (FileChange& c : changes) {
            replaceFileContent(c.file, c.after);
            c.written = true;
        }
        std::error_code ec;
        fs::rename(beside, finalPath, ec);
        if (ec) throw IoError(finalPath, "sostituzione: " + ec.message());
    } catch (...) {
        restore(changes);
        removeQuietly(beside);
        throw;
    }
    result.flowFile = finalPath;
    result.counts = countFlowRecords(records);
    return result;
}

void reactivateFlowRecords(const Folders& folders, int year, const std::vector<std::size_t>& ticked,
                           Prompt& lockPrompt, int& reactivated) {
    const auto bySource = tickedCopies(reactivationFile(folders), ticked);
    for (FlowSource source : kFlowSources) {
        const auto it = bySource.find(source);
        if (it == bySource.end()) continue;
        const fs::path file = flowSourcePath(folders, year, source);
        FileLock lock(file, lockPrompt);
        const RecordBlock block = readRecords(file, kMovementSize);
        requireWholeRecords(file, block);
        const auto positions = positionsByNumber(block);
        std::string content = block.bytes();
        int cleared = 0;
        for (const TickedCopy& copy : it->second) {
            const auto at = positions.find(copy.record.NUMREC);
            if (at == positions.end()) continue;
            const MovementView r(block.at(at->second));
            const double datflu = binary::getDouble(block.at(at->second).data() + off::DATFLU);
            if (r.NUMFLU() != copy.record.NUMFLU || std::round(datflu) != std::round(copy.record.DATFLU)) continue;
            setMarks(content, at->second, 0, 0);
            ++cleared;
        }
        if (cleared == 0) continue;
        replaceFileContent(file, content);
        reactivated += cleared;
    }
}

} // namespace accise
