// A small image button that never takes the focus: a one-button flat tool
// bar, so that a click leaves the focus where it was.
#pragma once

#include "win/control.h"

#include <functional>

class SpeedButton : public Control {
public:
    // image: one of the common controls' standard images of the set
    // imageSet (IDB_VIEW_SMALL_COLOR, VIEW_NEWFOLDER, ...).
    void Create(Form& owner, HWND parent, const DesignRect& rect, int imageSet, int image,
                int designDensity = 120);
    void Click();
    std::function<void()> OnClick;
    void Command(WORD code) override;
};
