// A time of day in hours and minutes (24-hour), as the user types it for
// the evening run and as the program's task carries it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct ClockTime {
    int hour = 22;  // 0 to 23
    int minute = 0; // 0 to 59
    bool operator==(const ClockTime&) const = default;
};

// "22:00", "9:05" or "09.05", blanks around it allowed; nothing else.
std::optional<ClockTime> ParseClockTime(std::string_view text);

// Always two digits each: "09:05".
std::string ClockTimeText(const ClockTime& time);
