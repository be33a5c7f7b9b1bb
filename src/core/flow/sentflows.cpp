#include "core/flow/sentflows.h"

#include <chrono>
#include <ctime>

#include "core/files/lock.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/tables/dates.h"

namespace accise {
namespace {

std::string clean(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return text;
}

std::vector<std::string> fieldsOf(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) break;
        start = tab + 1;
    }
    return fields;
}

double dateOf8(const std::string& text) {
    if (text.size() != 8) return 0;
    for (char c : text)
        if (c < '0' || c > '9') return 0;
    return dayNumber(std::stoi(text.substr(0, 4)), std::stoi(text.substr(4, 2)), std::stoi(text.substr(6, 2)));
}

} // namespace

std::string eventTimeNow() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d %H%M%S", &local);
    return text;
}

void appendSentFlowEvent(const Folders& folders, SentFlowEvent e, Prompt& lockPrompt) {
    const fs::path file = folders.general(kSentFlowsFile);
    const std::string line = clean(e.flowName) + '\t' + compactDate(e.flowDate) + '\t' + clean(e.event) + '\t' +
                             std::string(1, e.environment == 'R' ? 'R' : 'P') + '\t' + clean(e.when) + '\t' +
                             clean(e.detail) + "\r\n";
    FileLock lock(file, lockPrompt);
    const std::string before = readRecords(file, 1, IfMissing::Empty).bytes();
    replaceFileContent(file, before + encode1252(line));
}

std::vector<SentFlowEvent> readSentFlowEvents(const Folders& folders) {
    const std::string text = decode1252(readRecords(folders.general(kSentFlowsFile), 1, IfMissing::Empty).bytes());
    std::vector<SentFlowEvent> events;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::vector<std::string> f = fieldsOf(line);
        if (f.size() != 6 || f[3].size() != 1) continue;
        events.push_back({f[0], dateOf8(f[1]), f[2], f[3][0], f[4], f[5]});
    }
    return events;
}

} // namespace accise
