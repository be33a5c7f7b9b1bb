#pragma once
// The other authorised sites window (TFALTRESEDI): creates and edits the files
// UTENTE.002 ... UTENTE.999, one per site of a tax warehouse authorised for
// dispatch. A new site starts from the company's data.
#include <string>

#include "logic/masterdata/officeform.h"

namespace accise {

namespace othersites {
// The site number must have its three digits (the edit mask's rule).
inline constexpr const char* kIncompleteSite = "DIGITARE LE TRE CIFRE DEL N° DELLA SEDE (DA 002 A 999)";
} // namespace othersites

class OtherSitesLogic : public OfficeFormLogic {
public:
    OtherSitesLogic(CommandContext& ctx, Prompt& prompt, FormServices& services);

    std::string title() const override { return "Altre Sedi dell'Azienda autorizzate per le spedizioni"; }

    // "EC.EUROPA.EU": WEB.CFG entry 2.
    void openEuropa() { openWebEntry(2); }

protected:
    void onOpen() override;
    FocusMove onLeave(std::string_view control) override;
    std::optional<std::string> onConfirmChecks() override;
    void onSave() override;

private:
    // The site number: three digits above "001". An incomplete one is reported.
    bool siteNumberOk();
    bool exciseCodeOk();
};

} // namespace accise
