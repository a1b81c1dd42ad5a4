#include "download/fetch_page.h"

#include "download/bounded_append.h"
#include "support/http_get_win32.h"

#include <cstdint>
#include <cstdlib>
#include <new>
#include <optional>

namespace {

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

std::string ReadPage(const std::string& url, const FetchLimits& limits, bool& whole)
{
    std::string page;
    const DWORD started = GetTickCount();
    const HttpGet get(url, FetchUserAgent, INTERNET_FLAG_NO_CACHE_WRITE,
                      {limits.connectTimeoutMs, limits.receiveTimeoutMs, limits.receiveTimeoutMs});
    if (!get.Sent()) return page;

    char buffer[512];
    DWORD read = 0;
    do {
        // Asking only for what has arrived keeps every call within the
        // receive time-out: a full-buffer read of a server that sends a byte
        // now and then would wait for all 512 of them.
        DWORD available = 0;
        const bool known = InternetQueryDataAvailable(get.Request(), &available, 0, 0);
        if (!known && HttpTimedOut()) return {};
        const DWORD wanted = known && available > 0 && available < sizeof buffer ? available : sizeof buffer;
        read = 0;
        // A lost connection ends the page with what has arrived; a server
        // that stops sending makes it a page without data.
        if (!InternetReadFile(get.Request(), buffer, wanted, &read)) {
            if (HttpTimedOut()) return {};
            whole = false;
        }
        if (!AppendWithinLimit(page, std::string_view(buffer, read), limits.pageBytes)) return {};
        // Unsigned difference: right across the wrap of the tick count.
        if (GetTickCount() - started > limits.pageTimeMs) return {};
    } while (read > 0);
    // Wine ends a body cut off by the server like a complete one; only the
    // announced length tells them apart.
    const auto announced = AnnouncedLength(get.Request());
    if (announced && page.size() < *announced) whole = false;
    return page;
}

} // namespace

std::string FetchPage(const std::string& url, const FetchLimits& limits, bool* complete)
{
    bool whole = true;
    std::string page;
    try {
        page = ReadPage(url, limits, whole);
    } catch (const std::bad_alloc&) {
        // Out of memory (a 32-bit process has little address space): a page
        // without data, not the end of an unattended run.
        whole = false;
    }
    if (complete) *complete = whole;
    return page;
}
