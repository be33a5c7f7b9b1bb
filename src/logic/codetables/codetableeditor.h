#pragma once
// TFCODICI: the generic code-table editor, shaped by the table's structure file.
// Fields LE1 .. LE4 edit columns 0 .. 3 (captions and maximum lengths from the
// structure; LE3 and LE4 only when their column has a width, and then they hold
// "S" / "N" flags). The code is upper case, lower case for the languages (T001).
#include <optional>
#include <string>

#include "core/records/tablerecord.h"
#include "logic/codetables/codeeditorbase.h"

namespace accise {

class CodeTableEditor : public CodeEditorBase {
public:
    // The table is ctx.table. The structure file is read here: the window is built from it.
    CodeTableEditor(CommandContext& ctx, Prompt& prompt, FormServices& services, EditorMode mode);

    std::string title() const override;
    // False when <table>.STR is missing: opening shows "STRUTTURA DELLA TABELLA MANCANTE"
    // and closes.
    bool hasStructure() const { return structure_.has_value(); }
    EditorMode mode() const { return mode_; }

    // Field n (1..4): shown, its label and its maximum length.
    bool fieldShown(int n) const;
    std::string fieldCaption(int n) const;
    int fieldWidth(int n) const;

    // Window size: the width of ten "W" plus the larger of 400 and the widest field,
    // within the maximum window width; the height by the fields shown.
    int windowWidth(int widthOfTenW, int widestField) const;
    int windowHeight() const;

protected:
    void onOpen() override;
    FocusMove onLeave(std::string_view control) override;
    std::optional<std::string> onConfirmChecks() override;
    void onSave() override;

    std::string code() const override;
    std::string codeControl() const override { return "LE1"; }
    void clearFields() override;
    void showRow(const TableRecord& row) override;

private:
    static std::string control(int n) { return "LE" + std::to_string(n); }
    bool codePresent() const;
    // The flag columns: the first character "S" or "N"; the failing field otherwise.
    std::optional<std::string> flagCheck() const;

    std::optional<TableRecord> structure_;
    EditorMode mode_;
    bool lowerCaseCodes_;
    int maxWidth_;
};

} // namespace accise
