#pragma once
// The records a flow can carry and the lines that show them to the clerk: the list
// of unsent records of a year (with its selection file APPOGGIO.DAT and the guarantee
// check file GARANZIA.DAT) and the list of the records of one flow (CANCELLA.MOV).
// Record i of a selection file is a copy of the record shown on line i.
#include <filesystem>
#include <string>
#include <vector>

#include "core/files/folders.h"
#include "core/records/movement.h"

namespace accise {

// The record files a flow takes records from, in the fixed order in which their
// lock markers are taken.
enum class FlowSource { InitialStocks, Register, Guarantees, Duty };
inline constexpr FlowSource kFlowSources[] = {FlowSource::InitialStocks, FlowSource::Register,
                                              FlowSource::Guarantees, FlowSource::Duty};

FlowSource flowSourceOf(const Movement& record);
fs::path flowSourcePath(const Folders& folders, int year, FlowSource source);

fs::path selectionFile(const Folders& folders);      // APPOGGIO.DAT
fs::path guaranteeCheckFile(const Folders& folders); // GARANZIA.DAT
fs::path reactivationFile(const Folders& folders);   // CANCELLA.MOV

// "Mat. Prime", "Lavorazioni", "Pr. Finiti" or a blank.
std::string registerTypeLabel(const std::string& tipreg);
// The 13-character direction text of a movement line.
std::string directionText(const Movement& movement);

// The text of a record's line in the flow creation list, and in the reactivation
// list (without its counter).
std::string flowListLine(const Movement& record, bool alcopp);
std::string reactivationListLine(const Movement& record, bool alcopp);

struct FlowList {
    std::vector<std::string> lines;
    std::vector<std::string> missingGuarantees; // "ATTENZIONE MANCA LA GARANZIA DEL dd/mm/yyyy", one per day
};

// The unsent initial stocks (of any year), movements, guarantees and duty records of
// `year`, in that order; rewrites APPOGGIO.DAT and GARANZIA.DAT.
FlowList buildFlowList(const Folders& folders, int year, bool alcopp);

// The records of `year` (and the initial stocks) carrying the flow `date` / `number`,
// as numbered lines ("2|..." first); rewrites CANCELLA.MOV.
std::vector<std::string> buildReactivationList(const Folders& folders, int year, double flowDate, int flowNumber,
                                               bool alcopp);

// The text of the missing-guarantee warning.
std::string missingGuaranteeMessage(double day);

} // namespace accise
