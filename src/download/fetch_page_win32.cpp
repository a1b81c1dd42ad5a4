#include "download/fetch_page.h"

#include "support/http_get_win32.h"

std::string FetchPage(const std::string& url, const FetchLimits& limits)
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
        if (!InternetReadFile(get.Request(), buffer, wanted, &read) && HttpTimedOut()) return {};
        page.append(buffer, read);
        // Unsigned difference: right across the wrap of the tick count.
        if (page.size() > limits.pageBytes || GetTickCount() - started > limits.pageTimeMs) return {};
    } while (read > 0);
    return page;
}
