#include "core/reports/searchcsv.h"

#include "core/files/recordfile.h"
#include "core/files/text1252.h"
#include "core/tables/dates.h"

namespace accise {

std::string exportDate(double day) {
    return day == 0 ? std::string() : formatDate(day);
}

std::string csvField(std::string_view text) {
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
