// A window timer of a form, in the manner of a component: interval,
// enabled flag and a handler.
#pragma once

#include <windows.h>

#include <functional>

class Form;

class Timer {
public:
    void Create(Form& owner, UINT interval, bool enabled);
    void SetInterval(UINT interval);
    UINT Interval() const { return interval_; }
    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }

    std::function<void()> OnTimer;
    void Tick();

private:
    void Apply();
    Form* owner_ = nullptr;
    UINT_PTR id_ = 0;
    UINT interval_ = 1000;
    bool enabled_ = false;
};
