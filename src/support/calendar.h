// Calendar helpers: the monthly option expiry (the third Friday) and the
// days the exchange is closed.
#pragma once

// Day of the month (15 to 21) of the third Friday of the month.
int ThirdFriday(unsigned year, unsigned month);

// True exactly when month is March and Good Friday of year is the third
// Friday of March: that expiry falls on a holiday.
bool IsGoodFridayExpiry(unsigned year, unsigned month);

// Weekday of a date in the Gregorian calendar, 1 for Sunday to 7 for Saturday.
int DayOfWeek(int year, int month, int day);

struct MonthDay {
    int month = 0;
    int day = 0;
};

// Easter Sunday of a Gregorian year (22 March to 25 April).
MonthDay EasterSunday(int year);

// True on the weekdays the Amsterdam derivatives market is closed, the same
// every year since 2002: New Year's Day, Good Friday, Easter Monday, 1 May,
// Christmas Day and 26 December.
bool IsExchangeHoliday(int year, int month, int day);
