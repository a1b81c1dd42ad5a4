// Where the download run reads the local date and time.
#pragma once

#include "download/local_date_time.h"

class RunClock {
public:
    virtual ~RunClock() = default;
    virtual LocalDateTime Now() = 0;
};
