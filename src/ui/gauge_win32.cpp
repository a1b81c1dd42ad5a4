#include "ui/gauge.h"

#include "win/form.h"
#include "win/scaling.h"

#include <string>

namespace {

// An off-screen picture of the gauge's size, selected into its own memory
// device context for as long as it lives.
class OffScreenBitmap {
public:
    OffScreenBitmap(HDC like, int width, int height)
        : dc_(CreateCompatibleDC(like)), bitmap_(CreateCompatibleBitmap(like, width, height)),
          oldBitmap_(SelectObject(dc_, bitmap_)), width_(width), height_(height)
    {
        PatBlt(dc_, 0, 0, width_, height_, BLACKNESS);
    }
    ~OffScreenBitmap()
    {
        SelectObject(dc_, oldBitmap_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    OffScreenBitmap(const OffScreenBitmap&) = delete;
    OffScreenBitmap& operator=(const OffScreenBitmap&) = delete;

    HDC Dc() const { return dc_; }
    void CopyTo(HDC target, DWORD rop) const { BitBlt(target, 0, 0, width_, height_, dc_, 0, 0, rop); }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ oldBitmap_;
    int width_;
    int height_;
};

// A pen or brush selected into a device context, put back and deleted on
// leaving the scope.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), object_(object), old_(SelectObject(dc, object)) {}
    ~SelectedObject()
    {
        SelectObject(dc_, old_);
        DeleteObject(object_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ object_;
    HGDIOBJ old_;
};

RECT ToRect(const GaugeRect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

void Fill(HDC dc, const GaugeRect& rect, COLORREF color)
{
    const RECT area = ToRect(rect);
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

void Line(HDC dc, GaugePoint from, GaugePoint to)
{
    MoveToEx(dc, from.x, from.y, nullptr);
    LineTo(dc, to.x, to.y);
}

} // namespace

void TGauge::Create(HWND parent, const DesignRect& rect, int designDensity)
{
    const Form* form = Form::FromHandle(parent);
    if (!font_) font_ = form ? form->FormFont() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    CreateHandle("KestromGauge", "", WS_CHILD | WS_CLIPSIBLINGS, 0, Scaled(rect.left, designDensity),
                 Scaled(rect.top, designDensity), Scaled(rect.width, designDensity),
                 Scaled(rect.height, designDensity), parent);
}

void TGauge::SetVisible(bool visible) { ShowWindow(Handle(), visible ? SW_SHOWNA : SW_HIDE); }

bool TGauge::Visible() const { return (GetWindowLongPtrA(Handle(), GWL_STYLE) & WS_VISIBLE) != 0; }

void TGauge::SetBounds(int left, int top, int width, int height)
{
    SetWindowPos(Handle(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    Repaint();
}

void TGauge::SetMinValue(int value)
{
    if (range_.SetMinValue(value)) Repaint();
}

void TGauge::SetMaxValue(int value)
{
    if (range_.SetMaxValue(value)) Repaint();
}

void TGauge::SetProgress(int value)
{
    if (range_.SetProgress(value)) Repaint();
}

void TGauge::SetKind(TGaugeKind kind)
{
    if (kind_ == kind) return;
    kind_ = kind;
    Repaint();
}

void TGauge::SetShowText(bool showText)
{
    if (showText_ == showText) return;
    showText_ = showText;
    Repaint();
}

void TGauge::SetBorderStyle(TBorderStyle borderStyle)
{
    if (borderStyle_ == borderStyle) return;
    borderStyle_ = borderStyle;
    Repaint();
}

void TGauge::SetForeColor(COLORREF color)
{
    if (foreColor_ == color) return;
    foreColor_ = color;
    Repaint();
}

void TGauge::SetBackColor(COLORREF color)
{
    if (backColor_ == color) return;
    backColor_ = color;
    Repaint();
}

void TGauge::SetColor(COLORREF color)
{
    if (color_ == color) return;
    color_ = color;
    Repaint();
}

void TGauge::SetFont(HFONT font)
{
    if (font_ == font) return;
    font_ = font;
    Repaint();
}

// The gauge refreshes at once rather than at the next idle moment: during
// the installer download no message is processed until a block has been
// written.
void TGauge::Repaint()
{
    if (Handle()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

SIZE TGauge::ClientSize() const
{
    RECT client = {};
    GetClientRect(Handle(), &client);
    return {client.right, client.bottom};
}

// The style is drawn on a black overlay and combined into a black image with
// exclusive-or, which copies it and leaves the frame's margin black; the
// percentage is white text on black, combined the same way, so that it shows
// inverted over whatever lies beneath it.
void TGauge::PaintTo(HDC dc) const
{
    const SIZE size = ClientSize();
    const GaugeRect paint = GaugePaintRect(size.cx, size.cy, borderStyle_);
    const int percentage = Percentage();
    OffScreenBitmap image(dc, size.cx, size.cy);
    {
        OffScreenBitmap overlay(dc, size.cx, size.cy);
        HDC target = overlay.Dc();
        switch (kind_) {
        case gkText:
            Fill(target, paint, backColor_);
            break;
        case gkHorizontalBar:
        case gkVerticalBar: {
            Fill(target, paint, backColor_);
            const GaugeRect bar =
                kind_ == gkHorizontalBar ? HorizontalBarFill(paint, percentage) : VerticalBarFill(paint, percentage);
            if (!bar.Empty()) Fill(target, bar, foreColor_);
            break;
        }
        case gkPie: {
            Fill(target, paint, color_);
            const PieShape pie = GaugePie(paint, borderStyle_, percentage);
            const SelectedObject pen(target, CreatePen(PS_SOLID, 1, foreColor_));
            {
                const SelectedObject brush(target, CreateSolidBrush(backColor_));
                Ellipse(target, pie.ellipse.left, pie.ellipse.top, pie.ellipse.right, pie.ellipse.bottom);
            }
            if (pie.hasWedge) {
                const SelectedObject brush(target, CreateSolidBrush(foreColor_));
                Pie(target, pie.ellipse.left, pie.ellipse.top, pie.ellipse.right, pie.ellipse.bottom,
                    pie.wedgeFrom.x, pie.wedgeFrom.y, pie.wedgeTo.x, pie.wedgeTo.y);
            }
            break;
        }
        case gkNeedle: {
            Fill(target, paint, color_);
            const NeedleShape needle = GaugeNeedle(paint, borderStyle_, size.cx, percentage);
            const SelectedObject pen(target, CreatePen(PS_SOLID, 1, foreColor_));
            const SelectedObject brush(target, CreateSolidBrush(backColor_));
            Pie(target, needle.ellipse.left, needle.ellipse.top, needle.ellipse.right, needle.ellipse.bottom,
                needle.arcFrom.x, needle.arcFrom.y, needle.arcTo.x, needle.arcTo.y);
            Line(target, needle.baseFrom, needle.baseTo);
            if (needle.hasNeedle) Line(target, needle.needleFrom, needle.needleTo);
            break;
        }
        }
        overlay.CopyTo(image.Dc(), SRCINVERT);
    }
    if (showText_) {
        OffScreenBitmap text(dc, size.cx, size.cy);
        const std::string caption = GaugePercentageText(percentage);
        const HGDIOBJ oldFont = SelectObject(text.Dc(), font_);
        SetBkMode(text.Dc(), TRANSPARENT);
        SetTextColor(text.Dc(), RGB(255, 255, 255));
        SIZE extent = {};
        GetTextExtentPoint32A(text.Dc(), caption.c_str(), static_cast<int>(caption.size()), &extent);
        const GaugePoint at = GaugeTextPosition(paint, extent.cx, extent.cy);
        const RECT clip = ToRect(paint);
        ExtTextOutA(text.Dc(), at.x, at.y, ETO_CLIPPED, &clip, caption.c_str(), static_cast<UINT>(caption.size()),
                    nullptr);
        SelectObject(text.Dc(), oldFont);
        text.CopyTo(image.Dc(), SRCINVERT);
    }
    image.CopyTo(dc, SRCCOPY);
}

LRESULT TGauge::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        // Opaque: the paint covers every pixel.
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paintStruct;
        HDC dc = BeginPaint(Handle(), &paintStruct);
        PaintTo(dc);
        EndPaint(Handle(), &paintStruct);
        return 0;
    }
    default:
        return Window::HandleMessage(message, wParam, lParam);
    }
}
