#include "app/command_line.h"

namespace {

std::vector<std::string> commandLine;

} // namespace

void SetCommandLineArguments(std::vector<std::string> arguments) { commandLine = std::move(arguments); }

bool IsAutomaticArgument(const std::vector<std::string>& arguments)
{
    return !arguments.empty() && arguments.front() == "a";
}

bool IsAutomaticMode() { return IsAutomaticArgument(commandLine); }
