#pragma once
// The transmission window (TFTELEMATICO): waits for the signed copy of a flow, sends
// it to the agency's test or real environment, fetches the outcome file and shows it
// as a report (DETTAGLI.TXT in the temp folder), which can be printed.
//
// The one-second wait is driven from outside: the dialog calls startWaitPass() when
// the window becomes active and secondElapsed() from a timer, so the window stays
// responsive. The flow is ctx.flowFileName; the environment last used is kept in the
// command values for the whole run.
#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/tables/company.h"
#include "logic/framework/entryform.h"
#include "logic/telematic/agencyservice.h"

namespace accise {

inline constexpr const char* kTransmissionWindow = "TFTELEMATICO";

inline constexpr const char* kAlreadySent = "Flusso già inviato !";
inline constexpr const char* kNotSigned = "Il flusso non è stato firmato !";
inline constexpr const char* kNoEnvironment = "Non è stato selezionato l'ambiente per l'invio";
inline constexpr const char* kFileHasErrors = "Il file contiene errori.";
inline constexpr const char* kAcceptedInTest =
    "Il file è stato accettato nell'ambiente di prova!  PREMI \"OK\" PER INVIARLO NELL'AMBIENTE REALE";
inline constexpr const char* kConnectionError = "Errore di connessione, verifica la disponibilità del sito delle dogane";
inline constexpr const char* kServiceAnswer = "risposta del webservice: ";
inline constexpr const char* kSignedFileGone = "IL FILE FIRMATO NON E' PIU' PRESENTE: ";
inline constexpr const char* kSignedFileUnreadable = "IMPOSSIBILE LEGGERE IL FILE FIRMATO: ";
inline constexpr const char* kReportFile = "DETTAGLI.TXT";
// The service did not hand the outcome over: it is late, not a rejection.
inline constexpr const char* kOutcomeNotYet =
    "L'ESITO NON E' ANCORA DISPONIBILE: IL FLUSSO E' STATO RICEVUTO, MA IL SERVIZIO NON HA ANCORA CONSEGNATO L'ESITO. "
    "RICHIEDERLO PIU' TARDI (accise-cli flow outcome).";

// "Tentativo di connessione N. <n>, verifica la disponibilità del sito delle dogane"
std::string attemptMessage(int attempt);

class TransmissionLogic : public EntryFormLogic {
public:
    // GAMBIENTE: "" none ticked, "0" RPROVA, "1" RREALE.
    static constexpr const char* kTest = "0";
    static constexpr const char* kReal = "1";

    TransmissionLogic(CommandContext& ctx, Prompt& prompt, FormServices& services, AgencyService& agency);
    std::string title() const override { return "SERVIZIO TELEMATICO DOGANALE - TRASMISSIONE FILE"; }

    // The wait for the signed file: a pass starts (count 1, Label4 shown) unless one is
    // running; each elapsed second looks for the file and counts on until it is there.
    void startWaitPass();
    void secondElapsed();
    bool waiting() const { return waiting_; }
    int waitCount() const { return count_; }

    bool signedSeen() const { return signed_; }
    bool sent() const { return sent_; }
    bool abandoned() const { return abandoned_; }
    // Label1, Label2 and GAMBIENTE once the signed file has been seen; Label3 and
    // Label4 until then.
    bool choiceShown() const { return choiceShown_; }
    std::filesystem::path signedPath() const;
    const std::vector<std::string>& reportLines() const { return report_; }
    // The outcome text of the last request ("ESITO POSITIVO", ...).
    const std::string& outcome() const { return outcome_; }
    // Whether the last request brought an outcome file at all.
    bool outcomeArrived() const { return outcomeArrived_; }

    // The pause before outcome attempt 2, 3, ... (seconds: 2, then 4): an agency that
    // is merely slow gets time to prepare the outcome. Tests replace the sleep.
    void setPause(std::function<void(int seconds)> pause) { pause_ = std::move(pause); }

    // Asks the outcome of the flow again, later (the flow's signed file must still be
    // there to name it): the same requests and report as after a send.
    std::string askOutcomeAgain(AgencyEnvironment environment);

    // "&Abbandona".
    void abandonWindow();
    // "Interroga E.D.I.": the agency's EDI page of the last environment used.
    void queryEdi();

protected:
    void onOpen() override;
    std::optional<std::string> onConfirmChecks() override;
    void onSave() override;

private:
    std::optional<AgencyCredentials> credentials() const;
    // Writes an event of this flow into the sent-flows file (FLUSSI.INV).
    void recordEvent(const char* event, AgencyEnvironment environment, const std::string& detail);
    bool sendSigned(AgencyEnvironment environment);
    std::string requestOutcome(AgencyEnvironment environment);
    void showReport(const std::vector<std::string>& lines);

    AgencyService& agency_;
    ApplPaths applPaths_;
    int count_ = 0;
    bool waiting_ = false;
    bool signed_ = false;
    bool sent_ = false;
    bool abandoned_ = false;
    bool choiceShown_ = false;
    std::vector<std::string> report_;
    std::string outcome_;
    bool outcomeArrived_ = false;
    std::function<void(int)> pause_;
};

} // namespace accise
