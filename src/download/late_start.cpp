#include "download/late_start.h"

#include "download/trading_date.h"

namespace {

constexpr int EarlyStartMinutes = 5;

} // namespace

LocalDateTime ScheduledStartOf(const ClockTime& time, const LocalDateTime& now)
{
    CalendarDate day = now.date;
    if (time.hour * 60 + time.minute > now.hour * 60 + now.minute + EarlyStartMinutes) day = PreviousDay(day);
    while (WeekdayOf(day) == Saturday || WeekdayOf(day) == Sunday) day = PreviousDay(day);
    return {day, time.hour, time.minute};
}

bool IsMissedEvening(const ClockTime& time, const LocalDateTime& now)
{
    return TradingDate(now) != TradingDate(ScheduledStartOf(time, now));
}
