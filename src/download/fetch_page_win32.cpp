#include "download/fetch_page.h"

#include "download/bounded_append.h"
#include "support/http_get_win32.h"

#include <chrono>
#include <new>

namespace {

// Quotes change by the minute: every page comes from the server itself,
// never from the cache that WinINet shares with browsers, and no cache or
// proxy on the way may answer for it.
constexpr DWORD PageRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;

// A page that runs into a limit: nothing of it is kept.
FetchedPage Dropped(unsigned long status, bool unanswered)
{
    FetchedPage page;
    page.status = status;
    page.unanswered = unanswered;
    return page;
}

FetchedPage ReadPage(const std::string& url, const FetchLimits& limits)
{
    HttpRequest request;
    request.userAgent = FetchUserAgent;
    request.flags = PageRequestFlags;
    request.timeouts = {limits.connectTimeoutMs, limits.receiveTimeoutMs, limits.receiveTimeoutMs};
    request.deadlineMs = limits.pageTimeMs;
    request.stallMs = limits.stallMs;
    request.stallBytes = limits.stallBytes;
    request.maxBytes = limits.pageBytes;
    // Not even begun: a page announced beyond the limit would be dropped
    // anyway, and reading it could outlast the page's time.
    request.refuseAnnouncedBeyond = true;
    FetchedPage page;
    const HttpResponse response = HttpGet(url, request, [&](const char* piece, std::size_t bytes) {
        return AppendWithinLimit(page.body, std::string_view(piece, bytes), limits.pageBytes);
    });
    page.status = response.status;
    switch (response.end) {
    case HttpEnd::NoSession:
    case HttpEnd::NoAnswer:
    case HttpEnd::TimedOut:
    case HttpEnd::Silent:
    case HttpEnd::Stalled:
        return Dropped(response.status, true);
    case HttpEnd::Stopped:
    case HttpEnd::TooLarge:
        return Dropped(response.status, false);
    case HttpEnd::Broken:
        // A lost connection ends the page with what has arrived.
        page.complete = false;
        return page;
    case HttpEnd::Overtime:
        // A slow line: what came of the page is kept, and it is asked for
        // again.
        page.complete = false;
        page.stillArriving = true;
        return page;
    case HttpEnd::Whole:
        break;
    }
    // Wine ends a body cut off by the server like a complete one; the
    // announced length tells them apart where there is one.
    if (response.announcedLength && page.body.size() < *response.announcedLength) page.complete = false;
    return page;
}

} // namespace

FetchedPage FetchPage(const std::string& url, const FetchLimits& limits)
{
    const auto start = std::chrono::steady_clock::now();
    FetchedPage page;
    try {
        page = ReadPage(url, limits);
    } catch (const std::bad_alloc&) {
        // Out of memory (a 32-bit process has little address space): a page
        // without data, not the end of an unattended run.
        page = Dropped(0, false);
    }
    page.milliseconds = static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
    return page;
}
