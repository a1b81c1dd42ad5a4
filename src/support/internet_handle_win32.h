// A WinINet handle that closes itself, so that no path out of a fetch
// (an early return, an exception while a body grows) leaves one open.
#pragma once

#include <windows.h>
#include <wininet.h>

class InternetHandle {
public:
    explicit InternetHandle(HINTERNET handle) noexcept : handle_(handle) {}
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    ~InternetHandle()
    {
        if (handle_) InternetCloseHandle(handle_);
    }

    explicit operator bool() const { return handle_ != nullptr; }
    HINTERNET Get() const { return handle_; }

private:
    HINTERNET handle_;
};
