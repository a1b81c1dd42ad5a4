// Fetching one page of the quotes web server over HTTP.
#pragma once

#include "download/page_fetcher.h"

#include <cstddef>
#include <string>

// Sent with every request of the program.
inline constexpr char FetchUserAgent[] = "Quillo Function: Download";

// Bounds that keep an unattended run from hanging on a server that accepts
// the connection and then says nothing, sends a body without end, or
// trickles its head or body for ever. A page that runs into any of them
// comes back empty, which the scanners treat as a page without data.
struct FetchLimits {
    unsigned connectTimeoutMs = 30'000;
    unsigned receiveTimeoutMs = 30'000;
    // The whole fetch, from opening the connection to the last byte. The
    // largest real page (about a megabyte) takes well under a second; the
    // run's own bound on a server that stopped answering is built on this.
    unsigned pageTimeMs = 30'000;
    // Real pages stay far below this (the largest is about a megabyte).
    std::size_t pageBytes = 64 * 1024 * 1024;
};

// The page at url. A page that runs into a limit, or a connection that
// cannot be made, gives an empty body (unanswered when it was a time-out or
// no connection); a connection lost while reading gives the part read so
// far, not complete. Never answered from the cache that WinINet shares with
// browsers, and never stored in it.
FetchedPage FetchPage(const std::string& url, const FetchLimits& limits = FetchLimits{});

// The download run's fetcher on Windows.
class InternetPageFetcher : public PageFetcher {
public:
    FetchedPage FetchPage(const std::string& url) override { return ::FetchPage(url); }
};
