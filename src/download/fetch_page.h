// Fetching one page of the quotes web server over HTTP.
#pragma once

#include "download/page_fetcher.h"

#include <cstddef>
#include <string>

// Sent with every request of the program.
inline constexpr char FetchUserAgent[] = "Quillo Function: Download";

// Bounds that keep an unattended run from hanging on a server that accepts
// the connection and then says nothing, sends a body without end, or
// trickles one for ever. A page that runs into any of them comes back
// empty, which the scanners treat as a page without data.
struct FetchLimits {
    unsigned connectTimeoutMs = 30'000;
    unsigned receiveTimeoutMs = 30'000;
    // The whole fetch, from opening the connection to the last byte.
    unsigned pageTimeMs = 120'000;
    // Real pages stay far below this (the largest is about a megabyte).
    std::size_t pageBytes = 64 * 1024 * 1024;
};

// The response body exactly as received, whatever the HTTP status; empty
// when the connection cannot be made or a limit is exceeded. A connection
// lost while reading gives the part read so far, and complete (when given)
// tells whether the whole body arrived.
std::string FetchPage(const std::string& url, const FetchLimits& limits = FetchLimits{}, bool* complete = nullptr);

// The download run's fetcher on Windows.
class InternetPageFetcher : public PageFetcher {
public:
    std::string FetchPage(const std::string& url) override { return ::FetchPage(url, FetchLimits{}, &complete_); }
    bool LastPageComplete() const override { return complete_; }

private:
    bool complete_ = true;
};
