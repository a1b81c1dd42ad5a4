#include "app/command_line.h"
#include "app/help_text.h"
#include "support/product.h"
#include "support/text.h"
#include "update/installer.h"
#include "update/versions_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

TEST(CommandLine, OnlyAnExactFirstArgumentSelectsAutomaticMode)
{
    struct Case {
        std::vector<std::string> arguments;
        bool automatic;
        std::optional<ClockTime> taskTime;
    };
    const Case cases[] = {
        {{}, false, {}},
        {{"a"}, true, {}},
        {{"a", "x", "y"}, true, {}},
        {{"A"}, false, {}},
        {{"ab"}, false, {}},
        {{"auto"}, false, {}},
        {{" a"}, false, {}},
        {{""}, false, {}},
        {{"x", "a"}, false, {}},
        // The program's own task names its time after the "a".
        {{"a", "taak=22:00"}, true, ClockTime{22, 0}},
        {{"a", "taak=00:00", "x"}, true, ClockTime{0, 0}},
        {{"a", "taak=09:05"}, true, ClockTime{9, 5}},
        {{"A", "taak=22:00"}, false, {}},
        {{"taak=22:00"}, false, {}},
        {{"a", "x", "taak=22:00"}, true, {}},
        {{"a", "taak=24:00"}, true, {}},
        {{"a", "taak=9:05"}, true, {}},
        {{"a", "taak=22:00 "}, true, {}},
        {{"a", "Taak=22:00"}, true, {}},
        {{"a", "taak="}, true, {}},
    };
    for (const auto& [arguments, automatic, taskTime] : cases) {
        std::string trace;
        for (const auto& argument : arguments) trace += "[" + argument + "]";
        SCOPED_TRACE(trace);
        EXPECT_EQ(IsAutomaticArgument(arguments), automatic);
        EXPECT_EQ(TaskTimeOf(arguments), taskTime);
        SetCommandLineArguments(arguments);
        EXPECT_EQ(IsAutomaticMode(), automatic);
        EXPECT_EQ(TaskTime(), taskTime);
        EXPECT_FALSE(IsRemoveTasksMode());
    }
    // The uninstaller's call, exactly as the first argument.
    const std::pair<std::vector<std::string>, bool> removals[] = {
        {{"taken-verwijderen"}, true}, {{"taken-verwijderen", "a"}, true}, {{"a", "taken-verwijderen"}, false},
        {{"Taken-verwijderen"}, false}, {{"taken-verwijderen "}, false},
    };
    for (const auto& [arguments, remove] : removals) {
        SCOPED_TRACE(arguments.front());
        SetCommandLineArguments(arguments);
        EXPECT_EQ(IsRemoveTasksMode(), remove);
        EXPECT_EQ(IsAutomaticMode(), arguments.front() == "a");
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

std::string ReadBytes(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The caption, the update check and the list of installed programs read the
// version from this one text: "versie", a blank, a digit, a point, two
// digits and a lower-case letter.
TEST(VersionText, VersieThenOneDigitPointTwoDigitsAndALetter)
{
    const std::string text = VersionTextValue;
    const auto digit = [&](std::size_t at) { return std::isdigit(static_cast<unsigned char>(text[at])) != 0; };
    ASSERT_EQ(text.size(), 12u) << text;
    EXPECT_EQ(text.substr(0, 7), "versie ");
    EXPECT_TRUE(digit(7) && text[8] == '.' && digit(9) && digit(10)) << text;
    EXPECT_TRUE(text[11] >= 'a' && text[11] <= 'z') << text;
    EXPECT_EQ(text, std::string("versie ") + KESTROM_VERSION);
    const ProgramVersion running = RunningVersion(text);
    EXPECT_EQ(running.Digits.size(), 3u) << text;
    EXPECT_EQ(running.Letter, static_cast<unsigned char>(text.back()));
    EXPECT_EQ(VersionDisplayText(running), text.substr(7));
}

// The installer is named by the product in lower case and the version's
// three digits: the update check takes the newest version's digits from
// that name, and the update window its display name.
TEST(InstallerName, ProductInLowerCaseAndTheVersionsThreeDigits)
{
    std::string product = ProductNameText;
    std::transform(product.begin(), product.end(), product.begin(), [](unsigned char ch) { return std::tolower(ch); });
    const std::string name = KESTROM_INSTALLER_NAME;
    EXPECT_EQ(name, product + RunningVersion(VersionTextValue).Digits + ".exe");
    EXPECT_EQ(NumberChars(TextBefore('.', name)), RunningVersion(VersionTextValue).Digits);
    EXPECT_EQ(DisplayName(name), ProductNameText);
}

// The versions list a release publishes (written by the build's script for
// a stand-in installer), read by the update check: this version needs no
// update, an older one is advised to take it.
TEST(ReleaseVersionsList, TellsThisVersionItIsTheNewestAndOlderOnesToUpdate)
{
    const std::string text = ReadBytes(SAMPLE_VERSIONS_LIST);
    ASSERT_GE(text.size(), VersionsListMinimumLength) << text;
    ASSERT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << "one record";
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 1) << "one record";

    const std::vector<std::string> fields = SplitRecordFields(text.substr(0, text.size() - 2));
    ASSERT_EQ(fields.size(), 7u) << text;
    EXPECT_EQ(fields[0], ProductNameText);
    EXPECT_EQ(fields[1], KESTROM_INSTALLER_NAME);
    EXPECT_EQ(fields[2], std::string(1, std::string(VersionTextValue).back()));
    EXPECT_EQ(fields[3], std::to_string(std::filesystem::file_size(SAMPLE_INSTALLER) / 1024));
    EXPECT_EQ(fields[3], "3") << "whole kilobytes, rounded down";
    EXPECT_EQ(fields[4], "");
    EXPECT_EQ(fields[5], std::string(ProductNameText) + " " + VersionTextValue);
    EXPECT_EQ(fields[6], std::string(ProductNameText) + " version " + KESTROM_VERSION);

    const VersionsCheck same = JudgeVersionsList({text, 1}, ProductNameText, VersionTextValue);
    EXPECT_EQ(same.Result, UpdateCheckResult::NoUpdateNeeded);
    EXPECT_EQ(same.DownloadName, KESTROM_INSTALLER_NAME);
    EXPECT_EQ(same.NewestText, KESTROM_VERSION);
    EXPECT_EQ(same.InstallerSizeKB, 3);

    std::string olderLetter = VersionTextValue;
    olderLetter.back() = static_cast<char>(olderLetter.back() - 1);
    EXPECT_EQ(JudgeVersionsList({text, 1}, ProductNameText, olderLetter).Result, UpdateCheckResult::UpdateAdvised)
        << olderLetter;
    std::string newerLetter = VersionTextValue;
    newerLetter.back() = static_cast<char>(newerLetter.back() + 1);
    EXPECT_EQ(JudgeVersionsList({text, 1}, ProductNameText, newerLetter).Result, UpdateCheckResult::NoUpdateNeeded)
        << newerLetter;
}

} // namespace
