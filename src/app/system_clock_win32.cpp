#include "app/system_clock_win32.h"

#include <windows.h>

LocalDateTime SystemClock::Now()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {{now.wYear, now.wMonth, now.wDay}, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

std::uint32_t SystemClock::Milliseconds()
{
    return GetTickCount();
}

SystemClock& TheSystemClock()
{
    static SystemClock clock;
    return clock;
}
