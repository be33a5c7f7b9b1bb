#pragma once
// The company data window (TFDATIAZIENDA): edits UTENTE.001, the company's identity,
// customs office, guarantee data, profile and EDI credentials.
#include "framework/entryform.h"

namespace accise {

namespace companydata {
// Authorisation type (radio group RTIPOIN) and profile (list CAP2), by item index.
inline constexpr const char* kAuthorisationItems[] = {"DEPOSITO FISCALE", "SPEDITORE AUTORIZZATO"};
inline constexpr const char* kProfileItems[] = {"ALCODA - depositario autorizzato",
                                                "ALCOPP - destinatario registrato"};

inline constexpr const char* kWrongExciseCode = "ATTENZIONE CODICE D'ACCISA ERRATO";
inline constexpr const char* kTypeOneCharacter = "DIGITARE ALMENO UN CARATTERE";
inline constexpr const char* kWrongVatNumber = "ATTENZIONE PARTITA I.V.A. ERRATA";
inline constexpr const char* kWrongTaxCode = "ATTENZIONE CODICE FISCALE ERRATO";
inline constexpr const char* kWrongBondKind = "DIGITA: C per cauzione, E pe esonero";
} // namespace companydata

class CompanyDataLogic : public EntryFormLogic {
public:
    CompanyDataLogic(CommandContext& ctx, Prompt& prompt, FormServices& services);

    std::string title() const override { return "Dati dell'Azienda"; }

    // The "..." beside the office: the TA03 list; the chosen code goes into UFFDO1.
    std::string chooseOffice();
    // The new-code button: the TA03 editor in return mode.
    std::string addOffice();
    // "Banca Dati SEED" and "EC.EUROPA.EU": WEB.CFG entries 1 and 2.
    void openSeed() { openWebEntry(1); }
    void openEuropa() { openWebEntry(2); }
    // A click on the authorisation type sends the cursor to the excise code.
    std::string authorisationChosen() { return "CACCI1"; }

protected:
    void onOpen() override;
    FocusMove onLeave(std::string_view control) override;
    std::optional<std::string> onConfirmChecks() override;
    void onSave() override;

private:
    bool exciseCodeOk();
    bool bondKindOk();
    bool denominationOk();
    bool officeFound(bool fillDefaults);
    void openWebEntry(int entry);
};

// The export office proposed for a customs office: its 6th character made "1"
// (the code padded with spaces to 6 characters first, then trimmed).
std::string exportOfficeFor(std::string_view office);
// The section proposed for a customs office: its characters 3 to 8.
std::string sectionFor(std::string_view office);

} // namespace accise
