// File and folder helpers over the Windows file system.
#pragma once

#include <string>

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
