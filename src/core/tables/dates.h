// Dates as the data files keep them: a day number in a double, counting
// whole days from 30/12/1899 (day 0, which also stands for "no date").
// 31/12/1899 is day 1, 01/01/1900 day 2. Shown and typed as "DD/MM/YYYY".
//
// The calendar is the proleptic Gregorian one, years 1 to 9999
// (day numbers -693593 to 2958465).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace accise {

struct CivilDate {
    int year = 0;
    int month = 0;
    int day = 0;

    friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

// Day number of a calendar date; 0 when the parts do not form a real date
// of years 1 to 9999.
double dayNumber(int year, int month, int day);

// Reads "DD/MM/YYYY": exactly two digits, "/", two digits, "/", four digits,
// forming a real date of years 1 to 9999. Anything else, including the
// "__/__/____" or blank-filled texts of a date input mask, gives nullopt.
// Note that "30/12/1899" is a valid date whose day number is 0.
std::optional<double> parseDate(std::string_view ddmmyyyy);

// Calendar date of a day number. A fraction (a time of day) is dropped
// toward zero. {0, 0, 0} when the day is not finite or outside years 1-9999.
CivilDate civilFromDay(double day);

// "DD/MM/YYYY" of a day number; day 0 gives "30/12/1899" like any other day.
// A day that cannot be shown (outside years 1-9999, not finite) gives
// "00/00/0000".
std::string formatDate(double day);

// Year of a day number (the characters 7-10 of its text); 0 when it cannot be shown.
int yearOf(double day);

// "YYYYMMDD" of a day number; "00000000" when it cannot be shown.
std::string compactDate(double day);

// Today's date in local time.
double todayDayNumber();

// 1 January and 31 December of a year.
double firstOfYear(int year);
double lastOfYear(int year);

} // namespace accise
