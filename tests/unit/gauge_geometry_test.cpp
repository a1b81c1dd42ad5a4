#include "ui/gauge_geometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

TEST(GaugeGeometry, PercentageTruncatesAndSurvivesTheFullRange)
{
    struct Case {
        const char* name;
        int progress, minValue, maxValue, expected;
    };
    const Case cases[] = {
        {"empty default range", 0, 0, 100, 0},
        {"half", 50, 0, 100, 50},
        {"full", 100, 0, 100, 100},
        {"just under one percent", 9, 0, 1000, 0},
        {"one percent", 10, 0, 1000, 1},
        {"just under full", 999, 0, 1000, 99},
        {"thirds truncate", 2, 0, 3, 66},
        {"offset range", 15, 10, 20, 50},
        {"negative range", -5, -10, 0, 50},
        {"zero range", 5, 5, 5, 0},
        {"whole 32-bit range, top", INT_MAX, INT_MIN, INT_MAX, 100},
        {"whole 32-bit range, middle", 0, INT_MIN, INT_MAX, 50},
        {"whole 32-bit range, below middle", -1, INT_MIN, INT_MAX, 49},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GaugePercentage(c.progress, c.minValue, c.maxValue), c.expected);
    }
}

TEST(GaugeGeometry, ShareMultipliesByTheHundredthOfThePercentage)
{
    struct Case {
        int percentage, length, expected;
    };
    const Case cases[] = {
        {0, 99, 0}, {1, 99, 0}, {50, 99, 49}, {100, 99, 99}, {50, 101, 50},
        // 0.29 is not exact in binary: the bar is a pixel short, as it always was.
        {29, 100, 28},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.percentage) + "% of " + std::to_string(c.length));
        EXPECT_EQ(GaugeShare(c.percentage, c.length), c.expected);
    }
}

TEST(GaugeGeometry, PercentageText)
{
    EXPECT_EQ(GaugePercentageText(0), "0%");
    EXPECT_EQ(GaugePercentageText(42), "42%");
    EXPECT_EQ(GaugePercentageText(100), "100%");
}

TEST(GaugeGeometry, PaintRectLeavesRoomForTheFrame)
{
    EXPECT_EQ(GaugePaintRect(100, 20, bsSingle), (GaugeRect{1, 1, 99, 19}));
    EXPECT_EQ(GaugePaintRect(100, 20, bsNone), (GaugeRect{0, 0, 100, 20}));
}

TEST(GaugeGeometry, Bars)
{
    const GaugeRect framed = GaugePaintRect(100, 20, bsSingle);
    const GaugeRect bare = GaugePaintRect(100, 20, bsNone);
    struct Case {
        const char* name;
        bool horizontal;
        GaugeRect paint;
        int percentage;
        GaugeRect expected; // ignored when empty is expected
        bool empty;
    };
    const Case cases[] = {
        {"horizontal 0%", true, framed, 0, {}, true},
        {"horizontal 1% rounds to nothing", true, framed, 1, {}, true},
        {"horizontal 50%", true, framed, 50, {1, 1, 49, 19}, false},
        {"horizontal 100% fills the frame's inside", true, framed, 100, {1, 1, 99, 19}, false},
        {"horizontal 100% without border fills everything", true, bare, 100, {0, 0, 101, 21}, false},
        {"vertical 0%", false, framed, 0, {}, true},
        {"vertical 50%", false, framed, 50, {1, 10, 99, 19}, false},
        {"vertical 100% fills the frame's inside", false, framed, 100, {1, 1, 99, 19}, false},
        {"vertical 100% without border leaves the top row", false, bare, 100, {0, 1, 101, 21}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const GaugeRect fill = c.horizontal ? HorizontalBarFill(c.paint, c.percentage)
                                            : VerticalBarFill(c.paint, c.percentage);
        EXPECT_EQ(fill.Empty(), c.empty);
        if (!c.empty) {
            EXPECT_EQ(fill, c.expected);
        }
    }
}

TEST(GaugeGeometry, PieWedgeGrowsClockwiseFromTwelve)
{
    const GaugeRect framed = GaugePaintRect(100, 100, bsSingle);
    struct Case {
        const char* name;
        int percentage;
        GaugePoint from;
    };
    const Case cases[] = {
        {"12% rounds to the nearest pixel", 12, {83, 13}},
        {"25% ends at 3 o'clock", 25, {98, 49}},
        {"50% ends at 6 o'clock", 50, {49, 98}},
        {"75% ends at 9 o'clock", 75, {0, 49}},
        {"100% closes the circle", 100, {49, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PieShape pie = GaugePie(framed, bsSingle, c.percentage);
        EXPECT_EQ(pie.ellipse, (GaugeRect{1, 1, 99, 99}));
        EXPECT_TRUE(pie.hasWedge);
        EXPECT_EQ(pie.wedgeFrom, c.from);
        EXPECT_EQ(pie.wedgeTo, (GaugePoint{49, 0}));
    }
    EXPECT_FALSE(GaugePie(framed, bsSingle, 0).hasWedge);
    const PieShape bare = GaugePie(GaugePaintRect(100, 100, bsNone), bsNone, 25);
    EXPECT_EQ(bare.ellipse, (GaugeRect{0, 0, 100, 100}));
    EXPECT_EQ(bare.wedgeFrom, (GaugePoint{100, 50}));
}

TEST(GaugeGeometry, NeedleSweepsFromLeftOverTheTopToRight)
{
    const GaugeRect framed = GaugePaintRect(100, 50, bsSingle);
    const NeedleShape empty = GaugeNeedle(framed, bsSingle, 100, 0);
    EXPECT_EQ(empty.ellipse, (GaugeRect{1, 1, 99, 97}));
    EXPECT_EQ(empty.arcFrom, (GaugePoint{100, 48}));
    EXPECT_EQ(empty.arcTo, (GaugePoint{1, 48}));
    EXPECT_EQ(empty.baseFrom, (GaugePoint{1, 49}));
    EXPECT_EQ(empty.baseTo, (GaugePoint{100, 49}));
    EXPECT_FALSE(empty.hasNeedle);

    struct Case {
        const char* name;
        int percentage;
        GaugePoint tip;
    };
    const Case cases[] = {
        {"1% lies almost along the base", 1, {0, 46}},
        {"25%", 25, {15, 14}},
        {"50% points straight up", 50, {50, 0}},
        {"100% lies along the base to the right", 100, {100, 48}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const NeedleShape needle = GaugeNeedle(framed, bsSingle, 100, c.percentage);
        EXPECT_TRUE(needle.hasNeedle);
        EXPECT_EQ(needle.needleFrom, (GaugePoint{50, 48}));
        EXPECT_EQ(needle.needleTo, c.tip);
    }
}

TEST(GaugeGeometry, TextIsCentredOnThePaintRectsSizeTruncatingTowardZero)
{
    EXPECT_EQ(GaugeTextPosition({1, 1, 99, 19}, 24, 13), (GaugePoint{37, 3}));
    EXPECT_EQ(GaugeTextPosition({0, 0, 100, 20}, 24, 13), (GaugePoint{38, 4}));
    // Text wider and taller than the gauge: -11 / 2 and -5 / 2 go toward zero.
    EXPECT_EQ(GaugeTextPosition({1, 1, 9, 9}, 20, 14), (GaugePoint{-5, -2}));
}

} // namespace
