// What the program learns about the machine once, at start-up, and the
// default data folder it derives from that.
#pragma once

#include <string>

// Set by DetectWindowsVersion; not changed afterwards.
extern std::string WindowsName;
extern bool IsWinNT;
// The user's desktop folder followed by "\"; set by ReadDesktopFolder.
extern std::string DesktopFolder;

// The profile-folder rule of UserDataFolder: the folder that holds the
// desktop folder, then "\UserData\", the product name and "\". An empty
// desktop folder ("\") gives a folder at the root of the current drive.
std::string ProfileDataFolder(const std::string& desktopFolder, const std::string& productName);

// Windows only from here on.

// DetectLanguage, DetectWindowsVersion and ReadDesktopFolder, in that order;
// runs once before the first window is created.
void SupportStartup();

void DetectWindowsVersion();
void ReadDesktopFolder();

// The folder where a product keeps its data by default, ending in "\". On
// the NT family it is ProfileDataFolder, created when missing (a failure to
// create it is silent: the path is returned anyway); otherwise the current
// directory followed by "\". The current directory is left as it was; when
// it cannot be restored a std::runtime_error says so.
std::string UserDataFolder(const std::string& productName);
