#include "logic/codetables/productcodeeditor.h"

#include <algorithm>

#include "core/files/text1252.h"
#include "core/tables/dates.h"
#include "core/tables/keyfilters.h"

namespace accise {
namespace {

constexpr std::size_t kFirstGroupDigit = 5; // "cccc-" comes first
constexpr std::size_t kDescriptionLength = 250;

std::optional<int> unitIndex(std::string_view text) {
    if (text.size() == 1 && text[0] >= '0' && text[0] < '0' + static_cast<int>(kUnitNames.size())) return text[0] - '0';
    return std::nullopt;
}

} // namespace

ProductCodeEditor::ProductCodeEditor(CommandContext& ctx, Prompt& prompt, FormServices& services)
    : CodeEditorBase(ctx, prompt, services, "TA20") {
    addField({"ME0", 21, LetterCase::Upper, KeyFilter::NextField, kProductCodeMask});
    addField({"Memo1", static_cast<int>(kDescriptionLength)});
    addField({"MDALLA", 10, LetterCase::AsTyped, KeyFilter::NextField, kValidityMask});
    addField({"MALLA", 10, LetterCase::AsTyped, KeyFilter::NextField, kValidityMask});
    addField({"RUM"});
    // Only the validity check waits for the first key; the code is checked and its
    // row loaded whenever the code field is left.
    useOpenGuard({"MDALLA", "MALLA"});
}

void ProductCodeEditor::onOpen() {
    setValue("MDALLA", formatDate(todayDayNumber()));
    setValue("MALLA", kValidUntilDefault);
    reset();
}

std::string ProductCodeEditor::code() const {
    // Positions the mask left empty show "_": they are blanks of the code.
    std::string text = toUpperAscii(value("ME0"));
    std::replace(text.begin(), text.end(), '_', ' ');
    return trimmed(text);
}

bool ProductCodeEditor::codePresent() const {
    const std::string& text = value("ME0");
    return text.size() > kFirstGroupDigit && text[kFirstGroupDigit] >= '0' && text[kFirstGroupDigit] <= '9';
}

// The dates keep their values across resets: a clerk enters codes of one validity in a row.
void ProductCodeEditor::clearFields() {
    setValue("ME0", "");
    setValue("Memo1", "");
    setValue("RUM", "");
}

void ProductCodeEditor::showRow(const TableRecord& row) {
    setValue("Memo1", trimmed(row.col[1]));
    setValue("MDALLA", formatDate(row.nums[0]));
    setValue("MALLA", formatDate(row.nums[1]));
    const int unit = row.ints[0];
    setValue("RUM", unit >= 0 && unit < static_cast<int>(kUnitNames.size()) ? std::to_string(unit) : std::string());
}

void ProductCodeEditor::beforeList() { context().mode = 'T'; }

std::optional<std::string> ProductCodeEditor::validityCheck() {
    const auto from = parseDate(value("MDALLA"));
    if (!from) return "MDALLA";
    const auto until = parseDate(value("MALLA"));
    if (!until) return "MALLA";
    if (*until < *from) return "MALLA";
    row_.nums[0] = *from;
    row_.nums[1] = *until;
    return std::nullopt;
}

FocusMove ProductCodeEditor::onLeave(std::string_view field) {
    if (field == "ME0") {
        if (!codePresent()) return FocusMove::to("ME0");
        loadCode();
    } else if (field == "MDALLA" || field == "MALLA") {
        if (auto failed = validityCheck()) return FocusMove::to(*failed);
    }
    return FocusMove::next();
}

std::optional<std::string> ProductCodeEditor::onConfirmChecks() {
    if (!codePresent()) return "ME0";
    const auto unit = unitIndex(value("RUM"));
    if (!unit) return "RUM";
    row_.col[2] = std::string(kUnitNames[static_cast<std::size_t>(*unit)]);
    row_.ints[0] = *unit;
    if (auto failed = validityCheck()) return failed;
    row_.col[1] = value("Memo1");
    row_.col[0] = code();
    if (!codeFree()) return "ME0";
    return std::nullopt;
}

void ProductCodeEditor::onSave() {
    saveRow();
    reset();
}

} // namespace accise
