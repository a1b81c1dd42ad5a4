// What the main window's memo shows before the first download run.
#pragma once

#include <string>
#include <vector>

const std::vector<std::string>& HelpTextLines();
