// Hints: the tooltips that tell what a control does while the mouse rests
// on it. One tooltip window per form serves all of the form's controls.
#pragma once

#include "win/control.h"

#include <map>
#include <string>

class Hints {
public:
    Hints() = default;
    ~Hints();
    Hints(const Hints&) = delete;
    Hints& operator=(const Hints&) = delete;

    // owner is the form; the tooltip window lives as long as this object.
    void Create(HWND owner);
    // Sets or replaces the control's hint.
    void Set(const Control& control, const std::string& text);
    // The control's hint; empty when it has none.
    std::string Get(const Control& control) const;
    HWND Handle() const { return handle_; }

private:
    HWND handle_ = nullptr;
    HWND owner_ = nullptr;
    std::map<HWND, std::string> texts_;
};
