#include "update/built_in_maker_key.h"
#include "update/installer.h"
#include "update/installer_signature.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(InstallerTest, PathsFollowTheFolders)
{
    const InstallerPaths paths = MakeInstallerPaths("C:\\Users\\an\\Temp\\Kestrom-0A1B2C3D\\", "Kestrom",
                                                    "kestrom101.exe", "http://127.0.0.1:8123/",
                                                    "C:\\Program Files\\Kestrom\\");
    EXPECT_EQ(paths.File, "C:\\Users\\an\\Temp\\Kestrom-0A1B2C3D\\kestrom101.exe");
    EXPECT_EQ(paths.Url, "http://127.0.0.1:8123/kestrom101.exe");
    EXPECT_EQ(paths.SignatureUrl, "http://127.0.0.1:8123/kestrom101.exe.sig");
    EXPECT_EQ(paths.Companion, "C:\\Program Files\\Kestrom\\Kestrom_Sched.exe");
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

ReceivedInstaller Received(std::uint64_t bytes, unsigned long status = 200, const char* first = "MZ",
                           DownloadStop stop = DownloadStop::None, SignatureState signature = SignatureState::Valid)
{
    ReceivedInstaller received;
    received.Connected = true;
    received.Status = status;
    received.Bytes = bytes;
    received.DownloadedKB = static_cast<int>(bytes / 1024);
    received.FirstBytes = first;
    received.Stop = stop;
    received.Signature = signature;
    return received;
}

TEST(InstallerTest, OnlyACompletePlausibleInstallerIsAccepted)
{
    ReceivedInstaller notConnected;
    ReceivedInstaller smallBlocks = Received(3000);
    smallBlocks.DownloadedKB = 0; // blocks of under 1024 bytes each
    const std::vector<VerdictCase> cases = {
        {"exact size", Received(100 * 1024), 100, InstallerVerdict::Trusted},
        {"one kilobyte short", Received(99 * 1024), 100, InstallerVerdict::Trusted},
        {"one kilobyte over", Received(101 * 1024 + 1023), 100, InstallerVerdict::Trusted},
        {"two kilobytes short", Received(98 * 1024 + 1023), 100, InstallerVerdict::WrongSize},
        {"two kilobytes over", Received(102 * 1024), 100, InstallerVerdict::WrongSize},
        {"cut off half-way", Received(50 * 1024), 100, InstallerVerdict::WrongSize},
        {"404 page of over a kilobyte", Received(100 * 1024, 404), 100, InstallerVerdict::WrongStatus},
        {"no status", Received(100 * 1024, 0), 100, InstallerVerdict::WrongStatus},
        {"not an executable", Received(100 * 1024, 200, "<h"), 100, InstallerVerdict::NotAProgram},
        {"one byte only of MZ", Received(100 * 1024, 200, "M"), 100, InstallerVerdict::NotAProgram},
        {"lower-case mz", Received(100 * 1024, 200, "mz"), 100, InstallerVerdict::NotAProgram},
        {"1023 bytes", Received(1023), 0, InstallerVerdict::NotReceived},
        {"1024 bytes", Received(1024), 0, InstallerVerdict::Trusted},
        {"under a kilobyte counted", smallBlocks, 3, InstallerVerdict::NotReceived},
        {"not connected", notConnected, 0, InstallerVerdict::NotReceived},
        {"cancelled", Received(50 * 1024, 200, "MZ", DownloadStop::Cancelled), 100, InstallerVerdict::NotReceived},
        {"stopped beyond the size", Received(102 * 1024, 200, "MZ", DownloadStop::TooLarge), 100,
         InstallerVerdict::TooLarge},
        {"out of time", Received(100 * 1024, 200, "MZ", DownloadStop::TooSlow), 100, InstallerVerdict::TooSlow},
        {"an error page out of time", Received(100 * 1024, 500, "MZ", DownloadStop::TooSlow), 100,
         InstallerVerdict::WrongStatus},
        {"no signature", Received(100 * 1024, 200, "MZ", DownloadStop::None, SignatureState::Missing), 100,
         InstallerVerdict::NotSigned},
        {"a wrong signature", Received(100 * 1024, 200, "MZ", DownloadStop::None, SignatureState::Wrong), 100,
         InstallerVerdict::WronglySigned},
        {"a wrong signature one kilobyte over", Received(101 * 1024 + 1023, 200, "MZ", DownloadStop::None,
                                                         SignatureState::Wrong),
         100, InstallerVerdict::WronglySigned},
        // A list that rounds its size up: whole, and wrongly signed.
        {"a wrong signature a byte short of the list's size",
         Received(100 * 1024 - 1, 200, "MZ", DownloadStop::None, SignatureState::Wrong), 100,
         InstallerVerdict::WronglySigned},
        {"a wrong signature a kilobyte short", Received(99 * 1024, 200, "MZ", DownloadStop::None, SignatureState::Wrong),
         100, InstallerVerdict::WronglySigned},
        {"broken off within its last kilobyte", Received(100 * 1024 + 10, 200, "MZ", DownloadStop::CutShort), 100,
         InstallerVerdict::CutShort},
        {"a valid signature a kilobyte short", Received(99 * 1024, 200, "MZ", DownloadStop::None), 100,
         InstallerVerdict::Trusted},
        {"no signature a kilobyte short", Received(99 * 1024, 200, "MZ", DownloadStop::None, SignatureState::Missing),
         100, InstallerVerdict::NotSigned},
        {"a file that cannot be read", Received(100 * 1024, 200, "MZ", DownloadStop::None, SignatureState::Unreadable),
         100, InstallerVerdict::Unreadable},
        {"a signed page is still no program", Received(100 * 1024, 200, "<h"), 100, InstallerVerdict::NotAProgram},
    };
    for (const VerdictCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(JudgeInstaller(c.received, c.listSizeKB), c.expected);
    }
}

TEST(InstallerTest, TheDownloadStopsAWholeKilobyteBeyondTheListedSize)
{
    EXPECT_EQ(InstallerByteLimit(48), 50u * 1024);
    EXPECT_EQ(InstallerByteLimit(0), 2u * 1024);
    EXPECT_EQ(InstallerByteLimit(-5), 2u * 1024);
    EXPECT_EQ(InstallerByteLimit(2147483647), (2147483647ull + 2) * 1024);
    // The last byte below the limit is still accepted, the limit never is.
    EXPECT_EQ(JudgeInstaller(Received(InstallerByteLimit(48) - 1), 48), InstallerVerdict::Trusted);
    EXPECT_EQ(JudgeInstaller(Received(InstallerByteLimit(48)), 48), InstallerVerdict::WrongSize);
}

TEST(InstallerTest, OnlyTheAnnouncedVersionNewerThanTheRunningOneIsOffered)
{
    const ProgramVersion running = RunningVersion("versie 1.00c");
    struct Case {
        const char* name;
        const char* carried;
        ProgramVersion announced;
        InstallerVerdict expected;
    };
    const std::vector<Case> cases = {
        {"the announced version", "1.01c", {"101", 'c'}, InstallerVerdict::Trusted},
        {"the running release announced as a newer one", "1.00c", {"199", 'z'}, InstallerVerdict::WrongVersion},
        {"an older release announced as a newer one", "0.99a", {"101", 'c'}, InstallerVerdict::WrongVersion},
        {"a newer release than announced", "1.02c", {"101", 'c'}, InstallerVerdict::WrongVersion},
        {"another letter", "1.01d", {"101", 'c'}, InstallerVerdict::WrongVersion},
        {"the running version announced as it is", "1.00c", {"100", 'c'}, InstallerVerdict::WrongVersion},
        {"an older version announced as it is", "1.00b", {"100", 'b'}, InstallerVerdict::WrongVersion},
        // Digits the list shows as 1.01c, but the version 1010 is not 101.
        {"more digits announced", "1.01c", {"1010", 'c'}, InstallerVerdict::WrongVersion},
        {"no version resource", "", {"101", 'c'}, InstallerVerdict::WrongVersion},
        {"a version of another form", "1.0.1.3", {"101", 'c'}, InstallerVerdict::WrongVersion},
        {"the version with more after it", "1.01c beta", {"101", 'c'}, InstallerVerdict::WrongVersion},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(JudgeInstallerVersion(c.carried, c.announced, running), c.expected);
    }
}

TEST(InstallerTest, InstallerFoldersAreNamedAndRecognisedExactly)
{
    FolderNameBytes bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 17 + 10);
    const std::string name = InstallerFolderName("Kestrom", bytes);
    EXPECT_EQ(name, "Kestrom-0A1B2C3D4E5F708192A3B4C5D6E7F809");
    const std::string temp = "C:\\Users\\an\\Temp\\";
    const std::string folder = temp + name + "\\";
    EXPECT_TRUE(IsInstallerFolderFile(folder + "kestrom101.exe", temp, "Kestrom"));
    EXPECT_TRUE(IsInstallerFolderFile(folder + "KESTROM101.EXE", temp, "Kestrom"));
    // A record may have been written by any program of the user's: nothing
    // but an installer in such a folder of the temporary folder is deleted.
    const std::vector<std::pair<const char*, std::string>> refused = {
        {"another temporary folder", "C:\\Users\\bo\\Temp\\" + name + "\\kestrom101.exe"},
        {"a folder deeper down", temp + "x\\" + name + "\\kestrom101.exe"},
        {"a file deeper down", folder + "sub\\kestrom101.exe"},
        {"the folder itself", folder},
        {"no file name", folder + ".exe"},
        {"not a program", folder + "kestrom101.dll"},
        {"another product", temp + "Koersgrafiek-0A1B2C3D4E5F708192A3B4C5D6E7F809\\kestrom101.exe"},
        {"a digit short", temp + name.substr(0, name.size() - 1) + "\\kestrom101.exe"},
        {"a digit more", temp + name + "0\\kestrom101.exe"},
        {"lower-case digits", temp + "Kestrom-0a1b2c3d4e5f708192a3b4c5d6e7f809\\kestrom101.exe"},
        {"not hex", temp + "Kestrom-0A1B2C3D4E5F708192A3B4C5D6E7F80G\\kestrom101.exe"},
        {"up and out", folder + "..\\..\\Documents\\report.exe"},
        {"another drive", folder + "D:report.exe"},
        {"a forward slash", folder + "a/report.exe"},
        {"the temporary folder's file", temp + "kestrom101.exe"},
        {"a relative path", name + "\\kestrom101.exe"},
        {"nothing", ""},
    };
    for (const auto& [what, path] : refused) {
        SCOPED_TRACE(what);
        EXPECT_FALSE(IsInstallerFolderFile(path, temp, "Kestrom"));
    }
    EXPECT_FALSE(IsInstallerFolderFile(folder + "kestrom101.exe", "", "Kestrom"));
}

std::string Der(const std::vector<int>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// A DER INTEGER of the given content bytes.
std::vector<int> Integer(std::vector<int> content)
{
    content.insert(content.begin(), {0x02, static_cast<int>(content.size())});
    return content;
}

std::vector<int> Sequence(const std::vector<int>& r, const std::vector<int>& s)
{
    std::vector<int> der = {0x30, static_cast<int>(r.size() + s.size())};
    der.insert(der.end(), r.begin(), r.end());
    der.insert(der.end(), s.begin(), s.end());
    return der;
}

std::vector<int> Repeat(int value, std::size_t count) { return std::vector<int>(count, value); }

std::vector<int> Joined(std::vector<int> a, const std::vector<int>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(InstallerSignatureTest, DerSignaturesBecomeRAndSOf32BytesEach)
{
    // A high first byte takes a sign byte; a short value is padded on the left.
    const std::optional<RawSignature> raw =
        RawSignatureFromDer(Der(Sequence(Integer(Joined({0x00}, Repeat(0x81, 32))), Integer({0x01, 0x02}))));
    ASSERT_TRUE(raw.has_value());
    RawSignature expected{};
    for (int i = 0; i < 32; ++i) expected[i] = 0x81;
    expected[62] = 0x01;
    expected[63] = 0x02;
    EXPECT_EQ(*raw, expected);

    const std::vector<int> r = Integer(Repeat(0x7F, 32));
    const std::vector<int> s = Integer(Repeat(0x11, 32));
    ASSERT_TRUE(RawSignatureFromDer(Der(Sequence(r, s))).has_value());
    std::vector<int> trailing = Sequence(r, s);
    trailing.push_back(0);
    std::vector<int> longForm = Sequence(r, s);
    longForm.insert(longForm.begin() + 1, 0x81);
    std::vector<int> lengthShort = Sequence(r, s);
    lengthShort[1] -= 1;
    std::vector<int> wrongTag = Sequence(r, s);
    wrongTag[0] = 0x31;
    std::vector<int> cutOff = Sequence(r, s);
    cutOff.pop_back();
    const std::vector<std::pair<const char*, std::vector<int>>> refused = {
        {"empty", {}},
        {"a byte after the sequence", trailing},
        {"a long-form length", longForm},
        {"a sequence length that does not fit", lengthShort},
        {"not a sequence", wrongTag},
        {"one integer", {0x30, 0x03, 0x02, 0x01, 0x01}},
        {"three integers", Sequence(r, Joined(s, Integer({0x01})))},
        {"a negative r", Sequence(Integer(Repeat(0x81, 32)), s)},
        {"a needless zero byte", Sequence(Integer(Joined({0x00}, Repeat(0x11, 32))), s)},
        {"an empty integer", Sequence(Integer({}), s)},
        {"33 value bytes", Sequence(Integer(Joined({0x01}, Repeat(0x11, 32))), s)},
        {"an octet string for s", Sequence(r, Joined({0x04, 0x01}, {0x01}))},
        {"cut off", cutOff},
    };
    for (const auto& [name, der] : refused) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(RawSignatureFromDer(Der(der)).has_value());
    }
}

TEST(InstallerSignatureTest, PublicKeysAre128HexDigits)
{
    const std::string hex = "A8d3066dc4f24c70ead428b649457097859c9cc3c40490b501fd24d64b2593ec"
                            "08c74948320b7ac8575f1646f9a0c4e6003a7fd6fdad4ff989fa9af3a4b6b5Ff";
    const std::optional<PublicKey> key = PublicKeyFromHex(hex);
    ASSERT_TRUE(key.has_value());
    EXPECT_EQ((*key)[0], 0xA8);
    EXPECT_EQ((*key)[32], 0x08);
    EXPECT_EQ((*key)[63], 0xFF);
    EXPECT_TRUE(PublicKeyFromHex(BuiltInMakerKey).has_value());
    for (const std::string& refused : {hex.substr(1), hex + "0", "04" + hex, hex.substr(0, 127) + "g",
                                       " " + hex.substr(1), std::string()}) {
        SCOPED_TRACE(refused);
        EXPECT_FALSE(PublicKeyFromHex(refused).has_value());
    }
}

} // namespace
