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

bool IsGoodFridayExpiry(unsigned year, unsigned month)
{
    // Years are 16-bit unsigned numbers, as the computus below expects.
    const int y = static_cast<std::uint16_t>(year);
    const int a = y % 19, b = y / 100, c = y % 100;
    const int d = b / 4, e = b % 4, f = (b + 8) / 25, g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4, k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int easterDay = ((h + l - 7 * m + 114) % 31) + 1;
    return month == 3 && easterDay - 2 == ThirdFriday(static_cast<unsigned>(y), 3);
}
