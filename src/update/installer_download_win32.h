// The installer's download: the response body written as it arrives, never
// beyond a byte limit nor past a deadline, with what arrived counted for the
// judgement of it (JudgeInstaller).
#pragma once

#include "update/installer.h"

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

struct InstallerDownload {
    // The body stops when it reaches this many bytes (InstallerByteLimit).
    std::uint64_t byteLimit = 0;
    // The whole download, from connecting to the last byte.
    unsigned deadlineMs = 0;
    // Sent with the request as they are.
    std::string extraHeaders;
    // Told the whole kilobytes received after every piece; false gives the
    // download up (Cancelled).
    std::function<bool(int downloadedKB)> onProgress;
};

// Copies the body of url into stream. Throws std::runtime_error when the
// stream cannot take a piece.
ReceivedInstaller DownloadInstallerTo(std::ostream& stream, const std::string& url, const InstallerDownload& download);

// The same into the file path, made anew (and closed again before the call
// returns or throws). Throws std::runtime_error when the file cannot be
// made or written.
ReceivedInstaller DownloadInstallerFile(const std::string& path, const std::string& url,
                                        const InstallerDownload& download);
