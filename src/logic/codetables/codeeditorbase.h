#pragma once
// What the two code-table editors share: a code is typed; when it is in the table its
// row is loaded for change or deletion ("MODIFICA o CANCELLA"), otherwise a new row
// is entered; confirming replaces the loaded row (if any) by the row built, inserted
// in code order with a new record number.
#include <cstdint>
#include <optional>
#include <string>

#include "core/records/tablerecord.h"
#include "logic/framework/entryform.h"

namespace accise {

inline constexpr const char* kCodeInUse = "CODICE GIA` UTILIZZATO";
inline constexpr const char* kModifyOrDelete = "MODIFICA o CANCELLA";

// Menu: after each confirmation the editor resets for a further code.
// Return: opened by another window to add one code; it closes after one confirmation
// and leaves the code in the command values (enteredCode).
enum class EditorMode { Menu, Return };

class CodeEditorBase : public EntryFormLogic {
public:
    CodeEditorBase(CommandContext& ctx, Prompt& prompt, FormServices& services, std::string table);

    const std::string& table() const { return table_; }
    // A row of the table is loaded: "MODIFICA o CANCELLA" and "Cance&lla" are shown,
    // "&Elenca" is hidden.
    bool rowLoaded() const { return loaded_.has_value(); }

    // The buttons. Each returns the control that gets the cursor.
    std::string list();   // "&Elenca"
    std::string remove(); // "Cance&lla"
    std::string clear();  // "&Svuota"

protected:
    // The code as it goes into column 0.
    virtual std::string code() const = 0;
    virtual std::string codeControl() const = 0;
    // Empties the fields (called by reset()).
    virtual void clearFields() = 0;
    // Shows a loaded row in the fields.
    virtual void showRow(const TableRecord& row) = 0;
    // Before the lookup list opens (the TA20 editor sets the command mode).
    virtual void beforeList() {}

    // Blank row, empty fields, nothing loaded, cursor to the code.
    void reset();
    // Leaving the code field with a present code: loads its row when nothing is loaded.
    void loadCode();
    // At confirmation, after the row is built: a code that would duplicate another
    // row's shows kCodeInUse. True when the row may be saved.
    bool codeFree();
    // Replaces the loaded row by the row built. Returns the code written.
    std::string saveRow();

    TableRecord row_;

private:
    std::string table_;
    std::optional<std::int32_t> loaded_;
    std::string loadedCode_;
};

} // namespace accise
