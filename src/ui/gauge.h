// A progress indicator drawn by the program itself: a value between a
// minimum and a maximum shown as a percentage, as text only, a horizontal or
// vertical bar, a pie or a needle, with the percentage printed over it.
#pragma once

#include "ui/gauge_geometry.h"
#include "ui/gauge_range.h"
#include "win/control.h"
#include "win/window.h"

#include <windows.h>

constexpr DesignRect GaugeDefaultRect = {0, 0, 100, 100};

class TGauge : public Window {
public:
    // A hidden child of parent (a form's or panel's handle) at a design
    // rectangle scaled like every control's. Properties may be set before
    // and after; the font is the parent's.
    void Create(HWND parent, const DesignRect& rect = GaugeDefaultRect, int designDensity = 120);

    void SetVisible(bool visible);
    bool Visible() const;
    void SetBounds(int left, int top, int width, int height);

    int MinValue() const { return range_.MinValue(); }
    int MaxValue() const { return range_.MaxValue(); }
    int Progress() const { return range_.Progress(); }
    // Throw EInvalidOperation for a range conflict and leave the gauge as it was.
    void SetMinValue(int value);
    void SetMaxValue(int value);
    // Clamped to MinValue..MaxValue; repaints only when the whole percentage
    // changes, so it may be set for every block of a download.
    void SetProgress(int value);
    int Percentage() const { return range_.Percentage(); }

    TGaugeKind Kind() const { return kind_; }
    void SetKind(TGaugeKind kind);
    bool ShowText() const { return showText_; }
    void SetShowText(bool showText);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle borderStyle);
    COLORREF ForeColor() const { return foreColor_; }
    void SetForeColor(COLORREF color);
    COLORREF BackColor() const { return backColor_; }
    void SetBackColor(COLORREF color);
    // The surface around the pie and the needle's half disc.
    COLORREF Color() const { return color_; }
    void SetColor(COLORREF color);
    // Not owned; the parent's font unless set.
    void SetFont(HFONT font);

    // Draws the whole gauge at (0, 0) of dc, as it appears on screen.
    void PaintTo(HDC dc) const;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Repaint();
    SIZE ClientSize() const;

    GaugeRange range_;
    TGaugeKind kind_ = gkHorizontalBar;
    bool showText_ = true;
    TBorderStyle borderStyle_ = bsSingle;
    COLORREF foreColor_ = RGB(0, 0, 0);
    COLORREF backColor_ = RGB(255, 255, 255);
    COLORREF color_ = GetSysColor(COLOR_BTNFACE);
    HFONT font_ = nullptr;
};
