#include "win/splitter.h"

#include "win/scaling.h"

#include <windowsx.h>

void Splitter::Create(HWND parent, const DesignRect& rect, int designDensity)
{
    CreateHandle("KestromSplitter", "", WS_CHILD | WS_VISIBLE, 0, Scaled(rect.left, designDensity),
                 Scaled(rect.top, designDensity), Scaled(rect.width, designDensity), Scaled(rect.height, designDensity),
                 parent);
}

void Splitter::SetBounds(int left, int top, int width, int height)
{
    SetWindowPos(Handle(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Splitter::SetVisible(bool visible) { ShowWindow(Handle(), visible ? SW_SHOWNA : SW_HIDE); }

bool Splitter::Visible() const { return (GetWindowLongPtrA(Handle(), GWL_STYLE) & WS_VISIBLE) != 0; }

LRESULT Splitter::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETCURSOR:
        SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
        return TRUE;
    case WM_LBUTTONDOWN:
        grip_ = GET_X_LPARAM(lParam);
        SetCapture(Handle());
        return 0;
    case WM_LBUTTONUP: {
        if (GetCapture() != Handle()) return 0;
        ReleaseCapture();
        POINT point = {GET_X_LPARAM(lParam) - grip_, 0};
        MapWindowPoints(Handle(), GetParent(Handle()), &point, 1);
        if (OnMoved) OnMoved(point.x);
        return 0;
    }
    default:
        return Window::HandleMessage(message, wParam, lParam);
    }
}
