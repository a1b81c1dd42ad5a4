#include "win/button.h"

#include "win/form.h"

#include <commctrl.h>

namespace {

HBITMAP LoadButtonBitmap(int resource)
{
    if (!resource) return nullptr;
    // The bitmaps' top-left colour stands for the button face.
    return static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource), IMAGE_BITMAP, 0, 0,
                                           LR_LOADTRANSPARENT | LR_LOADMAP3DCOLORS));
}

} // namespace

void Button::Create(Form& owner, HWND parent, const std::string& caption, const DesignRect& rect, int designDensity)
{
    CreateControl(owner, parent, "BUTTON", caption, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, rect, designDensity);
}

void Button::SetImages(int normalResource, int disabledResource)
{
    normal_ = GdiObject<HBITMAP>(LoadButtonBitmap(normalResource));
    disabled_ = GdiObject<HBITMAP>(LoadButtonBitmap(disabledResource));
    EnabledChanged();
}

void Button::Click()
{
    if (OnClick) OnClick();
}

void Button::Command(WORD code)
{
    if (code == BN_CLICKED) Click();
}

void Button::EnabledChanged()
{
    HBITMAP image = !Enabled() && disabled_ ? disabled_.Get() : normal_.Get();
    if (image) SendMessageA(Handle(), BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image));
}
