// The short name of the Windows version and whether it belongs to the NT
// family, from the fields of the version record GetVersionExA fills in.
#pragma once

#include <string>
#include <string_view>

struct WindowsVersion {
    std::string Name; // empty when no known version matches
    bool IsNT = false;
};

// platformId is the record's platform identifier (1 for the 95 family, 2 for
// NT), csd its service-pack text. The NT flag follows the name, not the
// platform: platform 2 with version 5.3 has no name and is not counted as NT.
WindowsVersion ClassifyWindowsVersion(unsigned platformId, unsigned major, unsigned minor,
                                      std::string_view csd);
