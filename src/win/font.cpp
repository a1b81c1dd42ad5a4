#include "win/font.h"

#include "win/scaling.h"

// A negative height asks for the character height, not the cell height.
Font::Font(const std::string& face, int pixelHeight, bool bold, int designDensity)
    : handle_(CreateFontA(-Scaled(pixelHeight, designDensity), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                          DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                          DEFAULT_PITCH | FF_DONTCARE, face.c_str()))
{
}

SIZE TextExtent(HFONT font, const std::string& text)
{
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, font);
    SIZE size = {};
    GetTextExtentPoint32A(screen, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    return size;
}

int PointSize(HFONT font)
{
    // Every font of the program is made by character height (a negative
    // lfHeight), the height a size in points stands for.
    LOGFONTA logFont = {};
    if (!GetObjectA(font, sizeof logFont, &logFont)) return 0;
    return MulDiv(logFont.lfHeight < 0 ? -logFont.lfHeight : logFont.lfHeight, 72, ScreenDensity());
}
