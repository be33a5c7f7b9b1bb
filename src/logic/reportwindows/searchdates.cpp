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

} // namespace accise
