// The quote file store against real files and folders.
#include "download/quote_file_store_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

class QuoteFileStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH + 1];
        ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
        root = std::string(temp) + "kestrom-store-" + std::to_string(GetCurrentProcessId()) + "\\";
        ASSERT_FALSE(store.CreateFolder(root).has_value());
    }

    void TearDown() override { RemoveTree(root); }

    static void RemoveTree(const std::string& folder)
    {
        WIN32_FIND_DATAA found;
        const HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = found.cFileName;
                if (name == "." || name == "..") continue;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(folder + name + "\\");
                else DeleteFileA((folder + name).c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(folder.c_str());
    }

    static std::string Contents(const std::string& path)
    {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

    static bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    Win32QuoteFileStore store;
    std::string root;
};

TEST_F(QuoteFileStoreTest, CreatesAnewAndAppends)
{
    const std::string path = root + "13-03-2009.csv";
    EXPECT_EQ(store.CreateAnew(path, "header\r\n"), std::nullopt);
    EXPECT_EQ(Contents(path), "header\r\n");
    EXPECT_EQ(store.Append(path, "a; b\r\n"), std::nullopt);
    EXPECT_EQ(store.Append(path, std::string("\xe9\0z\r\n", 5)), std::nullopt);
    EXPECT_EQ(Contents(path), std::string("header\r\na; b\r\n\xe9\0z\r\n", 19));

    // A second run empties the file first.
    EXPECT_EQ(store.CreateAnew(path, "new\r\n"), std::nullopt);
    EXPECT_EQ(Contents(path), "new\r\n");
}

TEST_F(QuoteFileStoreTest, MovesAFileWithQuotesToTheBackupReplacingAnOlderOne)
{
    const std::string path = root + "13-03-2009.csv";
    const std::string backup = path + ".bak";

    // Nothing to keep: no file, or an empty one.
    EXPECT_EQ(store.MoveToBackup(path, backup), std::nullopt);
    EXPECT_FALSE(Exists(backup));
    ASSERT_EQ(store.CreateAnew(path, ""), std::nullopt);
    EXPECT_EQ(store.MoveToBackup(path, backup), std::nullopt);
    EXPECT_TRUE(Exists(path));
    EXPECT_FALSE(Exists(backup));

    for (const char* quotes : {"first run\r\n", "second run\r\n"}) {
        SCOPED_TRACE(quotes);
        ASSERT_EQ(store.CreateAnew(path, quotes), std::nullopt);
        EXPECT_EQ(store.MoveToBackup(path, backup), std::nullopt);
        EXPECT_FALSE(Exists(path));
        EXPECT_EQ(Contents(backup), quotes);
    }
    EXPECT_EQ(store.MoveToBackup(root + "missing\\13-03-2009.csv", backup), std::nullopt);
    EXPECT_EQ(Contents(backup), "second run\r\n");
}

TEST_F(QuoteFileStoreTest, AppendNeedsAnExistingFile)
{
    const std::string path = root + "missing.csv";
    const FileError error = store.Append(path, "line\r\n");
    ASSERT_TRUE(error.has_value());
    EXPECT_FALSE(error->empty());
    EXPECT_FALSE(Exists(path));
}

TEST_F(QuoteFileStoreTest, CreateIfMissingLeavesAnExistingFileAlone)
{
    const std::string path = root + "14-03-2009.csv";
    EXPECT_EQ(store.CreateIfMissing(path), std::nullopt);
    ASSERT_TRUE(Exists(path));
    EXPECT_EQ(Contents(path), "");
    ASSERT_EQ(store.Append(path, "earlier\r\n"), std::nullopt);
    EXPECT_EQ(store.CreateIfMissing(path), std::nullopt);
    EXPECT_EQ(Contents(path), "earlier\r\n");
}

TEST_F(QuoteFileStoreTest, CreatesEveryMissingLevelWithoutMovingTheCurrentDirectory)
{
    char before[MAX_PATH + 1];
    GetCurrentDirectoryA(sizeof before, before);

    const std::string cases[] = {root + "a\\b\\c\\", root + "d\\e", root + "f/g/", root + "a\\b\\c\\", root + "h\\\\i\\"};
    for (const auto& folder : cases) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(store.CreateFolder(folder), std::nullopt);
        const DWORD attributes = GetFileAttributesA(folder.c_str());
        ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
        EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    EXPECT_EQ(store.CreateAnew(root + "a\\b\\c\\13-03-2009.csv", "x"), std::nullopt);

    char after[MAX_PATH + 1];
    GetCurrentDirectoryA(sizeof after, after);
    EXPECT_STREQ(before, after);
}

TEST_F(QuoteFileStoreTest, AFileInTheWayOfAFolderGivesTheReason)
{
    ASSERT_EQ(store.CreateAnew(root + "file", "x"), std::nullopt);
    for (const std::string& folder : {root + "file\\", root + "file\\sub\\"}) {
        SCOPED_TRACE(folder);
        const FileError error = store.CreateFolder(folder);
        ASSERT_TRUE(error.has_value());
        EXPECT_FALSE(error->empty());
    }
    EXPECT_EQ(Contents(root + "file"), "x");
}

TEST_F(QuoteFileStoreTest, AFileHeldByAnotherProgramStaysIntact)
{
    const std::string path = root + "13-03-2009.csv";
    ASSERT_EQ(store.CreateAnew(path, "earlier quotes\r\n"), std::nullopt);
    const HANDLE other = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);

    const FileError moved = store.MoveToBackup(path, path + ".bak");
    const FileError created = store.CreateAnew(path, "new\r\n");
    const FileError appended = store.Append(path, "line\r\n");
    const FileError touched = store.CreateIfMissing(path);
    CloseHandle(other);

    ASSERT_TRUE(moved.has_value());
    EXPECT_FALSE(moved->empty());
    EXPECT_FALSE(Exists(path + ".bak"));
    ASSERT_TRUE(created.has_value());
    EXPECT_FALSE(created->empty());
    ASSERT_TRUE(appended.has_value());
    EXPECT_FALSE(appended->empty());
    EXPECT_EQ(touched, std::nullopt);
    EXPECT_EQ(Contents(path), "earlier quotes\r\n");
}

} // namespace
