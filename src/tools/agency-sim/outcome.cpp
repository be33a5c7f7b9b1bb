#include "agency-sim/outcome.h"

#include <vector>

#include "core/flow/flowcheck.h"

namespace accise::agency {
namespace {

std::string padRight(std::string s, std::size_t width) {
    if (s.size() < width) s.append(width - s.size(), ' ');
    return s.substr(0, width);
}

std::string zeroFill(const std::string& s, std::size_t width) {
    if (s.size() >= width) return s.substr(s.size() - width);
    return std::string(width - s.size(), '0') + s;
}

// The profile the flow's data lines start with; "ALCODA" when none can be read.
std::string profileOf(std::string_view flow) {
    for (const char* profile : {"ALCOPP", "ALCODA"}) {
        const std::string start = std::string("\n") + profile;
        if (flow.find(start) != std::string_view::npos) return profile;
    }
    return "ALCODA";
}

// The flow's own name as its head line carries it (characters 17 to 28).
std::string headName(std::string_view flow) {
    const std::size_t end = flow.find_first_of("\r\n");
    const std::string_view head = flow.substr(0, end);
    if (head.size() < 28) return {};
    std::string name(head.substr(16, 12));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name;
}

std::string withoutSignedSuffix(const std::string& name) {
    if (name.size() > 4) {
        std::string tail = name.substr(name.size() - 4);
        for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (tail == ".p7m") return name.substr(0, name.size() - 4);
    }
    return name;
}

std::string namedLine(const std::string& problem) {
    // Problems of a line already say "riga N: ..."; the others concern the whole file.
    return problem.rfind("riga ", 0) == 0 ? problem : "file: " + problem;
}

} // namespace

std::string outcomeNameOf(const std::string& receivedName) {
    if (receivedName.size() < 10) return {};
    std::string name = receivedName;
    name[9] = 'J';
    return name;
}

std::string toAscii(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += (c == '\r' || c == '\n' || c == '\t') ? ' ' : static_cast<char>(c);
            continue;
        }
        // Two-byte sequences of the Latin-1 letters Italian uses; anything else is "?".
        if ((c & 0xE0) == 0xC0 && i + 1 < utf8.size()) {
            const unsigned code = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
            ++i;
            const char* letters = "AAAAAAACEEEEIIIIDNOOOOOxOUUUUYTsaaaaaaaceeeeiiiidnooooo/ouuuuyty";
            if (code >= 0xC0 && code <= 0xFF) {
                const char base = letters[code - 0xC0];
                out += base;
                if ((code >= 0xC0 && code <= 0xC5) || (code >= 0xC8 && code <= 0xCF) || (code >= 0xD2 && code <= 0xD6) ||
                    (code >= 0xD9 && code <= 0xDC) || (code >= 0xE0 && code <= 0xE5) || (code >= 0xE8 && code <= 0xEF) ||
                    (code >= 0xF2 && code <= 0xF6) || (code >= 0xF9 && code <= 0xFC))
                    out += '\'';
            } else if (code == 0xB0) {
                out += "o";
            } else {
                out += '?';
            }
            continue;
        }
        out += '?';
        while (i + 1 < utf8.size() && (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) ++i;
    }
    return out;
}

Outcome buildOutcome(std::string_view flow, const std::string& receivedName, const std::string& registration) {
    Outcome o;
    std::vector<std::string> details;
    for (const std::string& problem : checkFlowFile(flow)) {
        details.push_back(" E" + toAscii(namedLine(problem)));
        ++o.errors;
    }
    const std::string sentAs = withoutSignedSuffix(receivedName);
    const std::string carried = headName(flow);
    if (!carried.empty() && carried != sentAs) {
        details.push_back(" S" + toAscii("riga 1: il nome nel record di testa (" + carried +
                                         ") è diverso dal nome del file inviato (" + sentAs + ")"));
        ++o.warnings;
    }
    o.accepted = o.errors == 0;

    std::string header = padRight(profileOf(flow) + " " + sentAs, 27) + zeroFill(registration, 15);
    header += o.accepted ? '0' : kRejected;
    if (!o.accepted)
        header += " FLUSSO SCARTATO: " + std::to_string(o.errors) + (o.errors == 1 ? " ERRORE" : " ERRORI");
    else if (o.warnings > 0)
        header += " FLUSSO ACQUISITO CON " + std::to_string(o.warnings) + (o.warnings == 1 ? " SEGNALAZIONE" : " SEGNALAZIONI");
    else
        header += " FLUSSO ACQUISITO";

    o.text = header + "\r\n";
    for (const std::string& d : details) o.text += d + "\r\n";
    return o;
}

} // namespace accise::agency
