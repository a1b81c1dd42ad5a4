#include "app/command_line.h"
#include "app/help_text.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, OnlyAnExactFirstArgumentSelectsAutomaticMode)
{
    const std::pair<std::vector<std::string>, bool> cases[] = {
        {{}, false},
        {{"a"}, true},
        {{"a", "x", "y"}, true},
        {{"A"}, false},
        {{"ab"}, false},
        {{"auto"}, false},
        {{" a"}, false},
        {{""}, false},
        {{"x", "a"}, false},
    };
    for (const auto& [arguments, automatic] : cases) {
        std::string trace;
        for (const auto& argument : arguments) trace += "[" + argument + "]";
        SCOPED_TRACE(trace);
        EXPECT_EQ(IsAutomaticArgument(arguments), automatic);
        SetCommandLineArguments(arguments);
        EXPECT_EQ(IsAutomaticMode(), automatic);
    }
    SetCommandLineArguments({});
}

TEST(HelpText, TwelveLinesWithTheirBlanks)
{
    const auto& lines = HelpTextLines();
    ASSERT_EQ(lines.size(), 12u);
    for (std::size_t empty : {3u, 5u, 9u}) EXPECT_TRUE(lines[empty].empty()) << "line " << empty + 1;
    for (std::size_t blankEnd : {2u, 6u, 10u}) {
        SCOPED_TRACE(lines[blankEnd]);
        ASSERT_FALSE(lines[blankEnd].empty());
        EXPECT_EQ(lines[blankEnd].back(), ' ');
        EXPECT_NE(lines[blankEnd][lines[blankEnd].size() - 2], ' ');
    }
    EXPECT_EQ(lines[4].find_first_not_of(' '), 23u);
    EXPECT_EQ(lines[4].substr(23), "\"C:\\Program Files\\Kestrom.exe\" a");
    for (std::size_t i : {0u, 1u, 7u, 8u, 11u}) {
        SCOPED_TRACE(lines[i]);
        EXPECT_NE(lines[i].back(), ' ');
        EXPECT_NE(lines[i].front(), ' ');
    }
}

} // namespace
