#pragma once
// The credits window (TFCREDITI): a credit or re-credit of excise granted by a
// measure of a customs office for one period of a year, a duty record of kind D.
#include <string>

#include "logic/duty/dutywindow.h"

namespace accise {

class CreditsLogic : public DutyWindowLogic {
public:
    CreditsLogic(CommandContext& ctx, Prompt& prompt, FormServices& services);

    std::string chooseOffice(); // "..." beside the office: the TA03 list
    std::string addOffice();    // the new-code button: the TA03 editor in return mode

protected:
    void initialise() override;
    void showRecord(const Movement& record) override;
    Movement builtRecord() const override;
    FocusMove onLeave(std::string_view control) override;
    std::optional<std::string> onConfirmChecks() override;

private:
    bool officeFound();
};

} // namespace accise
