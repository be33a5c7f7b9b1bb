#include "logic/codetables/codetableeditor.h"

#include <algorithm>

#include "core/files/text1252.h"
#include "core/tables/codetables.h"
#include "core/tables/keyfilters.h"

namespace accise {
namespace {

constexpr int kMinFieldsWidth = 400;
constexpr int kHeightWithFour = 310, kHeightWithThree = 270, kHeightWithTwo = 240;

} // namespace

CodeTableEditor::CodeTableEditor(CommandContext& ctx, Prompt& prompt, FormServices& services, EditorMode mode)
    : CodeEditorBase(ctx, prompt, services, ctx.table),
      structure_(readStructure(ctx.folders, ctx.table)),
      mode_(mode),
      lowerCaseCodes_(ctx.table == "T001"),
      maxWidth_(ctx.maxWindowWidth) {
    addField({"LE1", fieldWidth(1), lowerCaseCodes_ ? LetterCase::Lower : LetterCase::Upper});
    addField({"LE2", fieldWidth(2)});
    if (fieldShown(3)) addField({"LE3", fieldWidth(3), LetterCase::Upper});
    if (fieldShown(4)) addField({"LE4", fieldWidth(4), LetterCase::Upper});
    // Only the flag check waits for the first key; the code is checked and its row
    // loaded whenever the code field is left.
    useOpenGuard({"LE3", "LE4"});
}

std::string CodeTableEditor::title() const { return structure_ ? trimmed(structure_->extra[1]) : table(); }

bool CodeTableEditor::fieldShown(int n) const {
    if (n == 1 || n == 2) return true;
    return fieldWidth(n) > 0;
}

std::string CodeTableEditor::fieldCaption(int n) const {
    return structure_ && fieldWidth(n) > 0 ? trimmed(structure_->col[static_cast<std::size_t>(n - 1)]) : std::string();
}

int CodeTableEditor::fieldWidth(int n) const {
    if (!structure_ || n < 1 || n > 4) return 0;
    return std::clamp(structure_->ints[static_cast<std::size_t>(n - 1)], 0, static_cast<int>(kTableTextWidth));
}

int CodeTableEditor::windowWidth(int widthOfTenW, int widestField) const {
    const int width = widthOfTenW + std::max(kMinFieldsWidth, widestField);
    return maxWidth_ > 0 ? std::min(width, maxWidth_) : width;
}

int CodeTableEditor::windowHeight() const {
    if (fieldShown(4)) return kHeightWithFour;
    if (fieldShown(3)) return kHeightWithThree;
    return kHeightWithTwo;
}

void CodeTableEditor::onOpen() {
    if (!structure_) return closeForMissingStructure();
    reset();
}

std::string CodeTableEditor::code() const {
    const std::string& typed = value("LE1");
    return trimmed(lowerCaseCodes_ ? toLowerAscii(typed) : toUpperAscii(typed));
}

bool CodeTableEditor::codePresent() const {
    const std::string& typed = value("LE1");
    return !typed.empty() && static_cast<unsigned char>(typed.front()) > ' ';
}

void CodeTableEditor::clearFields() {
    for (int n = 1; n <= 4; ++n)
        if (fieldShown(n)) setValue(control(n), "");
}

void CodeTableEditor::showRow(const TableRecord& row) {
    for (int n = 1; n <= 4; ++n)
        if (fieldShown(n)) setValue(control(n), trimmed(row.col[static_cast<std::size_t>(n - 1)]));
}

std::optional<std::string> CodeTableEditor::flagCheck() const {
    for (int n : {3, 4}) {
        if (!fieldShown(n)) continue;
        const std::string& flag = value(control(n));
        if (flag.empty() || (flag.front() != 'S' && flag.front() != 'N')) return control(n);
    }
    return std::nullopt;
}

FocusMove CodeTableEditor::onLeave(std::string_view field) {
    if (field == "LE1") {
        if (!codePresent()) return FocusMove::to("LE1");
        loadCode();
    } else if (field == "LE3" || field == "LE4") {
        if (auto failed = flagCheck()) return FocusMove::to(*failed);
    }
    return FocusMove::next();
}

std::optional<std::string> CodeTableEditor::onConfirmChecks() {
    if (!codePresent()) return "LE1";
    if (auto failed = flagCheck()) return failed;
    row_.col[0] = code();
    for (int n = 2; n <= 4; ++n) {
        if (!fieldShown(n)) continue;
        const std::string& text = value(control(n));
        row_.col[static_cast<std::size_t>(n - 1)] = n >= 3 ? toUpperAscii(text) : text;
    }
    if (!codeFree()) return "LE1";
    return std::nullopt;
}

void CodeTableEditor::onSave() {
    const std::string written = saveRow();
    if (mode_ == EditorMode::Return) {
        context().enteredCode = written;
        requestClose();
        return;
    }
    reset();
}

} // namespace accise
