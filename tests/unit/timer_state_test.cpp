#include "support/timer_state.h"

#include <gtest/gtest.h>

namespace {

// The message window's sequence: ShowMessageWindow sets the interval,
// FormShow enables the timer, TimerTimer disables it and hides the window.
struct MessageWindow {
    TimerState timer{1000, true}; // as created: the first tick closes the hidden window
    int resets = 0;

    void Show(unsigned interval)
    {
        resets += timer.SetInterval(interval);
        resets += timer.SetEnabled(true);
    }
    void Tick() { resets += timer.SetEnabled(false); }
};

TEST(TimerState, ShowingStartsTheCountdownAndTheTickEndsIt)
{
    MessageWindow window;
    window.Tick();
    EXPECT_FALSE(window.timer.Counting());
    window.resets = 0;

    window.Show(3000);
    EXPECT_TRUE(window.timer.Counting());
    EXPECT_EQ(window.timer.Interval(), 3000u);
    EXPECT_EQ(window.resets, 1); // the interval changes while disabled: only enabling starts it

    window.Tick();
    EXPECT_FALSE(window.timer.Counting());
    EXPECT_EQ(window.resets, 2);
}

TEST(TimerState, ShowingAgainWhileUpKeepsTheRunningCountdown)
{
    MessageWindow window;
    window.Tick();
    window.Show(3000);
    window.resets = 0;
    window.Show(3000);
    EXPECT_EQ(window.resets, 0);
    EXPECT_TRUE(window.timer.Counting());
}

TEST(TimerState, ANewIntervalWhileUpRestartsTheCountdown)
{
    MessageWindow window;
    window.Tick();
    window.Show(3000);
    window.resets = 0;
    window.Show(5000);
    EXPECT_EQ(window.resets, 1);
    EXPECT_TRUE(window.timer.Counting());
    EXPECT_EQ(window.timer.Interval(), 5000u);
}

TEST(TimerState, IntervalZeroNeverFiresUntilANonZeroOneComes)
{
    MessageWindow window;
    window.Tick();
    window.Show(0);
    EXPECT_TRUE(window.timer.Enabled());
    EXPECT_FALSE(window.timer.Counting());
    window.Show(0);
    EXPECT_FALSE(window.timer.Counting());

    window.resets = 0;
    window.Show(3000);
    EXPECT_EQ(window.resets, 1);
    EXPECT_TRUE(window.timer.Counting());
}

TEST(TimerState, SettingTheSameStateChangesNothing)
{
    TimerState timer(1000, false);
    EXPECT_FALSE(timer.SetEnabled(false));
    EXPECT_FALSE(timer.SetInterval(2000)); // disabled: nothing runs to reset
    EXPECT_FALSE(timer.Counting());
    EXPECT_TRUE(timer.SetEnabled(true));
    EXPECT_FALSE(timer.SetInterval(2000));
    EXPECT_TRUE(timer.SetInterval(1));
}

} // namespace
