#include "support/text.h"

#include <gtest/gtest.h>

namespace {

struct CutCase {
    char separator;
    const char* text;
    const char* before;
    const char* after;
};

TEST(TextCut, BeforeAndAfterTheFirstSeparator)
{
    const CutCase cases[] = {
        {'<', "a<b<c", "a", "b<c"},
        {'<', "abc", "", ""},
        {'<', "", "", ""},
        {'<', "<abc", "", "abc"},
        {'<', "abc<", "abc", ""},
        {'"', "AEX.AGN/O\" selected>AEX", "AEX.AGN/O", " selected>AEX"},
        {'\r', "  12,50\r\n", "  12,50", "\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(TextBefore(c.separator, c.text), c.before);
        EXPECT_EQ(TextAfter(c.separator, c.text), c.after);
    }
}

TEST(TextCut, KeepsBytesAboveAsciiAndNul)
{
    const std::string text("\xe9t\xe9<x\0y", 7);
    EXPECT_EQ(TextBefore('<', text), "\xe9t\xe9");
    EXPECT_EQ(TextAfter('<', text), std::string("x\0y", 3));
}

TEST(TextCut, WorksBeyondSixteenBitLengths)
{
    const std::string text = std::string(70000, 'x') + "<" + std::string(70000, 'y');
    EXPECT_EQ(TextBefore('<', text).size(), 70000u);
    EXPECT_EQ(TextAfter('<', text).size(), 70000u);
}

TEST(ParentPath, DropsTheLastComponent)
{
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Program Files\\Kestrom", "C:\\Program Files"},
        {"C:\\Program Files\\Kestrom\\", "C:\\Program Files\\Kestrom"},
        {"C:\\", "C:"},
        {"readme", ""},
        {"", ""},
        {"a\\\\b", "a\\"},
        {"\\", ""},
        {"\\a", ""},
        {"C:\\Documents and Settings\\user\\Desktop", "C:\\Documents and Settings\\user"},
    };
    for (const auto& [path, parent] : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(ParentPath('\\', path), parent);
    }
}

TEST(ParentPath, AppliedTwiceToAFolderGivesItsParent)
{
    EXPECT_EQ(ParentPath('\\', ParentPath('\\', "C:\\Users\\jan\\Desktop\\")), "C:\\Users\\jan");
}

TEST(FolderPrefix, EndsInOneSeparatorReadyForAFileName)
{
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Koersen", "C:\\Koersen\\"},
        {"C:\\Koersen\\", "C:\\Koersen\\"},
        {"C:", "C:\\"},
        {"\\\\server\\share", "\\\\server\\share\\"},
        {"Z:/home/jan/", "Z:/home/jan/"},
        {"", ""},
    };
    for (const auto& [folder, prefix] : cases) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(FolderPrefix(folder), prefix);
    }
}

TEST(ShortStringFilters, KeepOrDropCharactersOfTheFirst79)
{
    EXPECT_EQ(NumberChars("-12,50 EUR"), "12,50");
    EXPECT_EQ(NumberChars("1.234,5"), "1.234,5");
    EXPECT_EQ(NumberChars(""), "");
    EXPECT_EQ(StripDigits("v1.2b"), "v.b");
    EXPECT_EQ(StripDigits("2024"), "");

    const std::string hundredDigits(100, '7');
    EXPECT_EQ(NumberChars(hundredDigits), std::string(79, '7'));
    // Only the first 79 characters are looked at, whatever survives the filter.
    EXPECT_EQ(StripDigits(std::string(79, '1') + "abc"), "");
    EXPECT_EQ(StripDigits(std::string(78, 'a') + "1bc"), std::string(78, 'a'));
}

TEST(Blanks, OnlyCode32Counts)
{
    EXPECT_EQ(RemoveBlanks(" a b\tc "), "ab\tc");
    EXPECT_EQ(RemoveBlanks("   "), "");

    EXPECT_EQ(TrimLeadingBlanks("   "), "");
    EXPECT_EQ(TrimLeadingBlanks(""), "");
    EXPECT_EQ(TrimLeadingBlanks("  ab  "), "ab  ");
    EXPECT_EQ(TrimLeadingBlanks("\t ab"), "\t ab");

    EXPECT_EQ(TrimTrailingBlanks("   "), "   ");
    EXPECT_EQ(TrimTrailingBlanks(""), "");
    EXPECT_EQ(TrimTrailingBlanks("  ab  "), "  ab");
    EXPECT_EQ(TrimTrailingBlanks("ab\t "), "ab\t");
}

} // namespace
