// The program's command line. The first argument selects automatic mode:
// the single lower-case letter "a". After it, the program's own task names
// its time; any other second argument means nothing.
#pragma once

#include "support/clock_time.h"

#include <optional>
#include <string>
#include <vector>

// The arguments after the program's own name.
void SetCommandLineArguments(std::vector<std::string> arguments);
bool IsAutomaticMode();
bool IsAutomaticArgument(const std::vector<std::string>& arguments);

// The time of the program's own task that started this automatic run;
// none for a plain "a" (a task the user made by hand).
std::optional<ClockTime> TaskTime();
std::optional<ClockTime> TaskTimeOf(const std::vector<std::string>& arguments);

// The uninstaller's first argument: remove every user's evening task that
// starts this program, show no window, end.
inline constexpr char RemoveTasksArgument[] = "taken-verwijderen";
bool IsRemoveTasksMode();
