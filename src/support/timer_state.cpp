#include "support/timer_state.h"

bool TimerState::SetInterval(unsigned interval)
{
    if (interval == interval_) return false;
    interval_ = interval;
    return enabled_;
}

bool TimerState::SetEnabled(bool enabled)
{
    if (enabled == enabled_) return false;
    enabled_ = enabled;
    return true;
}
