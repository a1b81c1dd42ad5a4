// A window timer of a form, in the manner of a component: interval,
// enabled flag and a handler.
#pragma once

#include "support/timer_state.h"

#include <windows.h>

#include <functional>

class Form;

class Timer {
public:
    void Create(Form& owner, UINT interval, bool enabled);
    // Setting a value the timer already has leaves its countdown running.
    void SetInterval(UINT interval);
    UINT Interval() const { return state_.Interval(); }
    void SetEnabled(bool enabled);
    bool Enabled() const { return state_.Enabled(); }

    std::function<void()> OnTimer;
    void Tick();

private:
    void Apply();
    Form* owner_ = nullptr;
    UINT_PTR id_ = 0;
    TimerState state_{1000, false};
};
