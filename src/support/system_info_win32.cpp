#include "support/system_info.h"

#include "support/files.h"
#include "support/language.h"
#include "support/registry_key_win32.h"
#include "support/windows_version.h"

#include <windows.h>

#include <stdexcept>

void SupportStartup()
{
    DetectLanguage();
    DetectWindowsVersion();
    ReadDesktopFolder();
}

void DetectWindowsVersion()
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    // Reports at most 6.2 to programs without a compatibility manifest; the
    // names only need to tell the 95 family from NT.
    const bool known = GetVersionExA(&info) != FALSE;
    const WindowsVersion version = known ? ClassifyWindowsVersion(info.dwPlatformId, info.dwMajorVersion,
                                                                  info.dwMinorVersion, info.szCSDVersion)
                                         : WindowsVersion{};
    WindowsName = version.Name;
    IsWinNT = version.IsNT;
}

void ReadDesktopFolder()
{
    const RegistryKey explorer =
        RegistryKey::Open(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer");
    const RegistryKey shellFolders = RegistryKey::Open(explorer.Handle(), "Shell Folders");
    DesktopFolder = shellFolders.ReadString("Desktop").value_or("") + "\\";
}

std::string UserDataFolder(const std::string& productName)
{
    // On a root such as "C:\" this gives "C:\\"; left so, since Windows
    // reads the doubled separator as one.
    if (!IsWinNT) return CurrentFolder() + "\\";

    const std::string savedFolder = CurrentFolder();
    const std::string folder = ProfileDataFolder(DesktopFolder, productName);
    ForceFolder(folder);
    if (!SetCurrentFolder(savedFolder))
        throw std::runtime_error("Cannot return to the folder \"" + savedFolder + "\" (error "
                                 + std::to_string(GetLastError()) + ")");
    return folder;
}
