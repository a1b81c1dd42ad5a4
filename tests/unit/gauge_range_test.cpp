#include "ui/gauge_range.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

namespace {

void ExpectRangeError(const std::function<void()>& change, const std::string& message)
{
    try {
        change();
        ADD_FAILURE() << "no error, expected: " << message;
    } catch (const EInvalidOperation& error) {
        EXPECT_EQ(std::string(error.what()), message);
    }
}

TEST(GaugeRange, Defaults)
{
    const GaugeRange range;
    EXPECT_EQ(range.MinValue(), 0);
    EXPECT_EQ(range.MaxValue(), 100);
    EXPECT_EQ(range.Progress(), 0);
    EXPECT_EQ(range.Percentage(), 0);
}

TEST(GaugeRange, ProgressIsClampedAndRepaintsOnlyOnAWholePercent)
{
    struct Step {
        int value;
        int stored;
        bool repaint;
    };
    struct Case {
        const char* name;
        int maxValue;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"above the maximum", 100, {{150, 100, true}, {150, 100, false}, {100, 100, false}}},
        {"below the minimum", 100, {{50, 50, true}, {-5, 0, true}, {-5, 0, false}}},
        {"steps within one percent", 1000, {{9, 9, false}, {10, 10, true}, {19, 19, false}, {20, 20, true}}},
        {"back down within the same percent", 1000, {{15, 15, true}, {10, 10, false}, {9, 9, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GaugeRange range;
        range.SetMaxValue(c.maxValue);
        for (const Step& step : c.steps) {
            SCOPED_TRACE("Progress " + std::to_string(step.value));
            EXPECT_EQ(range.SetProgress(step.value), step.repaint);
            EXPECT_EQ(range.Progress(), step.stored);
        }
    }
}

TEST(GaugeRange, NarrowingTheRangeDragsProgressAlong)
{
    GaugeRange range;
    range.SetProgress(50);
    EXPECT_TRUE(range.SetMaxValue(5));
    EXPECT_EQ(range.Progress(), 5);
    EXPECT_EQ(range.Percentage(), 100);

    EXPECT_TRUE(range.SetMinValue(3));
    EXPECT_EQ(range.Progress(), 5);
    EXPECT_TRUE(range.SetMaxValue(200));
    EXPECT_TRUE(range.SetMinValue(20));
    EXPECT_EQ(range.Progress(), 20);
    EXPECT_EQ(range.Percentage(), 0);
}

TEST(GaugeRange, SettingTheSameLimitChangesNothing)
{
    GaugeRange range;
    EXPECT_FALSE(range.SetMinValue(0));
    EXPECT_FALSE(range.SetMaxValue(100));
}

TEST(GaugeRange, AnEmptyRangeShowsNoPercent)
{
    GaugeRange range;
    range.SetMaxValue(0);
    EXPECT_EQ(range.Percentage(), 0);
    EXPECT_FALSE(range.SetProgress(10));
    EXPECT_EQ(range.Progress(), 0);
}

TEST(GaugeRange, ConflictingLimitsFailAndLeaveTheRangeAsItWas)
{
    struct Case {
        const char* name;
        int minValue, maxValue; // the range before
        bool settingMin;
        int value;
        const char* message;
    };
    const Case cases[] = {
        {"minimum above the maximum", 0, 100, true, 200, "Value must be between -2147483647 and 99"},
        {"minimum just above", 0, 100, true, 101, "Value must be between -2147483647 and 99"},
        {"maximum below the minimum", 0, 100, false, -3, "Value must be between 1 and 2147483647"},
        {"maximum below a negative minimum", -50, 100, false, -51, "Value must be between -49 and 2147483647"},
        // The bounds next to the extremes do not wrap around.
        {"minimum above the lowest maximum", INT_MIN, INT_MIN, true, 0,
         "Value must be between -2147483647 and -2147483649"},
        {"maximum below the highest minimum", INT_MAX, INT_MAX, false, 0,
         "Value must be between 2147483648 and 2147483647"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GaugeRange range;
        if (c.minValue < 0) {
            range.SetMinValue(c.minValue);
            range.SetMaxValue(c.maxValue);
        } else {
            range.SetMaxValue(c.maxValue);
            range.SetMinValue(c.minValue);
        }
        range.SetProgress(c.minValue);
        ExpectRangeError([&] { c.settingMin ? range.SetMinValue(c.value) : range.SetMaxValue(c.value); }, c.message);
        EXPECT_EQ(range.MinValue(), c.minValue);
        EXPECT_EQ(range.MaxValue(), c.maxValue);
        EXPECT_EQ(range.Progress(), c.minValue);
    }
}

} // namespace
