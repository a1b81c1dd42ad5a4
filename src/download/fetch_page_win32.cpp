#include "download/fetch_page.h"

#include "download/bounded_append.h"
#include "support/http_get_win32.h"

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

    bool tooLarge = false;
    // Unsigned difference: right across the wrap of the tick count.
    const DWORD spent = GetTickCount() - started;
    const unsigned timeLeftMs = spent < limits.pageTimeMs ? limits.pageTimeMs - spent : 0;
    const BodyEnd end = ReadArrivedBody(get.Request(), timeLeftMs, [&](const char* piece, std::size_t bytes) {
        tooLarge = !AppendWithinLimit(page.body, std::string_view(piece, bytes), limits.pageBytes);
        return !tooLarge;
    });
    // A server that stops sending, or a page beyond a limit, makes it a page
    // without data; a lost connection ends the page with what has arrived.
    if (end == BodyEnd::Silent || end == BodyEnd::Overtime || tooLarge) return Dropped(page.status);
    if (end == BodyEnd::Broken) page.complete = false;
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
