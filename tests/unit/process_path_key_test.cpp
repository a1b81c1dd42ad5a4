#include "update/process_path_key.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Stands in for the system's ANSI mapping: ASCII letters and, as in code
// page 1252, the accented small letters.
std::string UpperCase(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7)) c = static_cast<char>(byte - 32);
    }
    return upper;
}

std::optional<std::string> Key(std::string_view path) { return ProcessPathKey(path, UpperCase); }

TEST(ProcessPathKey, TrimsBlanksAndControlsAndUpperCases)
{
    struct Case {
        const char* name;
        std::string path;
        std::string key;
    };
    const Case cases[] = {
        {"plain", "C:\\Kestrom\\Kestrom_Sched.exe", "C:\\KESTROM\\KESTROM_SCHED.EXE"},
        {"surrounding blanks", "  C:\\a\\b.exe  ", "C:\\A\\B.EXE"},
        {"tabs, line breaks and NUL at the ends", std::string("\t\r\nC:\\a.exe\0\x1f", 13), "C:\\A.EXE"},
        {"inner blanks stay", " C:\\Program Files\\x.exe ", "C:\\PROGRAM FILES\\X.EXE"},
        {"accented letters", "C:\\\xe9t\xe9\\a.exe", "C:\\\xc9T\xc9\\A.EXE"},
        {"longest path", std::string(259, 'a'), std::string(259, 'A')},
        {"longest path with blanks around", " " + std::string(259, 'a') + " ", std::string(259, 'A')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Key(c.path), c.key);
    }
}

TEST(ProcessPathKey, MatchesOnlyTheSamePath)
{
    EXPECT_EQ(Key("c:\\kestrom\\kestrom_sched.exe"), Key(" C:\\KESTROM\\Kestrom_Sched.EXE"));
    EXPECT_NE(Key("C:\\Kestrom\\Kestrom_Sched.exe"), Key("C:\\Other\\Kestrom_Sched.exe"));
    EXPECT_NE(Key("C:\\Kestrom\\Kestrom_Sched.exe"), Key("Kestrom_Sched.exe"));
    EXPECT_NE(Key("C:\\Kestrom\\Kestrom_Sched.exe"), Key("C:\\Kestrom\\Kestrom_Sched.exe.bak"));
}

TEST(ProcessPathKey, NoKeyForAnEmptyOrOverlongPath)
{
    // An overlong path would be cut off where the system's process paths are,
    // and could then match a process it does not name.
    EXPECT_FALSE(Key(""));
    EXPECT_FALSE(Key(" \t "));
    EXPECT_FALSE(Key(std::string(260, 'a')));
}

} // namespace
