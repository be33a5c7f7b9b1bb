#pragma once
// TFCODICI_NC: the editor of the product codes (TA20). A code "cccc-00000000-cc-cccc"
// typed in a masked field (ME0), its description (Memo1), its validity (MDALLA, MALLA)
// and its unit of measure (RUM: 0 "Kilogrammi", 1 "Ettogradi", 2 "Litri idrati").
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "logic/codetables/codeeditorbase.h"

namespace accise {

inline constexpr const char* kProductCodeTitle = "Codici doganali identificativi dei prodotti (TA20)";
inline constexpr const char* kProductCodeLabel = "CPA            NC           Taric   Cadd";
inline constexpr const char* kProductCodeMask = "cccc-00000000-cc-cccc;1;_";
inline constexpr const char* kValidityMask = "!00/00/0000;1;_";
inline constexpr const char* kValidUntilDefault = "01/01/2050";
inline constexpr std::array<std::string_view, 3> kUnitNames{"Kilogrammi", "Ettogradi", "Litri idrati"};

class ProductCodeEditor : public CodeEditorBase {
public:
    ProductCodeEditor(CommandContext& ctx, Prompt& prompt, FormServices& services);

    std::string title() const override { return kProductCodeTitle; }

protected:
    void onOpen() override;
    FocusMove onLeave(std::string_view control) override;
    std::optional<std::string> onConfirmChecks() override;
    void onSave() override;

    std::string code() const override;
    std::string codeControl() const override { return "ME0"; }
    void clearFields() override;
    void showRow(const TableRecord& row) override;
    void beforeList() override;

private:
    // The first digit of the eight-digit group is filled.
    bool codePresent() const;
    // Both dates valid, the last not before the first: the failing field otherwise.
    std::optional<std::string> validityCheck();
};

} // namespace accise
