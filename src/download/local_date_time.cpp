#include "download/local_date_time.h"

#include "support/calendar.h"

namespace {

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

} // namespace

Weekday WeekdayOf(const CalendarDate& date)
{
    return static_cast<Weekday>(DayOfWeek(date.year, date.month, date.day));
}

CalendarDate PreviousDay(const CalendarDate& date)
{
    if (date.day > 1) return {date.year, date.month, date.day - 1};
    if (date.month > 1) return {date.year, date.month - 1, DaysInMonth(date.year, date.month - 1)};
    return {date.year - 1, 12, 31};
}
