#include "download/fetch_page.h"

#include "download/bounded_append.h"
#include "support/http_get_win32.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <optional>

namespace {

// Quotes change by the minute: every page comes from the server itself,
// never from the cache that WinINet shares with browsers, and no cache or
// proxy on the way may answer for it.
constexpr DWORD PageRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;

// The body's length as the server announced it, when it did.
std::optional<std::uint64_t> AnnouncedLength(HINTERNET request)
{
    char text[32] = {};
    DWORD size = sizeof text - 1;
    if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return std::nullopt;
    char* end = nullptr;
    const unsigned long long length = std::strtoull(text, &end, 10);
    if (end == text) return std::nullopt;
    return length;
}

// A page that runs into a limit: nothing of it is kept.
FetchedPage Dropped(unsigned long status)
{
    return FetchedPage{{}, status, false};
}

FetchedPage ReadPage(const std::string& url, const FetchLimits& limits)
{
    const DWORD started = GetTickCount();
    const HttpGet get(url, FetchUserAgent, PageRequestFlags,
                      {limits.connectTimeoutMs, limits.receiveTimeoutMs, limits.receiveTimeoutMs});
    FetchedPage page;
    if (!get.Sent()) return page;
    page.status = get.Status();

    char buffer[512];
    for (;;) {
        // Only what has arrived is read, so every call ends within the
        // receive time-out: a synchronous read of a full buffer waits until
        // the buffer is full, which a server that sends a byte now and then
        // would make last for ever. The query itself waits for the next
        // bytes (or the time-out) and reports none only at the body's end.
        DWORD available = 0;
        if (!InternetQueryDataAvailable(get.Request(), &available, 0, 0)) {
            // A server that stops sending makes it a page without data; a
            // lost connection ends the page with what has arrived.
            if (HttpTimedOut()) return Dropped(page.status);
            page.complete = false;
            break;
        }
        if (available == 0) break;
        DWORD read = 0;
        if (!InternetReadFile(get.Request(), buffer, std::min<DWORD>(available, sizeof buffer), &read)) {
            if (HttpTimedOut()) return Dropped(page.status);
            page.complete = false;
            break;
        }
        if (read == 0) break;
        if (!AppendWithinLimit(page.body, std::string_view(buffer, read), limits.pageBytes))
            return Dropped(page.status);
        // Unsigned difference: right across the wrap of the tick count.
        if (GetTickCount() - started > limits.pageTimeMs) return Dropped(page.status);
    }
    // Wine ends a body cut off by the server like a complete one; only the
    // announced length tells them apart.
    const auto announced = AnnouncedLength(get.Request());
    if (announced && page.body.size() < *announced) page.complete = false;
    return page;
}

} // namespace

FetchedPage FetchPage(const std::string& url, const FetchLimits& limits)
{
    try {
        return ReadPage(url, limits);
    } catch (const std::bad_alloc&) {
        // Out of memory (a 32-bit process has little address space): a page
        // without data, not the end of an unattended run.
        return Dropped(0);
    }
}
