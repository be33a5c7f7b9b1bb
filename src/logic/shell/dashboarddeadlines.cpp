#include "logic/shell/dashboarddeadlines.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "core/files/recordfile.h"
#include "core/tables/dates.h"

namespace accise {
namespace {

// The month a period belongs to (December for both halves).
int periodMonth(const std::string& code) {
    if (code == "21" || code == "22") return 12;
    return std::atoi(code.c_str());
}

bool parseDayMonth(std::string_view text, int& day, int& month) {
    const std::string s(text);
    int d = 0, m = 0;
    char tail = 0;
    if (std::sscanf(s.c_str(), " %d/%d %c", &d, &m, &tail) != 2) return false;
    if (d < 1 || d > 31 || m < 1 || m > 12) return false;
    day = d;
    month = m;
    return true;
}

double dueDay(int day, int month, const std::string& period, int year) {
    if (day == 0) return 0;
    // A deadline earlier in the year than the period's month is in the next year;
    // the first half of December is paid within December itself.
    const int dueYear = month < periodMonth(period) ? year + 1 : year;
    return dayNumber(dueYear, month, day);
}

} // namespace

std::string deliveredDeadlinesText() {
    std::string text =
        "# Scadenze di versamento e di invio dell'accisa, per periodo.\n"
        "# periodo;versamento GG/MM;invio GG/MM\n"
        "# Date abituali: VERIFICARLE CON IL PROPRIO UFFICIO DELLE DOGANE e correggerle qui.\n"
        "# Una data di un mese precedente a quello del periodo cade nell'anno successivo.\n";
    char line[32];
    for (int month = 1; month <= 11; ++month) {
        std::snprintf(line, sizeof line, "%02d;16/%02d;16/%02d\n", month, month + 1, month + 1);
        text += line;
    }
    text += "21;27/12;27/12\n";
    text += "22;16/01;16/01\n";
    return text;
}

std::map<std::string, PeriodDeadlines> parseDeadlines(std::string_view text) {
    std::map<std::string, PeriodDeadlines> table;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        const std::size_t first = line.find(';');
        const std::size_t second = first == std::string_view::npos ? first : line.find(';', first + 1);
        if (second == std::string_view::npos) continue;
        const std::string code(line.substr(0, first));
        if (code.size() != 2 || periodMonth(code) < 1 || periodMonth(code) > 12 || (code[0] == '1' && code[1] == '2'))
            continue;
        PeriodDeadlines d;
        if (!parseDayMonth(line.substr(first + 1, second - first - 1), d.paymentDay, d.paymentMonth)) continue;
        if (!parseDayMonth(line.substr(second + 1), d.sendingDay, d.sendingMonth)) continue;
        table[code] = d;
    }
    return table;
}

fs::path deadlinesFile(const Folders& folders) {
    return folders.general(kDeadlinesFile);
}

std::map<std::string, PeriodDeadlines> readDeadlines(const Folders& folders) {
    const fs::path file = deadlinesFile(folders);
    std::error_code error;
    if (!fs::exists(file, error)) return parseDeadlines(deliveredDeadlinesText());
    return parseDeadlines(readRecords(file, 1, IfMissing::Empty).bytes());
}

fs::path deadlinesFileToEdit(const Folders& folders) {
    const fs::path file = deadlinesFile(folders);
    std::error_code error;
    if (!fs::exists(file, error)) writeWholeFile(file, deliveredDeadlinesText());
    return file;
}

std::string periodOfDay(double day) {
    const CivilDate date = civilFromDay(day);
    if (date.month == 12) return date.day <= 15 ? "21" : "22";
    char code[8];
    std::snprintf(code, sizeof code, "%02d", date.month);
    return code;
}

double paymentDueDay(const std::map<std::string, PeriodDeadlines>& table, const std::string& period, int year) {
    const auto it = table.find(period);
    return it == table.end() ? 0 : dueDay(it->second.paymentDay, it->second.paymentMonth, period, year);
}

double sendingDueDay(const std::map<std::string, PeriodDeadlines>& table, const std::string& period, int year) {
    const auto it = table.find(period);
    return it == table.end() ? 0 : dueDay(it->second.sendingDay, it->second.sendingMonth, period, year);
}

} // namespace accise
