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
        // Across month, year and leap-day boundaries.
        {{{2009, 9, 1}, 3, 0}, {2009, 8, 31}},         {{{2010, 1, 2}, 10, 0}, {2010, 1, 1}},
        {{{2010, 1, 3}, 10, 0}, {2010, 1, 1}},         {{{2016, 3, 1}, 4, 0}, {2016, 2, 29}},
        {{{2009, 3, 1}, 20, 0}, {2009, 2, 27}},        {{{2019, 1, 1}, 5, 0}, {2018, 12, 31}},
        {{{2000, 3, 1}, 2, 0}, {2000, 2, 29}},         {{{2100, 3, 2}, 2, 0}, {2100, 3, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Text(c.now.date) + " " + std::to_string(c.now.hour) + ":" + std::to_string(c.now.minute));
        EXPECT_EQ(Text(TradingDate(c.now)), Text(c.expected));
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
