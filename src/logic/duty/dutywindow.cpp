#include "logic/duty/dutywindow.h"

#include <algorithm>

#include "core/books/movementfile.h"
#include "core/files/text1252.h"
#include "core/tables/codetables.h"
#include "core/tables/dates.h"
#include "core/tables/keyfilters.h"
#include "core/tables/numbers.h"
#include "logic/shell/savenotice.h"

namespace accise {

std::string amountText(double value) { return formatNumber(value, 0, 2); }

DutyWindowLogic::DutyWindowLogic(CommandContext& ctx, Prompt& prompt, FormServices& services, DutyKind kind,
                                 Captions captions)
    : EntryFormLogic(ctx, prompt, services), kind_(kind), captions_(captions) {
    // The checks of what names the record wait for the first key typed; the credits
    // window checks its year at once.
    if (kind == DutyKind::Credit) useOpenGuard({"CODPAE", "DATMOV", "CODUFF"});
    else useOpenGuard({"ANNPRO", "CODPAE", "DATMOV"});
}

std::string DutyWindowLogic::title() const {
    if (viewOnly_) {
        const char* what = kind_ == DutyKind::Credit       ? "Crediti e riaccrediti"
                           : kind_ == DutyKind::Summary    ? "Riepilogo accisa"
                           : kind_ == DutyKind::Correction ? "Ravvedimento"
                                                           : "Garanzia";
        return std::string(duty::kViewTitle) + what;
    }
    return captions_[mode_ == 'T' ? 1 : mode_ == 't' ? 2 : 0];
}

void DutyWindowLogic::addPeriodFields() {
    addField({"ANNPRO", 4, LetterCase::AsTyped, KeyFilter::UnsignedDigits});
    addField({"CODPAE", 2, LetterCase::AsTyped, KeyFilter::UnsignedDigits});
    addField(FieldSpec("DCODPAE").shownOnly());
    markIdentityField("ANNPRO");
    markIdentityField("CODPAE");
}

void DutyWindowLogic::addDayField() {
    addField({"DATMOV", 10, LetterCase::AsTyped, KeyFilter::UnsignedDigits, duty::kDateMask});
    markIdentityField("DATMOV");
}

void DutyWindowLogic::addChapterField() { addField({"MITDES", duty::kChapterLength, LetterCase::Upper}); }

void DutyWindowLogic::addNotesField() { addField({"ANNOTA", duty::kNotesLength}); }

void DutyWindowLogic::addAmountField(std::string control) {
    addField({std::move(control), 0, LetterCase::AsTyped, KeyFilter::Decimal});
}

void DutyWindowLogic::markIdentityField(std::string control) { identityFields_.push_back(std::move(control)); }

bool DutyWindowLogic::isEditable(std::string_view control) const {
    const FieldSpec* fieldSpec = field(control);
    if (fieldSpec && fieldSpec->readOnly) return false;
    if (viewOnly_) return false;
    if (!correcting()) return true;
    if (std::find(identityFields_.begin(), identityFields_.end(), control) != identityFields_.end()) return false;
    return mode_ == 't' || control == "ANNOTA";
}

int DutyWindowLogic::year() const { return parseInteger(value("ANNPRO")); }

bool DutyWindowLogic::yearValid() const { return isDutyYear(year()); }

int DutyWindowLogic::recordYear() const { return year(); }

DutyIdentity DutyWindowLogic::identity() const {
    return field("CODPAE") ? DutyIdentity::Period : DutyIdentity::Day;
}

double DutyWindowLogic::amount(std::string_view control) const { return parseDecimal(value(control), 2); }

void DutyWindowLogic::showAmount(std::string_view control, double v) { setValue(control, amountText(v)); }

std::string DutyWindowLogic::proposedChapter() const {
    // Only read: the rates table is not created by a window that merely proposes a chapter.
    if (!fs::exists(folders().table(kExciseTable))) return {};
    const auto rate = exciseRate(folders(), RateMode::InForce, "IT", today_);
    if (!rate) return {};
    return trimmed(rate->col[kRateChapterCol]).substr(0, duty::kChapterLength);
}

void DutyWindowLogic::onOpen() {
    reset();
}

void DutyWindowLogic::reset() {
    const char m = context().mode;
    // A record only shown counts as one being corrected: what names it is not looked
    // up again as a new entry's would be.
    mode_ = viewOnly_ ? 'V' : (m == 'T' || m == 't') ? m : 'I';
    today_ = todayDayNumber();
    for (const auto& f : fields()) setValue(f.control, "");
    if (field("ANNPRO")) setValue("ANNPRO", std::to_string(yearOf(today_)));
    if (field("DATMOV")) setValue("DATMOV", formatDate(today_));
    if (field("MITDES")) setValue("MITDES", proposedChapter());
    initialise();

    selected_.reset();
    if (!correcting()) return;
    if (viewOnly_) {
        // The record as the search read it: shown, never read again nor written.
        Movement r = context().selectedRecord;
        trimMovement(r);
        selected_ = r;
    } else {
        // The record chosen in the record selection, from the duty file of the working year.
        selectedFile_ = dutyRecordFile(folders(), kind_, parseInteger(context().workingYear));
        for (Movement& r : readMovements(selectedFile_)) {
            if (r.NUMREC != context().chosenRecord) continue;
            trimMovement(r);
            selected_ = r;
            break;
        }
    }
    if (!selected_) {
        requestClose(); // the selection found nothing: the command ends without a word
        return;
    }
    if (field("ANNPRO")) setValue("ANNPRO", selected_->ANNPRO);
    if (field("CODPAE")) {
        setValue("CODPAE", selected_->CODPAE);
        setValue("DCODPAE", periodName(selected_->CODPAE).empty()
                                ? std::string()
                                : periodDescription(selected_->CODPAE, selected_->ANNPRO));
    }
    if (field("DATMOV")) setValue("DATMOV", selected_->DATMOV > 0 ? formatDate(selected_->DATMOV) : "");
    if (field("MITDES")) setValue("MITDES", selected_->MITDES);
    showRecord(*selected_);
    if (viewOnly_) {
        setValue("ANNOTA", selected_->ANNOTA);
        return;
    }
    // A correction needs its own reason: the old note is not offered as one.
    setValue("ANNOTA", "");
    if (mode_ == 'T') setFocusAfterOpen("ANNOTA");
}

DutyWindowLogic::IdentityCheck DutyWindowLogic::checkPeriod() {
    const auto code = periodCode(value("CODPAE"));
    if (!code) {
        setValue("DCODPAE", "");
        return {};
    }
    setValue("CODPAE", *code);
    setValue("DCODPAE", periodDescription(*code, value("ANNPRO")));
    IdentityCheck result{true, std::nullopt};
    if (correcting()) return result;
    const auto found = findDutyRecordOfPeriod(dutyRecordFile(folders(), kind_, year()), kind_, *code);
    if (found && isSent(*found)) {
        prompt().information(duty::kPeriodSent);
        return {};
    }
    result.unsent = found;
    return result;
}

DutyWindowLogic::IdentityCheck DutyWindowLogic::checkDay(const char* sentMessage) {
    const auto day = parseDate(value("DATMOV"));
    if (!day) return {};
    IdentityCheck result{true, std::nullopt};
    if (correcting()) return result;
    const auto found = findDutyRecordOfDay(dutyRecordFile(folders(), kind_, yearOf(*day)), kind_, *day);
    if (found && isSent(*found)) {
        prompt().information(sentMessage);
        return {};
    }
    result.unsent = found;
    return result;
}

bool DutyWindowLogic::noteMissing() {
    if (!correcting() || !isEmptyField(value("ANNOTA"))) return false;
    prompt().information(duty::kNoteRequired);
    return true;
}

void DutyWindowLogic::onSave() { saveRecord(builtRecord()); }

void DutyWindowLogic::saveRecord(Movement record) {
    if (viewOnly_) { // never reached: the window shown read only has no confirm button
        requestClose();
        return;
    }
    record.TIPREC = std::string(1, static_cast<char>(kind_));
    record.TIPOPE = "I";
    record.STATO = " ";
    if (field("MITDES")) record.MITDES = value("MITDES");
    record.ANNOTA = value("ANNOTA");
    if (!correcting()) {
        const auto outcome = saveDutyEntry(dutyRecordFile(folders(), kind_, recordYear()), record, identity(),
                                           context().alcopp, prompt());
        if (outcome == DutySaveOutcome::AlreadySent) {
            // Another workstation sent the record of this period after the check:
            // nothing was written, what the clerk typed stays.
            prompt().information(sentMessage());
            setFocusAfterOpen(identity() == DutyIdentity::Period ? "CODPAE" : "DATMOV");
            return;
        }
        if (outcome == DutySaveOutcome::Saved || outcome == DutySaveOutcome::Replaced)
            announceSaved(dutySavedNotice(kind_, context().alcopp, record, false));
    } else {
        // The correction goes into the file the corrected record was read from.
        const auto outcome = saveDutyCorrection(selectedFile_, selected_->NUMREC, trimmed(value("ANNOTA")),
                                                mode_ == 't' ? std::optional<Movement>(record) : std::nullopt,
                                                prompt());
        if (outcome != DutySaveOutcome::Corrected) {
            // Nothing was written: say so rather than close as if it had been.
            prompt().information(duty::kNotCorrected);
            return;
        }
        announceSaved(dutySavedNotice(kind_, context().alcopp, record, true));
    }
    if (context().continuousEntry && !correcting()) reset();
    else requestClose();
}

} // namespace accise
