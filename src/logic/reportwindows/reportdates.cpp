#include "logic/reportwindows/reportdates.h"

#include "core/tables/dates.h"

namespace accise {

std::optional<double> reportDate(const std::string& text) {
    const auto day = parseDate(text);
    if (!day) return std::nullopt;
    const int year = yearOf(*day);
    if (year < 2000 || year > 2100) return std::nullopt;
    return day;
}

std::string todayText() { return formatDate(todayDayNumber()); }

std::string firstOfMonthText() {
    const CivilDate today = civilFromDay(todayDayNumber());
    return formatDate(dayNumber(today.year, today.month, 1));
}

} // namespace accise
