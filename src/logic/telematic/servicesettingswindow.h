#pragma once
// The service settings window ("Configurazione" - "Servizio telematico"): the hosts,
// ports, namespace, extra CA of each environment and time limit of SERVIZIO.INI, one
// field per key (the control is named by its key). A value that cannot be used keeps
// the cursor in its field with a message naming it; the real environment may stay
// empty (real sends are then refused), but not equal to the test one.
#include <string>

#include "logic/framework/entryform.h"

namespace accise {

namespace servicesettingswindow {
inline constexpr const char* kCommand = "ASERVIZIO";
inline constexpr const char* kTitle = "Servizio telematico";
inline constexpr const char* kSameAsTest =
    "L'AMBIENTE REALE NON PUO' ESSERE QUELLO DI PROVA: LASCIARLO VUOTO FINCHE' NON SI CONOSCE L'INDIRIZZO DELL'AGENZIA";
} // namespace servicesettingswindow

class ServiceSettingsLogic : public EntryFormLogic {
public:
    ServiceSettingsLogic(CommandContext& ctx, Prompt& prompt, FormServices& services);
    std::string title() const override { return servicesettingswindow::kTitle; }

    // The caption of a key's field ("Host dell'ambiente di prova", ...).
    static std::string caption(std::string_view key);
    // "VALORE NON VALIDO PER <caption>: ..." with what the key takes.
    static std::string invalidMessage(std::string_view key);

protected:
    void onOpen() override;
    FocusMove onLeave(std::string_view control) override;
    std::optional<std::string> onConfirmChecks() override;
    void onSave() override;

private:
    bool valueOk(std::string_view key);
};

} // namespace accise
