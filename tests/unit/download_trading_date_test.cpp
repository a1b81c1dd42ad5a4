#include "download/late_start.h"
#include "download/trading_date.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Text(const CalendarDate& d)
{
    return std::to_string(d.day) + "-" + std::to_string(d.month) + "-" + std::to_string(d.year);
}

TEST(TradingDate, FollowsTheTradingDayTable)
{
    struct Case {
        LocalDateTime now;
        CalendarDate expected;
    };
    // 9 to 15 March 2009 runs from Monday to Sunday.
    const Case cases[] = {
        {{{2009, 3, 9}, 0, 0}, {2009, 3, 9}},          {{{2009, 3, 9}, 3, 0}, {2009, 3, 9}},
        {{{2009, 3, 9}, 23, 59}, {2009, 3, 9}},        {{{2009, 3, 10}, 5, 59, 59, 999}, {2009, 3, 9}},
        {{{2009, 3, 10}, 6, 0}, {2009, 3, 10}},        {{{2009, 3, 11}, 5, 59}, {2009, 3, 10}},
        {{{2009, 3, 11}, 6, 0}, {2009, 3, 11}},        {{{2009, 3, 12}, 5, 59}, {2009, 3, 11}},
        {{{2009, 3, 12}, 6, 0}, {2009, 3, 12}},        {{{2009, 3, 13}, 5, 59}, {2009, 3, 12}},
        {{{2009, 3, 13}, 6, 0}, {2009, 3, 13}},        {{{2009, 3, 13}, 23, 59}, {2009, 3, 13}},
        {{{2009, 3, 14}, 0, 0}, {2009, 3, 13}},        {{{2009, 3, 14}, 5, 59}, {2009, 3, 13}},
        {{{2009, 3, 14}, 12, 0}, {2009, 3, 13}},       {{{2009, 3, 14}, 23, 59}, {2009, 3, 13}},
        {{{2009, 3, 15}, 0, 0}, {2009, 3, 13}},        {{{2009, 3, 15}, 5, 59}, {2009, 3, 13}},
        {{{2009, 3, 15}, 23, 59}, {2009, 3, 13}},      {{{2009, 3, 16}, 5, 59}, {2009, 3, 16}},
        // Across month, year and leap-day boundaries (1 January 2010, a
        // Friday, was no trading day).
        {{{2009, 9, 1}, 3, 0}, {2009, 8, 31}},         {{{2010, 1, 2}, 10, 0}, {2009, 12, 31}},
        {{{2010, 1, 3}, 10, 0}, {2009, 12, 31}},       {{{2016, 3, 1}, 4, 0}, {2016, 2, 29}},
        {{{2009, 3, 1}, 20, 0}, {2009, 2, 27}},        {{{2019, 1, 1}, 5, 0}, {2018, 12, 31}},
        {{{2000, 3, 1}, 2, 0}, {2000, 2, 29}},         {{{2100, 3, 2}, 2, 0}, {2100, 3, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Text(c.now.date) + " " + std::to_string(c.now.hour) + ":" + std::to_string(c.now.minute));
        EXPECT_EQ(Text(TradingDate(c.now)), Text(c.expected));
    }
}

TEST(TradingDate, ClosingDaysBelongToTheTradingDayBeforeThem)
{
    struct Case {
        LocalDateTime now;
        CalendarDate expected;
    };
    const Case cases[] = {
        // 2026: New Year on a Thursday, Christmas on a Friday.
        {{{2026, 1, 1}, 22, 0}, {2025, 12, 31}},  {{{2026, 1, 2}, 5, 59}, {2025, 12, 31}},
        {{{2026, 1, 2}, 6, 0}, {2026, 1, 2}},     {{{2026, 4, 3}, 22, 0}, {2026, 4, 2}},
        {{{2026, 4, 4}, 12, 0}, {2026, 4, 2}},    {{{2026, 4, 6}, 3, 0}, {2026, 4, 2}},
        {{{2026, 4, 6}, 22, 0}, {2026, 4, 2}},    {{{2026, 4, 7}, 5, 59}, {2026, 4, 2}},
        {{{2026, 4, 7}, 6, 0}, {2026, 4, 7}},     {{{2026, 5, 1}, 22, 0}, {2026, 4, 30}},
        {{{2026, 5, 2}, 10, 0}, {2026, 4, 30}},   {{{2026, 5, 4}, 0, 30}, {2026, 5, 4}},
        {{{2026, 12, 25}, 22, 0}, {2026, 12, 24}}, {{{2026, 12, 26}, 22, 0}, {2026, 12, 24}},
        {{{2026, 12, 28}, 5, 0}, {2026, 12, 28}},
        // 2027: New Year on a Friday, 1 May and Christmas in the weekend.
        {{{2027, 1, 1}, 22, 0}, {2026, 12, 31}},  {{{2027, 1, 4}, 3, 0}, {2027, 1, 4}},
        {{{2027, 3, 26}, 22, 0}, {2027, 3, 25}},  {{{2027, 3, 29}, 22, 0}, {2027, 3, 25}},
        {{{2027, 3, 30}, 5, 59}, {2027, 3, 25}},  {{{2027, 5, 1}, 22, 0}, {2027, 4, 30}},
        {{{2027, 12, 25}, 22, 0}, {2027, 12, 24}}, {{{2027, 12, 27}, 22, 0}, {2027, 12, 27}},
        // 2028: 1 May and Christmas on a Monday.
        {{{2028, 1, 1}, 22, 0}, {2027, 12, 31}},  {{{2028, 4, 14}, 22, 0}, {2028, 4, 13}},
        {{{2028, 4, 17}, 22, 0}, {2028, 4, 13}},  {{{2028, 4, 18}, 5, 0}, {2028, 4, 13}},
        {{{2028, 5, 1}, 22, 0}, {2028, 4, 28}},   {{{2028, 5, 2}, 5, 0}, {2028, 4, 28}},
        {{{2028, 12, 25}, 22, 0}, {2028, 12, 22}}, {{{2028, 12, 26}, 22, 0}, {2028, 12, 22}},
        {{{2028, 12, 27}, 5, 59}, {2028, 12, 22}}, {{{2028, 12, 27}, 6, 0}, {2028, 12, 27}},
        // 2029: New Year on a Monday, before 06:00 too.
        {{{2029, 1, 1}, 3, 0}, {2028, 12, 29}},   {{{2029, 1, 1}, 22, 0}, {2028, 12, 29}},
        {{{2029, 1, 2}, 5, 0}, {2028, 12, 29}},   {{{2029, 3, 30}, 22, 0}, {2029, 3, 29}},
        {{{2029, 4, 2}, 22, 0}, {2029, 3, 29}},   {{{2029, 4, 3}, 5, 59}, {2029, 3, 29}},
        {{{2029, 5, 1}, 22, 0}, {2029, 4, 30}},   {{{2029, 5, 2}, 5, 0}, {2029, 4, 30}},
        {{{2029, 12, 25}, 22, 0}, {2029, 12, 24}}, {{{2029, 12, 26}, 22, 0}, {2029, 12, 24}},
        {{{2029, 12, 27}, 5, 0}, {2029, 12, 24}},
        // 2030: Christmas on a Wednesday and Thursday.
        {{{2030, 1, 1}, 22, 0}, {2029, 12, 31}},  {{{2030, 1, 2}, 5, 59}, {2029, 12, 31}},
        {{{2030, 4, 19}, 22, 0}, {2030, 4, 18}},  {{{2030, 4, 22}, 22, 0}, {2030, 4, 18}},
        {{{2030, 4, 23}, 5, 0}, {2030, 4, 18}},   {{{2030, 5, 1}, 22, 0}, {2030, 4, 30}},
        {{{2030, 12, 25}, 22, 0}, {2030, 12, 24}}, {{{2030, 12, 26}, 22, 0}, {2030, 12, 24}},
        {{{2030, 12, 27}, 5, 0}, {2030, 12, 24}}, {{{2030, 12, 27}, 6, 0}, {2030, 12, 27}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Text(c.now.date) + " " + std::to_string(c.now.hour) + ":" + std::to_string(c.now.minute));
        EXPECT_EQ(Text(TradingDate(c.now)), Text(c.expected));
        EXPECT_TRUE(IsTradingDay(TradingDate(c.now)));
    }
}

TEST(LateStart, ARunOfTheTaskDownloadsOnlyWhileTheSiteShowsItsEveningsQuotes)
{
    struct Case {
        const char* name;
        ClockTime task;
        LocalDateTime start;
        CalendarDate scheduled; // the day of the start the run belongs to
        bool missed;
    };
    // 7 to 13 December 2026 runs from Monday to Sunday.
    const Case cases[] = {
        {"on time", {22, 0}, {{2026, 12, 8}, 22, 0}, {2026, 12, 8}, false},
        {"clock a minute behind", {22, 0}, {{2026, 12, 8}, 21, 59}, {2026, 12, 8}, false},
        {"switched on at 23:00", {22, 0}, {{2026, 12, 8}, 23, 0}, {2026, 12, 8}, false},
        {"after midnight", {22, 0}, {{2026, 12, 9}, 2, 30}, {2026, 12, 8}, false},
        {"off all night, on at 08:00", {22, 0}, {{2026, 12, 9}, 8, 0}, {2026, 12, 8}, true},
        {"on at 05:59", {22, 0}, {{2026, 12, 9}, 5, 59}, {2026, 12, 8}, false},
        {"on at 06:00", {22, 0}, {{2026, 12, 9}, 6, 0}, {2026, 12, 8}, true},
        {"Friday's run on Saturday", {22, 0}, {{2026, 12, 12}, 10, 0}, {2026, 12, 11}, false},
        {"Friday's run on Sunday", {22, 0}, {{2026, 12, 13}, 23, 0}, {2026, 12, 11}, false},
        {"Friday's run on Monday morning", {22, 0}, {{2026, 12, 14}, 8, 0}, {2026, 12, 11}, true},
        {"Friday's run on Monday before six", {22, 0}, {{2026, 12, 14}, 3, 0}, {2026, 12, 11}, true},
        {"a task after midnight, on time", {0, 30}, {{2026, 12, 9}, 0, 30}, {2026, 12, 9}, false},
        {"a task after midnight, at 07:00", {0, 30}, {{2026, 12, 9}, 7, 0}, {2026, 12, 9}, true},
        {"an early task, late on", {9, 5}, {{2026, 12, 9}, 23, 59}, {2026, 12, 9}, false},
        {"23:59 a minute early", {23, 59}, {{2026, 12, 9}, 23, 58}, {2026, 12, 9}, false},
        {"23:59 of yesterday", {23, 59}, {{2026, 12, 9}, 23, 50}, {2026, 12, 8}, true},
        // Christmas Day is a Friday: the task still starts, for Thursday's quotes.
        {"Christmas evening", {22, 0}, {{2026, 12, 25}, 22, 0}, {2026, 12, 25}, false},
        {"Christmas run on 26 December", {22, 0}, {{2026, 12, 26}, 10, 0}, {2026, 12, 25}, false},
        {"Christmas run on Monday", {22, 0}, {{2026, 12, 28}, 8, 0}, {2026, 12, 25}, true},
        {"Christmas Eve's run on Christmas Day", {22, 0}, {{2026, 12, 25}, 9, 0}, {2026, 12, 24}, false},
        // Good Friday and Easter Monday 2027: 26 and 29 March.
        {"Thursday's run on Good Friday", {22, 0}, {{2027, 3, 26}, 12, 0}, {2027, 3, 25}, false},
        {"Easter Monday's run on Tuesday morning", {22, 0}, {{2027, 3, 30}, 5, 0}, {2027, 3, 29}, false},
        {"Easter Monday's run on Tuesday at nine", {22, 0}, {{2027, 3, 30}, 9, 0}, {2027, 3, 29}, true},
        {"New Year's Eve's run on New Year's Day", {22, 0}, {{2027, 1, 1}, 12, 0}, {2026, 12, 31}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LocalDateTime scheduled = ScheduledStartOf(c.task, c.start);
        EXPECT_EQ(Text(scheduled.date), Text(c.scheduled));
        EXPECT_EQ(scheduled.hour, c.task.hour);
        EXPECT_EQ(scheduled.minute, c.task.minute);
        EXPECT_EQ(IsMissedEvening(c.task, c.start), c.missed);
    }
}

TEST(IsSundayAfterExpiry, OnlyTheSundayAfterAThirdFridayThatIsNoHoliday)
{
    const std::pair<CalendarDate, bool> cases[] = {
        {{2009, 3, 22}, true},  // third Friday 20 March
        {{2009, 3, 15}, false}, {{2009, 3, 21}, false}, {{2009, 3, 20}, false}, {{2009, 3, 23}, false},
        {{2008, 3, 23}, false}, // third Friday 21 March 2008 is Good Friday
        {{2009, 6, 21}, true},  {{2013, 3, 17}, true},  {{2013, 3, 24}, false},
        {{2009, 4, 19}, true},  // Good Friday 2009 was the 10th, not the expiry
        {{2009, 4, 12}, false},
    };
    for (const auto& [date, expected] : cases) {
        SCOPED_TRACE(Text(date));
        EXPECT_EQ(IsSundayAfterExpiry(date), expected);
    }
}

TEST(QuoteFileName, DayMonthYearWithLeadingZeros)
{
    const std::pair<CalendarDate, const char*> cases[] = {
        {{2009, 3, 13}, "13-03-2009.csv"}, {{2010, 1, 1}, "01-01-2010.csv"}, {{2018, 12, 31}, "31-12-2018.csv"},
        {{999, 5, 7}, "07-05-0999.csv"}};
    for (const auto& [date, expected] : cases) {
        SCOPED_TRACE(expected);
        EXPECT_EQ(QuoteFileName(date), expected);
    }
}

} // namespace
