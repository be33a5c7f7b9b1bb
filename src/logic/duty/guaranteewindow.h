#pragma once
// The guarantee window (TFGARANZIE): the guarantee of a day, a record of kind F in
// <yyyy>.GAR of the day's year, which the flow sends with the other duty records.
// An unsent guarantee of the same day is loaded and replaced on confirmation; a sent
// one is changed only by a correction.
#include <optional>
#include <string>

#include "logic/duty/dutywindow.h"

namespace accise {

namespace duty {
inline constexpr const char* kGuaranteeSent =
    "ATTENZIONE GARANZIA GIA` INVIATA! PER MODIFICARE UTILIZZA LA RETTIFICA";
}

class GuaranteeLogic : public DutyWindowLogic {
public:
    GuaranteeLogic(CommandContext& ctx, Prompt& prompt, FormServices& services);

protected:
    void initialise() override {}
    void showRecord(const Movement& record) override;
    Movement builtRecord() const override;
    int recordYear() const override;
    const char* sentMessage() const override { return duty::kGuaranteeSent; }
    FocusMove onLeave(std::string_view control) override;
    std::optional<std::string> onConfirmChecks() override;
};

} // namespace accise
