#pragma once
// The duty-record search window (TFRICREGDER): the credits, excise summaries or
// voluntary corrections of one year over a range of periods, printed and exported to
// RICERCA_D/E/R.CSV. Mode T lists every record of the kind, mode t only the sent ones.
// The records found are also listed in the window (LRICERCA): Enter on a row opens
// it in its duty-record window, read only; "Esporta..." writes the same lines to a
// file the clerk names.
#include <filesystem>
#include <memory>

#include "core/reports/dutysearch.h"
#include "core/reports/dutysearchprint.h"
#include "logic/framework/entryform.h"
#include "logic/reportwindows/searchresults.h"

namespace accise {

namespace dutysearchwindow {
// The radio group's items, in the order of the kinds D, E, R.
inline constexpr const char* kKindTexts[] = {"Registro crediti e riaccrediti", "Registro accise",
                                             "Registro ravvedimenti"};
inline constexpr int kSummaryKind = 1; // "Registro accise", chosen when the program starts
} // namespace dutysearchwindow

class DutySearchLogic : public EntryFormLogic {
public:
    // `kindChoice` is the radio item chosen at the last showing: the window keeps it
    // from one showing to the next (the program keeps it in between).
    DutySearchLogic(CommandContext& ctx, Prompt& prompt, FormServices& services,
                    int kindChoice = dutysearchwindow::kSummaryKind);

    std::string title() const override { return dutySearchCaption(mode_); }
    bool fileButtonShown() const { return fileButtonShown_; }
    int kindChoice() const;
    const DutySearchCriteria& criteria() const { return criteria_; }
    std::filesystem::path exportFile() const { return dutySearchExportFile(folders(), criteria_.kind); }

    // BAPRI: the export file of the last search, opened by its associated program.
    std::optional<std::string> openExport();

    // Records listed by the last search.
    std::size_t listed() const { return listed_; }

    // The list of the last search's records (empty before one).
    SearchResults& results() { return results_; }
    const SearchResults& results() const { return results_; }
    // Enter on row `shown` of the list: that record in the window of its kind, read
    // only (duty::kViewWindow). The search's own command values stay as they are.
    void openFound(std::size_t shown);
    // "Esporta...", shown once a search has run: the name proposed,
    // RICERCA_<D|E|R, "_INVIATI" in mode t>_<year and first month>_<year and last period>.csv.
    bool canExport() const { return last_ != nullptr; }
    std::string proposedExportName() const;
    // Writes the last search's export to `file` (the lines of RICERCA_<kind>.CSV);
    // LESPORTA then names it. False, and the clerk told why, when it cannot be written.
    bool exportTo(const std::filesystem::path& file);

protected:
    void onOpen() override;
    FocusMove onLeave(std::string_view control) override;
    std::optional<std::string> onConfirmChecks() override;
    void onSave() override;

private:
    std::size_t listed_ = 0;
    char mode_;
    int initialKind_;
    bool fileButtonShown_ = false;
    DutySearchCriteria criteria_;
    std::shared_ptr<const DutySearchPrint> last_; // shared with its print
    SearchResults results_;
};

} // namespace accise
