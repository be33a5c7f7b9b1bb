#pragma once
// The "E" lines of an outcome file beside the records they name, so that the clerk
// sees which movements to fix before reactivating a rejected flow.
//
// An error line names the flow file's line it is about as "riga N" (N counted from 1,
// the head line; the summary "A" is line 2, the records follow from line 3). That
// line of the flow file is looked for among the records that still carry the flow:
// the record whose flow line is the same text is the one the agency refused.
#include <string>
#include <string_view>
#include <vector>

#include "core/files/folders.h"
#include "core/records/address.h"

namespace accise {

struct OutcomeErrorLine {
    std::string text;  // the error as the agency wrote it (from character 3), UTF-8
    int flowLine = 0;  // the flow file's line it names; 0 when it names none
    std::string flowLineText; // that line of the flow file, "" when the file lacks it
    std::string record;       // the record's list line (as in the reactivation window), "" when none matches
};

// The flow line an error text names ("riga 12: ..." gives 12); 0 when none.
int namedFlowLine(std::string_view text);

// The error lines (" E...") after the outcome file's first header line, in order.
std::vector<OutcomeErrorLine> outcomeErrorLines(std::string_view outcomeFile);

// Fills flowLineText and record of each error: `flowFile` is the flow file's bytes,
// the records are those of `year` (and the initial stocks) carrying `date` / `number`.
void attachErrorRecords(std::vector<OutcomeErrorLine>& errors, std::string_view flowFile, const Folders& folders,
                        int year, double date, int number, const AddressRecord& company);

} // namespace accise
