// What an update leaves for the program's next start, as string values
// under HKEY_CURRENT_USER\Software\Kestrom\Update: the installer file it
// downloaded, so that its folder goes even when the program ends before it
// can remove it itself, and the version an installer was started for, so
// that the next start can say whether that version is now the one running.
// Both are the program's own bookkeeping, not settings: every value is
// checked before it is used, as anything in the user's registry may have
// been written by another program.
#pragma once

#include <optional>
#include <string>

inline constexpr char InstallerFileRecord[] = "Installer";
inline constexpr char ExpectedVersionRecord[] = "Expected Version";

// Throws std::runtime_error when the value cannot be written.
void WriteUpdateRecord(const char* name, const std::string& value);
std::optional<std::string> ReadUpdateRecord(const char* name);
// Deletes the value, and the key once it holds nothing more.
void ForgetUpdateRecord(const char* name);
