#include "update/installer.h"

#include "support/text.h"
#include "update/download_file_name.h"
#include "update/installer_signature.h"

#include <algorithm>

InstallerPaths MakeInstallerPaths(const std::string& folder, const std::string& productName,
                                  const std::string& downloadName, const std::string& downloadBaseUrl,
                                  const std::string& programFolder)
{
    InstallerPaths paths;
    paths.File = folder + downloadName;
    paths.Url = downloadBaseUrl + downloadName;
    paths.SignatureUrl = paths.Url + SignatureSuffix;
    paths.Companion = programFolder + productName + CompanionSuffix;
    return paths;
}

std::string InstallerFolderName(std::string_view productName, const FolderNameBytes& bytes)
{
    constexpr char digits[] = "0123456789ABCDEF";
    std::string name = std::string(productName) + "-";
    for (const std::uint8_t byte : bytes) {
        name += digits[byte >> 4];
        name += digits[byte & 0x0F];
    }
    return name;
}

bool IsInstallerFolderFile(std::string_view path, std::string_view tempFolder, std::string_view productName)
{
    if (tempFolder.empty() || path.substr(0, tempFolder.size()) != tempFolder) return false;
    std::string_view rest = path.substr(tempFolder.size());
    const std::string prefix = std::string(productName) + "-";
    const std::size_t folderLength = prefix.size() + 2 * FolderNameBytes().size();
    if (rest.size() <= folderLength + 1 || rest.substr(0, prefix.size()) != prefix || rest[folderLength] != '\\')
        return false;
    const std::string_view digits = rest.substr(prefix.size(), folderLength - prefix.size());
    const bool hex = std::all_of(digits.begin(), digits.end(),
                                 [](char ch) { return (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'F'); });
    const std::string_view file = rest.substr(folderLength + 1);
    return hex && file.find_first_of("\\/:") == std::string_view::npos && IsProgramName(file);
}

std::string DisplayName(std::string_view downloadName)
{
    std::string name = StripDigits(TextBefore('.', downloadName));
    if (!name.empty() && name.front() >= 'a' && name.front() <= 'z') name.front() = static_cast<char>(name.front() - 'a' + 'A');
    return name;
}

std::uint64_t InstallerByteLimit(int listSizeKB)
{
    return (static_cast<std::uint64_t>(listSizeKB < 0 ? 0 : listSizeKB) + 2) * 1024;
}

InstallerVerdict JudgeInstaller(const ReceivedInstaller& received, int listSizeKB)
{
    if (!received.Connected || received.DownloadedKB < 1 || received.Stop == DownloadStop::Cancelled)
        return InstallerVerdict::NotReceived;
    if (received.Status != 200) return InstallerVerdict::WrongStatus;
    if (received.Stop == DownloadStop::TooLarge) return InstallerVerdict::TooLarge;
    if (received.Stop == DownloadStop::TooSlow) return InstallerVerdict::TooSlow;
    if (received.Stop == DownloadStop::CutShort) return InstallerVerdict::CutShort;
    const auto receivedKB = static_cast<std::int64_t>(received.Bytes / 1024);
    const std::int64_t difference = receivedKB - listSizeKB;
    if (difference < -1 || difference > 1) return InstallerVerdict::WrongSize;
    if (received.FirstBytes.rfind("MZ", 0) != 0) return InstallerVerdict::NotAProgram;
    // Only the transfer knows whether it broke off: a list may round its
    // size up, so a whole file a little under it is judged by its signature.
    return SignatureVerdict(received.Signature);
}

InstallerVerdict SignatureVerdict(SignatureState signature)
{
    switch (signature) {
    case SignatureState::Missing:
        return InstallerVerdict::NotSigned;
    case SignatureState::Unreadable:
        return InstallerVerdict::Unreadable;
    case SignatureState::Wrong:
        return InstallerVerdict::WronglySigned;
    case SignatureState::Valid:
        break;
    }
    return InstallerVerdict::Trusted;
}

InstallerVerdict JudgeInstallerVersion(std::string_view installerVersion, const ProgramVersion& announced,
                                       const ProgramVersion& running)
{
    const std::optional<ProgramVersion> carried = ParseVersionText(installerVersion);
    return carried && SameVersion(*carried, announced) && IsNewer(*carried, running) ? InstallerVerdict::Trusted
                                                                                    : InstallerVerdict::WrongVersion;
}

InstallerVerdict JudgeTrustedVersion(const ReceivedInstaller& received, InstallerVerdict verdict,
                                     const ProgramVersion& announced, const ProgramVersion& running)
{
    return verdict == InstallerVerdict::Trusted ? JudgeInstallerVersion(received.Version, announced, running)
                                                : verdict;
}
