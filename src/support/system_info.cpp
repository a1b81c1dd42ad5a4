#include "support/system_info.h"

#include "support/text.h"

std::string WindowsName;
bool IsWinNT = false;
std::string DesktopFolder;

std::string ProfileDataFolder(const std::string& desktopFolder, const std::string& productName)
{
    // The first cut drops the trailing "\", the second the "Desktop" level.
    const std::string profileFolder = ParentPath('\\', ParentPath('\\', desktopFolder));
    return profileFolder + "\\UserData\\" + productName + "\\";
}
