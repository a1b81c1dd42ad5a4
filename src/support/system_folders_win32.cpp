#include "support/system_folders_win32.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

namespace {

// The longest name the wide functions accept; nothing Windows reports can
// be longer.
constexpr DWORD LongestName = 32'768;

} // namespace

std::string ReadGrowing(const std::function<DWORD(char*, DWORD)>& read)
{
    std::vector<char> buffer(MAX_PATH + 1);
    for (;;) {
        const DWORD length = read(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::string(buffer.data(), length);
        if (length > LongestName) return {};
        buffer.resize(length + 1);
    }
}

std::string SystemFolder()
{
    return ReadGrowing([](char* buffer, DWORD size) { return static_cast<DWORD>(GetSystemDirectoryA(buffer, size)); });
}

std::string ProgramFolder()
{
    // GetModuleFileName does not report the size it needs: it fills the
    // buffer and says so; a buffer twice as large is tried then.
    std::vector<char> buffer(MAX_PATH + 1);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            const std::string file(buffer.data(), length);
            return file.substr(0, file.rfind('\\') + 1);
        }
        if (buffer.size() > LongestName) return {};
        buffer.resize(2 * buffer.size());
    }
}

std::string TempFolder()
{
    return ReadGrowing([](char* buffer, DWORD size) { return GetTempPathA(size, buffer); });
}

std::string LocalAppDataFolder()
{
    // This function takes no buffer size: its names are at most MAX_PATH.
    char folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, folder))) return {};
    return folder;
}
