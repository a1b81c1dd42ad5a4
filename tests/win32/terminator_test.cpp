// The process terminator against real processes under Wine: copies of the
// installer stand-in, started with "/wait" from two folders under the names
// of the companion program, are found by path and ended; so is a 64-bit
// build of it, from this 32-bit test as from the 32-bit program.
#include "update/terminate_form.h"
#include "wait_for.h"
#include "win/application.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr const char* CompanionName = "Kestrom_Sched.exe";

std::string OwnFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.rfind('\\') + 1);
}

std::string UpperCase(std::string text)
{
    CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::string LowerCase(std::string text)
{
    CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

class TerminatorEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        Application::Initialize(GetModuleHandle(nullptr), "Kestrom");
        form_.Create();
        TerminateForm = &form_;

        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        root = std::string(temp) + "kestrom_terminator_" + std::to_string(GetCurrentProcessId()) + "\\";
        startFolder = root + "Kestrom\\";
        otherFolder = root + "Other\\";
        folder64 = root + "Kestrom64\\";
        for (const std::string& folder : {root, startFolder, otherFolder, folder64})
            CreateDirectoryA(folder.c_str(), nullptr);
        const struct {
            std::string standIn, folder;
        } copies[] = {{"installer_standin.exe", startFolder},
                      {"installer_standin.exe", otherFolder},
                      {"installer_standin64.exe", folder64}};
        for (const auto& copy : copies) {
            const std::string from = OwnFolder() + copy.standIn;
            const std::string to = copy.folder + CompanionName;
            ASSERT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE)) << from << " (built with the tests) to " << to;
        }
    }

    void TearDown() override
    {
        for (const std::string& folder : {startFolder, otherFolder, folder64}) {
            DeleteFileA((folder + CompanionName).c_str());
            RemoveDirectoryA(folder.c_str());
        }
        RemoveDirectoryA(root.c_str());
    }

    static std::string root;
    static std::string startFolder;
    static std::string otherFolder;
    static std::string folder64;

private:
    TTerminateForm form_;
};
std::string TerminatorEnvironment::root;
std::string TerminatorEnvironment::startFolder;
std::string TerminatorEnvironment::otherFolder;
std::string TerminatorEnvironment::folder64;

const auto* const environment = ::testing::AddGlobalTestEnvironment(new TerminatorEnvironment);

// A running copy of the stand-in, ended when the test is over if the
// terminator left it.
class Companion {
public:
    explicit Companion(const std::string& folder) : path_(folder + CompanionName)
    {
        std::string commandLine = "\"" + path_ + "\" /wait";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        // Wine now and then fails a start with an internal error (1359)
        // right after other instances of the program were ended; a later
        // try starts it.
        DWORD error = ERROR_SUCCESS;
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (CreateProcessA(path_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &info)) {
                error = ERROR_SUCCESS;
                break;
            }
            error = GetLastError();
            if (error != ERROR_INTERNAL_ERROR) break;
            Sleep(500);
        }
        if (error != ERROR_SUCCESS) {
            ADD_FAILURE() << "cannot start " << path_ << ": error " << error;
            return;
        }
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        id_ = info.dwProcessId;
    }
    ~Companion()
    {
        if (!process_) return;
        if (Running()) {
            TerminateProcess(process_, 1);
            WaitForSingleObject(process_, HangBoundMs);
        }
        CloseHandle(process_);
    }
    Companion(const Companion&) = delete;
    Companion& operator=(const Companion&) = delete;

    const std::string& Path() const { return path_; }
    DWORD Id() const { return id_; }
    bool Running() const { return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
    DWORD ExitCode() const
    {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process_, &code);
        return code;
    }

private:
    std::string path_;
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

DWORD IdOf(const ProcessHandle& process) { return process ? GetProcessId(process.Get()) : 0; }

TEST(Terminator, RunsOnTheNTFamilyUnderWine) { EXPECT_TRUE(TerminateForm->IsNTPlatform()); }

TEST(Terminator, FindsAProcessByItsPathWhateverTheCaseAndSurroundingBlanks)
{
    const Companion companion(TerminatorEnvironment::startFolder);
    const Companion other(TerminatorEnvironment::otherFolder);
    ASSERT_TRUE(companion.Running());
    struct Case {
        const char* name;
        std::string path;
    };
    const Case cases[] = {
        {"as started", companion.Path()},
        {"upper case", UpperCase(companion.Path())},
        {"lower case", LowerCase(companion.Path())},
        {"blanks and a line break around it", "  " + companion.Path() + " \r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IdOf(TerminateForm->FindProcessByPath(c.path)), companion.Id());
        EXPECT_EQ(IdOf(TerminateForm->FindProcessNT(c.path)), companion.Id());
    }
    EXPECT_EQ(IdOf(TerminateForm->FindProcessByPath(other.Path())), other.Id());
}

TEST(Terminator, FindsNothingForPathsThatNameNoRunningProcess)
{
    const Companion companion(TerminatorEnvironment::startFolder);
    const std::string cases[] = {
        "",
        CompanionName,                                            // the bare name is not the path
        TerminatorEnvironment::root + CompanionName,              // another folder
        companion.Path() + ".bak",                                // a longer name
        companion.Path().substr(0, companion.Path().size() - 1),  // a shorter one
        TerminatorEnvironment::startFolder + std::string(300, 'x') + ".exe",
    };
    for (const std::string& path : cases) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(TerminateForm->FindProcessByPath(path));
    }
}

TEST(Terminator, EndsEveryInstanceOfThePathAndSparesTheSameNameElsewhere)
{
    const Companion first(TerminatorEnvironment::startFolder);
    const Companion second(TerminatorEnvironment::startFolder);
    const Companion elsewhere(TerminatorEnvironment::otherFolder);
    ASSERT_TRUE(first.Running() && second.Running() && elsewhere.Running());

    EXPECT_TRUE(TerminateForm->TerminateProcessesByPath(UpperCase(first.Path())));

    // Each ended process has been waited for, so they are gone at once.
    EXPECT_FALSE(first.Running());
    EXPECT_FALSE(second.Running());
    EXPECT_EQ(first.ExitCode(), 0u);
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(elsewhere.Running());
    EXPECT_FALSE(TerminateForm->FindProcessByPath(first.Path()));
    EXPECT_EQ(IdOf(TerminateForm->FindProcessByPath(elsewhere.Path())), elsewhere.Id());
}

// On 64-bit Windows the companion may be a 64-bit program, whose module
// list a 32-bit process cannot read.
TEST(Terminator, EndsA64BitCompanion)
{
    static_assert(sizeof(void*) == 4, "the terminator is tested as the 32-bit program runs it");
    const Companion companion(TerminatorEnvironment::folder64);
    ASSERT_TRUE(companion.Running());
    EXPECT_EQ(IdOf(TerminateForm->FindProcessByPath(companion.Path())), companion.Id());
    EXPECT_TRUE(TerminateForm->TerminateProcessesByPath(companion.Path()));
    EXPECT_FALSE(companion.Running());
}

TEST(Terminator, APathThatMatchesNothingEndsNothing)
{
    const Companion companion(TerminatorEnvironment::startFolder);
    EXPECT_TRUE(TerminateForm->TerminateProcessesByPath(TerminatorEnvironment::root + CompanionName));
    EXPECT_TRUE(TerminateForm->TerminateProcessesByPath(""));
    EXPECT_TRUE(companion.Running());
}

// On the NT family the Tool Help entries carry the bare file name, so the
// 95-family search finds the companion by that name and not by its path;
// it shows that the functions were found in kernel32 and walk the list.
TEST(Terminator, ToolHelpWalksTheProcessList)
{
    const Companion companion(TerminatorEnvironment::startFolder);
    const Companion other(TerminatorEnvironment::otherFolder);
    const ProcessHandle found = TerminateForm->FindProcessToolHelp(LowerCase(CompanionName));
    ASSERT_TRUE(found);
    EXPECT_FALSE(TerminateForm->FindProcessToolHelp(companion.Path()));
    EXPECT_FALSE(TerminateForm->FindProcessToolHelp("no_such_program.exe"));

    // The handle it gives ends one of the two and may be waited for.
    EXPECT_TRUE(TerminateProcess(found.Get(), 0));
    EXPECT_EQ(WaitForSingleObject(found.Get(), HangBoundMs), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_NE(companion.Running(), other.Running());
}

} // namespace
