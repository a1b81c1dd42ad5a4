#include "update/installer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(InstallerTest, PathsFollowTheFolders)
{
    const InstallerPaths paths = MakeInstallerPaths("C:\\Koersen\\", "Kestrom", "versie 1.00c", "kestrom101.exe",
                                                    "http://127.0.0.1:8123/", "C:\\Program Files\\Kestrom\\");
    EXPECT_EQ(paths.Folder, "C:\\Koersen\\Temp\\");
    EXPECT_EQ(paths.File, "C:\\Koersen\\Temp\\kestrom101.exe");
    EXPECT_EQ(paths.EarlierFile, "C:\\Koersen\\Temp\\Kestrom1.00.exe");
    EXPECT_EQ(paths.Url, "http://127.0.0.1:8123/kestrom101.exe");
    EXPECT_EQ(paths.Companion, "C:\\Program Files\\Kestrom\\Kestrom_Sched.exe");

    // A data folder typed without its final separator still holds "Temp".
    EXPECT_EQ(MakeInstallerPaths("C:\\Koersen", "Kestrom", "versie 1.00c", "k.exe", "", "").Folder,
              "C:\\Koersen\\Temp\\");
}

TEST(InstallerTest, DisplayNameFromTheDownloadName)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"kestrom101.exe", "Kestrom"},
        {"Kestrom101.exe", "Kestrom"},
        {"k3str0m1.01.exe", "Kstrm"},
        {"kestrom", ""},
        {"101.exe", ""},
        {".exe", ""},
        {"", ""},
        {"\xE9t101.exe", "\xE9t"},
        {"2kestrom.exe", "Kestrom"},
    };
    for (const auto& [downloadName, displayName] : cases) {
        SCOPED_TRACE(downloadName);
        EXPECT_EQ(DisplayName(downloadName), displayName);
    }
}

struct VerdictCase {
    const char* name;
    ReceivedInstaller received;
    int listSizeKB;
    InstallerVerdict expected;
};

ReceivedInstaller Received(std::uint64_t bytes, unsigned long status = 200, const char* first = "MZ")
{
    ReceivedInstaller received;
    received.Connected = true;
    received.Status = status;
    received.Bytes = bytes;
    received.DownloadedKB = static_cast<int>(bytes / 1024);
    received.FirstBytes = first;
    return received;
}

TEST(InstallerTest, OnlyACompletePlausibleInstallerIsAccepted)
{
    ReceivedInstaller notConnected;
    ReceivedInstaller smallBlocks = Received(3000);
    smallBlocks.DownloadedKB = 0; // blocks of under 1024 bytes each
    const std::vector<VerdictCase> cases = {
        {"exact size", Received(100 * 1024), 100, InstallerVerdict::Plausible},
        {"one kilobyte short", Received(99 * 1024), 100, InstallerVerdict::Plausible},
        {"one kilobyte over", Received(101 * 1024 + 1023), 100, InstallerVerdict::Plausible},
        {"two kilobytes short", Received(98 * 1024 + 1023), 100, InstallerVerdict::WrongSize},
        {"two kilobytes over", Received(102 * 1024), 100, InstallerVerdict::WrongSize},
        {"cut off half-way", Received(50 * 1024), 100, InstallerVerdict::WrongSize},
        {"404 page of over a kilobyte", Received(100 * 1024, 404), 100, InstallerVerdict::WrongStatus},
        {"no status", Received(100 * 1024, 0), 100, InstallerVerdict::WrongStatus},
        {"not an executable", Received(100 * 1024, 200, "<h"), 100, InstallerVerdict::NotAProgram},
        {"one byte only of MZ", Received(100 * 1024, 200, "M"), 100, InstallerVerdict::NotAProgram},
        {"lower-case mz", Received(100 * 1024, 200, "mz"), 100, InstallerVerdict::NotAProgram},
        {"1023 bytes", Received(1023), 0, InstallerVerdict::NotReceived},
        {"1024 bytes", Received(1024), 0, InstallerVerdict::Plausible},
        {"under a kilobyte counted", smallBlocks, 3, InstallerVerdict::NotReceived},
        {"not connected", notConnected, 0, InstallerVerdict::NotReceived},
    };
    for (const VerdictCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(JudgeInstaller(c.received, c.listSizeKB), c.expected);
    }
}

} // namespace
