#include "support/temp_files_win32.h"

#include <windows.h>

namespace {

constexpr int FolderAttempts = 100;

std::string TempFolder()
{
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof path, path);
    return length == 0 || length >= sizeof path ? std::string() : std::string(path, length);
}

} // namespace

std::string NewTempFile()
{
    const std::string folder = TempFolder();
    char path[MAX_PATH] = {};
    if (folder.empty() || GetTempFileNameA(folder.c_str(), "kes", 0, path) == 0) return {};
    return path;
}

std::string NewTempFolder(const std::string& prefix)
{
    const std::string folder = TempFolder();
    if (folder.empty()) return {};
    // CreateDirectory fails for a name that exists: a folder it makes is new.
    DWORD number = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (int attempt = 0; attempt < FolderAttempts; ++attempt, ++number) {
        char name[16];
        wsprintfA(name, "%08lX", static_cast<unsigned long>(number));
        const std::string path = folder + prefix + name;
        if (CreateDirectoryA(path.c_str(), nullptr)) return path + "\\";
        if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
    }
    return {};
}
