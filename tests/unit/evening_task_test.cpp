#include "support/clock_time.h"
#include "support/evening_task.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

TEST(ClockTime, HoursAndMinutesOrNothing)
{
    const std::pair<const char*, std::optional<ClockTime>> cases[] = {
        {"22:00", ClockTime{22, 0}}, {"00:00", ClockTime{0, 0}}, {"23:59", ClockTime{23, 59}},
        {"9:05", ClockTime{9, 5}},   {" 09.05 ", ClockTime{9, 5}}, {"24:00", std::nullopt},
        {"23:60", std::nullopt},     {"22", std::nullopt},        {"22:0", std::nullopt},
        {"22:000", std::nullopt},    {"", std::nullopt},          {":", std::nullopt},
        {"-1:00", std::nullopt},     {"2a:00", std::nullopt},     {"22:00:00", std::nullopt},
        {"123:00", std::nullopt},    {"+9:05", std::nullopt},     {"22 :00", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(std::string("[") + text + "]");
        EXPECT_EQ(ParseClockTime(text), expected);
        if (expected) {
            EXPECT_EQ(ParseClockTime(ClockTimeText(*expected)), expected);
        }
    }
    EXPECT_EQ(ClockTimeText({9, 5}), "09:05");
    EXPECT_EQ(TaskTimeArgument({0, 0}), "taak=00:00");
}

TEST(EveningTask, TheProgramsFolderIsItsWorkingDirectory)
{
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\Program Files (x86)\\Kestrom\\Kestrom.exe", L"C:\\Program Files (x86)\\Kestrom"},
        {L"C:\\Kestrom.exe", L"C:\\"},
        {L"\\\\server\\share\\Kestrom.exe", L"\\\\server\\share"},
        {L"Kestrom.exe", L""},
    };
    for (const auto& [program, folder] : cases) {
        SCOPED_TRACE(std::filesystem::path(program).string());
        EXPECT_EQ(ProgramFolder(program), folder);
    }
    EXPECT_NE(EveningTaskName(L"S-1-5-21-1-1001"), EveningTaskName(L"S-1-5-21-1-1002"));
}

// The text as the Task Scheduler receives it: UTF-16, little-endian, with
// its byte-order mark.
void WriteUtf16(const std::filesystem::path& file, const std::wstring& text)
{
    std::string bytes = "\xFF\xFE";
    auto unit = [&](unsigned value) {
        bytes += static_cast<char>(value & 0xFF);
        bytes += static_cast<char>(value >> 8);
    };
    for (const wchar_t c : text) {
        const auto code = static_cast<unsigned>(c);
        if (code < 0x10000) {
            unit(code);
        } else {
            unit(0xD800 + ((code - 0x10000) >> 10));
            unit(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
    }
    std::ofstream(file, std::ios::binary) << bytes;
}

// xmllint's exit code and output.
std::pair<int, std::string> Shell(const std::string& command)
{
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return {-1, ""};
    char buffer[512];
    while (const std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    return {pclose(pipe), output};
}

std::string XPath(const std::filesystem::path& file, const std::string& expression)
{
    std::string value = Shell("xmllint --xpath \"" + expression + "\" '" + file.string() + "'").second;
    if (value.ends_with('\n')) value.pop_back();
    return value;
}

std::string Value(const std::filesystem::path& file, const std::string& element)
{
    return XPath(file, "string(//*[local-name()='" + element + "'])");
}

TEST(EveningTask, TheXmlValidatesAgainstTheTaskSchedulersSchema)
{
    ASSERT_TRUE(std::filesystem::exists(TASK_SCHEMA)) << TASK_SCHEMA;
    ASSERT_EQ(Shell("xmllint --version").first, 0) << "xmllint (libxml2-utils) is needed";
    const auto folder = std::filesystem::temp_directory_path() / ("kestrom_task_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);

    struct Case {
        const wchar_t* program;
        const char* programUtf8;
        ClockTime time;
        bool wake;
    };
    const Case cases[] = {
        {L"C:\\Program Files (x86)\\Kestrom\\Kestrom.exe", "C:\\Program Files (x86)\\Kestrom\\Kestrom.exe", {22, 0},
         false},
        {L"C:\\Koersen & Opties\\Kestrom.exe", "C:\\Koersen & Opties\\Kestrom.exe", {0, 0}, true},
        {L"D:\\Beleggen <\"oud\"> 'x'\\Kestrom.exe", "D:\\Beleggen <\"oud\"> 'x'\\Kestrom.exe", {9, 5}, false},
        {L"C:\\Users\\Ren\u00e9\\Kestrom.exe", "C:\\Users\\Ren\xC3\xA9\\Kestrom.exe", {23, 59}, true},
        {L"C:\\\u6295\u8d44\\\U0001F4C8.exe", "C:\\\xE6\x8A\x95\xE8\xB5\x84\\\xF0\x9F\x93\x88.exe", {23, 59}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.programUtf8) + " " + ClockTimeText(c.time) + (c.wake ? " wake" : ""));
        const auto xml = EveningTaskXml({c.program, L"S-1-5-21-1004336348-1177238915-682003330-1001", c.time, c.wake});
        ASSERT_TRUE(xml);
        const auto file = folder / "task.xml";
        WriteUtf16(file, *xml);
        const auto [status, output] =
            Shell("xmllint --noout --schema '" + std::string(TASK_SCHEMA) + "' '" + file.string() + "'");
        EXPECT_EQ(status, 0) << output;

        const std::string program = c.programUtf8;
        EXPECT_EQ(Value(file, "Source"), program);
        EXPECT_EQ(Value(file, "Command"), "\"" + program + "\"");
        EXPECT_EQ(Value(file, "Arguments"), "a taak=" + ClockTimeText(c.time));
        EXPECT_EQ(Value(file, "WorkingDirectory"), program.substr(0, program.rfind('\\')));
        EXPECT_EQ(Value(file, "StartBoundary"), "2024-01-01T" + ClockTimeText(c.time) + ":00");
        EXPECT_EQ(Value(file, "WakeToRun"), c.wake ? "true" : "false");
        EXPECT_EQ(Value(file, "UserId"), "S-1-5-21-1004336348-1177238915-682003330-1001");
        EXPECT_EQ(Value(file, "LogonType"), "InteractiveToken");
        EXPECT_EQ(Value(file, "RunLevel"), "LeastPrivilege");
        EXPECT_EQ(Value(file, "StartWhenAvailable"), "true");
        EXPECT_EQ(Value(file, "DisallowStartIfOnBatteries"), "false");
        EXPECT_EQ(Value(file, "StopIfGoingOnBatteries"), "false");
        EXPECT_EQ(Value(file, "MultipleInstancesPolicy"), "IgnoreNew");
        EXPECT_EQ(XPath(file, "count(//*[local-name()='DaysOfWeek']/*)"), "5");
        EXPECT_EQ(XPath(file, "count(//*[local-name()='Saturday' or local-name()='Sunday'])"), "0");
    }
    std::filesystem::remove_all(folder);
}

TEST(EveningTask, NoXmlForAPathNoTaskCanStart)
{
    const std::wstring sid = L"S-1-5-21-1-1001";
    // Quoted, 260 characters are the most a task's command may have.
    const std::wstring longest = L"C:\\" + std::wstring(TaskPathLimit - 2 - 3 - 4, L'k') + L".exe";
    ASSERT_EQ(longest.size() + 2, TaskPathLimit);
    EXPECT_TRUE(EveningTaskXml({longest, sid, {}, false}));
    EXPECT_FALSE(EveningTaskXml({L"C:\\k" + longest.substr(3), sid, {}, false}));
    EXPECT_FALSE(EveningTaskXml({L"", sid, {}, false}));
    EXPECT_FALSE(EveningTaskXml({L"Kestrom.exe", sid, {}, false}));
    EXPECT_FALSE(EveningTaskXml({L"C:\\Kes\ntrom\\Kestrom.exe", sid, {}, false}));
    EXPECT_FALSE(EveningTaskXml({L"C:\\Kestrom\\Kestrom.exe", L"", {}, false}));
}

} // namespace
