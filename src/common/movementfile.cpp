#include "common/movementfile.h"

#include <cmath>

#include "common/lock.h"
#include "common/movementview.h"
#include "common/recordfile.h"
#include "common/text1252.h"

namespace accise {
namespace {

namespace off = movement_offset;

double wholeDay(double date) { return std::round(date); } // halves away from zero

char flagOf(const std::string& text) { return text.empty() ? ' ' : text[0]; }

bool isDutyKind(char tiprec) { return tiprec == 'D' || tiprec == 'E' || tiprec == 'R'; }

// The new record as the placing rules look at it.
struct NewRecord {
    double date;
    char tiprec, tipmov;
    std::int32_t numcpr;
    std::string codpae; // padded bytes
};

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

bool replaces(const NewRecord& n, const MovementView& r, bool alcopp) {
    if (r.NUMFLU() != 0 || r.STATO() == 'C' || r.TIPOPE() != 'I') return false;
    const double rDate = wholeDay(r.DATMOV());
    if (rDate == n.date && n.tiprec == 'F') return true;
    if (!alcopp && isDutyKind(n.tiprec) && r.TIPREC() == n.tiprec && r.fieldEquals(off::CODPAE, 2, n.codpae))
        return true;
    if (alcopp && (n.tiprec == 'E' || n.tiprec == 'R') && r.TIPREC() == n.tiprec && rDate == n.date) return true;
    return false;
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

} // namespace

AppendResult appendMovement(const fs::path& file, Movement record, bool alcopp, Prompt& prompt) {
    padMovement(record);
    record.DATMOV = wholeDay(record.DATMOV);

    FileLock lock(file, prompt);
    const RecordBlock block = readRecords(file, kMovementSize);
    requireWholeRecords(file, block);

    if (record.NUMREC == 0) {
        std::int32_t maxRec = 0, maxOpe = 0;
        for (std::size_t i = 0; i < block.count(); ++i) {
            const MovementView r(block.at(i));
            maxRec = std::max(maxRec, r.NUMREC());
            const char tipope = r.TIPOPE();
            if (r.STATO() != 'C' && (tipope == 'I' || tipope == 'A')) maxOpe = std::max(maxOpe, r.NUMOPE());
        }
        record.NUMREC = maxRec + 1;
        record.NUMOPE = maxOpe + 1;
    }

    const NewRecord n{record.DATMOV, flagOf(record.TIPREC), flagOf(record.TIPMOV), record.NUMCPR,
                      padded1252(record.CODPAE, 2)};
    AppendResult result{record.NUMREC, record.NUMOPE, block.count(), false};
    bool insertBefore = false;
    for (std::size_t i = 0; i < block.count(); ++i) {
        const MovementView r(block.at(i));
        if (goesBefore(n, r, alcopp)) {
            result.position = i;
            insertBefore = true;
            break;
        }
        if (replaces(n, r, alcopp)) {
            result.position = i;
            result.replaced = true;
            break;
        }
    }

    const std::string bytes = encodeMovement(record);
    if (!insertBefore && !result.replaced) writeRecordAt(file, block.count(), bytes);
    else replaceFileContent(file, withRecordAt(block, result.position, bytes, result.replaced));
    return result;
}

bool deleteMovement(const fs::path& file, std::int32_t numrec, Prompt& prompt) {
    FileLock lock(file, prompt);
    const RecordBlock block = readRecords(file, kMovementSize);
    for (std::size_t i = 0; i < block.count(); ++i) {
        if (MovementView(block.at(i)).NUMREC() != numrec) continue;
        requireWholeRecords(file, block);
        std::string content = block.bytes();
        content.erase(i * kMovementSize, kMovementSize);
        replaceFileContent(file, content);
        return true;
    }
    return false;
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
                                 const std::optional<Movement>& replacement, Prompt& prompt) {
    FileLock lock(file, prompt);
    const RecordBlock block = readRecords(file, kMovementSize);
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

    Movement cancellation = original;
    cancellation.NUMREC = maxRec + 1;
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
        edited.NUMREC = maxRec + 2;
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
