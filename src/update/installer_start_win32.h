// The start of a downloaded installer: the file is locked, its signature
// and version are checked again, and only then is it started.
#pragma once

#include "support/unique_handle_win32.h"
#include "update/installer.h"

#include <string>
#include <string_view>

enum class InstallerLaunch {
    Failed,  // the file could not be locked, or Windows did not start it
    Refused, // the check on the locked file did not hold
    Started,
};

struct InstallerLaunchResult {
    InstallerLaunch Outcome = InstallerLaunch::Failed;
    // For Refused: why, and what the check found.
    InstallerVerdict Verdict = InstallerVerdict::NotReceived;
    ReceivedInstaller Checked;
    // The file checked is the file started: it stays locked until the
    // caller lets this go, after the installer is under way.
    FileHandle Lock;
};

// Checks file (the maker's signature, as the server sent it, and the
// announced version newer than the running one), that its folder holds
// nothing else and that the user's registry cannot redirect the start, and
// starts it with administrator rights. Before the start the announced version is recorded,
// so that the next start of the program can say whether it is the one
// running; a failed start forgets it again.
InstallerLaunchResult LaunchVerifiedInstaller(const std::string& file, std::string_view signature,
                                              const ProgramVersion& announced, const ProgramVersion& running);
