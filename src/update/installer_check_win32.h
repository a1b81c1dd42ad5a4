// The check of a downloaded installer on the file itself: locked, so that
// the bytes checked are the bytes that stay there.
#pragma once

#include "support/unique_handle_win32.h"
#include "update/installer.h"

#include <string>
#include <string_view>

// The installer opened for reading only, sharing nothing but reading: while
// this handle is open nobody can change, replace or delete the file.
FileHandle LockInstaller(const std::string& path);

// The maker's signature of the installer at path, open in installer
// (locked; an empty handle when it could not be opened), and, once that
// holds, the version the installer carries.
void CheckLockedInstaller(const FileHandle& installer, const std::string& path, std::string_view signature,
                          ReceivedInstaller& received);
