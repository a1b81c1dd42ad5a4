#include "download/run_lock_win32.h"

#include "support/system_folders_win32.h"

#include <utility>

namespace {

// The one name of a folder, however it was typed: full, in upper case.
std::string FullFolder(const std::string& folder)
{
    const std::string relative = folder.empty() ? "." : folder;
    std::string name = ReadGrowing(
        [&](char* buffer, DWORD size) { return GetFullPathNameA(relative.c_str(), size, buffer, nullptr); });
    if (name.empty()) name = relative;
    if (!name.empty()) CharUpperBuffA(name.data(), static_cast<DWORD>(name.size()));
    return name;
}

} // namespace

bool Win32RunLock::TryLock(const std::string& folder)
{
    Unlock();
    MutexHandle mutex(CreateMutexA(nullptr, FALSE, RunLockName(FullFolder(folder)).c_str()));
    if (!mutex) {
        // Made by a run of another user, whose mutex this user may not
        // open: that run holds the folder. Any other failure lets the run
        // go on unlocked rather than lose the evening's quotes.
        return GetLastError() != ERROR_ACCESS_DENIED;
    }
    // Abandoned: its run was ended by force, and its work file is kept by
    // this run.
    const DWORD waited = WaitForSingleObject(mutex.Get(), 0);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) return false;
    mutex_ = std::move(mutex);
    return true;
}

void Win32RunLock::Unlock()
{
    if (!mutex_) return;
    ReleaseMutex(mutex_.Get());
    mutex_.Close();
}
