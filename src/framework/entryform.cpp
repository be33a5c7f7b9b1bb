#include "framework/entryform.h"

#include "common/codetables.h"
#include "common/keyfilters.h"
#include "common/text1252.h"

namespace accise {

EntryFormLogic::EntryFormLogic(CommandContext& ctx, Prompt& prompt, FormServices& services)
    : ctx_(ctx), prompt_(prompt), services_(services) {}

const FieldSpec* EntryFormLogic::field(std::string_view control) const {
    for (const auto& f : fields_)
        if (f.control == control) return &f;
    return nullptr;
}

void EntryFormLogic::addField(FieldSpec fieldSpec) {
    values_.try_emplace(fieldSpec.control);
    fields_.push_back(std::move(fieldSpec));
}

const std::string& EntryFormLogic::value(std::string_view control) const {
    static const std::string empty;
    const auto it = values_.find(control);
    return it == values_.end() ? empty : it->second;
}

void EntryFormLogic::setValue(std::string_view control, std::string text) {
    const auto it = values_.find(control);
    if (it != values_.end())
        it->second = std::move(text);
    else
        values_.emplace(std::string(control), std::move(text));
}

void EntryFormLogic::open() {
    closeRequested_ = false;
    suspended_ = guarded_;
    focusAfterOpen_ = fields_.empty() ? std::string() : fields_.front().control;
    onOpen();
}

FocusMove EntryFormLogic::leave(std::string_view control) {
    if (suspended_) return FocusMove::next();
    const FieldSpec* fieldSpec = field(control);
    if (fieldSpec && fieldSpec->readOnly) return FocusMove::next();
    return onLeave(control);
}

FocusMove EntryFormLogic::onLeave(std::string_view) {
    return FocusMove::next();
}

std::optional<std::string> EntryFormLogic::confirmChecks() {
    return onConfirmChecks();
}

void EntryFormLogic::save() {
    onSave();
}

std::optional<std::string> EntryFormLogic::confirm() {
    if (auto failed = confirmChecks()) return failed;
    save();
    return std::nullopt;
}

std::string EntryFormLogic::lookupCodeInto(std::string_view fieldName, std::string_view table) {
    ctx_.table = std::string(table);
    const std::int32_t chosen = services_.openLookupList(ctx_);
    ctx_.chosenCode = chosen;
    const auto row = findByNumber(ctx_.folders.table(table), chosen);
    setValue(fieldName, row ? trimmed(row->col[0]) : std::string());
    return std::string(fieldName);
}

std::string EntryFormLogic::newCodeInto(std::string_view fieldName, std::string_view table) {
    ctx_.table = std::string(table);
    if (const auto code = services_.addNewCode(ctx_)) setValue(fieldName, *code);
    return std::string(fieldName);
}

std::string tidyName(std::string_view text) {
    return capitalizeFirst(trimmed(text) + " ");
}

bool startsWithDigitOrCapital(std::string_view text) {
    if (text.empty()) return false;
    const auto c = static_cast<unsigned char>(text[0]);
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) return true;
    // The accented capitals the case conversion produces (À È É Ì Ò Ù in UTF-8).
    if (c == 0xC3 && text.size() > 1) {
        const auto second = static_cast<unsigned char>(text[1]);
        return second == 0x80 || second == 0x88 || second == 0x89 || second == 0x8C || second == 0x92 ||
               second == 0x99;
    }
    return false;
}

std::optional<TableRecord> EntryFormLogic::describeCode(std::string_view table, const std::string& code,
                                                        std::string_view descriptionControl) {
    auto row = findCode(folders(), table, code, prompt());
    setValue(descriptionControl, row ? row->col[1] : std::string(kInvalidCode));
    return row;
}

} // namespace accise
