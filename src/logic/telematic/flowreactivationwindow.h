#pragma once
// The reactivation window (TFCANCFLUSSO): lists the records that carry a flow date
// and number and, once the clerk types "SI", clears those marks in the ticked ones.
#include "logic/framework/entryform.h"
#include "logic/telematic/checklist.h"

namespace accise {

inline constexpr const char* kReactivationWarning1 =
    "ATTENZIONE !!!  RIATTIVA SOLO SE IL RECORD NON E' STATO ACQUISITO DAL SISTEMA TELEMATICO ";
inline constexpr const char* kReactivationWarning2 =
    "RICORDA: IL SISTEMA TELEMATICO RIPORTA NEI DETTAGLI DEL FLUSSO INVIATO GLI ERRORI  RISCONTRATI: ";
inline constexpr const char* kReactivationWarning3 =
    "SE e SOLO SE LA NOTA INIZIA CON IL CARATTERE \"E\" ALLORA SIGNIFICA CHE IL DATO E' STATO SCARTATO .";
inline constexpr const char* kReactivationDone = "RIATTIVAZIONE ESEGUITA";

class FlowReactivationLogic : public EntryFormLogic {
public:
    FlowReactivationLogic(CommandContext& ctx, Prompt& prompt, FormServices& services);
    std::string title() const override { return "RIATTIVA I RECORD ASSOCIATI AD UN FLUSSO"; }

    void setLockPrompt(Prompt& prompt) { lockPrompt_ = &prompt; }
    CheckList& list() { return list_; }
    const CheckList& list() const { return list_; }
    int reactivated() const { return reactivated_; }

    void buildList();

protected:
    void onOpen() override;
    FocusMove onLeave(std::string_view control) override;
    std::optional<std::string> onConfirmChecks() override { return std::nullopt; }
    void onSave() override {}

private:
    void lastFlowOfToday();
    FocusMove reactivate();

    Prompt* lockPrompt_ = nullptr;
    CheckList list_;
    double flowDate_ = 0;
    int reactivated_ = 0;
};

} // namespace accise
