#include "download/trading_date.h"

#include "support/calendar.h"

#include <cstdio>

bool IsTradingDay(const CalendarDate& date)
{
    const Weekday weekday = WeekdayOf(date);
    return weekday != Saturday && weekday != Sunday && !IsExchangeHoliday(date.year, date.month, date.day);
}

CalendarDate TradingDate(const LocalDateTime& now)
{
    CalendarDate date = now.date;
    const Weekday weekday = WeekdayOf(date);
    // Before 06:00 on Tuesday to Saturday the previous day's quotes are
    // still the current ones; Monday morning already counts as Monday.
    if (weekday >= Tuesday && now.hour < 6) date = PreviousDay(date);
    // A closed day's evening still shows the last trading day's quotes.
    while (!IsTradingDay(date)) date = PreviousDay(date);
    return date;
}

bool IsSundayAfterExpiry(const CalendarDate& today)
{
    if (WeekdayOf(today) != Sunday) return false;
    const CalendarDate friday = PreviousDay(PreviousDay(today));
    const auto year = static_cast<unsigned>(friday.year);
    const auto month = static_cast<unsigned>(friday.month);
    return friday.day == ThirdFriday(year, month) && !IsGoodFridayExpiry(year, month);
}

std::string TradingDateText(const CalendarDate& date)
{
    char text[40];
    std::snprintf(text, sizeof text, "%02d-%02d-%04d", date.day, date.month, date.year);
    return text;
}

std::string QuoteFileName(const CalendarDate& tradingDate)
{
    return TradingDateText(tradingDate) + ".csv";
}
