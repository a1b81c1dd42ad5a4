#include "support/windows_version.h"

#include <array>

namespace {

constexpr unsigned Windows9xPlatform = 1;
constexpr unsigned WindowsNTPlatform = 2;

constexpr char FutureVersion[] = "Future Windows version (unknown)";

// Only the first character of the service-pack text is tested, so a text
// with a leading blank (" C") names the plain release.
bool CsdStartsWith(std::string_view csd, std::string_view letters)
{
    return !csd.empty() && letters.find(csd.front()) != std::string_view::npos;
}

std::string Windows9xName(unsigned major, unsigned minor, std::string_view csd)
{
    if (major != 4) return "9x version (unknown)";
    switch (minor) {
    case 0: return CsdStartsWith(csd, "BC") ? "95 OSR2" : "95";
    case 10: return CsdStartsWith(csd, "A") ? "98 SE" : "98";
    case 90: return "ME";
    default: return "";
    }
}

std::string WindowsNTName(unsigned major, unsigned minor)
{
    if (major <= 4) return "NT";
    if (major == 5) {
        switch (minor) {
        case 0: return "2000";
        case 1: return "XP";
        case 2: return "Server 2003";
        default: return "";
        }
    }
    if (major == 6) {
        switch (minor) {
        case 0: return "Vista";
        case 1: return "Windows 7";
        default: return FutureVersion;
        }
    }
    return FutureVersion;
}

bool IsNTName(std::string_view name)
{
    constexpr std::array<std::string_view, 7> ntNames = {
        "NT", "2000", "XP", "Server 2003", "Vista", "Windows 7", FutureVersion};
    for (const auto ntName : ntNames)
        if (name == ntName) return true;
    return false;
}

} // namespace

WindowsVersion ClassifyWindowsVersion(unsigned platformId, unsigned major, unsigned minor,
                                      std::string_view csd)
{
    WindowsVersion version;
    if (platformId == Windows9xPlatform)
        version.Name = Windows9xName(major, minor, csd);
    else if (platformId == WindowsNTPlatform)
        version.Name = WindowsNTName(major, minor);
    version.IsNT = IsNTName(version.Name);
    return version;
}
