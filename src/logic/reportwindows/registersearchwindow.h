#pragma once
// The register search window (TFRICREGC): the loads or the unloads of a period, of
// one sender or recipient or of all, printed and exported to RICERCA_C.CSV. Its mode
// is the command's (ctx.mode): C, S, c, s. The records found are also listed in the
// window (LRICERCA): Enter on a row opens it in the movement window, read only;
// "Esporta..." writes the same lines to a file the clerk names.
#include <filesystem>
#include <memory>

#include "core/reports/registersearch.h"
#include "core/reports/registersearchprint.h"
#include "logic/framework/entryform.h"
#include "logic/reportwindows/searchresults.h"

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

    // The list of the last search's records (empty before one).
    SearchResults& results() { return results_; }
    const SearchResults& results() const { return results_; }
    // Enter on row `shown` of the list: that record in the movement window, read
    // only. The search's own command values stay as they are.
    void openFound(std::size_t shown);
    // "Esporta...", shown once a search has run: the name proposed,
    // RICERCA_<C|S|C_INVIATI|S_INVIATI>_<from YYYYMMDD>_<to YYYYMMDD>.csv.
    bool canExport() const { return last_ != nullptr; }
    std::string proposedExportName() const;
    // Writes the last search's export to `file`: the lines of the temp folder's
    // RICERCA_C.CSV. LESPORTA then names the file; when it cannot be written the
    // clerk is told why and false is returned.
    bool exportTo(const std::filesystem::path& file);

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
    std::shared_ptr<const RegisterSearchPrint> last_; // shared with its print
    SearchResults results_;
};

} // namespace accise
