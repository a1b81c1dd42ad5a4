#include "support/progress_deadline.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// A cap of 100 s and a stall rule of 2048 bytes in 30 s; the transfer
// starts at 1000 ms.
TEST(ProgressDeadline, EndsWhenTheBytesStopComingOrAtTheCap)
{
    struct Case {
        const char* name;
        // (when, bytes) in order.
        std::vector<std::pair<std::int64_t, std::size_t>> arrivals;
        std::int64_t at;
        ProgressEnd end;
        std::int64_t next;
    };
    const Case cases[] = {
        {"nothing yet", {}, 30'999, ProgressEnd::Going, 31'000},
        {"nothing for the stall time", {}, 31'000, ProgressEnd::Stalled, 31'000},
        {"enough bytes start the stall time anew", {{20'000, 2048}}, 49'999, ProgressEnd::Going, 50'000},
        {"then too few again", {{20'000, 2048}, {30'000, 2047}}, 50'000, ProgressEnd::Stalled, 50'000},
        {"small pieces add up", {{10'000, 1000}, {20'000, 1000}, {25'000, 48}}, 54'999, ProgressEnd::Going, 55'000},
        {"a trickle stalls however long it goes on",
         {{5'000, 100}, {10'000, 100}, {15'000, 100}, {20'000, 100}, {25'000, 100}, {30'000, 100}}, 31'000,
         ProgressEnd::Stalled, 31'000},
        {"steady bytes up to the cap",
         {{20'000, 4096}, {40'000, 4096}, {60'000, 4096}, {80'000, 4096}, {100'000, 4096}}, 101'000,
         ProgressEnd::Capped, 101'000},
        {"just before the cap", {{20'000, 4096}, {40'000, 4096}, {60'000, 4096}, {80'000, 4096}}, 100'999,
         ProgressEnd::Going, 101'000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProgressDeadline deadline(1'000, 100'000, 30'000, 2048);
        for (const auto& [when, bytes] : c.arrivals) deadline.Arrived(when, bytes);
        EXPECT_EQ(deadline.EndAt(c.at), c.end);
        EXPECT_EQ(deadline.NextEndMs(), c.next);
    }
}

TEST(ProgressDeadline, WithoutAStallRuleOnlyTheCapEnds)
{
    ProgressDeadline deadline(0, 60'000, 0, 0);
    EXPECT_EQ(deadline.EndAt(59'999), ProgressEnd::Going);
    EXPECT_EQ(deadline.NextEndMs(), 60'000);
    EXPECT_EQ(deadline.EndAt(60'000), ProgressEnd::Capped);
}

TEST(ProgressDeadline, TheHeadStartsTheStallTimeAnew)
{
    ProgressDeadline deadline(0, 300'000, 30'000, 2048);
    deadline.Arrived(10'000, 1000);
    deadline.Restart(29'000);
    EXPECT_EQ(deadline.EndAt(58'999), ProgressEnd::Going);
    // What came before the restart does not count toward the next mark.
    deadline.Arrived(40'000, 1048);
    EXPECT_EQ(deadline.EndAt(59'000), ProgressEnd::Stalled);
}

} // namespace
