// The installer download's names and the judgement of what arrived.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr char InstallerArguments[] = "/SP- /silent /noicons";
inline constexpr char CompanionSuffix[] = "_Sched.exe";
inline constexpr std::size_t InstallerBlockBytes = 2048;

struct InstallerPaths {
    std::string Folder;      // dataPath + "Temp\"
    std::string File;        // the download file
    std::string EarlierFile; // the installer an earlier version left behind
    std::string Url;
    std::string Companion;   // the companion program in the start directory
};

// dataPath and startDirectory end in "\"; nothing is added between them
// and the names that follow.
InstallerPaths MakeInstallerPaths(const std::string& dataPath, const std::string& productName,
                                  const std::string& versionText, const std::string& downloadName,
                                  const std::string& downloadBaseUrl, const std::string& startDirectory);

// "kestrom101.exe" gives "Kestrom": the name before the first point,
// without digits, its first letter in upper case. Empty for a name without
// a point or with only digits before it.
std::string DisplayName(std::string_view downloadName);

// What one download brought.
struct ReceivedInstaller {
    bool Connected = false;   // the URL was opened
    unsigned long Status = 0; // the HTTP status; 0 when the server sent none
    std::uint64_t Bytes = 0;
    int DownloadedKB = 0;     // the sum of each block's bytes / 1024
    std::string FirstBytes;   // the file's first two bytes
};

enum class InstallerVerdict {
    NotReceived, // no connection, or less than a kilobyte: nothing is said
    WrongStatus,
    WrongSize,
    NotAProgram,
    Plausible,
};

// A download is started only when it is complete and plausible: status
// 200, within one kilobyte of the list's size, and an executable ("MZ").
InstallerVerdict JudgeInstaller(const ReceivedInstaller& received, int listSizeKB);
