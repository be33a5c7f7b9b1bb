#include "core/flow/outcomereport.h"

#include "core/files/text1252.h"

namespace accise {

namespace {

bool isHeader(std::string_view line) {
    return line.find("ALCODA") != std::string_view::npos || line.find("ALCOPP") != std::string_view::npos ||
           line.find("ALCODC") != std::string_view::npos;
}

// 1-based characters from `first`, at most `count` (npos: to the end); what is there.
std::string_view characters(std::string_view line, std::size_t first, std::size_t count = std::string_view::npos) {
    if (line.size() < first) return {};
    return line.substr(first - 1, count);
}

std::string readable(std::string_view bytes) {
    std::string kept;
    kept.reserve(bytes.size());
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t') || u == 0x7F) continue;
        kept += c;
    }
    // The C1 range is control characters in Windows-1252's undefined slots too.
    std::string text = decode1252(kept);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) == 0xC2 && i + 1 < text.size() &&
            static_cast<unsigned char>(text[i + 1]) >= 0x80 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            ++i;
            continue;
        }
        out += text[i];
    }
    return out;
}

} // namespace

OutcomeReport buildOutcomeReport(std::string_view file) {
    OutcomeReport report;
    std::size_t start = 0;
    while (start < file.size()) {
        std::size_t end = file.find('\n', start);
        if (end == std::string_view::npos) end = file.size();
        std::string_view line = file.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        start = end + 1;

        if (report.headerFound) {
            if (line.size() >= 2 && line[0] == ' ' && line[1] == 'S')
                report.lines.push_back("ACCETTATO CON SEGNALAZIONI: " + readable(characters(line, 3)));
            else if (line.size() >= 2 && line[0] == ' ' && line[1] == 'E')
                report.lines.push_back("ERRORE SCARTATO: " + readable(characters(line, 3)));
            else
                report.lines.push_back(readable(line));
        }
        if (isHeader(line)) {
            report.headerFound = true;
            report.lines.push_back("N° REGISTRAZIONE DEL FILE: " + readable(characters(line, 28, 15)));
            const bool accepted = line.size() >= 43 && line[42] == '0';
            report.outcome = accepted ? kOutcomeAccepted : kOutcomeRejected;
            report.lines.push_back(report.outcome);
            report.lines.push_back(readable(characters(line, 44)));
        }
    }
    if (!report.headerFound) report.lines = {kDetailsMissing1, kDetailsMissing2, kNoHeaderLine};
    return report;
}

std::string reportFileText(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        out += encode1252(line);
        out += "\r\n";
    }
    return out;
}

} // namespace accise
