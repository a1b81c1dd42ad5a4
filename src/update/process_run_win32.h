// Running another program and waiting for its end, never for ever: a
// program given up is ended together with whatever it started.
#pragma once

#include <windows.h>

#include <string>

// The process's exit code, or -1 when it did not start or had to be ended
// after waitMs.
int RunProcessAndWait(const std::string& commandLine, int showWindow, DWORD waitMs = INFINITE);

// Runs command through the command interpreter (COMSPEC) and waits for its
// end, at most half a minute. A line that would not fit is not
// run at all.
void RunInterpreterCommand(const std::string& command, bool hidden);
