#include "update/installer.h"

#include "support/text.h"
#include "update/installer_signature.h"

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
    const auto receivedKB = static_cast<std::int64_t>(received.Bytes / 1024);
    const std::int64_t difference = receivedKB - listSizeKB;
    if (difference < -1 || difference > 1) return InstallerVerdict::WrongSize;
    if (received.FirstBytes.rfind("MZ", 0) != 0) return InstallerVerdict::NotAProgram;
    if (received.Signature == SignatureState::Missing) return InstallerVerdict::NotSigned;
    if (received.Signature == SignatureState::Wrong) return InstallerVerdict::WronglySigned;
    return InstallerVerdict::Trusted;
}
