#pragma once
// The company data window (TFDATIAZIENDA): edits UTENTE.001, the company's identity,
// customs office, guarantee data, profile and EDI credentials.
#include "logic/masterdata/officeform.h"

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

class CompanyDataLogic : public OfficeFormLogic {
public:
    CompanyDataLogic(CommandContext& ctx, Prompt& prompt, FormServices& services);

    std::string title() const override { return "Dati dell'Azienda"; }

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
};

} // namespace accise
