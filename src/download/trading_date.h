// Which trading day's quotes a run downloads, and when it asks first.
#pragma once

#include "download/local_date_time.h"

#include <string>

// A weekday on which the exchange is open.
bool IsTradingDay(const CalendarDate& date);

// The day whose quotes are on the site at now: the exchange's day runs from
// 06:00 to 05:59 the next morning, except that Monday starts at midnight,
// and a weekend or a closing day belongs to the trading day before it.
CalendarDate TradingDate(const LocalDateTime& now);

// True on the Sunday after a month's third Friday, unless that Friday is
// Good Friday: a run then rewrites the Friday's expiry quotes, so the user
// is asked first.
bool IsSundayAfterExpiry(const CalendarDate& today);

// A date as the program shows it: dd-MM-yyyy.
std::string TradingDateText(const CalendarDate& date);

// The quote file's name for a trading date: dd-MM-yyyy.csv.
std::string QuoteFileName(const CalendarDate& tradingDate);
