// Calendar helpers for the monthly option expiry (the third Friday).
#pragma once

// Day of the month (15 to 21) of the third Friday of the month.
int ThirdFriday(unsigned year, unsigned month);

// True exactly when month is March and Good Friday of year is the third
// Friday of March: that expiry falls on a holiday.
bool IsGoodFridayExpiry(unsigned year, unsigned month);

// Weekday of a date in the Gregorian calendar, 1 for Sunday to 7 for Saturday.
int DayOfWeek(int year, int month, int day);
