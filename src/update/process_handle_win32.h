// An open kernel handle (a process, a job, a locked file), closed when it
// goes out of scope.
#pragma once

#include <windows.h>

#include <utility>

class ProcessHandle {
public:
    ProcessHandle() = default;
    explicit ProcessHandle(HANDLE handle) : handle_(handle) {}
    ~ProcessHandle()
    {
        if (handle_) CloseHandle(handle_);
    }
    ProcessHandle(ProcessHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    ProcessHandle& operator=(ProcessHandle&& other) noexcept
    {
        std::swap(handle_, other.handle_);
        return *this;
    }
    ProcessHandle(const ProcessHandle&) = delete;
    ProcessHandle& operator=(const ProcessHandle&) = delete;

    HANDLE Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    HANDLE handle_ = nullptr;
};
