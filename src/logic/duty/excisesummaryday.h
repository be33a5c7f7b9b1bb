#pragma once
// The excise summary of a day (TFACCISE_PP), for a registered consignee: the excise
// due on the goods received that day, proposed from the register file.
#include <optional>
#include <string>

#include "logic/duty/dutywindow.h"

namespace accise {

namespace duty {
inline constexpr const char* kSummarySent =
    "ATTENZIONE RIEPILOGO GIA` INVIATO! PER MODIFICARE UTILIZZA LA RETTIFICA";
}

class ExciseSummaryDayLogic : public DutyWindowLogic {
public:
    ExciseSummaryDayLogic(CommandContext& ctx, Prompt& prompt, FormServices& services);

protected:
    void initialise() override;
    void showRecord(const Movement& record) override;
    Movement builtRecord() const override;
    int recordYear() const override;
    const char* sentMessage() const override { return duty::kSummarySent; }
    FocusMove onLeave(std::string_view control) override;
    std::optional<std::string> onConfirmChecks() override;

private:
    // Shows the excise due of the day typed; remembers the day.
    void computeForDay(double day);
    double computedFor_ = 0; // the day DOUBL1 was computed for (0: none)
};

} // namespace accise
