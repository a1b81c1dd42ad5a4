// The folders Windows names for the program: each read into a buffer that
// grows until the whole name fits, so that a long name is never cut.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// A name read by a function that, given too small a buffer, reports the
// size it needs (the terminating null included): read again into a buffer
// of that size until it fits. Empty when the function fails.
std::string ReadGrowing(const std::function<DWORD(char*, DWORD)>& read);

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
