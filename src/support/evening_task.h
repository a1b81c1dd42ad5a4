// The task that starts the evening run: one per user of the PC, Monday to
// Friday at the chosen time, composed as the Task Scheduler's XML. Texts
// are wide (UTF-16 on Windows): a program's path may hold any letter.
#pragma once

#include "support/clock_time.h"

#include <optional>
#include <string>
#include <string_view>

// The argument after "a" by which the program knows that its own task
// started it, and for which time: "taak=22:00".
inline constexpr char TaskTimeArgumentPrefix[] = "taak=";
std::string TaskTimeArgument(const ClockTime& time);

// The time a task's argument names; none for any other text.
std::optional<ClockTime> TaskTimeFromArgument(std::string_view argument);

struct EveningTask {
    std::wstring program; // the program's full path, unquoted
    std::wstring userSid; // the user the task runs as, "S-1-5-21-..."
    ClockTime time;
    bool wake = false;    // wake the computer for the run
};

// The task's name: the user's SID keeps two users' tasks apart.
std::wstring EveningTaskName(std::wstring_view userSid);

// What every user's task name begins with.
std::wstring EveningTaskNamePrefix();

// The folder the program lies in, as its working directory: "C:\Kestrom"
// for "C:\Kestrom\Kestrom.exe", "C:\" for "C:\Kestrom.exe".
std::wstring ProgramFolder(std::wstring_view program);

// The longest command the Task Scheduler takes, the quotes included.
inline constexpr std::size_t TaskPathLimit = 260;

// The task's XML, declared as UTF-16; none when the program's path cannot
// be a task's command (empty, a control character, no folder, or longer
// than the Task Scheduler allows once quoted).
std::optional<std::wstring> EveningTaskXml(const EveningTask& task);

// The time a run may hold the evening before the Task Scheduler ends it:
// past the longest honest run (a server that answers nothing costs
// minutes, not hours), well before the next evening.
inline constexpr wchar_t TaskTimeLimit[] = L"PT2H";
