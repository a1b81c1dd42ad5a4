#include "win/label.h"

void Label::Create(Form& owner, HWND parent, const std::string& caption, const DesignRect& rect,
                   const LabelOptions& options, int designDensity)
{
    autoSize_ = options.autoSize;
    // SS_NOPREFIX: an ampersand in a status text is shown, not underlined.
    const DWORD alignment = options.centred ? SS_CENTER : options.wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP;
    const DWORD style = WS_VISIBLE | SS_NOPREFIX | alignment;
    CreateControl(owner, parent, "STATIC", caption, style, 0, rect, designDensity);
    SetCaption(caption);
}

void Label::SetCaption(const std::string& caption)
{
    SetText(caption);
    if (!autoSize_) return;
    HDC dc = GetDC(Handle());
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(Handle(), WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(Handle(), dc);
    const RECT bounds = Bounds();
    SetBounds(bounds.left, bounds.top, size.cx, metrics.tmHeight);
    InvalidateRect(GetParent(Handle()), &bounds, TRUE);
}
