// The quote file store against real files and folders.
#include "download/quote_file_store_win32.h"
#include "download/run_lock_win32.h"
#include "download/run_log_win32.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cctype>
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

    // A file as another program (or an earlier run) leaves it.
    static FileError Write(const std::string& path, const std::string& text)
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file << text;
        file.close();
        if (!file) return "not written";
        return std::nullopt;
    }

    static bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    Win32QuoteFileStore store;
    std::string root;
};

// The work file stays open from its creation to its close: a program that
// wants it for itself alone (an indexer, a sync tool) cannot come between
// two blocks of lines, while a reader may look in.
TEST_F(QuoteFileStoreTest, TheWorkFileIsHeldFromOpenToClose)
{
    const std::string path = root + "13-03-2009.csv.tmp";
    ASSERT_EQ(Write(path, "an earlier run's\r\n"), std::nullopt);
    EXPECT_EQ(store.OpenWork(path), std::nullopt);
    EXPECT_EQ(Contents(path), "");
    EXPECT_EQ(store.AppendWork("header\r\na; b\r\n"), std::nullopt);
    const HANDLE alone = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(alone, INVALID_HANDLE_VALUE);
    if (alone != INVALID_HANDLE_VALUE) CloseHandle(alone);
    EXPECT_FALSE(DeleteFileA(path.c_str()));
    EXPECT_EQ(store.AppendWork(std::string("\xe9\0z\r\n", 5)), std::nullopt);
    std::string text;
    EXPECT_EQ(store.Read(path, 1000, text), std::nullopt);
    EXPECT_TRUE(store.Move(path, root + "elsewhere.csv").has_value());
    EXPECT_EQ(store.CloseWork(), std::nullopt);
    EXPECT_EQ(Contents(path), std::string("header\r\na; b\r\n\xe9\0z\r\n", 19));
    EXPECT_EQ(store.SizeOf(path), std::optional<std::uint64_t>(19));
    // Closed: nothing more goes to it, and it can be moved.
    EXPECT_TRUE(store.AppendWork("line\r\n").has_value());
    EXPECT_TRUE(store.CloseWork().has_value());
    EXPECT_EQ(store.Move(path, root + "elsewhere.csv"), std::nullopt);

    const std::string missing = root + "missing\\13-03-2009.csv";
    const FileError opened = store.OpenWork(missing);
    ASSERT_TRUE(opened.has_value());
    EXPECT_FALSE(opened->empty());
    EXPECT_TRUE(store.CloseWork().has_value());
    EXPECT_FALSE(Exists(missing));
    EXPECT_EQ(store.SizeOf(missing), std::nullopt);
    EXPECT_EQ(store.SizeOf(root), std::nullopt);
}

TEST_F(QuoteFileStoreTest, ReadsAWholeFileWithinItsLimit)
{
    const std::string path = root + "13-03-2009.csv";
    ASSERT_EQ(Write(path, std::string(100'000, 'q')), std::nullopt);
    std::string text = "left over";
    EXPECT_EQ(store.Read(path, 100'000, text), std::nullopt);
    EXPECT_EQ(text, std::string(100'000, 'q'));
    EXPECT_TRUE(store.Read(path, 99'999, text).has_value());
    EXPECT_TRUE(store.Read(root + "missing.csv", 100'000, text).has_value());
    EXPECT_EQ(text, "");
}

// The day's file moves to the backup and the work file takes its name,
// each in one step that replaces an older file of that name.
TEST_F(QuoteFileStoreTest, MovesReplacingAnOlderFile)
{
    const std::string day = root + "13-03-2009.csv";
    const std::string backup = day + ".bak";
    const std::string work = day + ".tmp";
    ASSERT_EQ(Write(backup, "older\r\n"), std::nullopt);
    ASSERT_EQ(Write(day, "earlier\r\n"), std::nullopt);
    ASSERT_EQ(Write(work, "new\r\n"), std::nullopt);
    EXPECT_EQ(store.Move(day, backup), std::nullopt);
    EXPECT_EQ(store.Move(work, day), std::nullopt);
    EXPECT_EQ(Contents(day), "new\r\n");
    EXPECT_EQ(Contents(backup), "earlier\r\n");
    EXPECT_FALSE(Exists(work));

    EXPECT_TRUE(store.Move(work, day).has_value());
    EXPECT_EQ(Contents(day), "new\r\n");

    // A copy replaces the file of its name; a move to a free name never does.
    EXPECT_EQ(store.CopyThrough(day, backup), std::nullopt);
    EXPECT_EQ(Contents(backup), "new\r\n");
    EXPECT_EQ(Contents(day), "new\r\n");
    ASSERT_EQ(Write(work, "newer\r\n"), std::nullopt);
    EXPECT_TRUE(store.MoveToFreeName(work, day).has_value());
    EXPECT_EQ(Contents(day), "new\r\n");
    EXPECT_EQ(store.MoveToFreeName(work, root + "14-03-2009.csv"), std::nullopt);
    EXPECT_EQ(Contents(root + "14-03-2009.csv"), "newer\r\n");
    EXPECT_EQ(store.Delete(backup), std::nullopt);
    EXPECT_FALSE(Exists(backup));
    EXPECT_TRUE(store.Delete(backup).has_value());
}

TEST_F(QuoteFileStoreTest, CreateIfMissingLeavesAnExistingFileAlone)
{
    const std::string path = root + "14-03-2009.csv";
    EXPECT_EQ(store.CreateIfMissing(path), std::nullopt);
    ASSERT_TRUE(Exists(path));
    EXPECT_EQ(Contents(path), "");
    ASSERT_EQ(Write(path, "earlier\r\n"), std::nullopt);
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
    EXPECT_EQ(Write(root + "a\\b\\c\\13-03-2009.csv", "x"), std::nullopt);

    char after[MAX_PATH + 1];
    GetCurrentDirectoryA(sizeof after, after);
    EXPECT_STREQ(before, after);
}

TEST_F(QuoteFileStoreTest, AFileInTheWayOfAFolderGivesTheReason)
{
    ASSERT_EQ(Write(root + "file", "x"), std::nullopt);
    for (const std::string& folder : {root + "file\\", root + "file\\sub\\"}) {
        SCOPED_TRACE(folder);
        const FileError error = store.CreateFolder(folder);
        ASSERT_TRUE(error.has_value());
        EXPECT_FALSE(error->empty());
    }
    EXPECT_EQ(Contents(root + "file"), "x");
}

// As a spreadsheet holds the file it shows: others may read it, not write,
// rename or delete it. And as a program holds a file it shares with no one.
TEST_F(QuoteFileStoreTest, AFileHeldByAnotherProgramStaysIntact)
{
    const std::string path = root + "13-03-2009.csv";
    const struct {
        const char* name;
        DWORD access;
        DWORD sharing;
        bool readable;
    } holders[] = {
        {"read access, read sharing", GENERIC_READ, FILE_SHARE_READ, true},
        {"no sharing", GENERIC_READ | GENERIC_WRITE, 0, false},
    };
    for (const auto& h : holders) {
        SCOPED_TRACE(h.name);
        ASSERT_EQ(Write(path, "earlier quotes\r\n"), std::nullopt);
        ASSERT_EQ(Write(path + ".tmp", "new\r\n"), std::nullopt);
        const HANDLE other = CreateFileA(path.c_str(), h.access, h.sharing, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(other, INVALID_HANDLE_VALUE);

        const FileError moved = store.Move(path, path + ".bak");
        const FileError replaced = store.Move(path + ".tmp", path);
        const FileError created = store.OpenWork(path);
        store.CloseWork();
        const FileError deleted = store.Delete(path);
        std::string text;
        const FileError read = store.Read(path, 1000, text);
        CloseHandle(other);

        ASSERT_TRUE(moved.has_value());
        EXPECT_NE(moved->find("geopend in een ander programma"), std::string::npos) << *moved;
        EXPECT_FALSE(Exists(path + ".bak"));
        // Replacing it is refused as "access denied"; the reason given is
        // the program that holds it.
        ASSERT_TRUE(replaced.has_value());
        EXPECT_NE(replaced->find("geopend in een ander programma"), std::string::npos) << *replaced;
        EXPECT_TRUE(created.has_value());
        EXPECT_TRUE(deleted.has_value());
        EXPECT_EQ(read.has_value(), !h.readable);
        EXPECT_EQ(text, h.readable ? "earlier quotes\r\n" : "");
        EXPECT_EQ(Contents(path), "earlier quotes\r\n");
        EXPECT_EQ(Contents(path + ".tmp"), "new\r\n");
    }
}

// One run at a time per data folder, however the folder is written: the
// lock is a file in the folder, shared with nobody while a run holds it and
// gone when it gives it back. A lock file nobody holds (its machine
// stopped) is free, and a missing folder is made first.
TEST_F(QuoteFileStoreTest, OneRunPerDataFolder)
{
    const std::string folder = root + "Koersen Map\\";
    std::string other = folder;
    for (char& c : other) c = c == '\\' ? '/' : static_cast<char>(toupper(static_cast<unsigned char>(c)));
    Win32RunLock first;
    ASSERT_TRUE(first.TryLock(folder));
    EXPECT_TRUE(Exists(folder + RunLockFileName));
    char shortName[MAX_PATH] = {};
    GetShortPathNameA(folder.c_str(), shortName, sizeof shortName);

    Win32RunLock second;
    for (const std::string& spelling : {folder, other, std::string(shortName)}) {
        SCOPED_TRACE(spelling);
        EXPECT_FALSE(second.TryLock(spelling));
    }
    EXPECT_TRUE(second.TryLock(root));
    second.Unlock();

    first.Unlock();
    EXPECT_FALSE(Exists(folder + RunLockFileName));
    EXPECT_TRUE(second.TryLock(other));
    second.Unlock();

    ASSERT_EQ(Write(folder + RunLockFileName, ""), std::nullopt);
    EXPECT_TRUE(second.TryLock(folder));
    EXPECT_FALSE(first.TryLock(folder));
    second.Unlock();
    EXPECT_FALSE(Exists(folder + RunLockFileName));

    const std::string missing = root + "nieuw\\map\\";
    EXPECT_TRUE(first.TryLock(missing));
    EXPECT_TRUE(Exists(missing + RunLockFileName));
}

// The data folder's log, and the user's own one when the data folder cannot
// be written.
TEST_F(QuoteFileStoreTest, TheRunLogGoesToTheDataFolderOrElseToTheLocalApplicationData)
{
    Win32RunLog log;
    log.Append(root, "first\r\n");
    log.Append(root, "second\r\n");
    EXPECT_EQ(Contents(root + "Kestrom.log"), "first\r\nsecond\r\n");

    // Past its size the oldest lines go; what is kept are whole lines.
    const std::string line = std::string(999, 'x') + "\n";
    for (int i = 0; i < 100; ++i) log.Append(root, line);
    const std::string bounded = Contents(root + "Kestrom.log");
    EXPECT_LE(bounded.size(), RunLogLimit);
    EXPECT_GE(bounded.size(), RunLogKept);
    EXPECT_EQ(bounded.size() % line.size(), 0u);
    EXPECT_EQ(bounded.find("second"), std::string::npos);

    char local[MAX_PATH];
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, local)));
    const std::string fallback = std::string(local) + "\\Kestrom\\Kestrom.log";
    const std::string before = Contents(fallback);
    // A file where the data folder should be.
    ASSERT_EQ(Write(root + "blocked", "x"), std::nullopt);
    log.Append(root + "blocked\\", "third\r\n");
    const std::string after = Contents(fallback);
    ASSERT_GT(after.size(), before.size());
    const std::string added = after.substr(after.size() - (after.size() - before.size()));
    EXPECT_EQ(added.rfind("third; gegevensmap " + root + "blocked\\ niet beschrijfbaar: ", 0), 0u) << added;
    EXPECT_TRUE(added.ends_with("\r\n"));

    // A page kept for the maker goes where the log goes, replacing the one
    // kept before.
    const std::string page = "<html>" + std::string(5000, 'p') + "</html>";
    const std::string later = "<html>a later run's page</html>";
    for (const std::string& text : {page, later}) {
        const FileBesideLog kept = log.WriteBeside(root, "Kestrom-onbekende-pagina.html", text);
        EXPECT_EQ(kept.error, std::nullopt);
        EXPECT_EQ(kept.path, root + "Kestrom-onbekende-pagina.html");
    }
    EXPECT_EQ(Contents(root + "Kestrom-onbekende-pagina.html"), later);
    const FileBesideLog fallen = log.WriteBeside(root + "blocked\\", "Kestrom-onbekende-pagina.html", page);
    EXPECT_EQ(fallen.error, std::nullopt);
    EXPECT_EQ(fallen.path, std::string(local) + "\\Kestrom\\Kestrom-onbekende-pagina.html");
    EXPECT_EQ(Contents(fallen.path), page);
    DeleteFileA(fallen.path.c_str());
}

} // namespace
