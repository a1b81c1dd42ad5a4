// Waiting in Win32 tests: for a condition, never for a guessed time. The
// bound only catches a hang; under an emulator everything takes several
// times as long, and a test must pass there as well.
#pragma once

#include <windows.h>

#include <functional>

constexpr DWORD HangBoundMs = 120'000;

// Looks at done() every few milliseconds until it holds or the bound
// passes; whether it held.
inline bool WaitUntil(const std::function<bool()>& done, DWORD boundMs = HangBoundMs)
{
    const DWORD started = GetTickCount();
    while (!done()) {
        if (GetTickCount() - started >= boundMs) return done();
        Sleep(20);
    }
    return true;
}
