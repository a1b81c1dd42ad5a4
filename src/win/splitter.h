// A vertical bar the user drags to change the width of the window to its
// left; the owner does the resizing when the bar is released.
#pragma once

#include "win/control.h"
#include "win/window.h"

#include <functional>

class Splitter : public Window {
public:
    void Create(HWND parent, const DesignRect& rect, int designDensity = 120);
    void SetBounds(int left, int top, int width, int height);
    void SetVisible(bool visible);
    bool Visible() const;

    // The bar's new left edge in the parent's client area.
    std::function<void(int left)> OnMoved;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int grip_ = 0;
};
