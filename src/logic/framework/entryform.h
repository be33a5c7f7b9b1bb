#pragma once
// The logic shared by every entry window, without any widget:
//  - the field values, kept by control name ("DATMOV", "CACCI1", ...), as UTF-8 text;
//    lists and radio groups hold the index of the chosen item ("0", "1", ...);
//  - the typing rules of each field (maximum length, letter case, key filter, mask),
//    declared in check order, which is also the order Enter walks through;
//  - the check when the cursor leaves a field, which may send it back;
//  - the confirm sequence: all the checks again in the window's order when the cursor
//    reaches the confirm button, and the save when it is pressed; the result of those
//    checks holds only while nothing changed, so a save never runs unchecked;
//  - the open guard of the windows that skip some checks until a key has been typed,
//    and the one rule of which keys count as typed.
// A window derives from EntryFormLogic; its Qt dialog derives from EntryDialog, which
// feeds the widgets' texts in and the results back out.
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/prompt.h"
#include "core/records/tablerecord.h"
#include "core/tables/keyfilters.h"
#include "logic/framework/commandcontext.h"
#include "logic/framework/formservices.h"

namespace accise {

enum class LetterCase {
    AsTyped,
    Upper,        // every letter a capital as it is typed
    Lower,        // every letter lower case (language codes)
    FirstCapital, // the first character made a capital
};

struct FieldSpec {
    std::string control;
    int maxLength = 0; // characters; 0 = no limit (lists, radio groups, read-only boxes)
    LetterCase letterCase = LetterCase::AsTyped;
    KeyFilter filter = KeyFilter::NextField;
    std::string mask;      // edit mask in its stored form, e.g. "!99/99/0000;1;_"; empty for none
    bool readOnly = false; // shown only (a description beside a code); never checked

    // Also usable as a braced list: {"ME0", 21, LetterCase::Upper, KeyFilter::NextField, "mask"}.
    FieldSpec(std::string name, int max = 0, LetterCase letters = LetterCase::AsTyped,
              KeyFilter keys = KeyFilter::NextField, std::string editMask = {}, bool shownOnlyField = false)
        : control(std::move(name)), maxLength(max), letterCase(letters), filter(keys),
          mask(std::move(editMask)), readOnly(shownOnlyField) {}
    FieldSpec& withMask(std::string m) {
        mask = std::move(m);
        return *this;
    }
    FieldSpec& shownOnly() {
        readOnly = true;
        return *this;
    }
};

inline constexpr std::string_view kConfirmDeletion = "CONFERMI LA CANCELLAZIONE ?";
// Esc or "&Abbandona" on a window holding values the clerk typed.
inline constexpr std::string_view kAbandonTypedValues = "ABBANDONARE I DATI INSERITI ?";
// A date field whose text is not a day of the calendar (31/02/2026).
inline constexpr std::string_view kDateNotValid = "DATA NON VALIDA";

// Where the cursor goes after a check.
struct FocusMove {
    bool proceed = true; // true: it goes where the user sent it
    std::string control; // otherwise: this control gets it (the same one: "focus back")

    static FocusMove next() { return {}; }
    static FocusMove to(std::string control) { return {false, std::move(control)}; }
    friend bool operator==(const FocusMove&, const FocusMove&) = default;
};

// The control names of the two buttons every entry window has.
inline constexpr std::string_view kConfirmControl = "BCONF";
inline constexpr std::string_view kAbandonControl = "BABBANDONA";

// A key pressed in a field, as the window logic sees it.
enum class FieldKey {
    Character, // a printable character
    Erase,     // Backspace or Delete
    Enter,
    Tab,       // Tab or Backtab
    Other,     // cursor keys, Esc, function keys, shortcuts
};

// The one rule of the open guard: a key counts as typed when it changes the field's
// content (a character, an erasure); Enter, Tab, cursor keys and shortcuts only move.
bool countsAsTyped(FieldKey key);

class EntryFormLogic {
public:
    EntryFormLogic(CommandContext& ctx, Prompt& prompt, FormServices& services);
    virtual ~EntryFormLogic() = default;
    EntryFormLogic(const EntryFormLogic&) = delete;
    EntryFormLogic& operator=(const EntryFormLogic&) = delete;

    // Window caption.
    virtual std::string title() const = 0;

    const std::vector<FieldSpec>& fields() const { return fields_; }
    const FieldSpec* field(std::string_view control) const;

    // "" for a control that holds nothing yet.
    const std::string& value(std::string_view control) const;
    // A value that differs from the one held is a change of the window's content: it
    // cancels a confirmation that passed.
    void setValue(std::string_view control, std::string text);
    // The same value in the form its widget shows it (a masked field's empty positions
    // filled): not a change of content.
    void syncValue(std::string_view control, std::string text);

    // The window is shown: reads its files, fills the fields, arms the open guard.
    // Afterwards closeRequested() tells whether it must close at once.
    void open();
    const std::string& focusAfterOpen() const { return focusAfterOpen_; }

    // A key pressed in `control`: when it counts as typed (countsAsTyped) the guarded
    // checks start and a passed confirmation is cancelled.
    void keyPressed(FieldKey key);
    // A key was typed into a field or a list was used: the guarded checks start from
    // now on, and a passed confirmation no longer holds.
    void keyTyped();
    bool checksSuspended() const { return suspended_; }
    // True when the open guard still holds back the leave check of `control`.
    bool leaveCheckSuspended(std::string_view control) const;

    // The cursor leaves `control` for another control of the window: its leave check
    // (unless the open guard holds it back). Cancels a passed confirmation.
    FocusMove leave(std::string_view control);

    // The cursor went from `from` to `to` (control names; kConfirmControl for the
    // confirm button, "" for anything else of the window). Runs the leave check of
    // `from`, and the confirm checks when `to` is the confirm button. Returns the
    // control that must get the cursor instead, nullopt to leave it where it went.
    std::optional<std::string> cursorMoved(std::string_view from, std::string_view to);
    // The confirm button was pressed (click, Space, Enter, Alt+C). Saves when the
    // checks passed and nothing changed since; runs them first when they have not run
    // since the last change; does nothing when they failed on reaching the button (the
    // failure cancels the click). Returns the control that must get the cursor.
    std::optional<std::string> confirmPressed();
    // A window action (a side button, a list choice): runs it, cancels a passed
    // confirmation, and when the action sends the cursor away from `cursorAt`, runs
    // the leave check of `cursorAt` as any other way of leaving it would. Returns the
    // control that must get the cursor.
    std::optional<std::string> runAction(std::string_view cursorAt,
                                         const std::function<std::optional<std::string>()>& action);
    // Where the confirmation stands: checks not run since the last change, passed, failed.
    enum class Confirmation { Unchecked, Passed, Failed };
    Confirmation confirmation() const { return confirmation_; }

    // The cursor reaches the confirm button: every check in the window's order.
    // The control that must get the cursor when one fails (which cancels the
    // confirmation); nullopt when all passed.
    std::optional<std::string> confirmChecks();
    // confirmChecks() and, when they pass, the save: the confirm button pressed
    // with nothing checked before.
    std::optional<std::string> confirm();

    // "&Abbandona": closes without saving.
    void abandon() { closeRequested_ = true; }
    // True when the clerk typed or chose something since the window opened or last
    // saved, and a field still differs from what it held then.
    bool hasTypedValues() const;
    // Esc or "&Abbandona": with typed values the clerk is asked first, "ABBANDONARE I
    // DATI INSERITI ?", No by default. True when the window may close; a Yes holds for
    // the rest of this closing (a second call does not ask again).
    bool abandonConfirmed();

    // A coded field whose description box follows its value as it changes (typed,
    // chosen from a list, set by the window): `describe` gives the description of the
    // value the field holds now, or nullopt when the code is unknown, and the box is
    // then emptied until the field's check on leaving gives its verdict.
    void followCode(std::string codeControl, std::string descriptionControl,
                    std::function<std::optional<std::string>()> describe);
    // The description box that follows `codeControl`, or nullptr.
    const std::string* followingDescription(std::string_view codeControl) const;
    bool closeRequested() const { return closeRequested_; }

    // What the last save of this window wrote, in the clerk's words ("" before the
    // first): the window's save line shows it until the next save.
    const std::string& savedNotice() const { return savedNotice_; }

    CommandContext& context() { return ctx_; }
    const CommandContext& context() const { return ctx_; }
    FormServices& services() { return services_; }

protected:
    // Declares the next control of the check order.
    void addField(FieldSpec fieldSpec);
    // Windows that skip leave checks until a key is typed call this once: with no
    // controls every leave check waits, otherwise only those of the controls listed.
    // onConfirmChecks() asks checksSuspended() for what waits there.
    void useOpenGuard(std::initializer_list<std::string_view> controls = {});
    // The guard holds again, as when the window opened (a window that resets itself
    // after a save for the next entry).
    void rearmOpenGuard() { suspended_ = guarded_; }

    virtual void onOpen() = 0;
    virtual FocusMove onLeave(std::string_view control);
    virtual std::optional<std::string> onConfirmChecks() = 0;
    virtual void onSave() = 0;
    // True while onConfirmChecks() runs for a press of the confirm button that saves
    // right after the checks pass (not when the cursor merely reaches the button).
    bool saveFollowsChecks() const { return saveFollows_; }

    // A save went through: says what was written, in the window's save line and in
    // the main window's status bar (ctx.saveAnnounced).
    void announceSaved(std::string text);

    void setFocusAfterOpen(std::string control) { focusAfterOpen_ = std::move(control); }
    void requestClose() { closeRequested_ = true; }
    // Opening finds the table's structure file missing: "STRUTTURA DELLA TABELLA
    // MANCANTE", and the window closes.
    void closeForMissingStructure();
    // Every "Cance&lla" asks first: "CONFERMI LA CANCELLAZIONE ?", No by default, so
    // a slip of Alt+L deletes nothing. True for Yes.
    bool deletionConfirmed();
    Prompt& prompt() { return prompt_; }
    const Folders& folders() const { return ctx_.folders; }

    // The "..." button beside a coded field: the lookup list of `table`; the code
    // (column 0) of the chosen row goes into `field`, which is emptied when the
    // chosen number is not in the table file. Returns the field, to be focused.
    std::string lookupCodeInto(std::string_view field, std::string_view table);
    // The "new code" button: the editor of `table` in return mode; the code entered
    // there goes into `field`. Returns the field, to be focused.
    std::string newCodeInto(std::string_view field, std::string_view table);
    // Looks `code` up in `table` and shows its description in the read-only box
    // `descriptionControl`, or "CODICE NON VALIDO" when the table does not hold it.
    std::optional<TableRecord> describeCode(std::string_view table, const std::string& code,
                                            std::string_view descriptionControl);
    // Column `column` of the row of `code` in `table`, nullopt when the table does not
    // hold it; says nothing to the clerk (for a description that follows the typing).
    std::optional<std::string> quietDescription(std::string_view table, const std::string& code, int column = 1) const;

private:
    CommandContext& ctx_;
    Prompt& prompt_;
    FormServices& services_;
    std::vector<FieldSpec> fields_;
    std::map<std::string, std::string, std::less<>> values_;
    void save();

    std::string focusAfterOpen_;
    std::string savedNotice_;
    bool guarded_ = false;
    std::set<std::string, std::less<>> guardedControls_; // empty: every control
    bool suspended_ = false;
    Confirmation confirmation_ = Confirmation::Unchecked;
    bool closeRequested_ = false;
    bool saveFollows_ = false;
    // What the fields held when the window opened or last saved, and whether the
    // clerk typed or chose anything since.
    std::map<std::string, std::string, std::less<>> entered_;
    bool typedSince_ = false;
    void markEntered();
    struct FollowedCode {
        std::string description;
        std::function<std::optional<std::string>()> describe;
    };
    std::map<std::string, FollowedCode, std::less<>> followed_;
    // confirmChecks() with saveFollowsChecks() true.
    std::optional<std::string> checksBeforeSave();
};

// Field helpers shared by the windows.
// The text trimmed, with the first character made a capital and a space appended:
// how addresses and names are tidied before they are checked and saved.
std::string tidyName(std::string_view text);
// True when the first character is a digit or a capital letter.
bool startsWithDigitOrCapital(std::string_view text);

} // namespace accise
