// Where the download run reads the local date and time, and how long it
// took.
#pragma once

#include "download/local_date_time.h"

#include <cstdint>

class RunClock {
public:
    virtual ~RunClock() = default;
    virtual LocalDateTime Now() = 0;

    // A count of milliseconds from some fixed moment; it may wrap, so only
    // a difference of two counts means something.
    virtual std::uint32_t Milliseconds() = 0;
};
