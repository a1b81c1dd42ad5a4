// The names the versions list may give the installer's file: the download
// is written under that name and started by it, so the name must make a
// file of its own in the installer's folder, and a program.
#pragma once

#include <string_view>

// A name Windows takes for a device whatever its extension or case (CON,
// PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, CONIN$, CONOUT$): writing to it
// never makes a file.
bool IsDeviceName(std::string_view fileName);

// Not empty, "." or "..", a device, a name ending in a point or blank, nor
// a name with a control character or one of \ / : * ? " < > |.
bool IsPlainFileName(std::string_view fileName);

// A name before ".exe" (in any case): the installer is started as a
// program, and a file of another kind would be opened by whatever the
// machine opens such files with.
bool IsProgramName(std::string_view fileName);
