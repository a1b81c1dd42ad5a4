#include "support/files.h"

#include "support/system_message_win32.h"

#include <windows.h>

#include <vector>

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

bool FolderExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

std::string CurrentFolder()
{
    std::vector<char> buffer(MAX_PATH + 1);
    for (;;) {
        const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(length + 1);
    }
}

bool SetCurrentFolder(const std::string& path) { return SetCurrentDirectoryA(path.c_str()) != FALSE; }

bool ForceFolder(const std::string& path)
{
    // Every level from the top down; levels that exist fail harmlessly.
    for (std::size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1)) {
        if (at == 0 || path[at - 1] == ':' || path[at - 1] == '\\') continue;
        CreateDirectoryW(WidePath(path.substr(0, at)).c_str(), nullptr);
    }
    CreateDirectoryW(WidePath(path).c_str(), nullptr);
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
