#pragma once
// The excise summary of a period (TFACCISE_DA), for an authorised warehouse keeper:
// the excise due on the taxed unloads of the period, minus the credits used and the
// reversals for goods returned with excise paid, gives the total to pay. The amounts
// are proposed from the files; the clerk may change them before confirming.
#include <optional>
#include <string>

#include "logic/duty/dutywindow.h"

namespace accise {

namespace duty {
inline constexpr const char* kNegativeAmount = "NON SONO AMMESSI IMPORTI NEGATIVI !";
}

class ExciseSummaryPeriodLogic : public DutyWindowLogic {
public:
    ExciseSummaryPeriodLogic(CommandContext& ctx, Prompt& prompt, FormServices& services);

    // The cursor enters the notes: the total is computed again. The control that must
    // get the cursor instead (a negative total), if any.
    std::optional<std::string> enterNotes();

protected:
    void initialise() override { computedFor_.clear(); }
    void showRecord(const Movement& record) override;
    Movement builtRecord() const override;
    FocusMove onLeave(std::string_view control) override;
    std::optional<std::string> onConfirmChecks() override;

private:
    // Shows the total of the three amounts; false (after the message) when negative.
    bool computeTotal();
    double total() const;
    // Shows the summary of the period typed (year and code) and remembers it.
    void computeForPeriod();
    std::string computedFor_; // "<year>/<code>" the amounts were computed for (empty: none)
};

} // namespace accise
