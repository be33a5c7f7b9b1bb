#pragma once
// The telematic flow file: the text the customs agency reads and the signing tool
// signs byte for byte. Windows-1252, CR LF after every line, a fixed-width head
// line, the summary line "A" and one TAB-separated line per record.
#include <array>
#include <string>
#include <vector>

#include "core/records/address.h"
#include "core/records/movement.h"

namespace accise {

// The company values a flow carries, trimmed as the live company record holds them.
struct FlowCompany {
    std::string profile;    // "ALCODA" or "ALCOPP"
    std::string exciseCode; // at most its first 13 characters
    std::string vat;
    std::string userCode;
    std::string section;
    std::string office;

    static FlowCompany of(const AddressRecord& company);
    bool alcopp() const { return profile == "ALCOPP"; }
};

// Counts of record lines by kind, in the order of the summary line: C, D, E, F, R.
struct FlowCounts {
    std::array<int, 5> byKind{};
    int total() const { return byKind[0] + byKind[1] + byKind[2] + byKind[3] + byKind[4]; }
};

// Index of a TIPREC in FlowCounts (0..4), -1 for a kind a flow does not carry.
int flowKindIndex(const Movement& record);

// The value forms of the flow: fixed decimals with "." and no grouping.
std::string flowDecimal(double value, int decimals);
// YYYYMMDD; day 0 gives 18991230.
std::string flowDate8(double day);
// PRODDO keeping only "0"-"9" and "A"-"Z".
std::string reducedProductCode(std::string_view proddo);

// One record line without its line end (UTF-8); empty for a kind a flow does not carry.
std::string flowRecordLine(const Movement& record, const FlowCompany& company);
std::string flowHeadLine(const FlowCompany& company, const std::string& fileName, const FlowCounts& counts);
std::string flowSummaryLine(const FlowCompany& company, const FlowCounts& counts);

FlowCounts countFlowRecords(const std::vector<Movement>& records);

// The whole file as Windows-1252 bytes. Records of a kind a flow does not carry are
// left out (and not counted), so the counts always match the lines. Throws
// std::invalid_argument for a record whose texts hold a control character.
std::string flowFileBytes(const FlowCompany& company, const std::string& fileName,
                          const std::vector<Movement>& records);

} // namespace accise
