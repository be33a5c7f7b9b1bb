#include "core/tables/dates.h"

#include <cmath>
#include <cstdint>
#include <ctime>

namespace accise {
namespace {

// Days from 01/01/1970 to a proleptic Gregorian date (H. Hinnant's
// days_from_civil): years counted from March so the leap day ends a year,
// eras of 400 years have exactly 146097 days.
std::int64_t daysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;                               // [0, 399]
    const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1; // [0, 365]
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;       // [0, 146096]
    return era * 146097 + doe - 719468;
}

CivilDate civilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;                                  // [0, 146096]
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365; // [0, 399]
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);           // [0, 365]
    const std::int64_t mp = (5 * doy + 2) / 153;                                // [0, 11]
    const auto day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const auto month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const auto year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
}

// 30/12/1899 counted from 01/01/1970.
constexpr std::int64_t kEpoch = -25569;
constexpr double kFirstDay = -693593.0; // 01/01/0001
constexpr double kLastDay = 2958465.0;  // 31/12/9999

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : kDays[m - 1];
}

bool isRealDate(int y, int m, int d) {
    return y >= 1 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= daysInMonth(y, m);
}

void appendPadded(std::string& out, int value, int width) {
    std::string digits = std::to_string(value);
    if (digits.size() < static_cast<std::size_t>(width))
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    out += digits;
}

} // namespace

double dayNumber(int year, int month, int day) {
    if (!isRealDate(year, month, day)) return 0.0;
    return static_cast<double>(daysFromCivil(year, month, day) - kEpoch);
}

std::optional<double> parseDate(std::string_view text) {
    if (text.size() != 10 || text[2] != '/' || text[5] != '/') return std::nullopt;
    int parts[3] = {0, 0, 0};
    const std::size_t starts[3] = {0, 3, 6};
    const std::size_t lengths[3] = {2, 2, 4};
    for (int p = 0; p < 3; ++p) {
        for (std::size_t i = 0; i < lengths[p]; ++i) {
            const char c = text[starts[p] + i];
            if (c < '0' || c > '9') return std::nullopt;
            parts[p] = parts[p] * 10 + (c - '0');
        }
    }
    if (!isRealDate(parts[2], parts[1], parts[0])) return std::nullopt;
    return dayNumber(parts[2], parts[1], parts[0]);
}

CivilDate civilFromDay(double day) {
    if (!std::isfinite(day)) return {};
    const double whole = std::trunc(day);
    if (whole < kFirstDay || whole > kLastDay) return {};
    return civilFromDays(static_cast<std::int64_t>(whole) + kEpoch);
}

std::string formatDate(double day) {
    const CivilDate date = civilFromDay(day);
    if (date.year == 0) return "00/00/0000";
    std::string out;
    appendPadded(out, date.day, 2);
    out += '/';
    appendPadded(out, date.month, 2);
    out += '/';
    appendPadded(out, date.year, 4);
    return out;
}

int yearOf(double day) { return civilFromDay(day).year; }

std::string compactDate(double day) {
    const std::string text = formatDate(day);
    return text.substr(6, 4) + text.substr(3, 2) + text.substr(0, 2);
}

double todayDayNumber() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return dayNumber(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

double firstOfYear(int year) { return dayNumber(year, 1, 1); }

double lastOfYear(int year) { return dayNumber(year, 12, 31); }

} // namespace accise
