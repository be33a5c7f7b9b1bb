#pragma once
// What the search windows share: the years a search accepts, the file label that
// names the export, and how a report is handed to the preview.
#include <optional>
#include <string>
#include <string_view>

namespace accise {

inline constexpr int kFirstSearchYear = 2000;
inline constexpr int kLastSearchYear = 2100;

// A typed date "DD/MM/YYYY" of a year the searches accept; nullopt otherwise.
std::optional<double> typedSearchDate(std::string_view typed);

// The file label shown once the confirm button is reached.
inline constexpr std::string_view kSavedInPrefix = "Ricerca salvata in: ";

// "Esporta...": the label LESPORTA once the file is written, and the message when it
// cannot be (the system's reason follows).
inline constexpr std::string_view kExportedPrefix = "Ricerca esportata in: ";
inline constexpr std::string_view kExportFailed = "IMPOSSIBILE SCRIVERE IL FILE ESPORTATO: ";
// The name "Esporta..." proposes: RICERCA_<kind>_<from>_<to>.csv.
std::string exportFileName(std::string_view kind, std::string_view from, std::string_view to);
// A day as the proposed name writes it: YYYYMMDD.
std::string exportNameDay(double day);

} // namespace accise
