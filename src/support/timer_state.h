// The rules of a window's timer: it counts while enabled with a non-zero
// interval, and its countdown restarts only when the interval or the
// enabled state actually changes. The message window relies on this:
// shown again while up with the same interval, it keeps its running
// countdown and closes when that ends.
#pragma once

class TimerState {
public:
    TimerState(unsigned interval, bool enabled) : interval_(interval), enabled_(enabled) {}

    // Each returns true when the system timer must be reset: kill it, then
    // set it again with Interval() when Counting().
    bool SetInterval(unsigned interval);
    bool SetEnabled(bool enabled);

    unsigned Interval() const { return interval_; }
    bool Enabled() const { return enabled_; }
    // An interval of 0 never fires, enabled or not.
    bool Counting() const { return enabled_ && interval_ != 0; }

private:
    unsigned interval_;
    bool enabled_;
};
