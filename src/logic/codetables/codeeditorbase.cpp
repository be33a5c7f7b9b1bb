#include "logic/codetables/codeeditorbase.h"

#include "core/files/text1252.h"
#include "core/tables/codetables.h"

namespace accise {

CodeEditorBase::CodeEditorBase(CommandContext& ctx, Prompt& prompt, FormServices& services, std::string table)
    : EntryFormLogic(ctx, prompt, services), table_(std::move(table)) {
    row_ = blankTable();
}

void CodeEditorBase::reset() {
    row_ = blankTable();
    row_.extra[0] = table_;
    loaded_.reset();
    loadedCode_.clear();
    clearFields();
    setFocusAfterOpen(codeControl());
}

void CodeEditorBase::loadCode() {
    if (loaded_) return;
    const auto found = findCode(folders(), table_, code(), prompt());
    if (!found) return;
    loaded_ = found->number;
    loadedCode_ = trimmed(found->col[0]);
    // The row keeps what the editor does not show (further columns, numbers), so that
    // changing a code or a description never loses them.
    row_ = *found;
    row_.extra[0] = table_;
    showRow(*found);
}

bool CodeEditorBase::codeFree() {
    const std::string typed = code();
    // A loaded row keeping its code replaces itself; any other code must be new.
    if (loaded_ && typed == loadedCode_) return true;
    if (!findCode(folders(), table_, typed, prompt())) return true;
    prompt().information(kCodeInUse);
    return false;
}

std::string CodeEditorBase::saveRow() {
    const fs::path file = folders().table(table_);
    TableRecord written = row_;
    written.number = 0; // a changed row is numbered anew, as a new one
    if (loaded_) replaceTableRecord(file, *loaded_, written, prompt());
    else insertTableRecord(file, written, prompt());
    return trimmed(written.col[0]);
}

std::string CodeEditorBase::list() {
    keyTyped(); // using the list counts as typing: the checks start
    beforeList();
    return lookupCodeInto(codeControl(), table_);
}

std::string CodeEditorBase::remove() {
    if (loaded_ && !deletionConfirmed()) return codeControl();
    if (loaded_) deleteTableRecord(folders().table(table_), *loaded_, prompt());
    reset();
    return codeControl();
}

std::string CodeEditorBase::clear() {
    reset();
    return codeControl();
}

} // namespace accise
