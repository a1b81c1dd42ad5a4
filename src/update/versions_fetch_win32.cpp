#include "update/versions_fetch.h"

#include "download/fetch_page.h"
#include "support/http_get_win32.h"

#include <cstring>
#include <optional>

namespace {

constexpr DWORD ListBlockBytes = 2048;

// Empty when the attempt brought nothing; nullopt when WinINet gave no
// internet handle, so that no attempt could be made.
std::optional<std::string> ReadOneAttempt(const std::string& url, const VersionsFetchLimits& limits)
{
    const DWORD started = GetTickCount();
    const HttpGet get(url, FetchUserAgent, INTERNET_FLAG_RELOAD,
                      {limits.connectTimeoutMs, limits.receiveTimeoutMs, limits.receiveTimeoutMs});
    if (!get.HasSession()) return std::nullopt;
    if (!get.Sent()) return std::string();
    std::string text;
    bool overLimit = false;
    char buffer[ListBlockBytes] = {};
    ReadResponseBlocks(get.Request(), buffer, sizeof buffer, [&](const char* block, std::size_t bytes) {
        text.append(block, strnlen(block, bytes));
        std::memset(buffer, 0, sizeof buffer);
        // Unsigned difference: right across the wrap of the tick count.
        overLimit = text.size() > limits.listBytes || GetTickCount() - started > limits.attemptTimeMs;
        return !overLimit;
    });
    return overLimit ? std::string() : text;
}

} // namespace

FetchedList FetchVersionsList(const std::string& url, const VersionsFetchLimits& limits)
{
    FetchedList fetched;
    do {
        std::optional<std::string> text = ReadOneAttempt(url, limits);
        if (!text) return fetched;
        fetched.Text = std::move(*text);
        ++fetched.Attempts;
    } while (fetched.Text.empty() && fetched.Attempts < VersionsListAttempts);
    return fetched;
}
