// The program's command line. Only the first argument means anything: the
// single lower-case letter "a" selects automatic mode.
#pragma once

#include <string>
#include <vector>

// The arguments after the program's own name.
void SetCommandLineArguments(std::vector<std::string> arguments);
bool IsAutomaticMode();
bool IsAutomaticArgument(const std::vector<std::string>& arguments);
