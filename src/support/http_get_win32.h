// One HTTP GET over WinINet, as every request of the program makes it: a
// direct session (never a proxy) with the program's user agent, the
// request's own time-outs, and the response read as it arrives.
#pragma once

#include "support/internet_handle_win32.h"

#include <cstddef>
#include <functional>
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

// How reading a response body ended.
enum class BodyEnd {
    Whole,    // the server ended the body
    Silent,   // the receive time-out passed without a byte
    Broken,   // a read failed otherwise: a lost connection
    Overtime, // the time limit passed first
    Stopped,  // onPiece asked to stop
};

// Reads the response body as it arrives. Every read asks only for what has
// already come (InternetQueryDataAvailable): a read of a full buffer would
// wait until the buffer is full, which for a server that sends a byte now
// and then means for ever, however short the receive time-out. So no call
// waits longer than the receive time-out, and the time limit, counted from
// this call, is looked at after every piece. onPiece(bytes, count) returns
// false to stop.
BodyEnd ReadArrivedBody(HINTERNET request, unsigned timeLimitMs,
                        const std::function<bool(const char*, std::size_t)>& onPiece);
