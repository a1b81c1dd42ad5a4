// The run lock over a named mutex per data folder.
#pragma once

#include "download/run_lock.h"
#include "support/unique_handle_win32.h"

#include <windows.h>

class Win32RunLock : public RunLock {
public:
    Win32RunLock() = default;
    ~Win32RunLock() override { Unlock(); }
    Win32RunLock(const Win32RunLock&) = delete;
    Win32RunLock& operator=(const Win32RunLock&) = delete;

    bool TryLock(const std::string& folder) override;
    void Unlock() override;

private:
    MutexHandle mutex_;
};
