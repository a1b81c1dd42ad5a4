#include "ui/gauge_range.h"

#include "ui/gauge_geometry.h"

#include <climits>
#include <string>

namespace {

// Wide enough for the bounds next to INT_MIN and INT_MAX.
EInvalidOperation OutOfRange(long long low, long long high)
{
    return EInvalidOperation("Value must be between " + std::to_string(low) + " and " + std::to_string(high));
}

} // namespace

int GaugeRange::Percentage() const { return GaugePercentage(progress_, minValue_, maxValue_); }

bool GaugeRange::SetMinValue(int value)
{
    if (value == minValue_) return false;
    if (value > maxValue_) throw OutOfRange(-static_cast<long long>(INT_MAX), static_cast<long long>(maxValue_) - 1);
    minValue_ = value;
    if (progress_ < value) progress_ = value;
    return true;
}

bool GaugeRange::SetMaxValue(int value)
{
    if (value == maxValue_) return false;
    if (value < minValue_) throw OutOfRange(static_cast<long long>(minValue_) + 1, INT_MAX);
    maxValue_ = value;
    if (progress_ > value) progress_ = value;
    return true;
}

bool GaugeRange::SetProgress(int value)
{
    if (value < minValue_) value = minValue_;
    if (value > maxValue_) value = maxValue_;
    if (value == progress_) return false;
    const int before = Percentage();
    progress_ = value;
    return Percentage() != before;
}
