#include "win/timer.h"

#include "win/form.h"

void Timer::Create(Form& owner, UINT interval, bool enabled)
{
    owner_ = &owner;
    id_ = owner.RegisterTimer(*this);
    state_ = TimerState(interval, enabled);
    Apply();
}

void Timer::SetInterval(UINT interval)
{
    if (state_.SetInterval(interval)) Apply();
}

void Timer::SetEnabled(bool enabled)
{
    if (state_.SetEnabled(enabled)) Apply();
}

void Timer::Tick()
{
    if (state_.Enabled() && OnTimer) OnTimer();
}

void Timer::Apply()
{
    KillTimer(owner_->Handle(), id_);
    if (state_.Counting()) SetTimer(owner_->Handle(), id_, state_.Interval(), nullptr);
}
