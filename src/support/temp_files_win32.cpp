#include "support/temp_files_win32.h"

#include <windows.h>

std::string TempFolder()
{
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof path, path);
    return length == 0 || length >= sizeof path ? std::string() : std::string(path, length);
}

std::string NewTempFile()
{
    const std::string folder = TempFolder();
    char path[MAX_PATH] = {};
    if (folder.empty() || GetTempFileNameA(folder.c_str(), "kes", 0, path) == 0) return {};
    return path;
}
