#pragma once
// Creating a flow from the ticked lines of the selection list, and clearing the
// marks of a flow's records (reactivation).
//
// Creation takes the lock markers of every record file involved, in the fixed order
// of kFlowSources, and keeps them to the end. Under the locks each ticked copy is
// checked against its file (same NUMREC, still unsent, unchanged): a record that
// another workstation removed, changed or sent since the list was built is left out.
// The flow file is written beside its final name first and must pass the flow
// check; the old signed copy of the same name is removed; then every file's ticked
// records are marked in one pass and the flow is put in place. When any step fails
// the marked files get their old content back and the new flow file is removed, so
// no record is left marked without a flow that carries it. A flow whose number
// still belongs to records (created before and not reactivated) is never
// overwritten, and a signed copy that cannot be removed stops creation before any
// mark: it would be sent as the new flow.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/files/folders.h"
#include "core/files/prompt.h"
#include "core/flow/flowfile.h"
#include "core/records/address.h"

namespace accise {

struct FlowRequest {
    int year = 0;       // of the register, guarantee and duty files
    int number = 0;     // 1..99
    double date = 0;    // flow date
    std::vector<std::size_t> ticked; // lines of the list, ascending
    fs::path signFolder;             // folder of files to be signed
    fs::path signedFolder;           // folder of signed files: an old <name>.p7m there is removed
};

struct FlowResult {
    fs::path flowFile;                 // empty when no record could be carried
    FlowCounts counts;
    std::vector<std::string> leftOut;  // list lines of the records changed since the list was built
    std::string refused;               // why nothing was marked (flowFile empty), for the clerk
};

// True when a record of `year`'s files or an initial stock carries the flow
// `date` / `number` (it was created and not reactivated).
bool flowNumberInUse(const Folders& folders, int year, double date, int number);
std::string flowNumberInUseMessage(const std::string& flowName);

// Throws std::invalid_argument for a number outside 1..99, IoError for a file error.
FlowResult createFlow(const Folders& folders, const AddressRecord& company, const FlowRequest& request,
                      Prompt& lockPrompt);

// Clears DATFLU and NUMFLU of the records of the ticked lines of the reactivation
// list, one locked pass per file. A record counts only when it is still in its file
// and still carries the marks of its copy. `reactivated` grows as each file is
// written, so that it is right also when a later file fails (IoError).
void reactivateFlowRecords(const Folders& folders, int year, const std::vector<std::size_t>& ticked,
                           Prompt& lockPrompt, int& reactivated);

// The text that tells the clerk which records were left out.
std::string leftOutMessage(const std::vector<std::string>& leftOut);

} // namespace accise
