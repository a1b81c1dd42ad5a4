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

// Setting a value a timer already has leaves its countdown running.
void Timer::SetInterval(UINT interval)
{
    if (interval == interval_) return;
    interval_ = interval;
    Apply();
}

void Timer::SetEnabled(bool enabled)
{
    if (enabled == enabled_) return;
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
