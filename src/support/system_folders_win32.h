// The folders Windows names for the program: each read into a buffer that
// grows until the whole name fits, so that a long name is never cut.
#pragma once

#include <string>

// The system folder ("C:\Windows\system32"), without a final "\"; empty
// when Windows names none.
std::string SystemFolder();

// The folder of the running program, ending in "\"; empty when its name
// cannot be read. The current folder is no guide to it: the task scheduler
// starts the program in the system folder.
std::string ProgramFolder();

// The user's temporary folder, ending in "\"; empty when Windows names none.
std::string TempFolder();

// The user's local application data folder, made when it is missing,
// without a final "\"; empty when Windows names none.
std::string LocalAppDataFolder();
