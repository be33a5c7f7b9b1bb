#pragma once
// The duty-record search window (TFRICREGDER): the credits, excise summaries or
// voluntary corrections of one year over a range of periods, printed and exported to
// RICERCA_D/E/R.CSV. Mode T lists every record of the kind, mode t only the sent ones.
#include <filesystem>

#include "core/reports/dutysearch.h"
#include "logic/framework/entryform.h"

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
};

} // namespace accise
