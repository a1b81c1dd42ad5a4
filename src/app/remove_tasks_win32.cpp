#include "app/remove_tasks_win32.h"

#include "support/evening_task.h"
#include "support/registry_key_win32.h"
#include "support/task_scheduler_win32.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The SIDs of the PC's user profiles: every user's task name, also where
// the Task Scheduler does not list its tasks.
std::vector<std::wstring> ProfileSids()
{
    std::vector<std::wstring> sids;
    const RegistryKey profiles = RegistryKey::Open(
        HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", KEY_READ | KEY_WOW64_64KEY);
    if (!profiles) return sids;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        const LONG result = RegEnumKeyExW(profiles.Handle(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result == ERROR_SUCCESS) sids.emplace_back(name, length);
    }
    return sids;
}

} // namespace

int RemoveOwnEveningTasks()
{
    const std::wstring prefix = EveningTaskNamePrefix();
    std::vector<std::wstring> names;
    for (const std::wstring& name : ScheduledTaskNames()) {
        if (name.starts_with(prefix)) names.push_back(name);
    }
    for (const std::wstring& sid : ProfileSids()) {
        const std::wstring name = EveningTaskName(sid);
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    // A task that starts a Kestrom elsewhere (another copy, another folder)
    // belongs to that one; an update into this folder keeps this path.
    return DeleteScheduledTasksOf(names, RunningProgramPath()) == 0 ? 0 : 1;
}
