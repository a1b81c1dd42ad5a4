// The installer download and the start of the installation under Wine: the
// real WinINet against a socket server of the test, the real download folder,
// the installer stand-in started through the shell, and the companion
// program ended by its path.
#include "update/versions_form.h"

#include "canned_http_server.h"
#include "settings/settings.h"
#include "support/language.h"
#include "update/terminate_form.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Reply = CannedHttpServer::Reply;
using Then = CannedHttpServer::Then;
using Lines = std::vector<std::string>;

std::string Installer(std::size_t size)
{
    std::string bytes = "MZ";
    for (std::size_t i = 2; i < size; ++i) bytes += static_cast<char>(i * 7 % 251);
    return bytes.substr(0, size);
}

std::string VersionsList(int sizeKB)
{
    return "Koersgrafiek,koersgrafiek204.exe,a,812,,Nieuw,New\r\nKestrom,kestrom101.exe,c," + std::to_string(sizeKB)
           + ",,Verbeteringen,Improvements\r\n";
}

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string OwnFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path().string() + "\\";
}

HANDLE StartWaiting(const std::string& exe)
{
    std::string line = "\"" + exe + "\" /wait";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return nullptr;
    CloseHandle(info.hThread);
    return info.hProcess;
}

class InstallerDownloadTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // The first form is the main window of the test; the terminator
        // never shows, like in the program.
        terminator_ = new TTerminateForm;
        terminator_->Create();
        TerminateForm = terminator_;
    }

    void SetUp() override
    {
        savedLanguage_ = Language;
        savedHost_ = CurrentSettings.UpdateHost;
        savedData_ = CurrentSettings.DataPath;
        savedFolder_ = std::filesystem::current_path();
        Language = "NLD";
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        // A folder of its own for every test: a process an earlier test
        // started may still hold its folder for a moment after it ended.
        static int testNumber = 0;
        root_ = std::string(temp) + "kestrom_installer_test_" + std::to_string(GetCurrentProcessId()) + "_" +
                std::to_string(++testNumber) + "\\";
        std::error_code leftover;
        std::filesystem::remove_all(root_, leftover);
        std::filesystem::create_directories(root_ + "Start");
        std::filesystem::create_directories(root_ + "Data");
        CurrentSettings.DataPath = root_ + "Data\\";
        temp_ = CurrentSettings.DataPath + "Temp\\";
        std::filesystem::current_path(root_ + "Start");
        form_.Create();
    }

    void TearDown() override
    {
        form_.Destroy();
        std::filesystem::current_path(savedFolder_);
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
        Language = savedLanguage_;
        CurrentSettings.UpdateHost = savedHost_;
        CurrentSettings.DataPath = savedData_;
    }

    // A manual check that advises kestrom101.exe of listKB kilobytes, then
    // the installer's answer of the same server.
    void AdviseThenDownload(int listKB, const Reply& installer)
    {
        server_ = std::make_unique<CannedHttpServer>(
            std::vector<Reply>{Reply(HttpResponse("200 OK", VersionsList(listKB))), installer});
        CurrentSettings.UpdateHost = server_->Host();
        form_.ManualUpdateCheck(100, 100, 600, 400, "Kestrom", "versie 1.00c");
        ASSERT_TRUE(form_.DownloadBtn.Visible());
        form_.DownloadBtnClick();
    }

    Lines MemoLines() const { return form_.Memo1.Lines(); }

    TVersionsForm form_;
    std::unique_ptr<CannedHttpServer> server_;
    std::string root_;
    std::string temp_;

private:
    static TTerminateForm* terminator_;
    std::string savedLanguage_;
    std::string savedHost_;
    std::string savedData_;
    std::filesystem::path savedFolder_;
};

TTerminateForm* InstallerDownloadTest::terminator_ = nullptr;

const Lines AdviceLines = {"", "Een Update wordt aanbevolen", "", "Uw huidige versie is versie 1.00c",
                           "De nieuwste versie is 1.01c", "De Downloadnaam is kestrom101.exe"};

struct BlockCase {
    const char* name;
    std::size_t bytes;
    int downloadedKB;
};

TEST_F(InstallerDownloadTest, StreamsTheInstallerInBlocksIntoTheTempFolder)
{
    const std::vector<BlockCase> cases = {
        // Blocks of 2048 bytes add 2 each; a last block of 700 adds nothing.
        {"ten blocks and 700 bytes", 10 * 2048 + 700, 20},
        {"exactly one kilobyte", 1024, 1},
        {"one block and 1500 bytes", 2048 + 1500, 3},
        {"a larger installer", 300 * 1024, 300},
    };
    for (const BlockCase& c : cases) {
        SCOPED_TRACE(c.name);
        form_.Destroy();
        form_.Create();
        std::filesystem::create_directories(temp_);
        // The installer an earlier version left, and a stale download.
        WriteFile(temp_ + "Kestrom1.00.exe", "old");
        WriteFile(temp_ + "kestrom101.exe", std::string(400'000, 'x'));
        const std::string installer = Installer(c.bytes);
        const int listKB = static_cast<int>(c.bytes / 1024);
        AdviseThenDownload(listKB, Reply(HttpResponse("200 OK", installer, "application/octet-stream")));

        EXPECT_TRUE(ReadFile(temp_ + "kestrom101.exe") == installer);
        EXPECT_FALSE(Exists(temp_ + "Kestrom1.00.exe"));
        EXPECT_EQ(form_.DownloadedKB(), c.downloadedKB);
        EXPECT_TRUE(form_.Gauge1.Visible());
        EXPECT_EQ(form_.Gauge1.MaxValue(), listKB);
        EXPECT_EQ(form_.Gauge1.Progress(), std::min(c.downloadedKB + 1, listKB));
        EXPECT_EQ(MemoLines(), (Lines{"", "kestrom101.exe is met succes gedownload",
                                      "Klik \"Installeer\" om het progamma te installeren"}));
        EXPECT_EQ(form_.ExitBtn.Text(), "Installeer");
        EXPECT_FALSE(form_.DownloadBtn.Visible());
        EXPECT_TRUE(form_.Model().InstallerReady);
        const std::vector<std::string> requests = server_->Finish();
        ASSERT_EQ(requests.size(), 2u);
        EXPECT_EQ(requests[1].rfind("GET /kestrom101.exe HTTP/1.1\r\n", 0), 0u) << requests[1];
        EXPECT_NE(requests[1].find("\r\nUser-Agent: Quillo Function: Download\r\n"), std::string::npos);
    }
}

struct RejectCase {
    const char* name;
    int listKB;
    Reply reply;
    std::string reason; // empty: nothing is said
};

TEST_F(InstallerDownloadTest, AnIncompleteOrImplausibleInstallerIsDeletedAndNeverOffered)
{
    const std::string installer = Installer(48 * 1024);
    std::string notAProgram = installer;
    notAProgram[0] = '<';
    const std::string cutHead = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(installer.size())
                                + "\r\nConnection: close\r\n\r\n";
    const std::vector<RejectCase> cases = {
        {"1023 bytes", 0, Reply(HttpResponse("200 OK", Installer(1023))), ""},
        {"no answer at all", 48, Reply("", Then::Close), ""},
        {"a 404 page of two kilobytes", 48, Reply(HttpResponse("404 Not Found", std::string(2048, '-'))),
         "De server antwoordde met status 404"},
        {"cut off half-way", 48, Reply(cutHead + installer.substr(0, installer.size() / 2)),
         "Ontvangen: 24 KB, verwacht: 48 KB"},
        {"three kilobytes more than the list says", 48, Reply(HttpResponse("200 OK", installer + std::string(3072, 0))),
         "Ontvangen: 51 KB, verwacht: 48 KB"},
        {"not a program", 48, Reply(HttpResponse("200 OK", notAProgram)), "Het bestand is geen programma"},
    };
    for (const RejectCase& c : cases) {
        SCOPED_TRACE(c.name);
        form_.Destroy();
        form_.Create();
        AdviseThenDownload(c.listKB, c.reply);
        EXPECT_FALSE(Exists(temp_ + "kestrom101.exe"));
        if (c.reason.empty()) {
            EXPECT_EQ(MemoLines(), AdviceLines);
        } else {
            EXPECT_EQ(MemoLines(), (Lines{"", "Het installatiebestand kestrom101.exe is niet goed ontvangen:",
                                          c.reason, "Het bestand is verwijderd."}));
        }
        // The download can be tried again; ExitBtn still only closes.
        EXPECT_TRUE(form_.DownloadBtn.Visible());
        EXPECT_EQ(form_.ExitBtn.Text(), "Download later");
        EXPECT_FALSE(form_.Model().InstallerReady);
    }
}

TEST_F(InstallerDownloadTest, ASecondClickAndACloseDuringTheDownloadWaitForItsEnd)
{
    const std::string installer = Installer(64 * 1024);
    // Handled between the first blocks: the click is ignored, the close held.
    PostMessageA(form_.Handle(), WM_COMMAND, MAKEWPARAM(form_.DownloadBtn.Id(), BN_CLICKED),
                 reinterpret_cast<LPARAM>(form_.DownloadBtn.Handle()));
    PostMessageA(form_.Handle(), WM_CLOSE, 0, 0);
    AdviseThenDownload(64, Reply(HttpResponse("200 OK", installer)));
    EXPECT_TRUE(ReadFile(temp_ + "kestrom101.exe") == installer);
    EXPECT_EQ(server_->Finish().size(), 2u);
    EXPECT_EQ(form_.ExitBtn.Text(), "Installeer");
    // The held close comes as a message of its own once the download is over.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    EXPECT_FALSE(form_.Visible());
}

TEST_F(InstallerDownloadTest, InstallStartsTheInstallerSilentlyEndsTheCompanionAndTheProgram)
{
    const std::string standin = ReadFile(OwnFolder() + "installer_standin.exe");
    ASSERT_GT(standin.size(), 1024u);
    const std::string companion = form_.StartDirectory() + "Kestrom_Sched.exe";
    const std::string elsewhere = root_ + "Data\\Kestrom_Sched.exe";
    WriteFile(companion, standin);
    WriteFile(elsewhere, standin);
    const HANDLE companionProcess = StartWaiting(companion);
    const HANDLE otherProcess = StartWaiting(elsewhere);
    ASSERT_TRUE(companionProcess && otherProcess);

    AdviseThenDownload(static_cast<int>(standin.size() / 1024), Reply(HttpResponse("200 OK", standin)));
    ASSERT_EQ(form_.ExitBtn.Text(), "Installeer");
    form_.ExitBtnClick();

    EXPECT_EQ(MemoLines(), (Lines{"", "kestrom101.exe is met succes gedownload",
                                  "Klik \"Installeer\" om het progamma te installeren", "",
                                  "De installatie van Kestrom wordt gestart.",
                                  "De installatie van Kestrom is gestart."}));
    // The stand-in wrote its arguments before the one-second wait was over,
    // or soon after.
    const std::string arguments = temp_ + "kestrom101.exe.args";
    for (int i = 0; i < 100 && !Exists(arguments); ++i) Sleep(100);
    EXPECT_EQ(ReadFile(arguments), "/SP- /silent /noicons");
    EXPECT_EQ(WaitForSingleObject(companionProcess, 10'000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(otherProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));

    TerminateProcess(otherProcess, 0);
    WaitForSingleObject(otherProcess, 10'000);
    CloseHandle(companionProcess);
    CloseHandle(otherProcess);
}

TEST_F(InstallerDownloadTest, AFailedStartIsReportedAndTheNextClickTriesAgain)
{
    AdviseThenDownload(48, Reply(HttpResponse("200 OK", Installer(48 * 1024))));
    ASSERT_TRUE(form_.Model().InstallerReady);
    DeleteFileA((temp_ + "kestrom101.exe").c_str());
    form_.ExitBtnClick();
    form_.ExitBtnClick();
    const Lines lines = MemoLines();
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(Lines(lines.end() - 6, lines.end()),
              (Lines{"", "De installatie van Kestrom wordt gestart.", "Installatie is mislukt.", "",
                     "De installatie van Kestrom wordt gestart.", "Installatie is mislukt."}));
    EXPECT_TRUE(form_.Model().InstallerReady);
    EXPECT_EQ(form_.ExitBtn.Text(), "Installeer");
    MSG quit;
    EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

} // namespace
