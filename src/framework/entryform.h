#pragma once
// The logic shared by every entry window, without any widget:
//  - the field values, kept by control name ("DATMOV", "CACCI1", ...), as UTF-8 text;
//    lists and radio groups hold the index of the chosen item ("0", "1", ...);
//  - the typing rules of each field (maximum length, letter case, key filter, mask),
//    declared in check order, which is also the order Enter walks through;
//  - the check when the cursor leaves a field, which may send it back;
//  - the confirm sequence: all the checks again in the window's order, and the save
//    when every one passes;
//  - the open guard of the windows that check nothing until a key has been typed.
// A window derives from EntryFormLogic; its Qt dialog derives from EntryDialog, which
// feeds the widgets' texts in and the results back out.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/keyfilters.h"
#include "common/prompt.h"
#include "common/tablerecord.h"
#include "framework/formservices.h"
#include "shell/commandcontext.h"

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

// Where the cursor goes after a check.
struct FocusMove {
    bool proceed = true; // true: it goes where the user sent it
    std::string control; // otherwise: this control gets it (the same one: "focus back")

    static FocusMove next() { return {}; }
    static FocusMove to(std::string control) { return {false, std::move(control)}; }
    friend bool operator==(const FocusMove&, const FocusMove&) = default;
};

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
    void setValue(std::string_view control, std::string text);

    // The window is shown: reads its files, fills the fields, arms the open guard.
    // Afterwards closeRequested() tells whether it must close at once.
    void open();
    const std::string& focusAfterOpen() const { return focusAfterOpen_; }

    // A key was typed into a field (or a list was used): checks start from now on.
    void keyTyped() { suspended_ = false; }
    bool checksSuspended() const { return suspended_; }

    // The cursor leaves `control` for another control of the window.
    FocusMove leave(std::string_view control);

    // The cursor reaches the confirm button: every check in the window's order.
    // The control that must get the cursor when one fails (which cancels the
    // confirmation); nullopt when all passed.
    std::optional<std::string> confirmChecks();
    // The confirm button pressed after the checks passed: writes the files, then
    // either closes the window or resets it for a further entry.
    void save();
    // confirmChecks() and, when they pass, save().
    std::optional<std::string> confirm();

    // "&Abbandona": closes without saving.
    void abandon() { closeRequested_ = true; }
    bool closeRequested() const { return closeRequested_; }

    CommandContext& context() { return ctx_; }
    FormServices& services() { return services_; }

protected:
    // Declares the next control of the check order.
    void addField(FieldSpec fieldSpec);
    // Windows that skip the leave checks until a key is typed call this once.
    void useOpenGuard() { guarded_ = true; }

    virtual void onOpen() = 0;
    virtual FocusMove onLeave(std::string_view control);
    virtual std::optional<std::string> onConfirmChecks() = 0;
    virtual void onSave() = 0;

    void setFocusAfterOpen(std::string control) { focusAfterOpen_ = std::move(control); }
    void requestClose() { closeRequested_ = true; }
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

private:
    CommandContext& ctx_;
    Prompt& prompt_;
    FormServices& services_;
    std::vector<FieldSpec> fields_;
    std::map<std::string, std::string, std::less<>> values_;
    std::string focusAfterOpen_;
    bool guarded_ = false;
    bool suspended_ = false;
    bool closeRequested_ = false;
};

// Field helpers shared by the windows.
// The text trimmed, with the first character made a capital and a space appended:
// how addresses and names are tidied before they are checked and saved.
std::string tidyName(std::string_view text);
// True when the first character is a digit or a capital letter.
bool startsWithDigitOrCapital(std::string_view text);

} // namespace accise
