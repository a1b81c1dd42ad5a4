#include "update/versions_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr char Product[] = "Kestrom";
constexpr char Running[] = "versie 1.00c";
// Another product first, as on the maker's server.
constexpr char OtherRecord[] = "Koersgrafiek,koersgrafiek204.exe,a,812,,Nieuw,New\r\n";

FetchedList List(const std::string& text, int attempts = 1) { return {text, attempts}; }

FetchedList ListWith(const std::string& kestromRecord)
{
    return List(std::string(OtherRecord) + kestromRecord);
}

struct CompareCase {
    const char* name;
    std::string record;
    const char* versionText;
    UpdateCheckResult expected;
    const char* newestText;
};

TEST(VersionsListTest, ComparesTheNewestVersionWithTheRunningOne)
{
    const std::vector<CompareCase> cases = {
        {"same digits and letter", "Kestrom,kestrom100.exe,c,1200,,a,b\r\n", Running, UpdateCheckResult::NoUpdateNeeded,
         "1.00c"},
        {"newer letter", "Kestrom,kestrom100.exe,d,1200,,a,b\r\n", Running, UpdateCheckResult::UpdateAdvised, "1.00d"},
        {"older letter", "Kestrom,kestrom100.exe,b,1200,,a,b\r\n", Running, UpdateCheckResult::NoUpdateNeeded, "1.00b"},
        {"newer digits, older letter", "Kestrom,kestrom101.exe,a,1200,,x\r\n", Running,
         UpdateCheckResult::UpdateAdvised, "1.01a"},
        {"older digits, newer letter", "Kestrom,kestrom099.exe,z,1200,,x\r\n", Running,
         UpdateCheckResult::NoUpdateNeeded, "0.99z"},
        {"only the first letter of field 2 counts", "Kestrom,kestrom100.exe,dz,1200,,x\r\n", Running,
         UpdateCheckResult::UpdateAdvised, "1.00d"},
        {"99 sorts after 100 as text", "Kestrom,kestrom99.exe,a,1200,,x\r\n", Running, UpdateCheckResult::UpdateAdvised,
         "9.9a"},
        {"1000 sorts after 100 as text", "Kestrom,kestrom1000.exe,a,1200,,x\r\n", Running,
         UpdateCheckResult::UpdateAdvised, "1.00a"},
        {"no running letter: any letter is newer", "Kestrom,kestrom100.exe,a,1200,,x\r\n", "versie 1.00",
         UpdateCheckResult::UpdateAdvised, "1.00a"},
        {"running upper-case letter is no letter", "Kestrom,kestrom100.exe,a,1200,,x\r\n", "versie 1.00C",
         UpdateCheckResult::UpdateAdvised, "1.00a"},
        {"upper-case newest letter sorts below c", "Kestrom,kestrom100.exe,D,1200,,x\r\n", Running,
         UpdateCheckResult::NoUpdateNeeded, "1.00D"},
        {"an upper-case extension", "Kestrom,KESTROM101.EXE,c,1200,,x\r\n", Running, UpdateCheckResult::UpdateAdvised,
         "1.01c"},
        {"LF alone does not end the record, the next CR does", "Kestrom,kestrom101.exe,c,1200,x\nmore\r\n", Running,
         UpdateCheckResult::UpdateAdvised, "1.01c"},
    };
    for (const CompareCase& c : cases) {
        SCOPED_TRACE(c.name);
        const VersionsCheck check = JudgeVersionsList(ListWith(c.record), Product, c.versionText);
        EXPECT_EQ(check.Result, c.expected);
        EXPECT_EQ(check.Fault, RecordFault::None);
        EXPECT_EQ(check.NewestText, c.newestText);
        // What the installer must carry: all the digits, not only those shown.
        EXPECT_EQ(VersionDisplayText(check.Newest), c.newestText);
        ASSERT_TRUE(check.InstallerSizeKB.has_value());
        EXPECT_EQ(*check.InstallerSizeKB, 1200);
    }
}

struct RecordCase {
    const char* name;
    std::string list;
    UpdateCheckResult expected;
    const char* downloadName;
};

TEST(VersionsListTest, TheRecordIsTheLineWhoseFirstFieldIsTheProductName)
{
    const std::string kestrom = "Kestrom,kestrom100.exe,c,1200,,x,y\r\n";
    const std::vector<RecordCase> cases = {
        // Another product whose name begins with this one's is not this one.
        {"a longer name earlier", "KestromPro,kestrompro999.exe,a,900,,x,y\r\n" + kestrom,
         UpdateCheckResult::NoUpdateNeeded, "kestrom100.exe"},
        {"the name inside another record", "Koersgrafiek,koersgrafiek204.exe,Kestrom,kestrom999.exe,a,9,,x\r\n" + kestrom,
         UpdateCheckResult::NoUpdateNeeded, "kestrom100.exe"},
        {"the name without a comma", "Kestrom kestrom999.exe,a,900,,x,y\r\n" + kestrom,
         UpdateCheckResult::NoUpdateNeeded, "kestrom100.exe"},
        {"only a longer name", "KestromPro,kestrompro999.exe,a,900,,x,y\r\n" + std::string(20, '-') + "\r\n",
         UpdateCheckResult::ProductNotFound, ""},
        {"at the very start", kestrom + OtherRecord, UpdateCheckResult::NoUpdateNeeded, "kestrom100.exe"},
        {"after a line ended by LF alone", "# versions\n" + kestrom + std::string(20, '-'),
         UpdateCheckResult::NoUpdateNeeded, "kestrom100.exe"},
        {"the first of two", kestrom + "Kestrom,kestrom101.exe,c,1200,,x,y\r\n", UpdateCheckResult::NoUpdateNeeded,
         "kestrom100.exe"},
        // The search is case-sensitive.
        {"lower case", "kestrom,kestrom101.exe,c,1200,,x,y\r\n" + std::string(30, '-') + "\r\n",
         UpdateCheckResult::ProductNotFound, ""},
    };
    for (const RecordCase& c : cases) {
        SCOPED_TRACE(c.name);
        const VersionsCheck check = JudgeVersionsList(List(c.list), Product, Running);
        EXPECT_EQ(check.Result, c.expected);
        EXPECT_EQ(check.DownloadName, c.downloadName);
    }
}

struct SizeCase {
    const char* name;
    FetchedList fetched;
    UpdateCheckResult expected;
};

TEST(VersionsListTest, EmptyShortAndForeignTexts)
{
    const std::string fifty(50, 'x');
    const std::vector<SizeCase> cases = {
        {"nothing after two attempts", List("", 2), UpdateCheckResult::NoServerReaction},
        {"no internet handle: no attempt", List("", 0), UpdateCheckResult::ListTooSmall},
        {"Default.htm", List("Default.htm"), UpdateCheckResult::ListTooSmall},
        {"49 characters holding the name", List("Kestrom,kestrom101.exe,d,1200,,x,y\r\n" + std::string(13, 'x')),
         UpdateCheckResult::ListTooSmall},
        {"50 characters without the name", List(fifty), UpdateCheckResult::ProductNotFound},
        {"an HTML page", List("<html><head><title>Default.htm</title></head><body>Welkom</body></html>"),
         UpdateCheckResult::ProductNotFound},
        {"50 characters with the record", List("Kestrom,kestrom101.exe,d,1200,,x,y\r\n" + std::string(14, 'x')),
         UpdateCheckResult::UpdateAdvised},
    };
    ASSERT_EQ(cases[3].fetched.Text.size(), 49u);
    ASSERT_EQ(cases[6].fetched.Text.size(), 50u);
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const VersionsCheck check = JudgeVersionsList(c.fetched, Product, Running);
        EXPECT_EQ(check.Result, c.expected);
        if (c.expected != UpdateCheckResult::UpdateAdvised) {
            EXPECT_FALSE(check.InstallerSizeKB.has_value());
        }
    }
}

struct FaultCase {
    const char* name;
    std::string list;
    RecordFault expected;
};

TEST(VersionsListTest, DamagedRecordsEndTheCheckWithTheirFault)
{
    const std::string other = OtherRecord;
    const std::vector<FaultCase> cases = {
        {"no CR after the last record", other + "Kestrom,kestrom101.exe,d,1200,,x,y", RecordFault::NoLineEnd},
        {"LF only", other + "Kestrom,kestrom101.exe,d,1200,,x,y\n", RecordFault::NoLineEnd},
        {"four fields", other + "Kestrom,kestrom101.exe,d,1200\r\n", RecordFault::TooFewFields},
        {"a trailing empty field is not counted", other + "Kestrom,kestrom101.exe,d,1200,\r\n",
         RecordFault::TooFewFields},
        {"an empty field 4 before another comma counts", other + "Kestrom,kestrom101.exe,d,1200,,\r\n",
         RecordFault::None},
        {"empty field 2", other + "Kestrom,kestrom101.exe,,1200,,x\r\n", RecordFault::NoVersionLetter},
        {"field 3 a word", other + "Kestrom,kestrom101.exe,d,groot,,x\r\n", RecordFault::SizeNotANumber},
        {"field 3 empty", other + "Kestrom,kestrom101.exe,d,,,x\r\n", RecordFault::SizeNotANumber},
        {"field 3 with a unit", other + "Kestrom,kestrom101.exe,d,1200kB,,x\r\n", RecordFault::SizeNotANumber},
        {"field 3 negative", other + "Kestrom,kestrom101.exe,d,-5,,x\r\n", RecordFault::SizeNotANumber},
        {"field 3 beyond 32 bits", other + "Kestrom,kestrom101.exe,d,99999999999,,x\r\n",
         RecordFault::SizeNotANumber},
        {"empty download name", other + "Kestrom,,d,1200,,x\r\n", RecordFault::BadDownloadName},
        {"download name with a folder", other + "Kestrom,..\\..\\kestrom101.exe,d,1200,,x\r\n",
         RecordFault::BadDownloadName},
        {"download name with a slash", other + "Kestrom,sub/kestrom101.exe,d,1200,,x\r\n",
         RecordFault::BadDownloadName},
        {"download name with a drive", other + "Kestrom,C:kestrom101.exe,d,1200,,x\r\n", RecordFault::BadDownloadName},
        // Windows opens a device for these names, whatever the extension or case.
        {"CON with an extension", other + "Kestrom,CON.exe,d,1200,,x\r\n", RecordFault::BadDownloadName},
        {"nul without one", other + "Kestrom,nul,d,1200,,x\r\n", RecordFault::BadDownloadName},
        {"Aux with a blank", other + "Kestrom,Aux .exe,d,1200,,x\r\n", RecordFault::BadDownloadName},
        {"prn with two extensions", other + "Kestrom,prn.kestrom.exe,d,1200,,x\r\n", RecordFault::BadDownloadName},
        {"com1", other + "Kestrom,com1.exe,d,1200,,x\r\n", RecordFault::BadDownloadName},
        {"LPT9", other + "Kestrom,LPT9.exe,d,1200,,x\r\n", RecordFault::BadDownloadName},
        {"COM with a superscript one", other + "Kestrom,COM\xB9.exe,d,1200,,x\r\n", RecordFault::BadDownloadName},
        {"conout$", other + "Kestrom,conout$.exe,d,1200,,x\r\n", RecordFault::BadDownloadName},
        {"a final point", other + "Kestrom,kestrom101.exe.,d,1200,,x\r\n", RecordFault::BadDownloadName},
        // The installer is started as a program, never opened as a document.
        {"no extension", other + "Kestrom,kestrom101,d,1200,,x\r\n", RecordFault::BadDownloadName},
        {"a package", other + "Kestrom,kestrom101.msi,d,1200,,x\r\n", RecordFault::BadDownloadName},
        {"a batch file", other + "Kestrom,kestrom101.bat,d,1200,,x\r\n", RecordFault::BadDownloadName},
        {"exe before another extension", other + "Kestrom,kestrom101.exe.txt,d,1200,,x\r\n",
         RecordFault::BadDownloadName},
        {"only the extension", other + "Kestrom,.exe,d,1200,,x\r\n", RecordFault::BadDownloadName},
        {"COM101 is a file", other + "Kestrom,COM101.exe,d,1200,,x\r\n", RecordFault::None},
        {"console is a file", other + "Kestrom,console101.exe,d,1200,,x\r\n", RecordFault::None},
        {"over-long line before the record", std::string(20000, 'k') + "\r\n" + "Kestrom,kestrom101.exe,d,1200,,x\r\n",
         RecordFault::None},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        const VersionsCheck check = JudgeVersionsList(List(c.list), Product, Running);
        EXPECT_EQ(check.Fault, c.expected);
        if (c.expected == RecordFault::None) {
            EXPECT_EQ(check.Result, UpdateCheckResult::UpdateAdvised);
        } else {
            EXPECT_EQ(check.Result, UpdateCheckResult::RecordDamaged);
            EXPECT_FALSE(check.InstallerSizeKB.has_value());
            EXPECT_EQ(check.DownloadName, "");
        }
    }
}

TEST(VersionsListTest, SplitsFieldsAtEveryComma)
{
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"", {}},
        {"a", {"a"}},
        {"a,b", {"a", "b"}},
        {"a,,b", {"a", "", "b"}},
        {",a", {"", "a"}},
        {"a,", {"a"}},
        {"a,,", {"a", ""}},
        {",", {""}},
        {"Kestrom,kestrom101.exe,c,1200,,Nieuw,New", {"Kestrom", "kestrom101.exe", "c", "1200", "", "Nieuw", "New"}},
    };
    for (const auto& [record, fields] : cases) {
        SCOPED_TRACE(record);
        EXPECT_EQ(SplitRecordFields(record), fields);
    }
}

TEST(VersionsListTest, RunningVersionFromTheVersionText)
{
    const std::vector<std::tuple<std::string, std::string, unsigned char>> cases = {
        {"versie 1.00c", "100", 'c'},
        {"versie 1.00", "100", 0},
        {"versie 2.10z", "210", 'z'},
        {"versie 1.00C", "100", 0},
        // Without a point both halves are empty.
        {"versie 100c", "", 'c'},
        {"", "", 0},
        {"1,2.3.4a", "1,23.4", 'a'},
    };
    for (const auto& [text, digits, letter] : cases) {
        SCOPED_TRACE(text);
        const ProgramVersion version = RunningVersion(text);
        EXPECT_EQ(version.Digits, digits);
        EXPECT_EQ(version.Letter, letter);
    }
}

TEST(VersionsListTest, VersionTextsAreReadOnlyInTheProgramsOwnForm)
{
    const std::optional<ProgramVersion> version = ParseVersionText("1.01c");
    ASSERT_TRUE(version.has_value());
    EXPECT_TRUE(SameVersion(*version, {"101", 'c'}));
    EXPECT_FALSE(SameVersion(*version, {"1010", 'c'}));
    EXPECT_FALSE(SameVersion(*version, {"101", 'd'}));
    EXPECT_TRUE(SameVersion(*ParseVersionText("0.00a"), {"000", 'a'}));
    for (const char* refused : {"", "1.01", "1.01C", "1.01cc", "101c", "1.1c", "1.001c", " 1.01c", "1.01c ",
                                "versie 1.01c", "1,01c", "a.01c", "1.0¹c"}) {
        SCOPED_TRACE(refused);
        EXPECT_FALSE(ParseVersionText(refused).has_value());
    }
}

TEST(VersionsListTest, DisplayTextOfShortAndLongDigits)
{
    EXPECT_EQ(VersionDisplayText({"101", 'c'}), "1.01c");
    EXPECT_EQ(VersionDisplayText({"1", 'c'}), "1.c");
    EXPECT_EQ(VersionDisplayText({"", 'c'}), ".c");
    EXPECT_EQ(VersionDisplayText({"12345", 0}), "1.23");
}

TEST(VersionsListTest, TheListsUrlFromTheUpdateHost)
{
    EXPECT_EQ(UpdateUrl("127.0.0.1:8123", VersionsListPath), "http://127.0.0.1:8123/versions.dat");
}

TEST(VersionsListTest, TheListTextEndsEveryBlockAtItsFirstZeroByte)
{
    const std::string block(2048, 'a');
    std::string withZeros = block + block;
    withZeros[10] = '\0';
    withZeros[2048 + 5] = '\0';
    EXPECT_EQ(VersionsListText(withZeros + "tail"), std::string(10, 'a') + std::string(5, 'a') + "tail");
    EXPECT_EQ(VersionsListText(block + "b"), block + "b");
    EXPECT_EQ(VersionsListText(std::string("\0", 1) + block), "a");
    EXPECT_EQ(VersionsListText(""), "");
}

} // namespace
