// One HTTP GET over WinINet, as every request of the program makes it: a
// direct session (never a proxy) with the program's user agent, the
// request's own time-outs, the response read as it arrives, and a deadline
// for the whole request that nothing the server does can stretch.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
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

struct HttpRequest {
    const char* userAgent = "";
    DWORD flags = 0;
    // Sent with the request as they are.
    std::string extraHeaders;
    // WinINet's own time-outs for each of its calls. They are set on the
    // request itself: Wine does not pass those of the internet handle down
    // to the handles made from it.
    HttpTimeouts timeouts;
    // The whole request, from connecting to the body's last byte, counted
    // from the call: the cap, however steadily the bytes still come.
    unsigned deadlineMs = 0;
    // A request whose bytes stop coming ends before its cap: the response
    // head must come within stallMs of the call, and after it the body must
    // bring stallBytes within stallMs, counted anew each time that many
    // came. 0: only the cap.
    unsigned stallMs = 0;
    std::size_t stallBytes = 0;
    // The most body bytes the caller takes; 0: no limit. A body that grows
    // longer is handed on up to this many bytes and then given up
    // (TooLarge).
    std::uint64_t maxBytes = 0;
    // A body announced as longer than maxBytes is then not read at all
    // (TooLarge). Without it such a body is read up to the limit, which
    // lets a caller that stops between pieces (a download the user may
    // cancel) have its say first.
    bool refuseAnnouncedBeyond = false;
};

// How a request ended.
enum class HttpEnd {
    NoSession, // not an http:// address, or WinINet gave no internet handle
    NoAnswer,  // no connection, or the request failed before a response head
    TimedOut,  // no response head within a time-out or by the deadline
    // A response head came; then the body:
    Whole,     // the server ended it
    Silent,    // the receive time-out passed without a byte
    Broken,    // a read failed otherwise: a lost connection
    Overtime,  // the deadline passed first, the body still arriving
    Stopped,   // onPiece asked to stop
    TooLarge,  // the body is longer than maxBytes
    Stalled,   // too few bytes came for too long
};

struct HttpResponse {
    HttpEnd end = HttpEnd::NoSession;
    // The response's status; 0 without a response head.
    unsigned long status = 0;
    // The body's length as the server announced it, when it did.
    std::optional<std::uint64_t> announcedLength;

    bool HeadArrived() const { return end >= HttpEnd::Whole; }
};

// Sends the request and hands the body to onPiece(bytes, count) as it
// arrives, on the calling thread; onPiece returns false to stop.
//
// The WinINet calls run on a thread of their own, and the calling thread
// waits for it no longer than the deadline: a server that sends its head or
// body a byte at a time holds a WinINet call for ever (each byte starts its
// receive time-out anew), and in Wine closing the handles does not end a
// blocked HttpSendRequestA, which holds its own reference to them. A thread
// given up at the deadline ends by itself once its call returns; it owns its
// handles and shares nothing with the caller but what both hold a reference
// to, so it may outlive the call, and the process may end while it blocks.
//
// At most MaxThreadsLeftBehind such threads live in one process: while that
// many still block, a request is not even begun and ends as NoAnswer, so
// that a server that holds every connection cannot make a process pile up
// threads (each reserves its stack in a 32-bit address space) for ever.
constexpr int MaxThreadsLeftBehind = 16;

HttpResponse HttpGet(const std::string& url, const HttpRequest& request,
                     const std::function<bool(const char*, std::size_t)>& onPiece);
