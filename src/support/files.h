// File and folder helpers over the Windows file system.
#pragma once

#include <string>

// Whether path names a folder that exists.
bool FolderExists(const std::string& path);

// Creates every missing level of path from the top down, by name only: the
// current directory stays as it is. "\" and "/" both separate levels, and
// a final separator may follow. 0 when the folder exists afterwards (also
// when someone else made it meanwhile); otherwise the system's error code
// for the first level that could not be made.
unsigned long CreateFolderLevels(const std::string& path);

// Creates every missing level of path and, when the folder then exists,
// makes it the current directory. True exactly when the current directory
// followed by "\" equals path.
bool ForceFolder(const std::string& path);

// Deletes a file; a missing or locked file is ignored.
void DeleteFileByName(const std::string& path);

// The volume label of letter + ":\", or "Error <number> <system message>".
std::string VolumeLabel(char letter);

// The process's current directory, without a trailing "\" unless it is a root.
std::string CurrentFolder();
bool SetCurrentFolder(const std::string& path);
