// The downloaded installer's folder. It lies in the user's temporary
// folder, which may be shared (redirected to a common place) and whose
// permissions any folder made there inherits; so every download gets a
// folder made new by this program under a name nobody can guess, with
// permissions of its own: the user, SYSTEM and the administrators only.
// Nobody else can plant a file beside the installer that is started with
// administrator rights. The folder is recorded (update_record_win32.h)
// until it is gone.
//
// From its creation to the installer's start the folder is held open
// without delete sharing: nobody can rename it, remove it or put another
// folder in its place while the window waits for "Installeer".
#pragma once

#include "support/unique_handle_win32.h"

#include <string>

struct InstallerFolder {
    std::string Path; // ending in "\"; empty when none could be made
    FileHandle Hold;  // closed before the folder itself is removed
};

// A new folder for the installer fileName, held. Throws std::runtime_error
// when it cannot be recorded (the folder is removed again).
InstallerFolder NewInstallerFolder(const std::string& productName, const std::string& fileName);

// True when folder (ending in "\") holds the file fileName and nothing else.
bool FolderHoldsOnly(const std::string& folder, const std::string& fileName);

// Deletes the installer file and then its folder, and forgets the record.
// Nothing else is deleted: a folder that holds anything more (a file the
// installer wrote there) stays. False, and the record kept, while the
// installer file is still there (a running installer cannot be deleted).
bool RemoveInstallerFolder(const std::string& file);

// At start: removes the installer folder an earlier run recorded, as
// RemoveInstallerFolder does. A record that does not name an installer in
// such a folder of the temporary folder is forgotten and nothing is
// deleted. False while the recorded installer is still there.
bool RemoveRecordedInstallerFolder(const std::string& productName);
