#include "ui/dialog_layout.h"

#include "ui/answer_countdown.h"

#include <gtest/gtest.h>

namespace {

TEST(CentreOn, TruncatesTowardZeroAndNeverClamps)
{
    struct Case {
        const char* label;
        CallerRect caller;
        int height;
        int width;
        DialogPlace expected;
    };
    const Case cases[] = {
        {"even halves", {100, 200, 400, 600}, 200, 300, {200, 350}},
        {"odd difference", {100, 200, 401, 601}, 200, 300, {200, 350}},
        {"dialog larger, odd: -100 and -51, not -101 and -52", {100, 200, 100, 100}, 301, 203, {0, 149}},
        {"truncation, not floor", {0, 0, 0, 0}, 3, 5, {-1, -2}},
        {"off the screen", {-500, 3000, 50, 50}, 150, 450, {-550, 2800}},
        {"equal size", {10, 20, 30, 40}, 30, 40, {10, 20}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const DialogPlace place = CentreOn(c.caller, c.height, c.width);
        EXPECT_EQ(place.Top, c.expected.Top);
        EXPECT_EQ(place.Left, c.expected.Left);
    }
}

TEST(YesNoLines, SplitAtEachCrKeepingTheLf)
{
    using Lines = std::vector<std::string>;
    const std::pair<const char*, Lines> cases[] = {
        {"", {""}},
        {"Doorgaan?", {"Doorgaan?"}},
        {"a\rb\rc", {"a", "b", "c"}},
        {"a\r\nb", {"a", "\nb"}},
        {"a\r", {"a", ""}},
        {"\r", {"", ""}},
        {"\r\r", {"", "", ""}},
        {"a\nb", {"a\nb"}},
    };
    for (const auto& [message, lines] : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::string(message)));
        EXPECT_EQ(YesNoLines(message), lines);
    }
}

TEST(MemoText, EveryLineEndsInCrLf)
{
    EXPECT_EQ(MemoText({}), "");
    EXPECT_EQ(MemoText({""}), "\r\n");
    EXPECT_EQ(MemoText({"a", "\nb"}), "a\r\n\nb\r\n");
}

TEST(DisplayLines, AnEmptyLastLineDoesNotCount)
{
    EXPECT_EQ(DisplayLines(1, true), 0);  // empty memo
    EXPECT_EQ(DisplayLines(2, true), 1);  // "x" CR LF
    EXPECT_EQ(DisplayLines(2, false), 2); // wrapped line without a final CR LF
    EXPECT_EQ(DisplayLines(0, true), 0);
}

// Design sizes at 120 pixels per inch: NeeBtn at left 307, 127 wide;
// CancelBtn 128 wide.
constexpr int NeeLeft = 307;
constexpr int NeeWidth = 127;
constexpr int CancelWidth = 128;

TEST(YesNoHorizontal, FirstCallIsAtLeastTheDesignWidth)
{
    struct Case {
        int messageWidth;
        int panelWidth;
    };
    const Case cases[] = {
        {0, 418},
        {-5, 418},
        {100, 418},
        {1747, 418},  // 10 x 41.797 = 417.97
        {1748, 418},  // 418.09
        {1753, 419},  // 418.69
        {2500, 500},
        {10000, 1000},
        {12345, 1111}, // 1111.08
        {1000000, 10000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.messageWidth);
        const YesNoWidths widths = YesNoHorizontal(c.messageWidth, NeeLeft, NeeWidth, CancelWidth);
        EXPECT_EQ(widths.PanelWidth, c.panelWidth);
        EXPECT_EQ(widths.PanelLeft, 16);
        EXPECT_EQ(widths.MemoLeft, 8);
        EXPECT_EQ(widths.MemoWidth, c.panelWidth - 16);
        EXPECT_EQ(widths.ClientWidth, c.panelWidth + 32);
        EXPECT_EQ(widths.JaLeft, 16);
        EXPECT_EQ(widths.NeeLeft, c.panelWidth + 32 - NeeWidth - 16);
        EXPECT_EQ(widths.CancelLeft, (c.panelWidth + 32 - CancelWidth) / 2);
    }
}

TEST(YesNoHorizontal, NeverNarrowerThanThePreviousCall)
{
    const YesNoWidths wide = YesNoHorizontal(10000, NeeLeft, NeeWidth, CancelWidth);
    ASSERT_EQ(wide.PanelWidth, 1000);
    // The next call starts from where the previous one left NeeBtn.
    const YesNoWidths shorter = YesNoHorizontal(100, wide.NeeLeft, NeeWidth, CancelWidth);
    EXPECT_EQ(shorter.PanelWidth, 1000);
    EXPECT_EQ(shorter.NeeLeft, wide.NeeLeft);
    const YesNoWidths wider = YesNoHorizontal(12345, shorter.NeeLeft, NeeWidth, CancelWidth);
    EXPECT_EQ(wider.PanelWidth, 1111);
}

TEST(YesNoHorizontal, ScaledButtonsGiveAScaledMinimum)
{
    // At 144 pixels per inch NeeBtn stands at 368, 152 wide; the 16 stays.
    const YesNoWidths widths = YesNoHorizontal(0, 368, 152, 154);
    EXPECT_EQ(widths.PanelWidth, 504);
    EXPECT_EQ(widths.NeeLeft, 368);
}

TEST(YesNoVertical, OneLineMoreThanTheMemoShows)
{
    struct Case {
        const char* label;
        int lines;
        int points;
        YesNoHeights expected;
    };
    const Case cases[] = {
        {"empty message, 10 points", 1, 10, {32, 47, 74, 123}},
        {"three lines, 10 points", 3, 10, {64, 79, 106, 155}},
        {"one line, 12 points", 1, 12, {38, 53, 80, 129}}, // 19.2 rounds to 19
        {"one line, 8 points", 1, 8, {26, 41, 68, 117}},   // 12.8 rounds to 13
        {"no lines", 0, 10, {16, 31, 58, 107}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const YesNoHeights heights = YesNoVertical(c.lines, c.points, 34);
        EXPECT_EQ(heights.MemoHeight, c.expected.MemoHeight);
        EXPECT_EQ(heights.PanelHeight, c.expected.PanelHeight);
        EXPECT_EQ(heights.ButtonTop, c.expected.ButtonTop);
        EXPECT_EQ(heights.ClientHeight, c.expected.ClientHeight);
    }
}

TEST(MessageLines, EmptyLinesAreLeftOut)
{
    using Lines = std::vector<std::string>;
    EXPECT_EQ(MessageLines("", ""), Lines{});
    EXPECT_EQ(MessageLines("a", ""), Lines{"a"});
    EXPECT_EQ(MessageLines("", "b"), Lines{"b"});
    EXPECT_EQ(MessageLines("a", "b"), (Lines{"a", "b"}));
    EXPECT_EQ(MessageLines(" ", ""), Lines{" "});
}

TEST(MessageWindowLayout, HeightFromTheLinesCappedByTheScreen)
{
    struct Case {
        const char* label;
        int lines;
        int screenHeight;
        int memoHeight;
        int windowHeight;
    };
    const Case cases[] = {
        {"both lines empty", 0, 1024, 20, 70},
        {"two lines", 2, 1024, 40, 90},
        {"just under the cap", 80, 1024, 820, 870},
        {"just over the cap", 81, 1024, 824, 874},
        {"very long text: screen height - 150", 500, 1024, 824, 874},
        {"tiny screen", 3, 150, -50, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const MessageWindowSize size = MessageWindowLayout(c.lines, 10, c.screenHeight, 699);
        EXPECT_EQ(size.MemoHeight, c.memoHeight);
        EXPECT_EQ(size.WindowHeight, c.windowHeight);
        EXPECT_EQ(size.MemoLeft, 20);
        EXPECT_EQ(size.MemoWidth, 659);
    }
}

TEST(AskTextLayout, LabelEstimateOfThirtyPixelsALine)
{
    struct Case {
        const char* label;
        int promptWidth;
        AskLayout expected;
    };
    const Case cases[] = {
        {"200-pixel prompt", 200, {25, 43, 78, 116}},
        {"empty prompt", 0, {0, 18, 53, 91}},
        {"one pixel short of a line", 231, {29, 47, 82, 120}},
        {"exactly one line", 232, {30, 48, 83, 121}},
        {"two lines", 464, {60, 78, 113, 151}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const AskLayout layout = AskTextLayout(c.promptWidth, 8, 232, 25, 28);
        EXPECT_EQ(layout.LabelHeight, c.expected.LabelHeight);
        EXPECT_EQ(layout.EditTop, c.expected.EditTop);
        EXPECT_EQ(layout.ButtonTop, c.expected.ButtonTop);
        EXPECT_EQ(layout.ClientHeight, c.expected.ClientHeight);
    }
}

// Ten minutes from a count near its wrap: the question shows the time left
// with a begun second counted whole, and at zero it answers itself.
TEST(AnswerCountdown, CountsDownTheTimeLeftAndEndsAtZero)
{
    const std::uint32_t start = 0xFFFFFFFFu - 1500;
    const AnswerCountdown countdown(start, 600'000);
    const struct {
        std::uint32_t passed;
        std::uint32_t left;
        const char* shown;
    } cases[] = {
        {0, 600'000, "10:00"}, {999, 599'001, "10:00"}, {1000, 599'000, "9:59"}, {1001, 598'999, "9:59"},
        {540'000, 60'000, "1:00"}, {599'001, 999, "0:01"}, {599'999, 1, "0:01"}, {600'000, 0, "0:00"},
        {900'000, 0, "0:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.passed);
        const std::uint32_t now = start + c.passed;
        EXPECT_EQ(countdown.LeftMs(now), c.left);
        EXPECT_EQ(countdown.Expired(now), c.left == 0);
        EXPECT_EQ(countdown.LeftText(now), std::string("Zonder antwoord wordt over ") + c.shown + " \"Nee\" gekozen");
    }
}

} // namespace
