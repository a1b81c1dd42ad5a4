// The download run's clock on Windows: the local date and time.
#pragma once

#include "download/run_clock.h"

class SystemClock : public RunClock {
public:
    LocalDateTime Now() override;
    std::uint32_t Milliseconds() override;
};

SystemClock& TheSystemClock();
