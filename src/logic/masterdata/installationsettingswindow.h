#pragma once
// The installation settings window: the excise codes of the operators whose brews are
// split at once into litres to package and process losses (SDOPPIAMENTO1..7), and
// the excise code of the operator whose packaging releases the beer directly
// (SVINCOLO). Each is empty or an excise code as the company data window takes it.
#include <string>

#include "logic/framework/entryform.h"

namespace accise {

namespace installationsettingswindow {
inline constexpr const char* kCommand = "AIMPIANTO";
inline constexpr const char* kTitle = "Impostazioni dell'impianto";
inline constexpr int kSplitCodes = 7;
inline constexpr const char* kSplitCaption = "Codici d'accisa con sdoppiamento della cotta (litri da condizionare e cali)";
inline constexpr const char* kReleaseCaption = "Codice d'accisa con svincolo diretto del prodotto condizionato";
} // namespace installationsettingswindow

class InstallationSettingsLogic : public EntryFormLogic {
public:
    InstallationSettingsLogic(CommandContext& ctx, Prompt& prompt, FormServices& services);

    std::string title() const override { return installationsettingswindow::kTitle; }
    // "SDOPPIAMENTO1".."SDOPPIAMENTO7" for index 0..6.
    static std::string splitControl(int index) { return "SDOPPIAMENTO" + std::to_string(index + 1); }
    static constexpr const char* kReleaseControl = "SVINCOLO";

protected:
    void onOpen() override;
    FocusMove onLeave(std::string_view control) override;
    std::optional<std::string> onConfirmChecks() override;
    void onSave() override;

private:
    bool codeOk(std::string_view control);
};

} // namespace accise
