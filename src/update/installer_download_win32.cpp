#include "update/installer_download_win32.h"

#include "support/language.h"
#include "update/update_request_win32.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace {

[[noreturn]] void WriteFailed(const std::string& path)
{
    throw std::runtime_error(std::string(Bilingual("Schrijven van de download is mislukt: ",
                                                   "Writing the download failed: "))
                             + path);
}

} // namespace

ReceivedInstaller DownloadInstallerTo(std::ostream& stream, const std::string& url, const InstallerDownload& download)
{
    ReceivedInstaller received;
    // A body that reaches the limit is too large: no more than a byte less
    // is taken.
    const std::uint64_t maxBytes = download.byteLimit == 0 ? 0 : download.byteLimit - 1;
    const HttpRequest request = UpdateRequest(InstallerTimeouts, download.deadlineMs, maxBytes, download.extraHeaders);
    const HttpResponse response = HttpGet(url, request, [&](const char* piece, std::size_t bytes) {
        stream.write(piece, static_cast<std::streamsize>(bytes));
        if (!stream) WriteFailed(url);
        if (received.FirstBytes.size() < 2)
            received.FirstBytes.append(piece, std::min<std::size_t>(bytes, 2 - received.FirstBytes.size()));
        received.Bytes += bytes;
        received.DownloadedKB = static_cast<int>(received.Bytes / 1024);
        if (download.onProgress && !download.onProgress(received.DownloadedKB)) {
            received.Stop = DownloadStop::Cancelled;
            return false;
        }
        return true;
    });
    if (!response.HeadArrived()) return received;
    received.Connected = true;
    received.Status = response.status;
    if (response.end == HttpEnd::TooLarge) received.Stop = DownloadStop::TooLarge;
    if (response.end == HttpEnd::Overtime) received.Stop = DownloadStop::TooSlow;
    // Wine ends a body cut off by the server like a complete one; only the
    // announced length tells them apart.
    const bool lessThanAnnounced = response.announcedLength && received.Bytes < *response.announcedLength;
    const bool readFailed = response.end == HttpEnd::Broken || response.end == HttpEnd::Silent;
    if (received.Stop == DownloadStop::None && (readFailed || lessThanAnnounced))
        received.Stop = DownloadStop::CutShort;
    return received;
}

ReceivedInstaller DownloadInstallerFile(const std::string& path, const std::string& url,
                                        const InstallerDownload& download)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) {
        throw std::runtime_error(std::string(Bilingual("Kan het bestand niet aanmaken: ", "Cannot create the file: "))
                                 + path);
    }
    const ReceivedInstaller received = DownloadInstallerTo(file, url, download);
    file.close();
    if (!file) WriteFailed(path);
    return received;
}
