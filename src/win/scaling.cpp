#include "win/scaling.h"

#include <windows.h>

int ScreenDensity()
{
    static const int density = [] {
        HDC screen = GetDC(nullptr);
        const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        return pixelsPerInch > 0 ? pixelsPerInch : 96;
    }();
    return density;
}

int Scaled(int designValue, int designDensity) { return MulDiv(designValue, ScreenDensity(), designDensity); }
