// A one-line edit field.
#pragma once

#include "win/control.h"

#include <functional>

class Edit : public Control {
public:
    void Create(Form& owner, HWND parent, const std::string& text, const DesignRect& rect, int designDensity = 120);
    // Tab into the field leaves its text unselected, the caret where it was.
    void DisableAutoSelect();
    std::function<void()> OnChange;
    void Command(WORD code) override;
};
