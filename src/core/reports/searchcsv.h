#pragma once
// The export files of the searches (RICERCA_C.CSV, RICERCA_D/E/R.CSV): one line per
// record, ";" after every field (the last one too), lines ended by CR LF, the text in
// Windows-1252. A field that holds ";", a double quote or a line break is put between
// double quotes with its inner quotes doubled, so a note can never shift the columns
// that follow it. A text beginning with "=", "+", "-" or "@" that is not a figure
// gets a leading apostrophe, so that a spreadsheet opens it as text and never as a
// formula; every other field is written as it is.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace accise {

// A date as the searches show it: DD/MM/YYYY, or empty for no date (day 0) rather
// than 30/12/1899.
std::string exportDate(double day);

// One field as the export writes it (UTF-8).
std::string csvField(std::string_view text);
// A whole line (UTF-8): every field followed by ";", then CR LF.
std::string csvLine(const std::vector<std::string>& fields);

// Rewrites the export file: the header line as given (its ";" included), CR LF, then
// the lines (csvLine), all in Windows-1252. Throws IoError when it cannot be written.
void writeCsvFile(const std::filesystem::path& file, std::string_view header,
                  const std::vector<std::vector<std::string>>& lines);

} // namespace accise
