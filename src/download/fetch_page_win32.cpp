#include "download/fetch_page.h"

#include "support/internet_handle_win32.h"

#include <vector>

namespace {

void SetTimeout(HINTERNET handle, DWORD option, unsigned milliseconds)
{
    DWORD value = milliseconds;
    InternetSetOptionA(handle, option, &value, sizeof value);
}

// WinINet reports its own code; Wine passes on the socket's.
bool TimedOut()
{
    const DWORD error = GetLastError();
    return error == ERROR_INTERNET_TIMEOUT || error == WSAETIMEDOUT;
}

struct UrlParts {
    std::string host;
    INTERNET_PORT port = INTERNET_DEFAULT_HTTP_PORT;
    std::string object;
};

bool CrackHttpUrl(const std::string& url, UrlParts& parts)
{
    std::vector<char> host(url.size() + 1), path(url.size() + 1), extra(url.size() + 1);
    URL_COMPONENTSA components{};
    components.dwStructSize = sizeof components;
    components.lpszHostName = host.data();
    components.dwHostNameLength = static_cast<DWORD>(host.size());
    components.lpszUrlPath = path.data();
    components.dwUrlPathLength = static_cast<DWORD>(path.size());
    components.lpszExtraInfo = extra.data();
    components.dwExtraInfoLength = static_cast<DWORD>(extra.size());
    if (!InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), 0, &components)) return false;
    if (components.nScheme != INTERNET_SCHEME_HTTP || components.dwHostNameLength == 0) return false;
    parts.host.assign(host.data(), components.dwHostNameLength);
    parts.port = components.nPort;
    // The query goes to the server exactly as written: the codes are not escaped.
    parts.object.assign(path.data(), components.dwUrlPathLength);
    parts.object.append(extra.data(), components.dwExtraInfoLength);
    if (parts.object.empty()) parts.object.push_back('/');
    return true;
}

} // namespace

std::string FetchPage(const std::string& url, const FetchLimits& limits)
{
    std::string page;
    const DWORD started = GetTickCount();
    UrlParts parts;
    if (!CrackHttpUrl(url, parts)) return page;
    InternetHandle internet(InternetOpenA(FetchUserAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!internet) return page;
    InternetHandle connection(InternetConnectA(internet.Get(), parts.host.c_str(), parts.port, nullptr, nullptr,
                                               INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return page;
    InternetHandle request(HttpOpenRequestA(connection.Get(), "GET", parts.object.c_str(), nullptr, nullptr,
                                            nullptr, INTERNET_FLAG_NO_CACHE_WRITE, 0));
    if (!request) return page;
    // Set on the request itself: Wine does not pass time-outs set on the
    // internet handle down to the handles made from it, and InternetOpenUrlA
    // would wait for the response head before there is a handle to set them on.
    SetTimeout(request.Get(), INTERNET_OPTION_CONNECT_TIMEOUT, limits.connectTimeoutMs);
    SetTimeout(request.Get(), INTERNET_OPTION_SEND_TIMEOUT, limits.receiveTimeoutMs);
    SetTimeout(request.Get(), INTERNET_OPTION_RECEIVE_TIMEOUT, limits.receiveTimeoutMs);
    if (!HttpSendRequestA(request.Get(), nullptr, 0, nullptr, 0)) return page;

    char buffer[512];
    DWORD read = 0;
    do {
        // Asking only for what has arrived keeps every call within the
        // receive time-out: a full-buffer read of a server that sends a byte
        // now and then would wait for all 512 of them.
        DWORD available = 0;
        const bool known = InternetQueryDataAvailable(request.Get(), &available, 0, 0);
        if (!known && TimedOut()) return {};
        const DWORD wanted = known && available > 0 && available < sizeof buffer ? available : sizeof buffer;
        read = 0;
        // A lost connection ends the page with what has arrived; a server
        // that stops sending makes it a page without data.
        if (!InternetReadFile(request.Get(), buffer, wanted, &read) && TimedOut()) return {};
        page.append(buffer, read);
        // Unsigned difference: right across the wrap of the tick count.
        if (page.size() > limits.pageBytes || GetTickCount() - started > limits.pageTimeMs) return {};
    } while (read > 0);
    return page;
}
