#include "support/system_info.h"
#include "support/windows_version.h"

#include <gtest/gtest.h>

namespace {

struct VersionCase {
    unsigned platform;
    unsigned major;
    unsigned minor;
    const char* csd;
    const char* name;
    bool isNT;
};

TEST(WindowsVersion, EveryRowOfTheTable)
{
    const VersionCase cases[] = {
        {1, 4, 0, "B", "95 OSR2", false},
        {1, 4, 0, "C", "95 OSR2", false},
        {1, 4, 0, "C SP1", "95 OSR2", false},
        {1, 4, 0, " C", "95", false}, // only the first character is tested
        {1, 4, 0, "", "95", false},
        {1, 4, 0, "A", "95", false},
        {1, 4, 0, "b", "95", false},
        {1, 4, 10, "A", "98 SE", false},
        {1, 4, 10, " A ", "98", false},
        {1, 4, 10, "", "98", false},
        {1, 4, 10, "B", "98", false},
        {1, 4, 90, "", "ME", false},
        {1, 4, 90, "A", "ME", false},
        {1, 4, 1, "", "", false},
        {1, 4, 91, "", "", false},
        {1, 3, 0, "", "9x version (unknown)", false},
        {1, 5, 0, "", "9x version (unknown)", false},
        {1, 0, 0, "", "9x version (unknown)", false},
        {2, 0, 0, "", "NT", true},
        {2, 3, 51, "", "NT", true},
        {2, 4, 0, "Service Pack 6", "NT", true},
        {2, 5, 0, "", "2000", true},
        {2, 5, 1, "Service Pack 3", "XP", true},
        {2, 5, 2, "", "Server 2003", true},
        {2, 5, 3, "", "", false}, // the name decides, not the platform
        {2, 5, 99, "", "", false},
        {2, 6, 0, "", "Vista", true},
        {2, 6, 1, "Service Pack 1", "Windows 7", true},
        {2, 6, 2, "", "Future Windows version (unknown)", true},
        {2, 6, 3, "", "Future Windows version (unknown)", true},
        {2, 7, 0, "", "Future Windows version (unknown)", true},
        {2, 10, 0, "", "Future Windows version (unknown)", true},
        {0, 4, 0, "", "", false}, // Win32s
        {3, 5, 1, "", "", false}, // CE
        {99, 6, 1, "", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "platform " << c.platform << ", " << c.major << "." << c.minor
                                          << ", csd \"" << c.csd << "\"");
        const WindowsVersion version = ClassifyWindowsVersion(c.platform, c.major, c.minor, c.csd);
        EXPECT_EQ(version.Name, c.name);
        EXPECT_EQ(version.IsNT, c.isNT);
    }
}

TEST(ProfileDataFolder, SitsBesideTheDesktopFolder)
{
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Documents and Settings\\user\\Desktop\\", "C:\\Documents and Settings\\user\\UserData\\Kestrom\\"},
        {"C:\\Users\\jan\\Desktop\\", "C:\\Users\\jan\\UserData\\Kestrom\\"},
        {"D:\\Desktop\\", "D:\\UserData\\Kestrom\\"},
        // A missing "Desktop" value: the root of the current drive.
        {"\\", "\\UserData\\Kestrom\\"},
    };
    for (const auto& [desktop, expected] : cases) {
        SCOPED_TRACE(desktop);
        EXPECT_EQ(ProfileDataFolder(desktop, "Kestrom"), expected);
    }
}

} // namespace
