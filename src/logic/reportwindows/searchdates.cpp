#include "logic/reportwindows/searchdates.h"

#include "core/tables/dates.h"

namespace accise {

std::optional<double> typedSearchDate(std::string_view typed) {
    const auto day = parseDate(typed);
    if (!day) return std::nullopt;
    const int year = yearOf(*day);
    if (year < kFirstSearchYear || year > kLastSearchYear) return std::nullopt;
    return day;
}

std::string exportFileName(std::string_view kind, std::string_view from, std::string_view to) {
    return "RICERCA_" + std::string(kind) + "_" + std::string(from) + "_" + std::string(to) + ".csv";
}

std::string exportNameDay(double day) {
    const std::string shown = formatDate(day); // DD/MM/YYYY
    return shown.substr(6, 4) + shown.substr(3, 2) + shown.substr(0, 2);
}

} // namespace accise
