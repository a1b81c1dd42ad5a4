#include "ui/gauge_geometry.h"

#include <cmath>
#include <numbers>

namespace {

// Halves go to the even neighbour, as the default floating-point rounding does.
int Round(double value) { return static_cast<int>(std::nearbyint(value)); }

} // namespace

int GaugePercentage(int progress, int minValue, int maxValue)
{
    if (maxValue == minValue) return 0;
    const double done = (static_cast<double>(progress) - minValue) * 100;
    return static_cast<int>(done / (static_cast<double>(maxValue) - minValue));
}

int GaugeShare(int percentage, int length) { return static_cast<int>(length * (percentage * 0.01)); }

std::string GaugePercentageText(int percentage) { return std::to_string(percentage) + "%"; }

GaugeRect GaugePaintRect(int width, int height, TBorderStyle border)
{
    const int frame = border == bsSingle ? 1 : 0;
    return {frame, frame, width - frame, height - frame};
}

GaugeRect HorizontalBarFill(const GaugeRect& paint, int percentage)
{
    const int width = paint.right - paint.left + 1;
    const int height = paint.bottom - paint.top + 1;
    int share = GaugeShare(percentage, width);
    if (share > width) share = width;
    if (share < 1) return {paint.left, paint.top, paint.left, paint.top};
    return {paint.left, paint.top, share, height};
}

GaugeRect VerticalBarFill(const GaugeRect& paint, int percentage)
{
    const int width = paint.right - paint.left + 1;
    const int height = paint.bottom - paint.top + 1;
    int share = GaugeShare(percentage, height);
    if (share >= height) share = height - 1;
    return {paint.left, height - share, width, height};
}

PieShape GaugePie(const GaugeRect& paint, TBorderStyle border, int percentage)
{
    const int grow = border == bsSingle ? 1 : 0;
    const int width = paint.right - paint.left + grow;
    const int height = paint.bottom - paint.top + grow;
    PieShape pie = {{paint.left, paint.top, width, height}, false, {}, {}};
    if (percentage <= 0) return pie;
    const int middleX = width / 2;
    const int middleY = height / 2;
    const double angle = std::numbers::pi * (percentage / 50.0 + 0.5);
    pie.hasWedge = true;
    pie.wedgeFrom = {Round(middleX * (1 - std::cos(angle))), Round(middleY * (1 - std::sin(angle)))};
    pie.wedgeTo = {middleX, 0};
    return pie;
}

NeedleShape GaugeNeedle(const GaugeRect& paint, TBorderStyle border, int controlWidth, int percentage)
{
    const int grow = border == bsSingle ? 1 : 0;
    const int width = paint.right - paint.left + grow;
    const int height = paint.bottom - paint.top + grow;
    NeedleShape needle = {};
    needle.ellipse = {paint.left, paint.top, width, 2 * height - 1};
    needle.arcFrom = {paint.left + width, paint.bottom - 1};
    needle.arcTo = {paint.left, paint.bottom - 1};
    needle.baseFrom = {paint.left, paint.bottom};
    needle.baseTo = {paint.left + width, paint.bottom};
    if (percentage <= 0) return needle;
    const int middleX = controlWidth / 2;
    const double angle = std::numbers::pi * percentage / 100;
    needle.hasNeedle = true;
    needle.needleFrom = {middleX, paint.bottom - 1};
    needle.needleTo = {Round(middleX * (1 - std::cos(angle))), Round((paint.bottom - 1) * (1 - std::sin(angle)))};
    return needle;
}

GaugePoint GaugeTextPosition(const GaugeRect& paint, int textWidth, int textHeight)
{
    return {(paint.right + 1 - paint.left - textWidth) / 2, (paint.bottom - paint.top - textHeight + 1) / 2};
}
