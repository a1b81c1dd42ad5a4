#include "update/installer.h"

#include "support/text.h"

InstallerPaths MakeInstallerPaths(const std::string& dataPath, const std::string& productName,
                                  const std::string& versionText, const std::string& downloadName,
                                  const std::string& downloadBaseUrl, const std::string& startDirectory)
{
    InstallerPaths paths;
    paths.Folder = FolderPrefix(dataPath) + "Temp\\";
    paths.File = paths.Folder + downloadName;
    paths.EarlierFile = paths.Folder + productName + NumberChars(versionText) + ".exe";
    paths.Url = downloadBaseUrl + downloadName;
    paths.Companion = startDirectory + productName + CompanionSuffix;
    return paths;
}

std::string DisplayName(std::string_view downloadName)
{
    std::string name = StripDigits(TextBefore('.', downloadName));
    if (!name.empty() && name.front() >= 'a' && name.front() <= 'z') name.front() = static_cast<char>(name.front() - 'a' + 'A');
    return name;
}

InstallerVerdict JudgeInstaller(const ReceivedInstaller& received, int listSizeKB)
{
    if (!received.Connected || received.DownloadedKB < 1) return InstallerVerdict::NotReceived;
    if (received.Status != 200) return InstallerVerdict::WrongStatus;
    const auto receivedKB = static_cast<std::int64_t>(received.Bytes / 1024);
    const std::int64_t difference = receivedKB - listSizeKB;
    if (difference < -1 || difference > 1) return InstallerVerdict::WrongSize;
    if (received.FirstBytes.rfind("MZ", 0) != 0) return InstallerVerdict::NotAProgram;
    return InstallerVerdict::Plausible;
}
