// System information and the default data folder on Wine's real registry
// and file system.
#include "support/files.h"
#include "support/language.h"
#include "support/system_info.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>

namespace {

constexpr char Product[] = "KestromTest";

bool IsFolder(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

class SystemInfoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = CurrentFolder();
        savedDesktop_ = DesktopFolder;
        savedNT_ = IsWinNT;
        scratch_ = "C:\\kestrom_sysinfo_" + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryA(scratch_.c_str(), nullptr));
    }
    void TearDown() override
    {
        SetCurrentFolder(saved_);
        DesktopFolder = savedDesktop_;
        IsWinNT = savedNT_;
        RemoveDirectoryA((scratch_ + "\\UserData\\" + Product).c_str());
        RemoveDirectoryA((scratch_ + "\\UserData").c_str());
        DeleteFileA((scratch_ + "\\UserData").c_str());
        RemoveDirectoryA((scratch_ + "\\Desktop").c_str());
        RemoveDirectoryA((scratch_ + "\\work").c_str());
        RemoveDirectoryA(scratch_.c_str());
    }

    std::string saved_;
    std::string savedDesktop_;
    bool savedNT_ = false;
    std::string scratch_;
};

TEST_F(SystemInfoTest, StartupFindsAnNTSystemAndTheDesktopFolder)
{
    SupportStartup();
    EXPECT_TRUE(IsWinNT) << WindowsName;
    EXPECT_FALSE(WindowsName.empty());
    EXPECT_TRUE(Language == "NLD" || Language == "ENU") << Language;
    // Wine keeps the desktop under the user's profile, like Windows.
    ASSERT_GT(DesktopFolder.size(), 4u);
    EXPECT_EQ(DesktopFolder.substr(1, 2), ":\\");
    EXPECT_EQ(DesktopFolder.back(), '\\');
    EXPECT_NE(DesktopFolder[DesktopFolder.size() - 2], '\\');
}

TEST_F(SystemInfoTest, UserDataFolderIsCreatedBesideTheDesktopAndTheCurrentFolderStays)
{
    IsWinNT = true;
    DesktopFolder = scratch_ + "\\Desktop\\";
    ASSERT_TRUE(CreateDirectoryA((scratch_ + "\\work").c_str(), nullptr));
    ASSERT_TRUE(SetCurrentFolder(scratch_ + "\\work"));

    const std::string expected = scratch_ + "\\UserData\\KestromTest\\";
    EXPECT_EQ(UserDataFolder(Product), expected);
    EXPECT_TRUE(IsFolder(expected));
    EXPECT_EQ(CurrentFolder(), scratch_ + "\\work");

    // The second time the folder exists already: same path, same folder.
    EXPECT_EQ(UserDataFolder(Product), expected);
    EXPECT_TRUE(IsFolder(expected));
    EXPECT_EQ(CurrentFolder(), scratch_ + "\\work");
}

TEST_F(SystemInfoTest, ThePathIsReturnedWhenItCannotBeCreated)
{
    IsWinNT = true;
    DesktopFolder = scratch_ + "\\Desktop\\";
    // A file where the UserData folder should be.
    const HANDLE file = CreateFileA((scratch_ + "\\UserData").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    ASSERT_TRUE(SetCurrentFolder(scratch_));

    EXPECT_EQ(UserDataFolder(Product), scratch_ + "\\UserData\\KestromTest\\");
    EXPECT_FALSE(IsFolder(scratch_ + "\\UserData\\KestromTest"));
    EXPECT_EQ(CurrentFolder(), scratch_);
}

TEST_F(SystemInfoTest, OutsideTheNTFamilyTheCurrentFolderIsTheDataFolder)
{
    IsWinNT = false;
    ASSERT_TRUE(SetCurrentFolder(scratch_));
    EXPECT_EQ(UserDataFolder(Product), scratch_ + "\\");
    EXPECT_FALSE(IsFolder(scratch_ + "\\UserData"));

    // A root already ends in "\": one more is appended.
    ASSERT_TRUE(SetCurrentFolder("C:\\"));
    EXPECT_EQ(UserDataFolder(Product), "C:\\\\");
    EXPECT_EQ(CurrentFolder(), "C:\\");
}

TEST_F(SystemInfoTest, AFolderThatCannotBeReenteredIsReported)
{
    IsWinNT = true;
    DesktopFolder = scratch_ + "\\Desktop\\";
    const std::string work = scratch_ + "\\work";
    ASSERT_TRUE(CreateDirectoryA(work.c_str(), nullptr));
    ASSERT_TRUE(SetCurrentFolder(work));
    // The current folder cannot be removed, but its parent can be renamed
    // away under it (Wine allows this).
    const std::string moved = scratch_ + "_moved";
    ASSERT_TRUE(MoveFileA(scratch_.c_str(), moved.c_str())) << GetLastError();
    DesktopFolder = moved + "\\Desktop\\";

    std::string message;
    try {
        UserDataFolder(Product);
    } catch (const std::runtime_error& error) {
        message = error.what();
    }
    SetCurrentFolder(saved_);
    MoveFileA(moved.c_str(), scratch_.c_str());
    EXPECT_NE(message.find(work), std::string::npos) << message;
}

} // namespace
