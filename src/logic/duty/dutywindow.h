#pragma once
// What the duty-record windows (credits, excise summary, voluntary correction,
// guarantees) share: the three command modes and their captions, the fields that
// name the period (year and period code, or a day), the tax chapter proposed from
// the excise rates, the identity check against the duty file, the note that every
// correction needs, and the save through the record append or the correction pattern.
//
// Mode "I" enters a new record. Modes "T" (cancel) and "t" (modify) correct the sent
// record the record selection chose: its record number is ctx.chosenRecord in the
// duty file of ctx.workingYear. A record a search found is only shown (setViewOnly):
// the values of ctx.selectedRecord as the search read them, every field read only,
// nothing checked and nothing saved.
//
// The window is initialised when it opens and after a save, never when one of its
// own messages closes: what the clerk typed stays in the fields.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/duty/dutyrecords.h"
#include "core/records/movement.h"
#include "logic/framework/entryform.h"

namespace accise {

namespace duty {
inline constexpr const char* kPeriodSent = "ATTENZIONE PERIODO GIA` INVIATO! PER MODIFICARE UTILIZZA LA RETTIFICA";
inline constexpr const char* kNoteRequired = "Nota obbligatoria per le rettifiche";
inline constexpr const char* kNotCorrected =
    "IL RECORD DA RETTIFICARE NON E` PIU` PRESENTE O NON E` RETTIFICABILE: NESSUNA MODIFICA EFFETTUATA";
// A summary's figures are computed for the period or day it names: when that changed
// without the figures following, the confirmation computes them and stops.
inline constexpr const char* kAmountsRecomputed = "GLI IMPORTI SONO STATI RICALCOLATI: CONTROLLARE E CONFERMARE";
inline constexpr int kNotesLength = 250;
inline constexpr int kChapterLength = 5;
inline constexpr const char* kDateMask = "!00/00/0000;1;_";
// The window that shows a record found by the duty-record search, read only: the
// window of the record's kind (TIPREC D, E or R) for the company's profile.
inline constexpr std::string_view kViewWindow = "TFREGDER_CONSULTA";
// Its caption, followed by what the record is ("Riepilogo accisa").
inline constexpr const char* kViewTitle = "CONSULTA UN RECORD (sola lettura): ";
} // namespace duty

class DutyWindowLogic : public EntryFormLogic {
public:
    // Captions of modes I, T and t.
    using Captions = std::array<const char*, 3>;

    DutyWindowLogic(CommandContext& ctx, Prompt& prompt, FormServices& services, DutyKind kind,
                    Captions captions);

    std::string title() const override;

    char mode() const { return mode_; }
    bool correcting() const { return mode_ != 'I'; }
    // Before open(): the record ctx.selectedRecord is only shown.
    void setViewOnly(bool on) { viewOnly_ = on; }
    bool viewOnly() const { return viewOnly_; }
    // False for the fields the clerk cannot change now: shown-only boxes, the fields
    // that name the corrected record, and every value but the notes in mode "T".
    bool isEditable(std::string_view control) const;
    // Windows that depend on the company's profile hide the fields of the other one.
    virtual bool isShown(std::string_view) const { return true; }

    // The record a correction works on (trimmed), once the window has opened.
    const std::optional<Movement>& selectedRecord() const { return selected_; }

protected:
    // --- for the windows ---

    // Declares the fields of the record's period: year and period code with its
    // description (ANNPRO, CODPAE, DCODPAE).
    void addPeriodFields();
    // The day that names the record (DATMOV).
    void addDayField();
    void addChapterField();
    void addNotesField();
    // A decimal amount field.
    void addAmountField(std::string control);
    // Fields that name the record: read-only in a correction.
    void markIdentityField(std::string control);

    // Window-specific initialisation after the shared one: fields that are not
    // shared, and the selected record's values in a correction.
    virtual void initialise() = 0;
    // Shows the values of a record of the window's kind (an unsent one of the same
    // period or day, or the record being corrected).
    virtual void showRecord(const Movement& record) = 0;
    // The record of the window's fields, before the shared fields are set.
    virtual Movement builtRecord() const = 0;
    // The year of the file the record goes into.
    virtual int recordYear() const;
    // What names the record (period or day) and the message that refuses a new entry
    // for one that was sent.
    virtual DutyIdentity identity() const;
    virtual const char* sentMessage() const { return duty::kPeriodSent; }

    // Leaving ANNPRO: a year of 2008 to 2060.
    bool yearValid() const;
    int year() const;
    // The period check: a code the duty year knows, shown with its description; in
    // mode "I" a sent record of the same period refuses it, an unsent one is shown
    // when `showUnsent` (what the window loads is its own choice).
    // Returns the unsent record found, or the refusal.
    struct IdentityCheck {
        bool passed = false;
        std::optional<Movement> unsent;
    };
    IdentityCheck checkPeriod();
    // The day check: a valid date; in mode "I" a sent record of that day is refused
    // with `sentMessage`.
    IdentityCheck checkDay(const char* sentMessage);
    // Mode "T" or "t" with only blanks in the notes: says so. True when missing.
    bool noteMissing();

    double amount(std::string_view control) const;
    void showAmount(std::string_view control, double value);
    double today() const { return today_; }

    // Saves `record` (the shared fields are filled here) into the file of its year:
    // a new entry, or the correction of the selected record. Closes the window.
    void saveRecord(Movement record);

    // --- EntryFormLogic ---
    void onOpen() override;
    void onSave() override;

private:
    void reset();
    std::string proposedChapter() const;

    DutyKind kind_;
    Captions captions_;
    char mode_ = 'I';
    bool viewOnly_ = false;
    double today_ = 0;
    std::optional<Movement> selected_;
    fs::path selectedFile_;
    std::vector<std::string> identityFields_;
};

// Text of an amount as the duty windows show it: 2 decimals, Italian form.
std::string amountText(double value);

} // namespace accise
