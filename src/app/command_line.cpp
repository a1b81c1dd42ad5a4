#include "app/command_line.h"

#include "support/evening_task.h"

namespace {

std::vector<std::string> commandLine;

} // namespace

void SetCommandLineArguments(std::vector<std::string> arguments) { commandLine = std::move(arguments); }

bool IsAutomaticArgument(const std::vector<std::string>& arguments)
{
    return !arguments.empty() && arguments.front() == "a";
}

bool IsAutomaticMode() { return IsAutomaticArgument(commandLine); }

std::optional<ClockTime> TaskTimeOf(const std::vector<std::string>& arguments)
{
    if (!IsAutomaticArgument(arguments) || arguments.size() < 2) return std::nullopt;
    return TaskTimeFromArgument(arguments[1]);
}

std::optional<ClockTime> TaskTime() { return TaskTimeOf(commandLine); }

bool IsRemoveTasksMode() { return !commandLine.empty() && commandLine.front() == RemoveTasksArgument; }
