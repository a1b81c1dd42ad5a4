#include "update/start_redirect_win32.h"

#include <windows.h>

namespace {

constexpr REGSAM Views[] = {KEY_WOW64_32KEY, KEY_WOW64_64KEY};

constexpr const char* RedirectingKeys[] = {
    "Software\\Classes\\.exe",
    "Software\\Classes\\exefile\\shell\\runas",
};

// Only a key that is certainly not there is harmless: one that cannot be
// opened for another reason (its permissions) may still be read by the
// shell.
bool KeyMayExist(const char* path, REGSAM view)
{
    HKEY key = nullptr;
    const LSTATUS status = RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE | view, &key);
    if (status == ERROR_SUCCESS) RegCloseKey(key);
    return status != ERROR_FILE_NOT_FOUND;
}

} // namespace

bool UserClassesRedirectElevatedStart()
{
    for (const char* path : RedirectingKeys) {
        for (const REGSAM view : Views) {
            if (KeyMayExist(path, view)) return true;
        }
    }
    return false;
}
