#pragma once
// The voluntary correction window (TFRAVVEDIM): the late or short payment of excise
// regularised with a reduced sanction and default interest, a duty record of kind R.
// The period is named by year and period code (authorised warehouse keeper) or by a
// date of reference (registered consignee). Every figure is stored as typed.
#include <optional>
#include <string>

#include "logic/duty/dutywindow.h"

namespace accise {

namespace duty {
inline constexpr const char* kCorrectionSent =
    "ATTENZIONE RAVVEDIMENTO GIA` INVIATO! PER MODIFICARE UTILIZZA LA RETTIFICA";
}

class VoluntaryCorrectionLogic : public DutyWindowLogic {
public:
    VoluntaryCorrectionLogic(CommandContext& ctx, Prompt& prompt, FormServices& services);

    // Year and period under the warehouse keeper's profile, the date under the
    // registered consignee's.
    bool isShown(std::string_view control) const override;

protected:
    void initialise() override;
    void showRecord(const Movement& record) override;
    Movement builtRecord() const override;
    int recordYear() const override;
    DutyIdentity identity() const override { return byDay_ ? DutyIdentity::Day : DutyIdentity::Period; }
    const char* sentMessage() const override { return byDay_ ? duty::kCorrectionSent : duty::kPeriodSent; }
    FocusMove onLeave(std::string_view control) override;
    std::optional<std::string> onConfirmChecks() override;

private:
    // The profile, taken when the window opens.
    bool byDay() const { return byDay_; }
    // Period check (by period) or date check (by day); the other one always passes.
    IdentityCheck checkPeriodOrDay(std::string_view control);

    bool byDay_ = false;
};

} // namespace accise
