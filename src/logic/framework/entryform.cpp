#include "logic/framework/entryform.h"

#include "core/files/text1252.h"
#include "core/tables/codetables.h"
#include "core/tables/keyfilters.h"

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
    if (it == values_.end()) {
        values_.emplace(std::string(control), std::move(text));
    } else if (it->second != text) {
        it->second = std::move(text);
    } else {
        return;
    }
    confirmation_ = Confirmation::Unchecked;
    if (const auto followed = followed_.find(control); followed != followed_.end())
        setValue(followed->second.description, followed->second.describe().value_or(std::string()));
}

void EntryFormLogic::syncValue(std::string_view control, std::string text) {
    const Confirmation kept = confirmation_;
    // The same value in another form: what the field held when the window opened
    // takes that form too, so showing it is not typing.
    if (const auto entered = entered_.find(control); entered != entered_.end() && entered->second == value(control))
        entered->second = text;
    setValue(control, std::move(text));
    confirmation_ = kept;
}

void EntryFormLogic::followCode(std::string codeControl, std::string descriptionControl,
                                std::function<std::optional<std::string>()> describe) {
    followed_[std::move(codeControl)] = FollowedCode{std::move(descriptionControl), std::move(describe)};
}

const std::string* EntryFormLogic::followingDescription(std::string_view codeControl) const {
    const auto it = followed_.find(codeControl);
    return it == followed_.end() ? nullptr : &it->second.description;
}

void EntryFormLogic::markEntered() {
    typedSince_ = false;
    entered_.clear();
    for (const FieldSpec& f : fields_)
        if (!f.readOnly) entered_.emplace(f.control, value(f.control));
}

bool EntryFormLogic::hasTypedValues() const {
    if (!typedSince_) return false;
    for (const auto& [control, text] : entered_)
        if (value(control) != text) return true;
    return false;
}

bool EntryFormLogic::abandonConfirmed() {
    if (!hasTypedValues()) return true;
    if (!prompt_.question(std::string(kAbandonTypedValues))) return false;
    typedSince_ = false;
    return true;
}

bool countsAsTyped(FieldKey key) {
    return key == FieldKey::Character || key == FieldKey::Erase;
}

void EntryFormLogic::keyPressed(FieldKey key) {
    if (countsAsTyped(key)) keyTyped();
}

void EntryFormLogic::keyTyped() {
    suspended_ = false;
    typedSince_ = true;
    confirmation_ = Confirmation::Unchecked;
}

void EntryFormLogic::useOpenGuard(std::initializer_list<std::string_view> controls) {
    guarded_ = true;
    for (std::string_view control : controls)
        guardedControls_.emplace(control);
}

bool EntryFormLogic::leaveCheckSuspended(std::string_view control) const {
    return suspended_ && (guardedControls_.empty() || guardedControls_.contains(control));
}

void EntryFormLogic::open() {
    closeRequested_ = false;
    suspended_ = guarded_;
    confirmation_ = Confirmation::Unchecked;
    focusAfterOpen_ = fields_.empty() ? std::string() : fields_.front().control;
    onOpen();
    markEntered();
}

void EntryFormLogic::closeForMissingStructure() {
    prompt_.information(std::string(kMissingTableStructure));
    requestClose();
}

bool EntryFormLogic::deletionConfirmed() {
    return prompt_.question(std::string(kConfirmDeletion));
}

FocusMove EntryFormLogic::leave(std::string_view control) {
    confirmation_ = Confirmation::Unchecked;
    if (leaveCheckSuspended(control)) return FocusMove::next();
    const FieldSpec* fieldSpec = field(control);
    if (fieldSpec && fieldSpec->readOnly) return FocusMove::next();
    return onLeave(control);
}

FocusMove EntryFormLogic::onLeave(std::string_view) {
    return FocusMove::next();
}

std::optional<std::string> EntryFormLogic::cursorMoved(std::string_view from, std::string_view to) {
    if (from == to) return std::nullopt;
    confirmation_ = Confirmation::Unchecked;
    // Leaving for "&Abbandona" checks nothing: the window is about to close unsaved.
    if (to == kAbandonControl) return std::nullopt;
    if (!from.empty() && from != kConfirmControl) {
        const FocusMove move = leave(from);
        if (!move.proceed) {
            if (to == kConfirmControl) confirmation_ = Confirmation::Failed;
            return move.control;
        }
    }
    if (to == kConfirmControl) return confirmChecks();
    return std::nullopt;
}

std::optional<std::string> EntryFormLogic::confirmChecks() {
    auto failed = onConfirmChecks();
    confirmation_ = failed ? Confirmation::Failed : Confirmation::Passed;
    return failed;
}

std::optional<std::string> EntryFormLogic::checksBeforeSave() {
    saveFollows_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{saveFollows_};
    return confirmChecks();
}

void EntryFormLogic::announceSaved(std::string text) {
    savedNotice_ = std::move(text);
    if (ctx_.saveAnnounced) ctx_.saveAnnounced(savedNotice_);
}

void EntryFormLogic::save() {
    confirmation_ = Confirmation::Unchecked;
    const auto before = values_;
    onSave();
    confirmation_ = Confirmation::Unchecked;
    // A window of continuous entry that reset itself after the save starts afresh:
    // what it holds now is nothing typed. A save refused keeps the typed values.
    if (values_ != before) markEntered();
}

std::optional<std::string> EntryFormLogic::confirmPressed() {
    const Confirmation state = confirmation_;
    confirmation_ = Confirmation::Unchecked;
    if (state == Confirmation::Failed) return std::nullopt;
    if (state == Confirmation::Unchecked) {
        if (auto failed = checksBeforeSave()) {
            confirmation_ = Confirmation::Unchecked;
            return failed;
        }
    }
    save();
    if (closeRequested_) return std::nullopt;
    // A window of continuous entry has reset itself for the next one.
    return focusAfterOpen_;
}

std::optional<std::string> EntryFormLogic::confirm() {
    if (auto failed = checksBeforeSave()) return failed;
    save();
    return std::nullopt;
}

std::optional<std::string> EntryFormLogic::runAction(std::string_view cursorAt,
                                                     const std::function<std::optional<std::string>()>& action) {
    std::optional<std::string> target = action();
    confirmation_ = Confirmation::Unchecked;
    typedSince_ = true; // a list choice or a button is input as much as a key
    if (target && *target != cursorAt && !cursorAt.empty() && cursorAt != kConfirmControl &&
        cursorAt != kAbandonControl) {
        const FocusMove move = leave(cursorAt);
        if (!move.proceed) return move.control;
    }
    return target;
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

std::optional<std::string> EntryFormLogic::quietDescription(std::string_view table, const std::string& code,
                                                           int column) const {
    class Silent : public Prompt {
    public:
        void information(const std::string&) override {}
        bool question(const std::string&) override { return false; }
    } silent;
    if (trimmed(code).empty()) return std::nullopt;
    const auto row = findCode(ctx_.folders, table, code, silent);
    if (!row) return std::nullopt;
    return row->col[static_cast<std::size_t>(column)];
}

std::optional<TableRecord> EntryFormLogic::describeCode(std::string_view table, const std::string& code,
                                                        std::string_view descriptionControl) {
    auto row = findCode(folders(), table, code, prompt());
    setValue(descriptionControl, row ? row->col[1] : std::string(kInvalidCode));
    return row;
}

} // namespace accise
