#pragma once
// Small settings files of the general data folder: one "KEY=value" line each,
// Windows-1252 text, CR LF line ends. Lines without "=" and keys not asked for are
// kept as they are when a value is changed, so a file edited by hand keeps its notes.
#include <filesystem>
#include <vector>
#include <optional>
#include <string>
#include <string_view>

namespace accise {

namespace fs = std::filesystem;

class SettingsFile {
public:
    // Reads `file`; a missing file reads as empty (every key at its default).
    static SettingsFile read(const fs::path& file);

    std::optional<std::string> value(std::string_view key) const;
    std::string valueOr(std::string_view key, std::string_view fallback) const;
    // Sets a key (keys are compared without letter case); an empty value keeps the key.
    void set(std::string_view key, std::string_view value);

    // The whole file's text (UTF-8) with every line in its place.
    std::string text() const;
    // Replaces the file safely with text(); refuses values holding line breaks.
    void write(const fs::path& file) const;

private:
    struct Line {
        std::string key;   // upper case, empty for a comment or blank line
        std::string value; // or the whole line when key is empty
    };
    std::vector<Line> lines_;
};

} // namespace accise
