// A GDI font by face and character height in pixels, owned.
#pragma once

#include "support/unique_handle_win32.h"

#include <windows.h>

#include <string>

class Font {
public:
    Font() = default;
    // pixelHeight is the character height at the design density.
    Font(const std::string& face, int pixelHeight, bool bold = false, int designDensity = 120);

    HFONT Handle() const { return handle_.Get(); }

private:
    GdiObject<HFONT> handle_;
};

// Size in pixels of text drawn in font on this screen.
SIZE TextExtent(HFONT font, const std::string& text);

// The font's size in points at this screen's density, from its character
// height and rounded as MulDiv rounds (a 17-pixel font at 120 pixels per
// inch is 10 points).
int PointSize(HFONT font);
