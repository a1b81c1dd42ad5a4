// The file helpers against Wine's real file system.
#include "support/files.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = CurrentFolder();
        root_ = "C:\\kestrom_files_test_" + std::to_string(GetCurrentProcessId());
    }
    void TearDown() override
    {
        SetCurrentFolder(saved_);
        RemoveTree(root_);
    }
    // Wide functions behind "\\?\", so that trees deeper than MAX_PATH go too.
    static void RemoveTree(const std::string& folder)
    {
        const std::string prefixed = "\\\\?\\" + folder;
        RemoveTreeWide(std::wstring(prefixed.begin(), prefixed.end()));
    }
    static void RemoveTreeWide(const std::wstring& folder)
    {
        WIN32_FIND_DATAW entry;
        HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = entry.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring path = folder + L"\\" + name;
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTreeWide(path);
                else DeleteFileW(path.c_str());
            } while (FindNextFileW(search, &entry));
            FindClose(search);
        }
        RemoveDirectoryW(folder.c_str());
    }
    static bool IsFolder(const std::string& path)
    {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    std::string saved_;
    std::string root_;
};

TEST_F(FilesTest, ForceFolderCreatesEveryLevelAndEntersIt)
{
    const std::string path = root_ + "\\one\\two\\three\\";
    EXPECT_TRUE(ForceFolder(path));
    EXPECT_TRUE(IsFolder(root_ + "\\one\\two\\three"));
    EXPECT_EQ(CurrentFolder() + "\\", path);
    // Existing already: still true, nothing else happens.
    SetCurrentFolder(saved_);
    EXPECT_TRUE(ForceFolder(path));
}

TEST_F(FilesTest, ForceFolderWithoutFinalSeparatorIsFalseButCreates)
{
    // The result compares the current folder plus "\" with the path as given.
    const std::string path = root_ + "\\plain";
    EXPECT_FALSE(ForceFolder(path));
    EXPECT_TRUE(IsFolder(path));
    EXPECT_EQ(CurrentFolder(), path);
}

TEST_F(FilesTest, ForceFolderFailsBelowAFile)
{
    ASSERT_TRUE(ForceFolder(root_ + "\\"));
    const std::string file = root_ + "\\blocker";
    HANDLE handle = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    CloseHandle(handle);
    SetCurrentFolder(saved_);
    EXPECT_FALSE(ForceFolder(file + "\\below\\"));
    EXPECT_EQ(CurrentFolder(), saved_);
}

TEST_F(FilesTest, ForceFolderBeyondTheOldPathLimit)
{
    std::string path = root_ + "\\";
    while (path.size() < 300) path += "abcdefghij\\";
    ForceFolder(path);
    // Only the wide functions reach folders beyond MAX_PATH.
    const std::string longPath = "\\\\?\\" + path.substr(0, path.size() - 1);
    const std::wstring wide(longPath.begin(), longPath.end());
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(FilesTest, DeleteFileByNameDeletesAndIgnoresMissingFiles)
{
    ASSERT_TRUE(ForceFolder(root_ + "\\"));
    const std::string file = root_ + "\\gone.txt";
    HANDLE handle = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    CloseHandle(handle);
    DeleteFileByName(file);
    EXPECT_EQ(GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileByName(file);
    DeleteFileByName(root_ + "\\never\\there.txt");
}

TEST(VolumeLabel, ReadsALabelOrReportsTheError)
{
    const std::string label = VolumeLabel('C');
    EXPECT_EQ(label.rfind("Error ", 0), std::string::npos) << label;

    // A letter that no drive uses: "Error <number> <system text>".
    char missing = 0;
    const DWORD drives = GetLogicalDrives();
    for (char letter = 'Q'; letter <= 'Y' && !missing; ++letter) {
        if (!(drives & (1u << (letter - 'A')))) missing = letter;
    }
    ASSERT_NE(missing, 0);
    const std::string error = VolumeLabel(missing);
    SCOPED_TRACE(error);
    ASSERT_EQ(error.rfind("Error ", 0), 0u);
    const std::string rest = error.substr(6);
    const auto blank = rest.find(' ');
    ASSERT_NE(blank, std::string::npos);
    const std::string number = rest.substr(0, blank);
    EXPECT_FALSE(number.empty());
    EXPECT_EQ(number.find_first_not_of("0123456789"), std::string::npos);
    EXPECT_GT(rest.size(), blank + 1);
}

} // namespace
