// What the first start after an update says of it in the main window's
// memo: whether the version the installer was started for is now the one
// running.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// An empty line, then the outcome; nothing when expectedVersion is not a
// version as the program writes its own ("1.01c").
std::vector<std::string> UpdateOutcomeLines(std::string_view expectedVersion, std::string_view versionText);

// At start: removes the installer folder an earlier run left
// (installer_folder_win32.h) and, once that installer is gone, gives the
// outcome lines of the update it was started for, once. Nothing while the
// installer is still there: it may still be at work.
std::vector<std::string> FinishEarlierUpdate(const std::string& productName, std::string_view versionText);
