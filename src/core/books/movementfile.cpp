#include "core/books/movementfile.h"

#include <algorithm>
#include <cmath>

#include "core/files/ioerror.h"
#include "core/files/lock.h"
#include "core/files/ioerror.h"
#include "core/files/recordchecks.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/records/movementview.h"

namespace accise {
namespace {

namespace off = movement_offset;

double wholeDay(double date) { return std::round(date); } // halves away from zero

char flagOf(const std::string& text) { return text.empty() ? ' ' : text[0]; }

bool isDutyKind(char tiprec) { return tiprec == 'D' || tiprec == 'E' || tiprec == 'R'; }

using NewRecord = AppendScan::Placing;

NewRecord newRecordOf(const Movement& m) {
    return {wholeDay(m.DATMOV), flagOf(m.TIPREC), flagOf(m.TIPMOV), m.NUMCPR, padded1252(m.CODPAE, 2)};
}

bool goesBefore(const NewRecord& n, const MovementView& r, bool alcopp) {
    const double rDate = wholeDay(r.DATMOV());
    if ((n.tiprec == 'C' || n.tiprec == 'F') && rDate > n.date) return true;
    if (isDutyKind(n.tiprec)) {
        if (alcopp) {
            if (rDate > n.date) return true;
        } else if (r.padded(off::CODPAE, 2) > n.codpae) {
            return true;
        }
    }
    if (n.tiprec == 'C' && rDate == n.date) {
        const char rMov = r.TIPMOV();
        if (rMov == n.tipmov && r.NUMCPR() > n.numcpr) return true;
        if (n.tipmov == 'C' && (rMov == 'A' || rMov == 'S')) return true;
        if (n.tipmov == 'S' && rMov == 'A') return true;
    }
    return false;
}

// The period (or day) rule of the replace: an unsent insertion of the same kind and period.
bool samePeriodUnsent(const NewRecord& n, const MovementView& r, bool alcopp) {
    if (r.NUMFLU() != 0 || r.STATO() == 'C' || r.TIPOPE() != 'I') return false;
    const double rDate = wholeDay(r.DATMOV());
    if (rDate == n.date && n.tiprec == 'F') return true;
    if (!alcopp && isDutyKind(n.tiprec) && r.TIPREC() == n.tiprec && r.fieldEquals(off::CODPAE, 2, n.codpae))
        return true;
    if (alcopp && (n.tiprec == 'E' || n.tiprec == 'R') && r.TIPREC() == n.tiprec && rDate == n.date) return true;
    return false;
}

// A replacement ("R") belongs to its correction group: overwriting it would leave the
// group without it, and undoing the correction would bring the superseded record
// back beside the new one. Only a plain unsent record is replaced.
bool inCorrectionGroup(const MovementView& r) { return r.STATO() == 'R' || r.NUMRIF() != 0; }

bool replaces(const NewRecord& n, const MovementView& r, bool alcopp) {
    return samePeriodUnsent(n, r, alcopp) && !inCorrectionGroup(r);
}

// A new record whose period holds an unsent replacement is refused before anything is
// written: the replacement is modified as a replacement, never by a plain append.
void refuseOverCorrection(const fs::path& file, const NewRecord& n, const MovementView& r, bool alcopp) {
    if (samePeriodUnsent(n, r, alcopp) && inCorrectionGroup(r))
        throw IoError(file, "record n. " + std::to_string(r.NUMREC()) +
                                ": il periodo ha una rettifica non ancora inviata; si modifica la rettifica, "
                                "non la si sostituisce. Nessun record scritto");
}

std::string withRecordAt(const RecordBlock& block, std::size_t position, const std::string& record,
                         bool overwrite) {
    const std::size_t size = block.recordSize();
    std::string content;
    content.reserve(block.bytes().size() + size);
    content.append(block.bytes(), 0, position * size);
    content.append(record);
    content.append(block.bytes(), (position + (overwrite ? 1 : 0)) * size);
    return content;
}

// The file's records while a batch is placed: the records read, then the batch's
// records that went to the end. Only when a record has to go between others is the
// whole content copied, so a plain append writes nothing but its new records.
class PendingRecords {
public:
    explicit PendingRecords(const RecordBlock& block) : block_(block), readCount_(block.count()) {}

    std::size_t count() const { return rewritten_ ? whole_.size() / kMovementSize : readCount_ + tail_.size() / kMovementSize; }
    std::string_view at(std::size_t i) const {
        if (rewritten_) return std::string_view(whole_).substr(i * kMovementSize, kMovementSize);
        if (i < readCount_) return block_.at(i);
        return std::string_view(tail_).substr((i - readCount_) * kMovementSize, kMovementSize);
    }
    void put(std::size_t position, const std::string& record, bool overwrite) {
        if (!rewritten_ && position == count() && !overwrite) {
            tail_ += record;
            return;
        }
        if (!rewritten_) {
            whole_.reserve(block_.bytes().size() + tail_.size() + kMovementSize);
            whole_.append(block_.bytes(), 0, readCount_ * kMovementSize);
            whole_ += tail_;
            rewritten_ = true;
        }
        if (overwrite) std::copy(record.begin(), record.end(), whole_.begin() + static_cast<std::ptrdiff_t>(position * kMovementSize));
        else whole_.insert(position * kMovementSize, record);
    }
    // The records added to an empty start, as they will stand.
    const std::string& added() const { return rewritten_ ? whole_ : tail_; }
    void write(const fs::path& file) const {
        if (rewritten_) replaceFileContent(file, whole_);
        else if (!tail_.empty()) writeBytesAt(file, readCount_ * kMovementSize, tail_);
    }

private:
    const RecordBlock& block_;
    std::size_t readCount_;
    std::string tail_;
    std::string whole_;
    bool rewritten_ = false;
};

// Past the cancellation and replacement that follow a corrected record: a new
// record goes before a group or after it, never inside.
std::size_t outsideCorrectionGroups(const PendingRecords& records, std::size_t position) {
    while (position < records.count() && MovementView(records.at(position)).NUMRIF() != 0) ++position;
    return position;
}

// Numbers, places and adds one record to the pending records.
AppendResult placeRecord(const fs::path& file, PendingRecords& records, Movement record, bool alcopp,
                         std::int32_t& maxRec, std::int32_t& maxOpe) {
    if (record.NUMREC == 0) {
        record.NUMREC = nextRecordNumber(file, maxRec);
        record.NUMOPE = nextRecordNumber(file, maxOpe);
    }
    maxRec = std::max(maxRec, record.NUMREC);
    const char tipope = flagOf(record.TIPOPE);
    if (tipope == 'I' || tipope == 'A') maxOpe = std::max(maxOpe, record.NUMOPE);

    const NewRecord n = newRecordOf(record);
    AppendResult result{record.NUMREC, record.NUMOPE, records.count(), false};
    for (std::size_t i = 0; i < records.count(); ++i) {
        const MovementView r(records.at(i));
        refuseOverCorrection(file, n, r, alcopp);
        if (goesBefore(n, r, alcopp)) {
            result.position = outsideCorrectionGroups(records, i);
            break;
        }
        if (replaces(n, r, alcopp)) {
            result.position = i;
            result.replaced = true;
            break;
        }
    }
    records.put(result.position, encodeMovement(record), result.replaced);
    return result;
}

// Pads the records as stored and refuses numbers that are not finite and texts with
// control characters, before any lock.
void prepareRecords(const fs::path& file, std::vector<Movement>& records) {
    for (Movement& record : records) {
        requireNoControlCharacters(file, record); // before padding turns a C1 character into "?"
        padMovement(record);
        record.DATMOV = wholeDay(record.DATMOV);
        requireFiniteNumbers(file, encodeMovement(record));
    }
}

// The common case, decided by one pass over the file: no record of the batch goes
// between the file's records, so the batch is written after them and the file is
// never held whole in memory. Nothing (nullopt) when some record belongs between.
std::optional<std::vector<AppendResult>> appendAfterTheFile(const fs::path& file, std::vector<Movement>& records,
                                                           bool alcopp, const AppendScan& scan) {
    if (scan.between()) return std::nullopt;
    requireWholeRecords(file, scan.count() * kMovementSize + scan.tailBytes(), kMovementSize);

    // The batch among itself: placed as in a file of its own, then written after the file's records.
    const RecordBlock none({}, kMovementSize);
    PendingRecords pending(none);
    std::int32_t maxRec = scan.maxNUMREC(), maxOpe = scan.maxNUMOPE();
    std::vector<AppendResult> results;
    results.reserve(records.size());
    for (Movement& record : records) {
        AppendResult r = placeRecord(file, pending, std::move(record), alcopp, maxRec, maxOpe);
        r.position += scan.count();
        results.push_back(r);
    }
    writeBytesAt(file, static_cast<std::uint64_t>(scan.count()) * kMovementSize, pending.added());
    return results;
}

// The append under the lock the caller holds, with the file read whole: a record goes
// between the others.
std::vector<AppendResult> appendReadingWhole(const fs::path& file, std::vector<Movement>& records, bool alcopp) {
    const RecordBlock block = readRecords(file, kMovementSize, IfMissing::Empty);
    requireWholeRecords(file, block);

    std::int32_t maxRec = 0, maxOpe = 0;
    for (std::size_t i = 0; i < block.count(); ++i) {
        const MovementView r(block.at(i));
        maxRec = std::max(maxRec, r.NUMREC());
        const char tipope = r.TIPOPE();
        if (r.STATO() != 'C' && (tipope == 'I' || tipope == 'A')) maxOpe = std::max(maxOpe, r.NUMOPE());
    }
    PendingRecords pending(block);
    std::vector<AppendResult> results;
    results.reserve(records.size());
    for (Movement& record : records) results.push_back(placeRecord(file, pending, std::move(record), alcopp, maxRec, maxOpe));
    pending.write(file);
    return results;
}

// The batch placed and written after one pass over the file; the caller holds the lock.
std::vector<AppendResult> appendPrepared(const fs::path& file, std::vector<Movement>& records, bool alcopp) {
    AppendScan scan(records, alcopp);
    RecordScanner scanner(file, kMovementSize);
    for (std::string_view block = scanner.nextBlock(); !block.empty() && !scan.between(); block = scanner.nextBlock())
        for (std::size_t at = 0; at < block.size(); at += kMovementSize) scan.add(block.substr(at, kMovementSize));
    scan.setTailBytes(scanner.tailBytes());
    if (auto results = appendAfterTheFile(file, records, alcopp, scan)) return *results;
    return appendReadingWhole(file, records, alcopp);
}

} // namespace

AppendResult appendMovement(const fs::path& file, Movement record, bool alcopp, Prompt& prompt) {
    return appendMovements(file, {std::move(record)}, alcopp, prompt).front();
}

AppendScan::AppendScan(const std::vector<Movement>& records, bool alcopp) : alcopp_(alcopp) {
    for (const Movement& m : records) news_.push_back(newRecordOf(m));
}

void AppendScan::add(std::string_view bytes) {
    const MovementView r(bytes);
    ++count_;
    maxRec_ = std::max(maxRec_, r.NUMREC());
    const char tipope = r.TIPOPE();
    if (r.STATO() != 'C' && (tipope == 'I' || tipope == 'A')) maxOpe_ = std::max(maxOpe_, r.NUMOPE());
    if (between_) return;
    for (const NewRecord& n : news_)
        // A period held by a correction group is met again by the whole reading, which refuses it.
        if (goesBefore(n, r, alcopp_) || samePeriodUnsent(n, r, alcopp_)) between_ = true;
}

bool AppendScan::placesAlike(const std::vector<Movement>& records) const {
    if (records.size() != news_.size()) return false;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const NewRecord n = newRecordOf(records[i]);
        const NewRecord& o = news_[i];
        if (n.date != o.date || n.tiprec != o.tiprec || n.tipmov != o.tipmov || n.numcpr != o.numcpr)
            return false;
        // The country places only duty records (a movement's is checked after the pass).
        if (isDutyKind(o.tiprec) && n.codpae != o.codpae) return false;
    }
    return true;
}

std::vector<AppendResult> appendMovements(const fs::path& file, std::vector<Movement> records, bool alcopp,
                                          Prompt& prompt) {
    // A record the file cannot take is refused before the lock is even taken.
    prepareRecords(file, records);
    FileLock lock(file, prompt);
    return appendPrepared(file, records, alcopp);
}

std::vector<AppendResult> appendMovementsLocked(const fs::path& file, std::vector<Movement> records, bool alcopp) {
    prepareRecords(file, records);
    return appendPrepared(file, records, alcopp);
}

std::vector<AppendResult> appendScanned(const fs::path& file, std::vector<Movement> records, bool alcopp,
                                        const AppendScan& scan) {
    prepareRecords(file, records);
    // Records that would place otherwise than the pass assumed are placed from the file itself.
    if (scan.placesAlike(records))
        if (auto results = appendAfterTheFile(file, records, alcopp, scan)) return *results;
    return appendReadingWhole(file, records, alcopp);
}

AppendResult appendToContent(const fs::path& file, std::string& content, Movement record, bool alcopp) {
    requireNoControlCharacters(file, record); // before padding turns a C1 character into "?"
    padMovement(record);
    record.DATMOV = wholeDay(record.DATMOV);
    requireFiniteNumbers(file, encodeMovement(record));
    const RecordBlock block(std::move(content), kMovementSize);
    std::int32_t maxRec = 0, maxOpe = 0;
    for (std::size_t i = 0; i < block.count(); ++i) {
        const MovementView r(block.at(i));
        maxRec = std::max(maxRec, r.NUMREC());
        const char tipope = r.TIPOPE();
        if (r.STATO() != 'C' && (tipope == 'I' || tipope == 'A')) maxOpe = std::max(maxOpe, r.NUMOPE());
    }
    PendingRecords pending(block);
    const AppendResult result = placeRecord(file, pending, std::move(record), alcopp, maxRec, maxOpe);
    // A record put after the others is kept apart; one put between them rewrote the whole.
    const bool atTheEnd = result.position == block.count() && !result.replaced;
    content = atTheEnd ? block.bytes() + pending.added() : pending.added();
    return result;
}

bool storedAsLoaded(std::string_view stored, const Movement& loaded) {
    Movement expected = loaded;
    padMovement(expected);
    return encodeMovement(decodeMovement(stored)) == encodeMovement(expected);
}

DeleteOutcome deleteMovement(const fs::path& file, std::int32_t numrec, Prompt& prompt,
                             const std::optional<Movement>& loaded) {
    FileLock lock(file, prompt);
    return deleteMovementLocked(file, numrec, loaded);
}

DeleteOutcome deleteMovementLocked(const fs::path& file, std::int32_t numrec, const std::optional<Movement>& loaded) {
    const RecordBlock block = readRecords(file, kMovementSize, IfMissing::Empty);
    for (std::size_t i = 0; i < block.count(); ++i) {
        const MovementView r(block.at(i));
        if (r.NUMREC() != numrec) continue;
        if (loaded && !storedAsLoaded(block.at(i), *loaded)) return DeleteOutcome::NotFound;
        if (r.STATO() == 'C' || r.TIPOPE() == 'C') return DeleteOutcome::PartOfCorrection;
        if (r.NUMFLU() > 0) return DeleteOutcome::Sent;
        requireWholeRecords(file, block);
        std::string content = block.bytes();
        content.erase(i * kMovementSize, kMovementSize);
        replaceFileContent(file, content);
        return DeleteOutcome::Deleted;
    }
    return DeleteOutcome::NotFound;
}

void insertMovementAt(const fs::path& file, std::size_t position, const Movement& record) {
    const RecordBlock block = readRecords(file, kMovementSize);
    requireWholeRecords(file, block);
    if (position >= block.count()) {
        writeRecordAt(file, block.count(), encodeMovement(record));
        return;
    }
    replaceFileContent(file, withRecordAt(block, position, encodeMovement(record), false));
}

std::vector<Movement> readMovements(const fs::path& file) {
    const RecordBlock block = readRecords(file, kMovementSize, IfMissing::Empty);
    std::vector<Movement> records(block.count());
    for (std::size_t i = 0; i < block.count(); ++i) decodeMovement(block.at(i), records[i]);
    return records;
}

CorrectionResult correctMovement(const fs::path& file, std::int32_t numrec, const std::string& note,
                                 const std::optional<Movement>& replacement, Prompt& prompt,
                                 ReplacementNUMOPE numope, const std::optional<Movement>& loaded) {
    if (replacement) requireFiniteNumbers(file, encodeMovement(*replacement));
    if (replacement) requireNoControlCharacters(file, *replacement);
    if (containsControlCharacter(note)) throw IoError(file, controlCharacterMessage({"ANNOTA"}));
    FileLock lock(file, prompt);
    return correctMovementLocked(file, numrec, note, replacement, numope, loaded);
}

CorrectionResult correctMovementLocked(const fs::path& file, std::int32_t numrec, const std::string& note,
                                       const std::optional<Movement>& replacement, ReplacementNUMOPE numope,
                                       const std::optional<Movement>& loaded) {
    if (replacement) requireFiniteNumbers(file, encodeMovement(*replacement));
    const RecordBlock block = readRecords(file, kMovementSize, IfMissing::Empty);
    requireWholeRecords(file, block);

    std::size_t index = block.count();
    std::int32_t maxRec = 0;
    for (std::size_t i = 0; i < block.count(); ++i) {
        const MovementView r(block.at(i));
        maxRec = std::max(maxRec, r.NUMREC());
        if (index == block.count() && r.NUMREC() == numrec) index = i;
    }
    CorrectionResult result;
    if (index == block.count()) return result;
    Movement original = decodeMovement(block.at(index));
    if (original.NUMFLU <= 0) {
        result.outcome = CorrectionOutcome::NotSent;
        return result;
    }
    // A superseded record, or the cancellation record of an earlier correction, is
    // never corrected again: that would cancel the same movement twice.
    if (flagOf(original.STATO) == 'C' || flagOf(original.TIPOPE) == 'C') {
        result.outcome = CorrectionOutcome::NotCorrectable;
        return result;
    }
    // Another record under the number, or the record changed since it was loaded.
    if (loaded && !storedAsLoaded(block.at(index), *loaded)) return result;

    Movement cancellation = original;
    cancellation.NUMREC = nextRecordNumber(file, maxRec);
    cancellation.NUMRIF = original.NUMREC;
    cancellation.STATO = " ";
    cancellation.DATFLU = 0;
    cancellation.NUMFLU = 0;
    cancellation.TIPOPE = "C";
    cancellation.ANNOTA = note;
    original.STATO = "C";

    std::string inserted = encodeMovement(cancellation);
    result.cancellationNUMREC = cancellation.NUMREC;
    if (replacement) {
        Movement edited = *replacement;
        padMovement(edited);
        if (numope == ReplacementNUMOPE::FromCorrected && edited.NUMOPE == 0) edited.NUMOPE = original.NUMOPE;
        edited.NUMREC = nextRecordNumber(file, maxRec, 2);
        edited.NUMRIF = original.NUMREC;
        edited.STATO = "R";
        edited.TIPOPE = "I";
        edited.DATFLU = 0;
        edited.NUMFLU = 0;
        inserted += encodeMovement(edited);
        result.replacementNUMREC = edited.NUMREC;
    }

    // One safe rewrite for the whole pattern: either all of it is in the file or none.
    std::string content;
    content.reserve(block.bytes().size() + inserted.size());
    content.append(block.bytes(), 0, index * kMovementSize);
    content.append(encodeMovement(original));
    content.append(inserted);
    content.append(block.bytes(), (index + 1) * kMovementSize);
    replaceFileContent(file, content);
    result.outcome = CorrectionOutcome::Done;
    return result;
}

} // namespace accise
