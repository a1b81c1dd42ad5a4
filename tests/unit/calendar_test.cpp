#include "support/calendar.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

// The weekday by another road: days since 1 January 1970 (a Thursday),
// counted month by month.
int WeekdayByCounting(int year, int month, int day)
{
    static const int monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    auto leap = [](int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; };
    long days = 0;
    for (int y = 1970; y < year; ++y) days += leap(y) ? 366 : 365;
    for (int m = 1; m < month; ++m) days += monthDays[m - 1] + (m == 2 && leap(year) ? 1 : 0);
    days += day - 1;
    return static_cast<int>((days + 4) % 7) + 1; // 1 = Sunday
}

TEST(ThirdFriday, KnownMonths)
{
    EXPECT_EQ(ThirdFriday(2013, 3), 15);
    EXPECT_EQ(ThirdFriday(2013, 6), 21);
    EXPECT_EQ(ThirdFriday(2009, 3), 20);
    EXPECT_EQ(ThirdFriday(2026, 12), 18);
}

TEST(ThirdFriday, EveryMonthOfThirtyYearsIsTheThirdFriday)
{
    for (int year = 1999; year <= 2030; ++year) {
        for (int month = 1; month <= 12; ++month) {
            SCOPED_TRACE(std::to_string(year) + "-" + std::to_string(month));
            const int day = ThirdFriday(year, month);
            ASSERT_GE(day, 15);
            ASSERT_LE(day, 21);
            EXPECT_EQ(WeekdayByCounting(year, month, day), 6);
            EXPECT_EQ(DayOfWeek(year, month, day), 6);
        }
    }
}

TEST(GoodFridayExpiry, OnlyMarch2008BetweenTwoThousandAndTwentyForty)
{
    for (unsigned year = 2000; year <= 2040; ++year) {
        for (unsigned month = 1; month <= 12; ++month) {
            SCOPED_TRACE(std::to_string(year) + "-" + std::to_string(month));
            EXPECT_EQ(IsGoodFridayExpiry(year, month), year == 2008 && month == 3);
        }
    }
}

TEST(GoodFridayExpiry, OutsideTheScannedRange)
{
    // 2285: Easter on 22 March, Good Friday 20 March, the third Friday.
    EXPECT_TRUE(IsGoodFridayExpiry(2285, 3));
    EXPECT_FALSE(IsGoodFridayExpiry(2013, 3));
    EXPECT_FALSE(IsGoodFridayExpiry(2008, 4));
}

TEST(EasterSunday, KnownYears)
{
    // From published church calendars, the extremes of the range included.
    const std::pair<int, MonthDay> cases[] = {
        {1818, {3, 22}}, {1943, {4, 25}}, {2008, {3, 23}}, {2011, {4, 24}}, {2019, {4, 21}}, {2024, {3, 31}},
        {2025, {4, 20}}, {2026, {4, 5}},  {2027, {3, 28}}, {2028, {4, 16}}, {2029, {4, 1}},  {2030, {4, 21}},
        {2038, {4, 25}}, {2285, {3, 22}},
    };
    for (const auto& [year, expected] : cases) {
        SCOPED_TRACE(year);
        const MonthDay easter = EasterSunday(year);
        EXPECT_EQ(easter.month, expected.month);
        EXPECT_EQ(easter.day, expected.day);
        EXPECT_EQ(DayOfWeek(year, easter.month, easter.day), 1);
    }
}

TEST(IsExchangeHoliday, TheSixClosingDaysAndNoOthers)
{
    struct Year {
        int year;
        MonthDay goodFriday, easterMonday;
    };
    const Year years[] = {
        {2026, {4, 3}, {4, 6}},   {2027, {3, 26}, {3, 29}}, {2028, {4, 14}, {4, 17}},
        {2029, {3, 30}, {4, 2}},  {2030, {4, 19}, {4, 22}}, {2008, {3, 21}, {3, 24}},
    };
    for (const auto& y : years) {
        int closed = 0;
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= 31; ++day) {
                const bool expected = (month == 1 && day == 1) || (month == 5 && day == 1) ||
                                      (month == 12 && (day == 25 || day == 26)) ||
                                      (month == y.goodFriday.month && day == y.goodFriday.day) ||
                                      (month == y.easterMonday.month && day == y.easterMonday.day);
                SCOPED_TRACE(std::to_string(y.year) + "-" + std::to_string(month) + "-" + std::to_string(day));
                EXPECT_EQ(IsExchangeHoliday(y.year, month, day), expected);
                closed += IsExchangeHoliday(y.year, month, day) ? 1 : 0;
            }
        }
        EXPECT_EQ(closed, 6) << y.year;
    }
}

} // namespace
