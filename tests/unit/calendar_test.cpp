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

} // namespace
