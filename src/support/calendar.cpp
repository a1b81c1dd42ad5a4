#include "support/calendar.h"

#include <cstdint>

int DayOfWeek(int year, int month, int day)
{
    // Sakamoto's method, 0 for Sunday.
    static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3) year -= 1;
    const int weekday = (year + year / 4 - year / 100 + year / 400 + offsets[month - 1] + day) % 7;
    return weekday + 1;
}

int ThirdFriday(unsigned year, unsigned month)
{
    const int w = DayOfWeek(static_cast<int>(year), static_cast<int>(month), 1);
    return ((6 - w + 7) % 7) + 15;
}

MonthDay EasterSunday(int year)
{
    // The anonymous Gregorian computus.
    const int a = year % 19, b = year / 100, c = year % 100;
    const int d = b / 4, e = b % 4, f = (b + 8) / 25, g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4, k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int monthDay = h + l - 7 * m + 114;
    return {monthDay / 31, monthDay % 31 + 1};
}

bool IsGoodFridayExpiry(unsigned year, unsigned month)
{
    // Years are 16-bit unsigned numbers, as the expiry rule always took them.
    const int y = static_cast<std::uint16_t>(year);
    const MonthDay easter = EasterSunday(y);
    return month == 3 && easter.month == 3 && easter.day - 2 == ThirdFriday(static_cast<unsigned>(y), 3);
}

namespace {

int DayOfYear(int year, int month, int day)
{
    static const int before[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return before[month - 1] + day + (leap && month > 2 ? 1 : 0);
}

} // namespace

bool IsExchangeHoliday(int year, int month, int day)
{
    if ((month == 1 && day == 1) || (month == 5 && day == 1)) return true;
    if (month == 12 && (day == 25 || day == 26)) return true;
    const MonthDay easter = EasterSunday(year);
    const int offset = DayOfYear(year, month, day) - DayOfYear(year, easter.month, easter.day);
    return offset == -2 || offset == 1;
}
