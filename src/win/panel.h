// A plain container with a bevel. Notifications of its children go on to
// the form, so controls may live inside a panel like anywhere else.
#pragma once

#include "win/control.h"
#include "win/window.h"

enum class Bevel { None, Raised, Lowered };

class Panel : public Window {
public:
    void Create(HWND parent, const DesignRect& rect, Bevel outer = Bevel::Raised, Bevel inner = Bevel::None,
                int designDensity = 120);
    void SetBounds(int left, int top, int width, int height);
    // Placement in the parent's client area, in screen pixels.
    RECT Bounds() const;
    int Width() const;
    int Height() const;
    // From the outside in: a single-line border, the outer bevel, borderWidth
    // pixels of face, the inner bevel; each bevel bevelWidth pixels wide.
    void SetFrame(int bevelWidth, int borderWidth, bool singleLine);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    Bevel outer_ = Bevel::Raised;
    Bevel inner_ = Bevel::None;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
};
