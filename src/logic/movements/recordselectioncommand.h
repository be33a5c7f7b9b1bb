#pragma once
// The change and correction commands: the record selection list, then the window of
// the chosen record's kind in the command's mode. One table says, per mode, which
// file the record comes from and which window edits it:
//   M, E, e  the year's register file   -> the movement window
//   I, i     GIACENZE.DAT               -> the initial stock window (with its register)
//   T, t     the year's duty file       -> by TIPREC: credits "D", excise summary "E"
//                                          (by profile), voluntary correction "R"
//   F, f     the year's guarantee file  -> the guarantee window, in mode T or t
#include <optional>
#include <string>
#include <string_view>

#include "core/files/prompt.h"
#include "logic/framework/commandcontext.h"
#include "logic/shell/windowregistry.h"

namespace accise {

// Names in the window registry (the movement window is the one of the movement entry;
// the credits and voluntary-correction windows are registered under their menu actions).
inline constexpr std::string_view kRecordSelection = "TFSCEGLIMOVIMENTO";
inline constexpr std::string_view kMovementWindow = "TFMOVIMENTI";
inline constexpr std::string_view kCreditsWindow = "AINSCREDITI";
inline constexpr std::string_view kVoluntaryCorrectionWindow = "Action43";
inline constexpr std::string_view kGuaranteeWindow = "AGARANZIE";

inline constexpr const char* kChosenRecordGone =
    "IL RECORD SCELTO NON ESISTE PIU': E' STATO CANCELLATO DA UN'ALTRA POSTAZIONE DOPO LA "
    "PREPARAZIONE DELL'ELENCO. NESSUNA MODIFICA ESEGUITA.";
inline constexpr const char* kChosenRecordChanged =
    "IL RECORD SCELTO E' STATO MODIFICATO O INVIATO DA UN'ALTRA POSTAZIONE DOPO LA "
    "PREPARAZIONE DELL'ELENCO. RIPETERE LA SCELTA.";

// After a row was chosen (ctx.chosenRecord, ctx.selectedRecord as listed): reads the
// record from the file of the mode for ctx.workingYear and, for the initial stocks,
// finds its register; prepares the selected-record and movement buffers. Returns the
// registry name of the window to open, nullopt when the command ends: nothing chosen;
// the record is no longer there, or no longer as it was listed (the clerk is told);
// the stock's register is not found.
std::optional<std::string> prepareChosenRecord(CommandContext& ctx, Prompt& prompt);

// The whole command: the selection list registered as kRecordSelection, then the
// window prepareChosenRecord names (nothing when it is not registered).
void runRecordChangeCommand(const WindowRegistry& registry, CommandContext& ctx, Prompt& prompt);

} // namespace accise
