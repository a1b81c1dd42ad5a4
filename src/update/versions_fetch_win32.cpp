#include "update/versions_fetch.h"

#include "update/update_request_win32.h"

#include <optional>

namespace {

// Empty when the attempt brought nothing; nullopt when WinINet gave no
// internet handle, so that no attempt could be made.
std::optional<std::string> ReadOneAttempt(const std::string& url, const VersionsFetchLimits& limits)
{
    const HttpRequest request =
        UpdateRequest({limits.connectTimeoutMs, limits.receiveTimeoutMs, limits.receiveTimeoutMs},
                      limits.attemptTimeMs, limits.listBytes);
    std::string body;
    const HttpResponse response = HttpGet(url, request, [&](const char* piece, std::size_t bytes) {
        body.append(piece, bytes);
        return true;
    });
    if (response.end == HttpEnd::NoSession) return std::nullopt;
    // A lost connection leaves the text that arrived, as it always has.
    if (response.end != HttpEnd::Whole && response.end != HttpEnd::Broken && response.end != HttpEnd::Silent)
        return std::string();
    return VersionsListText(body);
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
