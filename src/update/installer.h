// The installer download's names and the judgement of what arrived.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr char InstallerArguments[] = "/SP- /silent /noicons";
inline constexpr char CompanionSuffix[] = "_Sched.exe";

struct InstallerPaths {
    std::string File;         // the download file in a fresh folder of its own
    std::string Url;
    std::string SignatureUrl; // the maker's signature beside the installer
    std::string Companion;    // the companion program beside the program
};

// folder and programFolder end in "\"; nothing is added between them and
// the names that follow.
InstallerPaths MakeInstallerPaths(const std::string& folder, const std::string& productName,
                                  const std::string& downloadName, const std::string& downloadBaseUrl,
                                  const std::string& programFolder);

// "kestrom101.exe" gives "Kestrom": the name before the first point,
// without digits, its first letter in upper case. Empty for a name without
// a point or with only digits before it.
std::string DisplayName(std::string_view downloadName);

// Why a download stopped before the server ended it.
enum class DownloadStop {
    None,
    TooLarge,  // it reached InstallerByteLimit
    TooSlow,   // its time was up
    Cancelled, // the window or the program was closed
};

enum class SignatureState {
    Missing, // no signature file, or none that could be read as one
    Wrong,   // not the maker's signature of these bytes
    Valid,
};

// What one download brought.
struct ReceivedInstaller {
    bool Connected = false;   // the URL was opened
    unsigned long Status = 0; // the HTTP status; 0 when the server sent none
    std::uint64_t Bytes = 0;
    int DownloadedKB = 0;     // whole kilobytes received
    std::string FirstBytes;   // the file's first two bytes
    DownloadStop Stop = DownloadStop::None;
    SignatureState Signature = SignatureState::Missing;
};

// The download stops when it reaches this many bytes: one kilobyte beyond
// the list's size is still accepted, a whole kilobyte more never is.
std::uint64_t InstallerByteLimit(int listSizeKB);

enum class InstallerVerdict {
    NotReceived, // no connection, less than a kilobyte, or cancelled: nothing is said
    WrongStatus,
    TooLarge,
    TooSlow,
    WrongSize,
    NotAProgram,
    NotSigned,
    WronglySigned,
    Trusted,
};

// A download is offered for installation only when it is complete,
// plausible and signed: status 200, within one kilobyte of the list's size,
// an executable ("MZ"), and the maker's valid signature.
InstallerVerdict JudgeInstaller(const ReceivedInstaller& received, int listSizeKB);
