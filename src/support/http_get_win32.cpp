#include "support/http_get_win32.h"

#include <algorithm>
#include <vector>

namespace {

void SetTimeout(HINTERNET handle, DWORD option, unsigned milliseconds)
{
    if (milliseconds == 0) return;
    DWORD value = milliseconds;
    InternetSetOptionA(handle, option, &value, sizeof value);
}

} // namespace

bool CrackHttpUrl(const std::string& url, HttpUrlParts& parts)
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
    parts.object.assign(path.data(), components.dwUrlPathLength);
    parts.object.append(extra.data(), components.dwExtraInfoLength);
    if (parts.object.empty()) parts.object.push_back('/');
    return true;
}

HttpGet::HttpGet(const std::string& url, const char* userAgent, DWORD flags, const HttpTimeouts& timeouts,
                 const std::string& extraHeaders)
    : cracked_(CrackHttpUrl(url, parts_)),
      internet_(cracked_ ? InternetOpenA(userAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0) : nullptr),
      connection_(internet_ ? InternetConnectA(internet_.Get(), parts_.host.c_str(), parts_.port, nullptr, nullptr,
                                               INTERNET_SERVICE_HTTP, 0, 0)
                            : nullptr),
      request_(connection_ ? HttpOpenRequestA(connection_.Get(), "GET", parts_.object.c_str(), nullptr, nullptr,
                                              nullptr, flags, 0)
                           : nullptr)
{
    if (!request_) return;
    SetTimeout(request_.Get(), INTERNET_OPTION_CONNECT_TIMEOUT, timeouts.connectMs);
    SetTimeout(request_.Get(), INTERNET_OPTION_SEND_TIMEOUT, timeouts.sendMs);
    SetTimeout(request_.Get(), INTERNET_OPTION_RECEIVE_TIMEOUT, timeouts.receiveMs);
    sent_ = HttpSendRequestA(request_.Get(), extraHeaders.empty() ? nullptr : extraHeaders.c_str(),
                             static_cast<DWORD>(extraHeaders.size()), nullptr, 0)
            != FALSE;
}

unsigned long HttpGet::Status() const
{
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!sent_ || !HttpQueryInfoA(request_.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                                  nullptr))
        return 0;
    return status;
}

bool HttpTimedOut()
{
    const DWORD error = GetLastError();
    return error == ERROR_INTERNET_TIMEOUT || error == WSAETIMEDOUT;
}

BodyEnd ReadArrivedBody(HINTERNET request, unsigned timeLimitMs,
                        const std::function<bool(const char*, std::size_t)>& onPiece)
{
    const DWORD started = GetTickCount();
    char buffer[4096];
    for (;;) {
        DWORD available = 0;
        if (!InternetQueryDataAvailable(request, &available, 0, 0))
            return HttpTimedOut() ? BodyEnd::Silent : BodyEnd::Broken;
        // Nothing available is the body's end; a read of one byte makes sure
        // of it without waiting for more than that byte.
        const DWORD wanted = available == 0 ? 1 : std::min<DWORD>(available, sizeof buffer);
        DWORD read = 0;
        if (!InternetReadFile(request, buffer, wanted, &read)) return HttpTimedOut() ? BodyEnd::Silent : BodyEnd::Broken;
        if (read == 0) return BodyEnd::Whole;
        if (!onPiece(buffer, read)) return BodyEnd::Stopped;
        // Unsigned difference: right across the wrap of the tick count.
        if (GetTickCount() - started > timeLimitMs) return BodyEnd::Overtime;
    }
}
