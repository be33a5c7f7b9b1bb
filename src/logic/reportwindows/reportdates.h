#pragma once
// The date fields of the report windows.
#include <optional>
#include <string>

namespace accise {

// A date of a report window: "DD/MM/YYYY" of a real day in the years 2000 to 2100.
std::optional<double> reportDate(const std::string& text);

// "DD/MM/YYYY" of today and of the first day of the current month.
std::string todayText();
std::string firstOfMonthText();

} // namespace accise
