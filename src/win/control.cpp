#include "win/control.h"

#include "win/form.h"
#include "win/scaling.h"

#include <commctrl.h>

#include <stdexcept>
#include <vector>

namespace {

LRESULT CALLBACK HandCursorProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_SETCURSOR && LOWORD(lParam) == HTCLIENT) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
    }
    return DefSubclassProc(handle, message, wParam, lParam);
}

} // namespace

void Control::CreateControl(Form& owner, HWND parent, const char* className, const std::string& text, DWORD style,
                            DWORD exStyle, const DesignRect& rect, int designDensity)
{
    id_ = owner.RegisterControl(*this);
    handle_ = CreateWindowExA(exStyle, className, text.c_str(), style | WS_CHILD, Scaled(rect.left, designDensity),
                              Scaled(rect.top, designDensity), Scaled(rect.width, designDensity),
                              Scaled(rect.height, designDensity), parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), GetModuleHandleA(nullptr), nullptr);
    if (!handle_) throw std::runtime_error(std::string("Cannot create control ") + className);
    SetFont(owner.FormFont());
}

std::string Control::Text() const
{
    const int length = GetWindowTextLengthA(handle_);
    std::vector<char> buffer(length + 1);
    const int copied = GetWindowTextA(handle_, buffer.data(), length + 1);
    return std::string(buffer.data(), copied);
}

void Control::SetText(const std::string& text) { SetWindowTextA(handle_, text.c_str()); }

void Control::SetFont(HFONT font)
{
    if (font) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void Control::SetVisible(bool visible) { ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE); }

bool Control::Visible() const { return (GetWindowLongPtrA(handle_, GWL_STYLE) & WS_VISIBLE) != 0; }

void Control::SetEnabled(bool enabled)
{
    EnableWindow(handle_, enabled);
    EnabledChanged();
}

bool Control::Enabled() const { return IsWindowEnabled(handle_) != FALSE; }

void Control::Focus() { SetFocus(handle_); }

void Control::SetHandCursor() { SetWindowSubclass(handle_, HandCursorProc, 1, 0); }

RECT Control::Bounds() const
{
    RECT rect = {};
    GetWindowRect(handle_, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(handle_), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int Control::Width() const
{
    const RECT rect = Bounds();
    return rect.right - rect.left;
}

int Control::Height() const
{
    const RECT rect = Bounds();
    return rect.bottom - rect.top;
}

void Control::SetBounds(int left, int top, int width, int height)
{
    SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}
