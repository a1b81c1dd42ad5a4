// A GDI font by face and character height in pixels, owned.
#pragma once

#include <windows.h>

#include <string>

class Font {
public:
    Font() = default;
    // pixelHeight is the character height at the design density.
    Font(const std::string& face, int pixelHeight, bool bold = false, int designDensity = 120);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    Font(Font&& other) noexcept;
    Font& operator=(Font&& other) noexcept;

    HFONT Handle() const { return handle_; }

private:
    HFONT handle_ = nullptr;
};
