#include "win/bevel_frame.h"

#include <commctrl.h>

namespace {

LRESULT CALLBACK BevelProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR edge)
{
    switch (message) {
    case WM_ERASEBKGND:
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(handle, &paint);
        RECT rect;
        GetClientRect(handle, &rect);
        DrawEdge(dc, &rect, static_cast<UINT>(edge), BF_RECT);
        EndPaint(handle, &paint);
        return 0;
    }
    default:
        return DefSubclassProc(handle, message, wParam, lParam);
    }
}

} // namespace

void BevelFrame::Create(Form& owner, HWND parent, const DesignRect& rect, BevelShape shape, int designDensity)
{
    // A frame static has no text, no background of its own and is
    // transparent to the mouse (no SS_NOTIFY).
    CreateControl(owner, parent, "STATIC", "", WS_VISIBLE | SS_ETCHEDFRAME, 0, rect, designDensity);
    const UINT edge = shape == BevelShape::LoweredBox ? BDR_SUNKENOUTER : EDGE_ETCHED;
    SetWindowSubclass(Handle(), BevelProc, 1, edge);
}
