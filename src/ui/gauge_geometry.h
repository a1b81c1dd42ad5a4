// The progress gauge's arithmetic: percentage, shares of a length and the
// shapes of its five styles, in the control's client coordinates.
// Rectangles exclude their right and bottom edges, as GDI's do.
#pragma once

#include <string>

enum TGaugeKind { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };

enum TBorderStyle { bsNone, bsSingle };

struct GaugePoint {
    int x;
    int y;
    bool operator==(const GaugePoint&) const = default;
};

struct GaugeRect {
    int left;
    int top;
    int right;
    int bottom;
    bool operator==(const GaugeRect&) const = default;
    bool Empty() const { return right <= left || bottom <= top; }
};

// Truncation of (progress - minValue) * 100 / (maxValue - minValue), worked
// out in floating point so that the full 32-bit range cannot overflow; 0 for
// an empty range.
int GaugePercentage(int progress, int minValue, int maxValue);

// The filled part of a length n at percentage p: truncation of n * (p * 0.01).
int GaugeShare(int percentage, int length);

// "42%".
std::string GaugePercentageText(int percentage);

// The client rectangle, less the 1-pixel frame of a single border.
GaugeRect GaugePaintRect(int width, int height, TBorderStyle border);

// The filled part of a bar; Empty() when nothing is filled. The bars use the
// paint rectangle's width and height as end coordinates (not added to its
// left and top), so the fill ends one pixel short of the frame's far side
// only where the frame itself lies.
GaugeRect HorizontalBarFill(const GaugeRect& paint, int percentage);
GaugeRect VerticalBarFill(const GaugeRect& paint, int percentage);

struct PieShape {
    GaugeRect ellipse;
    // The filled wedge runs counter-clockwise from wedgeFrom to wedgeTo (12
    // o'clock), so that it grows clockwise; no wedge at 0 % or less.
    bool hasWedge;
    GaugePoint wedgeFrom;
    GaugePoint wedgeTo;
};
PieShape GaugePie(const GaugeRect& paint, TBorderStyle border, int percentage);

struct NeedleShape {
    // The upper half of this ellipse, drawn as a pie wedge from arcFrom
    // counter-clockwise to arcTo, stands on the base line.
    GaugeRect ellipse;
    GaugePoint arcFrom;
    GaugePoint arcTo;
    GaugePoint baseFrom;
    GaugePoint baseTo;
    bool hasNeedle;
    GaugePoint needleFrom;
    GaugePoint needleTo;
};
NeedleShape GaugeNeedle(const GaugeRect& paint, TBorderStyle border, int controlWidth, int percentage);

// Where the percentage text starts. The result is centred on the paint
// rectangle's size but not offset by its left and top.
GaugePoint GaugeTextPosition(const GaugeRect& paint, int textWidth, int textHeight);
