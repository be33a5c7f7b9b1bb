#pragma once
// The flow creation window (TFCREAFIRMAINVIAREGISTRO): lists the unsent records of a
// year, numbers the flow, marks the ticked records, writes the flow file and starts
// the agency's signing tool.
#include <array>
#include <filesystem>

#include "core/flow/flowcreation.h"
#include "logic/framework/entryform.h"
#include "logic/telematic/checklist.h"

namespace accise {

inline constexpr const char* kNothingTicked = "NON E' STATO SELEZIONATO ALCUN MESSAGGIO";
// The flow number's hint, also the word said when it is empty or out of range.
inline constexpr const char* kFlowNumberHint = "indicare un valore compreso tra 1 e 99";
inline constexpr const char* kSignedFileReplaced =
    "IL FILE E' GIA' PRESENTE NELLA CARTELLA \"FIRMATI\": VERRA' SOSTITUITO";
inline constexpr const char* kSigningToolNotStarted = "IMPOSSIBILE AVVIARE IL PROGRAMMA DI FIRMA: ";

class FlowCreationLogic : public EntryFormLogic {
public:
    FlowCreationLogic(CommandContext& ctx, Prompt& prompt, FormServices& services);
    std::string title() const override {
        return "Crea il flusso del registro di carico e scarico - Firma - Invia nell'Ambiente Telematico della Dogana";
    }

    // Lock waits go here instead of the window's prompt (the command-line tool).
    void setLockPrompt(Prompt& prompt) { lockPrompt_ = &prompt; }

    CheckList& list() { return list_; }
    const CheckList& list() const { return list_; }
    // LFLUSSO: the folder of files to be signed.
    std::string signFolderText() const { return applPaths_[1]; }
    const FlowResult& result() const { return result_; }
    const std::string& flowFileName() const { return fileName_; }
    bool replaceSigned() const { return replace_; }

    void buildList();

protected:
    void onOpen() override;
    FocusMove onLeave(std::string_view control) override;
    std::optional<std::string> onConfirmChecks() override;
    void onSave() override;

private:
    std::filesystem::path signedPath() const;

    Prompt* lockPrompt_ = nullptr;
    CheckList list_;
    std::array<std::string, 4> applPaths_;
    std::string fileName_;
    bool replace_ = false;
    FlowResult result_;
};

// The next flow number of a day: one more than the highest among the flows to be
// signed and the signed ones (entries 2 and 3 of APPL.CFG), so that a flow not yet
// signed is counted too.
int nextFlowNumber(const std::array<std::string, 4>& applPaths, const std::string& userCode, double date);

// "GIA' CREATI 99 FLUSSI DEL dd/mm/yyyy ...": the name has two digits for the number.
std::string noFlowNumberLeftMessage(double date);

// The year of LANNO as the flow windows accept it: 2008 to 2060.
bool validFlowYear(const std::string& text, int& year);

} // namespace accise
