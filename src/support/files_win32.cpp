#include "support/files.h"

#include "support/system_folders_win32.h"
#include "support/system_message_win32.h"

#include <windows.h>


namespace {

// The ANSI file functions stop at MAX_PATH; the wide ones accept long
// absolute paths behind the "\\?\" prefix.
std::wstring WidePath(const std::string& path)
{
    std::string full = path;
    if (full.size() >= MAX_PATH - 12 && full.size() > 2 && full[1] == ':') full = "\\\\?\\" + full;
    const int length = MultiByteToWideChar(CP_ACP, 0, full.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? length : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, full.c_str(), -1, wide.data(), length);
    wide.resize(wide.size() - 1);
    return wide;
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

} // namespace

bool FolderExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

unsigned long CreateFolderLevels(const std::string& folder)
{
    std::string path = folder;
    while (path.size() > 1 && IsSeparator(path.back())) path.pop_back();
    if (path.empty() || path.back() == ':' || FolderExists(path)) return ERROR_SUCCESS;
    std::size_t parent = path.size() - 1;
    while (parent > 0 && !IsSeparator(path[parent])) --parent;
    if (parent > 0) {
        if (const unsigned long error = CreateFolderLevels(path.substr(0, parent))) return error;
    }
    if (CreateDirectoryW(WidePath(path).c_str(), nullptr)) return ERROR_SUCCESS;
    const DWORD code = GetLastError();
    // Made meanwhile by someone else: just as good.
    if (code == ERROR_ALREADY_EXISTS && FolderExists(path)) return ERROR_SUCCESS;
    return code;
}

std::string CurrentFolder()
{
    return ReadGrowing([](char* buffer, DWORD size) { return GetCurrentDirectoryA(size, buffer); });
}

bool SetCurrentFolder(const std::string& path) { return SetCurrentDirectoryA(path.c_str()) != FALSE; }

bool ForceFolder(const std::string& path)
{
    // Whether every level could be made shows in the current directory.
    CreateFolderLevels(path);
    if (FolderExists(path)) SetCurrentFolder(path);
    return CurrentFolder() + "\\" == path;
}

void DeleteFileByName(const std::string& path) { DeleteFileW(WidePath(path).c_str()); }

std::string VolumeLabel(char letter)
{
    const std::string root = std::string(1, letter) + ":\\";
    char label[260] = {};
    if (GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0))
        return label;
    const DWORD code = GetLastError();
    return "Error " + std::to_string(code) + " " + SystemMessage(code);
}
