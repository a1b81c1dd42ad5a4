#include "win/timer.h"

#include "win/form.h"

void Timer::Create(Form& owner, UINT interval, bool enabled)
{
    owner_ = &owner;
    id_ = owner.RegisterTimer(*this);
    interval_ = interval;
    enabled_ = enabled;
    Apply();
}

void Timer::SetInterval(UINT interval)
{
    interval_ = interval;
    Apply();
}

void Timer::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    Apply();
}

void Timer::Tick()
{
    if (enabled_ && OnTimer) OnTimer();
}

void Timer::Apply()
{
    KillTimer(owner_->Handle(), id_);
    // An interval of 0 never fires.
    if (enabled_ && interval_ > 0) SetTimer(owner_->Handle(), id_, interval_, nullptr);
}
