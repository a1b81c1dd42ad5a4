#include "win/panel.h"

#include "win/scaling.h"

void Panel::Create(HWND parent, const DesignRect& rect, Bevel outer, Bevel inner, int designDensity)
{
    outer_ = outer;
    inner_ = inner;
    CreateHandle("KestromPanel", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT,
                 Scaled(rect.left, designDensity), Scaled(rect.top, designDensity), Scaled(rect.width, designDensity),
                 Scaled(rect.height, designDensity), parent);
}

void Panel::SetBounds(int left, int top, int width, int height)
{
    SetWindowPos(Handle(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(Handle(), nullptr, TRUE);
}

RECT Panel::Bounds() const
{
    RECT rect = {};
    GetWindowRect(Handle(), &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(Handle()), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int Panel::Width() const
{
    RECT rect = {};
    GetWindowRect(Handle(), &rect);
    return rect.right - rect.left;
}

int Panel::Height() const
{
    RECT rect = {};
    GetWindowRect(Handle(), &rect);
    return rect.bottom - rect.top;
}

void Panel::SetFrame(int bevelWidth, int borderWidth, bool singleLine)
{
    bevelWidth_ = bevelWidth;
    borderWidth_ = borderWidth;
    LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
    style = singleLine ? style | WS_BORDER : style & ~static_cast<LONG_PTR>(WS_BORDER);
    SetWindowLongPtrA(Handle(), GWL_STYLE, style);
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    InvalidateRect(Handle(), nullptr, TRUE);
}

LRESULT Panel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
        return SendMessageA(GetParent(Handle()), message, wParam, lParam);
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(Handle(), &paint);
        RECT rect;
        GetClientRect(Handle(), &rect);
        auto bevel = [&](Bevel kind, UINT raised, UINT sunken) {
            if (kind == Bevel::None) return;
            for (int ring = 0; ring < bevelWidth_; ++ring) {
                DrawEdge(dc, &rect, kind == Bevel::Raised ? raised : sunken, BF_RECT | BF_ADJUST);
            }
        };
        bevel(outer_, BDR_RAISEDOUTER, BDR_SUNKENOUTER);
        InflateRect(&rect, -borderWidth_, -borderWidth_);
        bevel(inner_, BDR_RAISEDINNER, BDR_SUNKENINNER);
        EndPaint(Handle(), &paint);
        return 0;
    }
    default:
        return Window::HandleMessage(message, wParam, lParam);
    }
}
