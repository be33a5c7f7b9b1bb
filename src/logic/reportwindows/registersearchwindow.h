#pragma once
// The register search window (TFRICREGC): the loads or the unloads of a period, of
// one sender or recipient or of all, printed and exported to RICERCA_C.CSV. Its mode
// is the command's (ctx.mode): C, S, c, s.
#include <filesystem>

#include "core/reports/registersearch.h"
#include "logic/framework/entryform.h"

namespace accise {

namespace registersearchwindow {
inline constexpr const char* kCodeHint = "OBBLIGATORIO per SPEDIZIONI / RICEZIONI.\n"
                                         "Per DAC = \"CUMULATIVO\", per DSC / X-E = \"DESTINATARI VARI\".\n"
                                         "Per SCF = ASSENTE.";
} // namespace registersearchwindow

class RegisterSearchLogic : public EntryFormLogic {
public:
    RegisterSearchLogic(CommandContext& ctx, Prompt& prompt, FormServices& services);

    std::string title() const override { return registerSearchCaption(mode_); }
    char mode() const { return mode_; }
    // "Mittente" for loads, "Destinatario" otherwise.
    std::string codeLabel() const { return mode_ == 'C' ? "Mittente" : "Destinatario"; }
    bool fileButtonShown() const { return fileButtonShown_; }
    std::filesystem::path exportFile() const;

    // BMITDES: the address book's lookup list; the chosen entry's excise code (or its
    // VAT number) goes into the code field.
    std::optional<std::string> chooseCode();
    // BAPRI: the export file opened by its associated program.
    std::optional<std::string> openExport();

    // The criteria of the last confirmation that passed.
    const RegisterSearchCriteria& criteria() const { return criteria_; }

    // Records listed by the last search.
    std::size_t listed() const { return listed_; }

protected:
    void onOpen() override;
    FocusMove onLeave(std::string_view control) override;
    std::optional<std::string> onConfirmChecks() override;
    void onSave() override;

private:
    std::size_t listed_ = 0;
    char mode_;
    bool fileButtonShown_ = false;
    RegisterSearchCriteria criteria_;
};

} // namespace accise
