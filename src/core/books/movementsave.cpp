#include "core/books/movementsave.h"

#include <cmath>
#include <optional>

#include "core/books/movementcalc.h"
#include "core/books/movementfile.h"
#include "core/files/lock.h"
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

// Where the record numbered `numrec` stands in the block; nullopt when absent.
std::optional<std::size_t> indexOf(const RecordBlock& block, std::int32_t numrec) {
    for (std::size_t i = 0; i < block.count(); ++i)
        if (MovementView(block.at(i)).NUMREC() == numrec) return i;
    return std::nullopt;
}

SaveResult modify(const Folders& folders, Movement movement, const Movement& selected, bool alcopp,
                  Prompt& prompt) {
    const int oldYear = yearOf(selected.DATMOV), newYear = yearOf(movement.DATMOV);
    const fs::path oldFile = folders.registerFile(oldYear), newFile = folders.registerFile(newYear);

    // Both markers, always the earlier year first, so two workstations moving
    // movements between the same two years cannot wait for each other forever.
    std::optional<FileLock> first, second;
    first.emplace(oldYear <= newYear ? oldFile : newFile, prompt);
    if (oldYear != newYear) second.emplace(oldYear <= newYear ? newFile : oldFile, prompt);

    const RecordBlock oldBlock = readRecords(oldFile, kMovementSize);
    requireWholeRecords(oldFile, oldBlock);
    const auto index = indexOf(oldBlock, selected.NUMREC);
    if (!index) return refused(SaveOutcome::RecordGone);
    if (MovementView(oldBlock.at(*index)).NUMFLU() > 0) return refused(SaveOutcome::RecordSent);

    std::string oldContent = oldBlock.bytes();
    oldContent.erase(*index * kMovementSize, kMovementSize);

    SaveResult result;
    result.file = newFile;
    if (oldYear == newYear) {
        const AppendResult appended = appendToContent(oldFile, oldContent, movement, alcopp);
        replaceFileContent(oldFile, oldContent);
        result.NUMREC = appended.NUMREC;
        result.NUMOPE = appended.NUMOPE;
        return result;
    }
    const RecordBlock newBlock = readRecords(newFile, kMovementSize);
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

} // namespace

SaveResult saveMovement(const Folders& folders, EntryMode mode, Movement movement, const Movement& selected,
                        bool alcopp, Prompt& prompt) {
    padMovement(movement);
    if (mode == EntryMode::CorrectionCancel || mode == EntryMode::CorrectionModify) {
        const fs::path file = folders.registerFile(yearOf(selected.DATMOV));
        std::optional<Movement> replacement;
        if (mode == EntryMode::CorrectionModify) {
            movement.NUMOPE = selected.NUMOPE;
            replacement = movement;
        }
        const CorrectionResult r = correctMovement(file, selected.NUMREC, movement.ANNOTA, replacement, prompt);
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

    if (!hasActiveInitialStock(folders, registerKeyOf(movement))) return refused(SaveOutcome::NoInitialStock);
    if (mode == EntryMode::Modify) return modify(folders, movement, selected, alcopp, prompt);

    const fs::path file = folders.registerFile(yearOf(movement.DATMOV));
    const AppendResult appended = appendMovement(file, movement, alcopp, prompt);
    SaveResult result;
    result.file = file;
    result.NUMREC = appended.NUMREC;
    result.NUMOPE = appended.NUMOPE;
    return result;
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

SaveResult NewMovementPass::save(const Movement& confirmed) {
    const std::unique_ptr<FileLock> held = std::move(lock_); // released however the save ends
    if (!held || yearOf(confirmed.DATMOV) != year_)
        return saveMovement(folders_, EntryMode::Insert, confirmed, blankMovement(), alcopp_, prompt_);
    if (!hasActiveInitialStock(folders_, registerKeyOf(confirmed))) return refused(SaveOutcome::NoInitialStock);
    SaveResult result;
    result.file = folders_.registerFile(year_);
    const AppendResult appended = appendScanned(result.file, {confirmed}, alcopp_, *scan_).front();
    result.NUMREC = appended.NUMREC;
    result.NUMOPE = appended.NUMOPE;
    return result;
}

} // namespace accise
