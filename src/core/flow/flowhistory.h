#pragma once
// The flows of a year as the clerk follows them: from the records that carry a flow
// date and number, the flow files of the folders of APPL.CFG and the events of
// FLUSSI.INV (sentflows.h).
#include <string>
#include <vector>

#include "core/files/folders.h"
#include "core/flow/flowfile.h"
#include "core/tables/company.h"

namespace accise {

struct FlowHistoryRow {
    std::string name;        // AB120315.C01
    double date = 0;         // flow date
    int number = 0;
    FlowCounts counts;       // records still carrying the flow, by kind
    bool flowFile = false;   // the file to be signed is there
    bool signedFile = false; // its signed copy is there
    bool sentTest = false, sentReal = false;
    std::string registration; // from the last outcome fetched
    std::string outcome;      // its text; "IN ATTESA" after an outcome asked for too early
    char outcomeEnvironment = ' ';
};

// The year's flows, by date and number. `paths` as resolvedApplPaths gives them.
std::vector<FlowHistoryRow> buildFlowHistory(const Folders& folders, int year, const std::string& userCode,
                                             const ApplPaths& paths);

// The flow date of a flow name (user code + MMDD.Cnn) among the records of `year`;
// 0 when no record carries it.
double flowDateOfName(const Folders& folders, int year, const std::string& userCode, const std::string& name);

} // namespace accise
