#pragma once
// The excise rates window (TFTABACCISE): enters, changes and deletes the rows of
// ACCISE.TAB, a rate per hectolitre-degree Plato per country from a date on, with the
// tax chapter for Italy. A row is identified by its date and country; the file stays
// ordered by date, then country.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/records/tablerecord.h"
#include "logic/framework/entryform.h"

namespace accise {

namespace exciserates {
inline constexpr const char* kRatePresent = "ACCISA GIA` PRESENTE";
inline constexpr const char* kUnknownCountry = "CODICE NAZIONE SCONOSCIUTO";
// A rate must be at least this much; anything smaller is refused with this message.
inline constexpr double kSmallestRate = 0.000009;
inline constexpr const char* kRateTooSmall = "DIGITARE UN IMPORTO DELL'ACCISA DI ALMENO 0,00001";
inline constexpr const char* kDefaultChapter = "1402";
inline constexpr const char* kLoadedLabel = "MODIFICA o CANCELLA";
// The web button's caption when WEB.CFG gives no address for it.
inline constexpr const char* kWebFallbackCaption = "ec.europa.eu/taxation_customs";
} // namespace exciserates

class ExciseRatesLogic : public EntryFormLogic {
public:
    ExciseRatesLogic(CommandContext& ctx, Prompt& prompt, FormServices& services);

    std::string title() const override { return "Tabella delle Accise"; }

    // A row is loaded for change or deletion ("MODIFICA o CANCELLA" and "Cance&lla"
    // shown, "Mostra / Richiama" hidden).
    bool rowLoaded() const { return loaded_ >= 0; }
    // The chapter field is shown exactly while the country is "IT".
    static bool chapterShownFor(std::string_view country);
    bool chapterShown() const { return chapterShownFor(value("Le0")); }
    // The web button shows the address it opens (WEB.CFG entry 3), read at opening.
    const std::string& webCaption() const { return webCaption_; }

    // Buttons; each returns the control that gets the cursor.
    std::string list();          // "Mostra / Richiama": the lookup list of the rates
    std::string chooseCountry(); // "..." beside the country: the T004 list
    std::string clear();         // "&Svuota"
    std::string remove();        // "Cance&lla"
    void openWeb();              // the excise rates in force in the European Union

protected:
    void onOpen() override;
    FocusMove onLeave(std::string_view control) override;
    std::optional<std::string> onConfirmChecks() override;
    void onSave() override;

private:
    void reset();
    std::optional<double> date() const;
    bool countryFound();
    double rate() const;
    // Leaving the date or the country: both must pass; an existing row of that date
    // and country is then loaded (when none is loaded yet).
    FocusMove keyCheck();
    // The row being built, from the fields that passed the checks.
    TableRecord builtRow() const;

    std::int32_t loaded_ = -1;
    std::string loadedDate_;    // "DD/MM/YYYY" of the loaded row
    std::string loadedCountry_; // its country, trimmed
    std::string webCaption_;
};

} // namespace accise
