#include "core/reports/searchcsv.h"

#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/tables/dates.h"

namespace accise {

std::string exportDate(double day) {
    return day == 0 ? std::string() : formatDate(day);
}

namespace {

// A figure as the exports write it: an optional "-", digits grouped by ".", an optional
// "," and decimals ("-1.234,50").
bool isPlainNumber(std::string_view text) {
    std::size_t i = text.size() > 1 && text[0] == '-' ? 1 : 0;
    bool digit = false, comma = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') digit = true;
        else if (c == ',' && !comma && digit) comma = true;
        else if (c != '.' || comma || !digit) return false;
    }
    return digit && text.back() != '.' && text.back() != ',';
}

// A spreadsheet reads a field beginning with one of these as a formula. The figures
// and the dashes that stand for "no date" ("---") carry nothing a formula could run.
bool opensAsFormula(std::string_view text) {
    if (text.empty() || std::string_view("=+-@").find(text[0]) == std::string_view::npos) return false;
    return !isPlainNumber(text) && text.find_first_not_of('-') != std::string_view::npos;
}

} // namespace

std::string csvField(std::string_view text) {
    // A text that would open as a formula gets a leading apostrophe, which spreadsheets
    // take as "this is text"; the figures keep their sign.
    const std::string guarded = opensAsFormula(text) ? "'" + std::string(text) : std::string(text);
    text = guarded;
    if (text.find_first_of(";\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string csvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (const std::string& f : fields) line += csvField(f) + ";";
    return line + "\r\n";
}

void writeCsvFile(const std::filesystem::path& file, std::string_view header,
                  const std::vector<std::vector<std::string>>& lines) {
    std::string text = std::string(header) + "\r\n";
    for (const auto& fields : lines) text += csvLine(fields);
    writeWholeFile(file, encode1252(text));
}

} // namespace accise
