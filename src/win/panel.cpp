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
        auto edge = [](Bevel bevel, UINT raised, UINT sunken) { return bevel == Bevel::Raised ? raised : sunken; };
        if (outer_ != Bevel::None) DrawEdge(dc, &rect, edge(outer_, BDR_RAISEDOUTER, BDR_SUNKENOUTER), BF_RECT | BF_ADJUST);
        if (inner_ != Bevel::None) DrawEdge(dc, &rect, edge(inner_, BDR_RAISEDINNER, BDR_SUNKENINNER), BF_RECT);
        EndPaint(Handle(), &paint);
        return 0;
    }
    default:
        return Window::HandleMessage(message, wParam, lParam);
    }
}
