// The gauge's value rules: the range, the clamped progress and when a change
// must be shown again.
#pragma once

#include <stdexcept>

// The error a property setter raises for a value it cannot take; the
// property keeps its old value.
class EInvalidOperation : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class GaugeRange {
public:
    int MinValue() const { return minValue_; }
    int MaxValue() const { return maxValue_; }
    int Progress() const { return progress_; }
    int Percentage() const;

    // Each returns true when the gauge must be painted again. A minimum above
    // the maximum, or a maximum below the minimum, throws EInvalidOperation
    // "Value must be between %d and %d".
    bool SetMinValue(int value);
    bool SetMaxValue(int value);
    // Clamped to the range; true only when the whole percentage changed.
    bool SetProgress(int value);

private:
    int minValue_ = 0;
    int maxValue_ = 100;
    int progress_ = 0;
};
