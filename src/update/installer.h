// The installer download's names and the judgement of what arrived.
#pragma once

#include "update/versions_list.h"

#include <array>
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

// The random bytes of an installer folder's name: 128 bits, so that nobody
// can make or plant a folder of that name beforehand.
using FolderNameBytes = std::array<std::uint8_t, 16>;

// The installer's folder in the temporary folder: the product's name, "-"
// and the bytes as 32 upper-case hex digits.
std::string InstallerFolderName(std::string_view productName, const FolderNameBytes& bytes);

// What a record left by an earlier run may name, and so all the program
// deletes at its next start: a file ending in ".exe" directly in a folder
// named as InstallerFolderName names them, directly in tempFolder (which
// ends in "\").
bool IsInstallerFolderFile(std::string_view path, std::string_view tempFolder, std::string_view productName);

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
    CutShort,  // the connection broke or fell silent, or ended before the announced length
};

enum class SignatureState {
    Missing,    // no signature file, or none that could be read as one
    Unreadable, // the downloaded file could not be opened or read
    Wrong,      // not the maker's signature of these bytes
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
    // The version the installer's own version resource carries (part of
    // the signed bytes), read once the signature holds.
    std::string Version;
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
    Unreadable,
    CutShort,      // the transfer broke off (DownloadStop::CutShort)
    WronglySigned,
    WrongVersion,  // signed, but not the version announced, or not newer
    // Found at the start:
    NotAlone,        // something else lies in the installer's folder
    StartRedirected, // the user's own classes could redirect the elevated start
    Trusted,
};

// A download is worth its signature when it is complete and plausible:
// status 200, within one kilobyte of the list's size, an executable ("MZ").
// Then its signature decides (SignatureVerdict).
InstallerVerdict JudgeInstaller(const ReceivedInstaller& received, int listSizeKB);

// Missing is NotSigned, Valid is Trusted.
InstallerVerdict SignatureVerdict(SignatureState signature);

// A signed installer is offered only when the version it carries itself is
// exactly the version the versions list announced and newer than the
// running one: the maker's signature of an older release, announced as a
// newer one, must not install it again.
InstallerVerdict JudgeInstallerVersion(std::string_view installerVersion, const ProgramVersion& announced,
                                       const ProgramVersion& running);

// A verdict of Trusted holds only for the version announced and newer than
// the running one (JudgeInstallerVersion on what the installer carries);
// every other verdict stays as it is.
InstallerVerdict JudgeTrustedVersion(const ReceivedInstaller& received, InstallerVerdict verdict,
                                     const ProgramVersion& announced, const ProgramVersion& running);
