#include "core/tables/dates.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <string>

namespace accise {
namespace {

struct KnownDay {
    int year, month, day;
    double number;
    std::string text;
};

// Day numbers counted independently (days between the dates).
const KnownDay kKnownDays[] = {
    {1899, 12, 30, 0, "30/12/1899"},  {1899, 12, 31, 1, "31/12/1899"},
    {1900, 1, 1, 2, "01/01/1900"},    {1900, 3, 1, 61, "01/03/1900"},
    {1970, 1, 1, 25569, "01/01/1970"}, {2000, 3, 1, 36586, "01/03/2000"},
    {2014, 12, 31, 42004, "31/12/2014"}, {2016, 2, 29, 42429, "29/02/2016"},
    {1, 1, 1, -693593, "01/01/0001"}, {9999, 12, 31, 2958465, "31/12/9999"},
};

TEST(DatesDayNumber, KnownDatesBothWays) {
    for (const auto& k : kKnownDays) {
        SCOPED_TRACE(k.text);
        EXPECT_EQ(dayNumber(k.year, k.month, k.day), k.number);
        EXPECT_EQ(parseDate(k.text), k.number);
        EXPECT_EQ(formatDate(k.number), k.text);
        EXPECT_EQ(civilFromDay(k.number), (CivilDate{k.year, k.month, k.day}));
        EXPECT_EQ(yearOf(k.number), k.year);
    }
}

TEST(DatesDayNumber, ConsecutiveDaysFollowTheCalendarOverTheWholeRange) {
    auto daysIn = [](int y, int m) {
        const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
        const int days[] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        return days[m - 1];
    };
    CivilDate expected{1, 1, 1};
    int failures = 0;
    for (double day = -693593; day <= 2958465 && failures < 5; ++day) {
        const CivilDate got = civilFromDay(day);
        if (got != expected || dayNumber(got.year, got.month, got.day) != day) {
            ADD_FAILURE() << "day " << day << ": " << got.day << '/' << got.month << '/' << got.year;
            ++failures;
        }
        if (++expected.day > daysIn(expected.year, expected.month)) {
            expected.day = 1;
            if (++expected.month > 12) {
                expected.month = 1;
                ++expected.year;
            }
        }
    }
    EXPECT_EQ(expected, (CivilDate{10000, 1, 1}));
}

TEST(DatesDayNumber, NotARealDateGivesZero) {
    EXPECT_EQ(dayNumber(2015, 2, 29), 0);
    EXPECT_EQ(dayNumber(2016, 4, 31), 0);
    EXPECT_EQ(dayNumber(2016, 13, 1), 0);
    EXPECT_EQ(dayNumber(0, 1, 1), 0);
    EXPECT_EQ(dayNumber(10000, 1, 1), 0);
}

TEST(DatesParse, RejectsWhatIsNotAStrictRealDate) {
    const char* const invalid[] = {
        "29/02/2015", "29/02/1900", "31/04/2016", "31/06/2016", "00/01/2015", "32/01/2015", "01/00/2015",
        "01/13/2015", "01/01/0000", "__/__/____", "  /  /    ", "01/01/20__", " 1/01/2015", "1/1/2015",
        "01/01/15",   "01-01-2015", "01/01/20155", "",          "01/01/2015 ", "+1/01/2015",
    };
    for (const char* text : invalid)
        EXPECT_FALSE(parseDate(text).has_value()) << '"' << text << '"';
}

TEST(DatesParse, AcceptsLeapDays) {
    EXPECT_EQ(parseDate("29/02/2000"), dayNumber(2000, 2, 29));
    EXPECT_EQ(parseDate("29/02/2016"), 42429);
    EXPECT_EQ(parseDate("01/03/2016"), 42430);
}

TEST(DatesFormat, FractionsAndOutOfRange) {
    EXPECT_EQ(formatDate(42004.75), "31/12/2014"); // a time of day is dropped
    EXPECT_EQ(formatDate(-1.5), "29/12/1899");     // toward zero, like the date part of a time stamp
    const double unshowable[] = {2958466, -693594, 1e300, std::numeric_limits<double>::quiet_NaN(),
                                 std::numeric_limits<double>::infinity()};
    for (double day : unshowable) {
        EXPECT_EQ(formatDate(day), "00/00/0000") << day;
        EXPECT_EQ(compactDate(day), "00000000") << day;
        EXPECT_EQ(yearOf(day), 0) << day;
    }
}

TEST(DatesCompact, YearMonthDay) {
    EXPECT_EQ(compactDate(42004), "20141231");
    EXPECT_EQ(compactDate(0), "18991230");
    EXPECT_EQ(compactDate(dayNumber(5, 3, 7)), "00050307");
    EXPECT_EQ(compactDate(42429.9), "20160229");
}

TEST(DatesYear, FirstAndLastDays) {
    EXPECT_EQ(firstOfYear(2015), 42005);
    EXPECT_EQ(lastOfYear(2014), 42004);
    EXPECT_EQ(lastOfYear(2016) - firstOfYear(2016), 365);
    EXPECT_EQ(lastOfYear(2015) - firstOfYear(2015), 364);
    EXPECT_EQ(firstOfYear(1900), 2);
}

TEST(DatesToday, IsTheCurrentDay) {
    // The local date is at most one day away from the UTC one.
    const auto utcDays = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
    const double utc = static_cast<double>(utcDays.time_since_epoch().count()) + 25569;
    const double today = todayDayNumber();
    EXPECT_EQ(today, std::trunc(today));
    EXPECT_LE(std::fabs(today - utc), 1.0);
}

} // namespace
} // namespace accise
