// A push button that may show a bitmap beside its caption; the bitmap has
// a normal and, optionally, a disabled state.
#pragma once

#include "support/unique_handle_win32.h"
#include "win/control.h"

#include <functional>

class Button : public Control {
public:
    void Create(Form& owner, HWND parent, const std::string& caption, const DesignRect& rect,
                int designDensity = 120);
    // Bitmap resources of the program; 0 for no disabled state.
    void SetImages(int normalResource, int disabledResource = 0);
    void Click();

    std::function<void()> OnClick;

    void Command(WORD code) override;

protected:
    void EnabledChanged() override;

private:
    GdiObject<HBITMAP> normal_;
    GdiObject<HBITMAP> disabled_;
};
