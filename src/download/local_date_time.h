// The local date and time as the clock gives it, without any time zone or
// platform type.
#pragma once

#include <compare>

struct CalendarDate {
    int year = 0;
    int month = 0; // 1 to 12
    int day = 0;   // 1 to 31
    auto operator<=>(const CalendarDate&) const = default;
};

struct LocalDateTime {
    CalendarDate date;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

enum Weekday { Sunday = 1, Monday, Tuesday, Wednesday, Thursday, Friday, Saturday };

Weekday WeekdayOf(const CalendarDate& date);

CalendarDate PreviousDay(const CalendarDate& date);
