#pragma once
// The sent flows window ("Flussi trasmessi"): the year's flows as buildFlowHistory
// reads them (the same rows `accise-cli flow history` prints) and, from a row, the
// send (the transmission window on that flow), the outcome asked again, the outcome
// report with its error lines beside the records they name, and the reactivation
// window on that flow.
#include <functional>
#include <string>
#include <vector>

#include "core/flow/flowhistory.h"
#include "core/files/prompt.h"
#include "core/flow/outcomeerrors.h"
#include "logic/framework/commandcontext.h"
#include "logic/framework/formservices.h"
#include "logic/telematic/agencyservice.h"

namespace accise {

inline constexpr const char* kFlowHistoryWindow = "AFLUSSITRASMESSI";
inline constexpr const char* kNoFlowChosen = "NESSUN FLUSSO SELEZIONATO";
inline constexpr const char* kFlowNeverSent = "Il flusso non è stato ancora inviato: prima inviarlo.";
inline constexpr const char* kNoOutcomeYet =
    "ESITO NON ANCORA RICEVUTO SU QUESTA POSTAZIONE: RICHIEDERE L'ESITO (tasto E).";
inline constexpr const char* kFlowHistoryYearInvalid = "ANNO NON VALIDO";

class FlowHistoryLogic {
public:
    FlowHistoryLogic(CommandContext& ctx, Prompt& prompt, FormServices& services, AgencyService& agency);
    std::string title() const { return "FLUSSI TRASMESSI"; }

    // Reads the flows of ctx.flowYear (this year when empty).
    void open();
    // A new year typed by the clerk; false (and a message) for a year that is not one.
    bool setYear(const std::string& year);
    const std::string& year() const { return year_; }

    const std::vector<FlowHistoryRow>& rows() const { return rows_; }
    static std::vector<std::string> columnTitles();
    // The texts of a row, one per column title.
    std::vector<std::string> rowTexts(std::size_t row) const;

    // Row actions. Each reads the rows again afterwards, so what they changed shows.
    void send(std::size_t row);
    void askOutcome(std::size_t row);
    void showOutcome(std::size_t row);
    void reactivate(std::size_t row);

    // What the last showOutcome / askOutcome found: the outcome report, then each error
    // line with the record it names.
    const std::vector<std::string>& detailLines() const { return details_; }
    const std::vector<OutcomeErrorLine>& errors() const { return errors_; }

    // The pause between outcome attempts (tests replace the sleep).
    void setPause(std::function<void(int seconds)> pause) { pause_ = std::move(pause); }

private:
    const FlowHistoryRow* rowAt(std::size_t row) const;
    void reload();
    // The report of the outcome file this desk last received for the row's flow.
    bool readOutcome(const FlowHistoryRow& row);

    CommandContext& ctx_;
    Prompt& prompt_;
    FormServices& services_;
    AgencyService& agency_;
    std::string year_;
    std::vector<FlowHistoryRow> rows_;
    std::vector<std::string> details_;
    std::vector<OutcomeErrorLine> errors_;
    std::function<void(int)> pause_;
};

} // namespace accise
