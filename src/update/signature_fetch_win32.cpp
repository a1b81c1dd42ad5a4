#include "update/signature_fetch_win32.h"

#include "update/installer_signature.h"
#include "update/update_request_win32.h"

namespace {

constexpr unsigned SignatureTimeMs = 30'000;

} // namespace

std::string FetchSignature(const std::string& url)
{
    std::string signature;
    const HttpResponse response =
        HttpGet(url, UpdateRequest(InstallerTimeouts, SignatureTimeMs, SignatureFileLimit),
                [&](const char* piece, std::size_t bytes) {
                    signature.append(piece, bytes);
                    return true;
                });
    return response.end == HttpEnd::Whole && response.status == 200 ? signature : std::string();
}
