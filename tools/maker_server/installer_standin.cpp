// Stands in for a downloaded installer and for the companion program in the
// update tests. Started with "/wait" it stays until it is ended (at most
// five minutes, so that it never outlives a test run); otherwise it writes
// its arguments, exactly as received, to its own path + ".args" and exits.
#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int)
{
    if (std::strncmp(arguments, "/wait", 5) == 0) {
        Sleep(5 * 60 * 1000);
        return 0;
    }
    char path[MAX_PATH + 8] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 2;
    std::strcat(path, ".args");
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, arguments, static_cast<DWORD>(std::strlen(arguments)), &written, nullptr);
    CloseHandle(file);
    return ok ? 0 : 4;
}
