// Ends running processes by the full path of their executable, so that an
// installer can replace the companion program. A hidden window without
// controls, created once at start-up and never shown.
#pragma once

#include "support/unique_handle_win32.h"
#include "win/form.h"

#include <string>

class TTerminateForm : public Form {
public:
    void Create();

    // Ends every running process whose executable path matches path (case
    // and surrounding blanks aside). Each ended process is waited for a few
    // seconds, and the search gives up after a fixed number of rounds; true
    // when no matching process is left. An error of the process list throws.
    bool TerminateProcessesByPath(const std::string& path);

    // The first matching process, opened with the right to end it and to wait
    // for it, or none. Tool Help where the system is not of the NT family.
    ProcessHandle FindProcessByPath(const std::string& path);
    bool IsNTPlatform();
    // Through PSAPI.dll; throws when the process list cannot be read.
    ProcessHandle FindProcessNT(const std::string& path);
    // Through the Tool Help functions of kernel32.dll, whose entries name the
    // full path only on the 95 family (the NT family gives the bare file name).
    ProcessHandle FindProcessToolHelp(const std::string& path);
};

extern TTerminateForm* TerminateForm;
