// The run lock over a lock file in the data folder, held open without
// sharing for the run and deleted when it is closed.
#pragma once

#include "download/run_lock.h"
#include "support/unique_handle_win32.h"

class Win32RunLock : public RunLock {
public:
    Win32RunLock() = default;
    ~Win32RunLock() override { Unlock(); }
    Win32RunLock(const Win32RunLock&) = delete;
    Win32RunLock& operator=(const Win32RunLock&) = delete;

    bool TryLock(const std::string& folder) override;
    void Unlock() override;

private:
    FileHandle file_;
};
