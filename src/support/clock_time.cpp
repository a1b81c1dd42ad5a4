#include "support/clock_time.h"

#include <cstdio>

namespace {

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// One or two decimal digits; -1 otherwise.
int SmallNumber(std::string_view digits)
{
    if (digits.empty() || digits.size() > 2) return -1;
    int value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

std::optional<ClockTime> ParseClockTime(std::string_view text)
{
    text = Trimmed(text);
    const std::size_t separator = text.find_first_of(":.");
    if (separator == std::string_view::npos) return std::nullopt;
    const int hour = SmallNumber(text.substr(0, separator));
    const std::string_view minutes = text.substr(separator + 1);
    // The minutes always have two digits: "9:5" is no time anyone writes.
    const int minute = minutes.size() == 2 ? SmallNumber(minutes) : -1;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59) return std::nullopt;
    return ClockTime{hour, minute};
}

std::string ClockTimeText(const ClockTime& time)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", time.hour % 100, time.minute % 100);
    return text;
}
