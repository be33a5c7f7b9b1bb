#include "core/books/movementsave.h"

#include <cmath>
#include <optional>

#include "core/books/movementcalc.h"
#include "core/books/movementfile.h"
#include "core/files/lock.h"
#include "core/files/recordchecks.h"
#include "core/files/recordfile.h"
#include "core/records/movementview.h"
#include "core/tables/dates.h"

namespace accise {
namespace {

SaveResult refused(SaveOutcome outcome) {
    SaveResult r;
    r.outcome = outcome;
    return r;
}

char flagOf(const std::string& text) { return text.empty() ? ' ' : text[0]; }

// Where the record numbered `numrec` stands in the block; nullopt when absent.
std::optional<std::size_t> indexOf(const RecordBlock& block, std::int32_t numrec) {
    for (std::size_t i = 0; i < block.count(); ++i)
        if (MovementView(block.at(i)).NUMREC() == numrec) return i;
    return std::nullopt;
}

fs::path fileOfSelected(const Folders& folders, const Movement& selected, const SaveBasis& basis) {
    return basis.selectedFile.empty() ? folders.registerFile(yearOf(selected.DATMOV)) : basis.selectedFile;
}

// A cancellation record or a replacement: it belongs to the group of a corrected record.
bool inCorrectionGroup(const Movement& m) {
    return flagOf(m.TIPOPE) == 'C' || flagOf(m.STATO) == 'R' || m.NUMRIF != 0;
}

// A record of a correction group as mode "M" changes it: a cancellation keeps
// everything that makes it one (its type, NUMRIF and the corrected record's
// figures) and takes only the new note; a replacement takes the new fields and keeps
// its number, state, NUMRIF and operation number.
Movement modifiedGroupRecord(const Movement& stored, const Movement& typed) {
    if (flagOf(stored.TIPOPE) == 'C') {
        Movement cancellation = stored;
        cancellation.ANNOTA = typed.ANNOTA;
        return cancellation;
    }
    Movement replacement = typed;
    replacement.NUMREC = stored.NUMREC;
    replacement.NUMRIF = stored.NUMRIF;
    replacement.NUMOPE = stored.NUMOPE;
    replacement.STATO = stored.STATO;
    replacement.TIPOPE = "I";
    replacement.TIPREC = stored.TIPREC;
    replacement.DATFLU = 0;
    replacement.NUMFLU = 0;
    padMovement(replacement);
    replacement.DATMOV = std::round(replacement.DATMOV);
    return replacement;
}

// What the checks read without the lock, read again by a save that holds it.
std::optional<SaveResult> changedMeanwhile(const Folders& folders, const Movement& movement, bool duplicate,
                                           const SaveBasis& basis, const StockChange& change) {
    if (!sentInitialStockBefore(folders, movement)) return refused(SaveOutcome::InitialStockNotSent);
    if (duplicate && !basis.duplicateWarned && duplicateInRegister(folders, movement))
        return refused(SaveOutcome::DuplicateAppeared);
    if (const auto shortfall = firstShortDay(folders, change)) {
        SaveResult r = refused(SaveOutcome::StockShort);
        r.shortfall = shortfall;
        return r;
    }
    return std::nullopt;
}

SaveResult modify(const Folders& folders, Movement movement, const Movement& selected, bool alcopp,
                  Prompt& prompt, const SaveBasis& basis) {
    const fs::path oldFile = fileOfSelected(folders, selected, basis);
    // A record of a correction group stays in its group's file, whatever its new date.
    const bool inPlace = inCorrectionGroup(selected);
    const fs::path newFile = inPlace ? oldFile : folders.registerFile(yearOf(movement.DATMOV));

    // Both markers, always the earlier year's file first (the names are the years), so
    // two workstations moving movements between the same two years cannot wait for
    // each other forever.
    std::optional<FileLock> first, second;
    const bool oldFirst = oldFile.filename() <= newFile.filename();
    first.emplace(oldFirst ? oldFile : newFile, prompt);
    if (oldFile != newFile) second.emplace(oldFirst ? newFile : oldFile, prompt);

    const RecordBlock oldBlock = readRecords(oldFile, kMovementSize, IfMissing::Empty);
    requireWholeRecords(oldFile, oldBlock);
    const auto index = indexOf(oldBlock, selected.NUMREC);
    if (!index) return refused(SaveOutcome::RecordGone);
    const Movement stored = decodeMovement(oldBlock.at(*index));
    if (stored.NUMFLU > 0) return refused(SaveOutcome::RecordSent);
    if (!storedAsLoaded(oldBlock.at(*index), selected)) return refused(SaveOutcome::RecordGone);

    const Movement saved = inPlace ? modifiedGroupRecord(stored, movement) : movement;
    if (const auto refusal = changedMeanwhile(folders, saved, false, basis, StockChange{{saved}, {stored}}))
        return *refusal;

    SaveResult result;
    result.file = newFile;
    std::string oldContent = oldBlock.bytes();
    if (inPlace) {
        const std::string bytes = encodeMovement(saved);
        requireFiniteNumbers(oldFile, bytes);
        oldContent.replace(*index * kMovementSize, kMovementSize, bytes);
        replaceFileContent(oldFile, oldContent);
        result.NUMREC = saved.NUMREC;
        result.NUMOPE = saved.NUMOPE;
        return result;
    }
    oldContent.erase(*index * kMovementSize, kMovementSize);
    if (oldFile == newFile) {
        const AppendResult appended = appendToContent(oldFile, oldContent, movement, alcopp);
        replaceFileContent(oldFile, oldContent);
        result.NUMREC = appended.NUMREC;
        result.NUMOPE = appended.NUMOPE;
        return result;
    }
    const RecordBlock newBlock = readRecords(newFile, kMovementSize, IfMissing::Empty);
    requireWholeRecords(newFile, newBlock);
    std::string newContent = newBlock.bytes();
    const AppendResult appended = appendToContent(newFile, newContent, movement, alcopp);
    // The new year's file first: a crash between the two replacements leaves the
    // movement in both files, never in neither.
    replaceFileContent(newFile, newContent);
    replaceFileContent(oldFile, oldContent);
    result.NUMREC = appended.NUMREC;
    result.NUMOPE = appended.NUMOPE;
    return result;
}

SaveResult correct(const Folders& folders, EntryMode mode, Movement movement, const Movement& selected,
                   Prompt& prompt, const SaveBasis& basis) {
    const fs::path file = fileOfSelected(folders, selected, basis);
    std::optional<Movement> replacement;
    if (mode == EntryMode::CorrectionModify) {
        movement.NUMOPE = selected.NUMOPE;
        replacement = movement;
    }
    FileLock lock(file, prompt);
    const RecordBlock block = readRecords(file, kMovementSize, IfMissing::Empty);
    const auto index = indexOf(block, selected.NUMREC);
    if (!index) return refused(SaveOutcome::RecordGone);
    const Movement stored = decodeMovement(block.at(*index));
    // Corrected meanwhile, or never sent: the reason says more than "changed".
    if (stored.NUMFLU <= 0 || flagOf(stored.STATO) == 'C' || flagOf(stored.TIPOPE) == 'C')
        return refused(SaveOutcome::NotCorrectable);
    if (!storedAsLoaded(block.at(*index), selected)) return refused(SaveOutcome::RecordGone);
    // The corrected record stops counting; the replacement counts in its place.
    StockChange change{{}, {stored}};
    if (replacement) {
        Movement counted = *replacement;
        counted.STATO = "R";
        counted.TIPOPE = "I";
        change.joining.push_back(counted);
    }
    if (const auto refusal = changedMeanwhile(folders, movement, false, basis, change)) return *refusal;

    const CorrectionResult r =
        correctMovementLocked(file, selected.NUMREC, movement.ANNOTA, replacement, ReplacementNUMOPE::AsGiven, selected);
    switch (r.outcome) {
    case CorrectionOutcome::Done: break;
    case CorrectionOutcome::NotFound: return refused(SaveOutcome::RecordGone);
    case CorrectionOutcome::NotSent:
    case CorrectionOutcome::NotCorrectable: return refused(SaveOutcome::NotCorrectable);
    }
    SaveResult result;
    result.file = file;
    result.NUMREC = r.replacementNUMREC ? r.replacementNUMREC : r.cancellationNUMREC;
    result.NUMOPE = selected.NUMOPE;
    return result;
}

} // namespace

std::string saveRefusalMessage(const SaveResult& result, const Movement& movement) {
    switch (result.outcome) {
    case SaveOutcome::Saved: return {};
    case SaveOutcome::NoInitialStock: return missingInitialStockMessage(registerKeyOf(movement));
    case SaveOutcome::RecordGone: return kRecordGone;
    case SaveOutcome::RecordSent: return kRecordSentMeanwhile;
    case SaveOutcome::NotCorrectable: return kRecordNotCorrectable;
    case SaveOutcome::InitialStockNotSent: return kInitialStockNotSent;
    case SaveOutcome::DuplicateAppeared: return kDuplicateDocument;
    case SaveOutcome::StockShort: {
        const StockShortfall shortfall = result.shortfall.value_or(StockShortfall{});
        // An unload short on its own day: the stock check's own words.
        if (flagOf(movement.TIPMOV) == 'S' && shortfall.day == std::round(movement.DATMOV))
            return shortfall.degrees ? kDegreesOverStock : kQuantityOverStock;
        return shortDayMessage(shortfall.day);
    }
    }
    return {};
}

SaveResult saveMovement(const Folders& folders, EntryMode mode, Movement movement, const Movement& selected,
                        bool alcopp, Prompt& prompt, const SaveBasis& basis) {
    padMovement(movement);
    if (mode == EntryMode::CorrectionCancel || mode == EntryMode::CorrectionModify)
        return correct(folders, mode, movement, selected, prompt, basis);

    if (!hasActiveInitialStock(folders, registerKeyOf(movement))) return refused(SaveOutcome::NoInitialStock);
    if (mode == EntryMode::Modify) return modify(folders, movement, selected, alcopp, prompt, basis);

    const fs::path file = folders.registerFile(yearOf(movement.DATMOV));
    FileLock lock(file, prompt);
    if (const auto refusal = changedMeanwhile(folders, movement, true, basis, StockChange{{movement}, {}}))
        return *refusal;
    const AppendResult appended = appendMovementsLocked(file, {movement}, alcopp).front();
    SaveResult result;
    result.file = file;
    result.NUMREC = appended.NUMREC;
    result.NUMOPE = appended.NUMOPE;
    return result;
}

namespace {

// The record numbered `numrec` of a file read under its lock, as stored.
std::optional<Movement> storedRecord(const RecordBlock& block, std::int32_t numrec) {
    const auto index = indexOf(block, numrec);
    if (!index) return std::nullopt;
    return decodeMovement(block.at(*index));
}

} // namespace

RegisterDelete deleteRegisterMovement(const Folders& folders, const fs::path& file, std::int32_t numrec,
                                      Prompt& prompt, const std::optional<Movement>& loaded) {
    FileLock lock(file, prompt);
    RegisterDelete r;
    const RecordBlock block = readRecords(file, kMovementSize, IfMissing::Empty);
    // Only a record the delete would remove is weighed against the stock.
    if (const auto stored = storedRecord(block, numrec);
        stored && stored->NUMFLU <= 0 && !inCorrectionGroup(*stored) && flagOf(stored->STATO) != 'C') {
        r.shortfall = firstShortDay(folders, StockChange{{}, {*stored}});
        if (r.shortfall) return r;
    }
    r.outcome = deleteMovementLocked(file, numrec, loaded);
    return r;
}

RegisterCorrection correctRegisterMovement(const Folders& folders, const fs::path& file, std::int32_t numrec,
                                           const std::string& note, const std::optional<Movement>& replacement,
                                           Prompt& prompt, ReplacementNUMOPE numope,
                                           const std::optional<Movement>& loaded) {
    FileLock lock(file, prompt);
    RegisterCorrection r;
    const RecordBlock block = readRecords(file, kMovementSize, IfMissing::Empty);
    if (const auto stored = storedRecord(block, numrec);
        stored && stored->NUMFLU > 0 && flagOf(stored->STATO) != 'C' && flagOf(stored->TIPOPE) != 'C') {
        StockChange change{{}, {*stored}};
        if (replacement) {
            Movement counted = *replacement;
            counted.STATO = "R";
            counted.TIPOPE = "I";
            change.joining.push_back(counted);
        }
        r.shortfall = firstShortDay(folders, change);
        if (r.shortfall) return r;
    }
    r.result = correctMovementLocked(file, numrec, note, replacement, numope, loaded);
    return r;
}

NewMovementPass::NewMovementPass(const Folders& folders, const Movement& movement, bool alcopp, Prompt& prompt,
                                 Lock lock)
    : folders_(folders), alcopp_(alcopp), prompt_(prompt), year_(yearOf(movement.DATMOV)),
      day_(std::round(movement.DATMOV)) {
    const fs::path file = folders.registerFile(year_);
    if (lock == Lock::Hold) lock_ = std::make_unique<FileLock>(file, prompt);
    // Only an unload asks for the stock (which may read the years before too).
    std::optional<RegisterStockSum> stock;
    if (!movement.TIPMOV.empty() && movement.TIPMOV[0] == 'S')
        stock.emplace(folders, registerKeyOf(movement), movement.DATMOV);
    const DuplicateProbe probe(movement);
    scan_ = std::make_unique<AppendScan>(std::vector<Movement>{movement}, alcopp);
    RecordScanner scanner(file, kMovementSize);
    for (std::string_view block = scanner.nextBlock(); !block.empty(); block = scanner.nextBlock())
        for (std::size_t at = 0; at < block.size(); at += kMovementSize) {
            const std::string_view record = block.substr(at, kMovementSize);
            if (stock) stock->add(file, record);
            if (probe.sameDay(record)) sameDay_.append(record);
            scan_->add(record);
        }
    scan_->setTailBytes(scanner.tailBytes());
    if (stock) stock_ = stock->total();
}

NewMovementPass::~NewMovementPass() = default;

void NewMovementPass::releaseLock() { lock_.reset(); }

bool NewMovementPass::duplicate(const Movement& confirmed) const {
    if (yearOf(confirmed.DATMOV) != year_ || std::round(confirmed.DATMOV) != day_)
        return duplicateInRegister(folders_, confirmed);
    const DuplicateProbe probe(confirmed);
    for (std::size_t at = 0; at < sameDay_.size(); at += kMovementSize)
        if (probe.matches(std::string_view(sameDay_).substr(at, kMovementSize))) return true;
    return false;
}

SaveResult NewMovementPass::save(const Movement& confirmed, const SaveBasis& basis) {
    const std::unique_ptr<FileLock> held = std::move(lock_); // released however the save ends
    if (!held || yearOf(confirmed.DATMOV) != year_)
        return saveMovement(folders_, EntryMode::Insert, confirmed, blankMovement(), alcopp_, prompt_, basis);
    if (!hasActiveInitialStock(folders_, registerKeyOf(confirmed))) return refused(SaveOutcome::NoInitialStock);
    // The year's file has stayed locked since the checks; the later years' files and
    // the initial stocks have not.
    Movement padded = confirmed;
    padMovement(padded);
    if (const auto refusal = changedMeanwhile(folders_, padded, true, basis, StockChange{{padded}, {}}))
        return *refusal;
    SaveResult result;
    result.file = folders_.registerFile(year_);
    const AppendResult appended = appendScanned(result.file, {confirmed}, alcopp_, *scan_).front();
    result.NUMREC = appended.NUMREC;
    result.NUMOPE = appended.NUMOPE;
    return result;
}

} // namespace accise
