// The user's own task in the Windows Task Scheduler (its 2.0 interface,
// Vista and later): read, registered from its XML, deleted. Every call
// opens and closes its own connection.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct ScheduledTaskState {
    bool available = false; // the Task Scheduler 2.0 interface exists
    bool exists = false;
    bool wake = false;      // the task wakes the computer
    std::wstring source;    // RegistrationInfo's Source: the program it starts
};

ScheduledTaskState ReadScheduledTask(const std::wstring& name);

// Creates or replaces the task in the root folder; none when it is in
// place, otherwise the system's reason.
std::optional<std::string> RegisterScheduledTask(const std::wstring& name, const std::wstring& xml);

// None when the task is gone (or never was), otherwise the system's reason.
std::optional<std::string> DeleteScheduledTask(const std::wstring& name);

// The names of the root folder's tasks, of every user the caller's rights
// show; empty where the platform does not list them (Wine).
std::vector<std::wstring> ScheduledTaskNames();

// Deletes those of the named tasks whose RegistrationInfo names program as
// its Source. The number of such tasks left behind: 0 when all went, or
// there were none.
int DeleteScheduledTasksOf(const std::vector<std::wstring>& names, const std::wstring& program);

// The SID of the user the program runs as, "S-1-5-21-..."; empty when the
// system does not give it.
std::wstring CurrentUserSid();

// The full path of the running program.
std::wstring RunningProgramPath();
