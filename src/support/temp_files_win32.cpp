#include "support/temp_files_win32.h"

#include "support/system_folders_win32.h"

#include <windows.h>

std::string NewTempFile()
{
    const std::string folder = TempFolder();
    // GetTempFileName takes no buffer size: its names are at most MAX_PATH.
    char path[MAX_PATH] = {};
    if (folder.empty() || GetTempFileNameA(folder.c_str(), "kes", 0, path) == 0) return {};
    return path;
}
