// Process-wide application state: title, instance, screen density, the
// message loops and the exit code.
#pragma once

#include <windows.h>

#include <string>

namespace Application {

HINSTANCE Instance();
void Initialize(HINSTANCE instance, const std::string& title);

// Text of message boxes that belong to the program as a whole.
const std::string& Title();

// Runs the message loop until the main window has been destroyed.
void Run();

// Lets pending window messages through (timers, paints, clicks) and returns
// when the queue is empty. A WM_QUIT met here is put back for Run, and the
// result is false: the program is ending, and work that lets messages
// through should stop.
bool ProcessMessages();

// The dialog navigation (Tab, Enter, Escape) of the window that has the
// focus, then the usual translation and dispatch.
void DispatchOne(MSG& message);

int ExitCode();
void SetExitCode(int code);

} // namespace Application
