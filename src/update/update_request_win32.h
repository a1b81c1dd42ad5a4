// How the update check asks the maker's server: the versions list, the
// installer and its signature always come from the server itself, never
// from the cache that WinINet shares with browsers, are never stored in it,
// and no cache or proxy on the way may answer for them.
#pragma once

#include "download/fetch_page.h"
#include "support/http_get_win32.h"

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <string>

inline constexpr DWORD UpdateRequestFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;

// The installer and its signature: messages are let through only between
// pieces, so a server that falls silent holds the program for at most the
// receive time-out.
inline constexpr HttpTimeouts InstallerTimeouts = {15'000, 15'000, 15'000};

// A request of the update check: the whole of it within deadlineMs, a body
// of at most maxBytes (0: no limit), extraHeaders sent as they are.
inline HttpRequest UpdateRequest(const HttpTimeouts& timeouts, unsigned deadlineMs, std::uint64_t maxBytes,
                                 const std::string& extraHeaders = "")
{
    HttpRequest request;
    request.userAgent = FetchUserAgent;
    request.flags = UpdateRequestFlags;
    request.extraHeaders = extraHeaders;
    request.timeouts = timeouts;
    request.deadlineMs = deadlineMs;
    request.maxBytes = maxBytes;
    return request;
}
