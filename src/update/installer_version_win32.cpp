#include "update/installer_version_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// A release's version resource takes a few kilobytes; a file that claims
// more is not read.
constexpr DWORD ResourceLimit = 256 * 1024;
// Far more than any version text of the program ("1.01c").
constexpr std::size_t VersionTextLimit = 32;

} // namespace

std::string InstallerVersion(const std::string& path)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0 || size > ResourceLimit) return {};
    std::vector<char> info(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, info.data())) return {};
    const char* const end = info.data() + info.size();

    // The first language and code page the resource names.
    void* found = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", &found, &length) || length < 2 * sizeof(WORD)
        || static_cast<const char*>(found) < info.data() || static_cast<const char*>(found) + 2 * sizeof(WORD) > end)
        return {};
    WORD translation[2];
    std::memcpy(translation, found, sizeof translation);
    char query[64];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\ProductVersion", translation[0], translation[1]);

    if (!VerQueryValueA(info.data(), query, &found, &length) || !found) return {};
    const char* const value = static_cast<const char*>(found);
    if (value < info.data() || value >= end) return {};
    // Whatever the resource says of its length, nothing beyond the copy is read.
    const std::size_t room = static_cast<std::size_t>(end - value);
    const std::size_t chars = strnlen(value, std::min<std::size_t>({room, length, VersionTextLimit + 1}));
    return chars > VersionTextLimit ? std::string() : std::string(value, chars);
}
