// One HTTP GET over WinINet, as every request of the program makes it: a
// direct session (never a proxy) with the program's user agent, the
// request's own time-outs, and the response read in blocks.
#pragma once

#include "support/internet_handle_win32.h"

#include <cstddef>
#include <string>

struct HttpTimeouts {
    unsigned connectMs = 0;
    unsigned sendMs = 0;
    unsigned receiveMs = 0;
};

struct HttpUrlParts {
    std::string host;
    INTERNET_PORT port = INTERNET_DEFAULT_HTTP_PORT;
    // Path and query exactly as written: nothing is escaped.
    std::string object;
};

// False for anything but an http:// address with a host.
bool CrackHttpUrl(const std::string& url, HttpUrlParts& parts);

class HttpGet {
public:
    // Sends the request at once; the handles close themselves on every path.
    // Time-outs are set on the request itself: Wine does not pass those of
    // the internet handle down to the handles made from it.
    HttpGet(const std::string& url, const char* userAgent, DWORD flags, const HttpTimeouts& timeouts,
            const std::string& extraHeaders = "");
    HttpGet(const HttpGet&) = delete;
    HttpGet& operator=(const HttpGet&) = delete;

    // False when WinINet gave no internet handle at all.
    bool HasSession() const { return static_cast<bool>(internet_); }
    // True when the request went out and a response head came back.
    bool Sent() const { return sent_; }
    HINTERNET Request() const { return request_.Get(); }
    // The response's status; 0 when there is none.
    unsigned long Status() const;

private:
    HttpUrlParts parts_;
    bool cracked_;
    InternetHandle internet_;
    InternetHandle connection_;
    InternetHandle request_;
    bool sent_ = false;
};

// Whether the last WinINet call failed on a time-out: WinINet reports its
// own code, Wine passes on the socket's.
bool HttpTimedOut();

// Reads the response body in blocks of at most size bytes until the server
// ends it or a read fails (a failed read counts as the end); onBlock(buffer,
// bytes) is called for every block read and returns false to stop early.
// A full-size read waits until the block is full or the body ends.
template <typename OnBlock>
void ReadResponseBlocks(HINTERNET request, char* buffer, DWORD size, OnBlock&& onBlock)
{
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(request, buffer, size, &read) || read == 0) return;
        if (!onBlock(buffer, static_cast<std::size_t>(read))) return;
    }
}
