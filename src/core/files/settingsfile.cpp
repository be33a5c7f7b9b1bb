#include "core/files/settingsfile.h"

#include <algorithm>
#include <cctype>

#include "core/files/ioerror.h"
#include "core/files/recordfile.h"
#include "core/files/text1252.h"

namespace accise {

namespace {

std::string upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return out;
}

} // namespace

SettingsFile SettingsFile::read(const fs::path& file) {
    SettingsFile settings;
    const std::string text = decode1252(readRecords(file, 1, IfMissing::Empty).bytes());
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        start = end + 1;
        const auto equals = line.find('=');
        const std::string key = equals == std::string::npos ? std::string() : trimmed(line.substr(0, equals));
        if (key.empty() || key.front() == '#' || key.front() == ';')
            settings.lines_.push_back({"", line});
        else
            settings.lines_.push_back({upper(key), trimmed(line.substr(equals + 1))});
    }
    return settings;
}

std::optional<std::string> SettingsFile::value(std::string_view key) const {
    const std::string wanted = upper(key);
    for (const Line& line : lines_)
        if (!line.key.empty() && line.key == wanted) return line.value;
    return std::nullopt;
}

std::string SettingsFile::valueOr(std::string_view key, std::string_view fallback) const {
    const auto found = value(key);
    return found ? *found : std::string(fallback);
}

void SettingsFile::set(std::string_view key, std::string_view value) {
    const std::string wanted = upper(key);
    for (Line& line : lines_)
        if (line.key == wanted) {
            line.value = std::string(value);
            return;
        }
    lines_.push_back({wanted, std::string(value)});
}

std::string SettingsFile::text() const {
    std::string out;
    for (const Line& line : lines_) {
        out += line.key.empty() ? line.value : line.key + "=" + line.value;
        out += "\r\n";
    }
    return out;
}

void SettingsFile::write(const fs::path& file) const {
    for (const Line& line : lines_)
        if (line.value.find_first_of("\r\n") != std::string::npos)
            throw IoError(file, "a setting's value may not hold a line break");
    const std::string content = encode1252(text());
    if (fileExists(file))
        replaceFileContent(file, content);
    else
        writeWholeFile(file, content);
}

} // namespace accise
