#pragma once
// The address delete window (TFCANCDESTIN): shows the entry found by its code and
// deletes it when the user types "SI" in the confirmation field.
#include <string>
#include <string_view>

#include "core/records/address.h"
#include "logic/framework/entryform.h"

namespace accise {

namespace addressdelete {
inline constexpr const char* kTypeYes = "DIGITA \"SI\" PER CANCELLARE ";
inline constexpr const char* kYes = "SI";
} // namespace addressdelete

// The entry as the window shows it, one item per line.
std::string addressDeleteText(const AddressRecord& entry, char kind);

class AddressDeleteLogic : public EntryFormLogic {
public:
    // Controls: CONFSI (the confirmation field) and TESTO (the entry, read only).
    AddressDeleteLogic(CommandContext& ctx, Prompt& prompt, FormServices& services, AddressRecord entry);

    std::string title() const override;
    bool deleted() const { return deleted_; }

protected:
    void onOpen() override;
    FocusMove onLeave(std::string_view control) override;
    std::optional<std::string> onConfirmChecks() override { return std::nullopt; }
    void onSave() override {}

private:
    AddressRecord entry_;
    std::string book_;
    bool deleted_ = false;
};

} // namespace accise
