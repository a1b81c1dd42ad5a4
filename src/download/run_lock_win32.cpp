#include "download/run_lock_win32.h"

#include "support/files.h"

#include <windows.h>

#include <utility>

bool Win32RunLock::TryLock(const std::string& folder)
{
    Unlock();
    // The folder is made first: the lock lives in it.
    CreateFolderLevels(folder.empty() ? "." : folder);
    // Shared with nobody: a second open fails as long as a run holds it,
    // whoever and wherever that run is. Windows closes the handle of a run
    // ended by force, and the file goes with it; a file left by a machine
    // that stopped is held by nobody and opens again.
    FileHandle file(CreateFileA((folder + RunLockFileName).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!file.Valid()) {
        // Held by another run. Any other failure (a folder that cannot be
        // written) lets the run go on unlocked and say what went wrong with
        // its files, rather than lose the evening's quotes.
        return GetLastError() != ERROR_SHARING_VIOLATION;
    }
    file_ = std::move(file);
    return true;
}

void Win32RunLock::Unlock()
{
    file_.Close();
}
