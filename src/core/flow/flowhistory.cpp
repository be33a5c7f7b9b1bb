#include "core/flow/flowhistory.h"

#include <cmath>
#include <map>

#include "core/files/binary.h"
#include "core/files/recordfile.h"
#include "core/flow/flowlist.h"
#include "core/flow/sentflows.h"
#include "core/records/movementview.h"
#include "core/tables/dates.h"

namespace accise {
namespace {

namespace off = movement_offset;

// Records carrying a flow of `year`, counted by (date, number) and kind.
std::map<std::pair<double, int>, FlowCounts> carriedFlows(const Folders& folders, int year) {
    std::map<std::pair<double, int>, FlowCounts> flows;
    for (FlowSource source : kFlowSources) {
        const RecordBlock block = readRecords(flowSourcePath(folders, year, source), kMovementSize, IfMissing::Empty);
        for (std::size_t i = 0; i < block.count(); ++i) {
            const MovementView r(block.at(i));
            if (r.NUMFLU() <= 0) continue;
            const double date = std::round(binary::getDouble(block.at(i).data() + off::DATFLU));
            if (date < 1 || yearOf(date) != year) continue;
            const Movement m = decodeMovement(block.at(i));
            FlowCounts& counts = flows[{date, r.NUMFLU()}];
            if (const int k = flowKindIndex(m); k >= 0) ++counts.byKind[k];
        }
    }
    return flows;
}

} // namespace

std::vector<FlowHistoryRow> buildFlowHistory(const Folders& folders, int year, const std::string& userCode,
                                             const ApplPaths& paths) {
    std::vector<FlowHistoryRow> rows;
    const std::vector<SentFlowEvent> events = readSentFlowEvents(folders);
    for (const auto& [key, counts] : carriedFlows(folders, year)) {
        FlowHistoryRow row;
        row.date = key.first;
        row.number = key.second;
        row.name = flowFileName(userCode, row.number, row.date);
        row.counts = counts;
        row.flowFile = fileExists(fs::path(paths[1]) / row.name);
        row.signedFile = fileExists(fs::path(paths[2]) / (row.name + ".p7m"));
        for (const SentFlowEvent& e : events) {
            if (e.flowName != row.name || std::round(e.flowDate) != row.date) continue;
            if (e.event == "INVIO") (e.environment == 'R' ? row.sentReal : row.sentTest) = true;
            if (e.event == "ESITO") {
                const std::size_t blank = e.detail.find(' ');
                row.registration = e.detail.substr(0, blank);
                row.outcome = blank == std::string::npos ? "" : e.detail.substr(blank + 1);
                row.outcomeEnvironment = e.environment;
            } else if (e.event == "ATTESA" && row.outcome.empty()) {
                row.outcome = "IN ATTESA";
                row.outcomeEnvironment = e.environment;
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

double flowDateOfName(const Folders& folders, int year, const std::string& userCode, const std::string& name) {
    for (const auto& [key, counts] : carriedFlows(folders, year))
        if (flowFileName(userCode, key.second, key.first) == name) return key.first;
    return 0;
}

} // namespace accise
