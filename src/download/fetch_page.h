// Fetching one page of the quotes web server over HTTP.
#pragma once

#include "download/page_fetcher.h"

#include <cstddef>
#include <string>

// Sent with every request of the program.
inline constexpr char FetchUserAgent[] = "Quillo Function: Download";

// Bounds that keep an unattended run from hanging on a server that accepts
// the connection and then says nothing, sends a body without end, or
// trickles its head or body for ever, while a slow line keeps its pages.
// A page that stalls or runs into a limit comes back empty, which the
// scanners treat as a page without data; a page still arriving at its time
// keeps what came.
struct FetchLimits {
    unsigned connectTimeoutMs = 30'000;
    unsigned receiveTimeoutMs = 30'000;
    // A page whose bytes stop coming: its head must come within stallMs,
    // and its body bring stallBytes within stallMs, again and again (about
    // 70 bytes a second; a line of 256 kbit/s brings 32 KB a second). The
    // run's bound on a server that stopped answering is built on this.
    unsigned stallMs = 30'000;
    std::size_t stallBytes = 2048;
    // The whole fetch at the most, from opening the connection to the last
    // byte, however steadily the bytes still come. The largest real page
    // (about a megabyte) takes well under a second on a fast line, half a
    // minute at 256 kbit/s, and comes whole within this down to about
    // 28 kbit/s.
    unsigned pageTimeMs = 300'000;
    // Real pages stay far below this (the largest is about a megabyte).
    std::size_t pageBytes = 64 * 1024 * 1024;
};

// The page at url. A page that stalls or runs into a limit, or a connection
// that cannot be made, gives an empty body (unanswered when it was a
// time-out, a stall or no connection); a connection lost while reading
// gives the part read so far, not complete, and so does a page still
// arriving at pageTimeMs (stillArriving). Never answered from the cache that WinINet shares with
// browsers, and never stored in it.
FetchedPage FetchPage(const std::string& url, const FetchLimits& limits = FetchLimits{});

// The download run's fetcher on Windows.
class InternetPageFetcher : public PageFetcher {
public:
    FetchedPage FetchPage(const std::string& url) override { return ::FetchPage(url); }
};
