#include "core/flow/outcomeerrors.h"

#include <cctype>
#include <cmath>

#include "core/files/binary.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/flow/flowfile.h"
#include "core/flow/flowlist.h"
#include "core/records/movementview.h"
#include "core/tables/company.h"

namespace accise {
namespace {

namespace off = movement_offset;

std::vector<std::string> textLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string line(text.substr(start, end - start));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

bool isHeaderLine(const std::string& line) {
    return line.find("ALCODA") != std::string::npos || line.find("ALCOPP") != std::string::npos ||
           line.find("ALCODC") != std::string::npos;
}

} // namespace

int namedFlowLine(std::string_view text) {
    for (std::size_t at = 0; at + 4 <= text.size(); ++at) {
        if (std::tolower(static_cast<unsigned char>(text[at])) != 'r' ||
            std::tolower(static_cast<unsigned char>(text[at + 1])) != 'i' ||
            std::tolower(static_cast<unsigned char>(text[at + 2])) != 'g' ||
            std::tolower(static_cast<unsigned char>(text[at + 3])) != 'a')
            continue;
        std::size_t digit = at + 4;
        while (digit < text.size() && text[digit] == ' ') ++digit;
        int number = 0;
        std::size_t end = digit;
        // More than six digits is no line of any flow: the text names none.
        while (end < text.size() && end - digit < 7 && std::isdigit(static_cast<unsigned char>(text[end])))
            number = number * 10 + (text[end++] - '0');
        if (end > digit && end - digit < 7) return number;
    }
    return 0;
}

std::vector<OutcomeErrorLine> outcomeErrorLines(std::string_view outcomeFile) {
    std::vector<OutcomeErrorLine> errors;
    bool afterHeader = false;
    for (const std::string& raw : textLines(outcomeFile)) {
        const std::string line = decode1252(raw);
        if (isHeaderLine(line)) {
            afterHeader = true;
            continue;
        }
        if (!afterHeader || line.size() < 2 || line[0] != ' ' || line[1] != 'E') continue;
        OutcomeErrorLine error;
        error.text = line.substr(2);
        error.flowLine = namedFlowLine(error.text);
        errors.push_back(std::move(error));
    }
    return errors;
}

void attachErrorRecords(std::vector<OutcomeErrorLine>& errors, std::string_view flowFile, const Folders& folders,
                        int year, double date, int number, const AddressRecord& company) {
    const std::vector<std::string> lines = textLines(decode1252(flowFile));
    const FlowCompany flowCompany = FlowCompany::of(company);
    const bool alcopp = isAlcopp(company);
    // The flow line of each record still carrying the flow, with its list line.
    std::vector<std::pair<std::string, std::string>> carried;
    for (FlowSource source : kFlowSources) {
        const RecordBlock block = readRecords(flowSourcePath(folders, year, source), kMovementSize, IfMissing::Empty);
        for (std::size_t i = 0; i < block.count(); ++i) {
            const MovementView r(block.at(i));
            if (r.NUMFLU() != number ||
                std::round(binary::getDouble(block.at(i).data() + off::DATFLU)) != std::round(date))
                continue;
            const Movement m = decodeMovement(block.at(i));
            carried.emplace_back(flowRecordLine(m, flowCompany), reactivationListLine(m, alcopp));
        }
    }
    for (OutcomeErrorLine& error : errors) {
        error.flowLineText.clear();
        error.record.clear();
        if (error.flowLine < 1 || error.flowLine > static_cast<int>(lines.size())) continue;
        error.flowLineText = lines[error.flowLine - 1];
        for (const auto& [flowLine, listLine] : carried) {
            if (flowLine == error.flowLineText) {
                error.record = listLine;
                break;
            }
        }
    }
}

} // namespace accise
