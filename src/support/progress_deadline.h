// When a transfer that may be slow, but must keep moving, is given up: when
// too few bytes came for too long (it stalled), or at a generous cap on the
// whole, however steadily the bytes still come. Times are milliseconds on
// any one clock that does not go back.
#pragma once

#include <cstddef>
#include <cstdint>

enum class ProgressEnd { Going, Stalled, Capped };

class ProgressDeadline {
public:
    // stallMs 0: no stall rule, only the cap.
    ProgressDeadline(std::int64_t startMs, unsigned capMs, unsigned stallMs, std::size_t stallBytes);

    // bytes more have come at nowMs. Each stallBytes that come start the
    // stall time anew.
    void Arrived(std::int64_t nowMs, std::size_t bytes);

    // The stall time starts anew at nowMs (a response head came).
    void Restart(std::int64_t nowMs);

    // Whether the transfer is to be given up at nowMs, and why.
    ProgressEnd EndAt(std::int64_t nowMs) const;

    // The moment EndAt stops saying Going unless more arrives first.
    std::int64_t NextEndMs() const;

private:
    std::int64_t capEnd_;
    unsigned stallMs_;
    std::size_t stallBytes_;
    // Since the last time stallBytes had come (at first the start).
    std::int64_t markMs_;
    std::size_t sinceMark_ = 0;
};
