// The version an installer carries in its own version resource: part of
// the bytes the maker signed, so it says which release the file installs
// whatever the versions list or the file's name claim.
#pragma once

#include <string>

// "ProductVersion" of the resource's first translation, at most a few
// dozen characters of it; empty when the file has none.
std::string InstallerVersion(const std::string& path);
