// The installer download and the start of the installation under Wine: the
// real WinINet against a socket server of the test, the real temporary
// folder and registry, signatures made with openssl and checked by Windows'
// own cryptography, the installer stand-in (carrying version 1.01c as a
// release's installer does) started through the shell, and the companion
// program ended by its path.
#include "update/versions_form.h"

#include "canned_http_server.h"
#include "maker_signing.h"
#include "settings/settings.h"
#include "support/language.h"
#include "support/registry_key_win32.h"
#include "update/installer_folder_win32.h"
#include "update/terminate_form.h"
#include "update/update_outcome.h"
#include "update/update_record_win32.h"
#include "wait_for.h"

#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
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

// The stand-in with bytes after it up to size: Windows reads a program's
// resources from its sections, whatever follows them.
std::string Release(std::size_t size)
{
    std::string bytes = ReadFile(OwnFolder() + "installer_standin.exe");
    for (std::size_t i = bytes.size(); i < size; ++i) bytes += static_cast<char>(i * 7 % 251);
    return bytes;
}

std::string SidText(PSID sid)
{
    char* text = nullptr;
    if (!ConvertSidToStringSidA(sid, &text)) return "?";
    std::string result = text;
    LocalFree(text);
    return result;
}

std::string UserSid()
{
    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    std::vector<BYTE> buffer(512);
    DWORD size = 0;
    const bool got = GetTokenInformation(token, TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()), &size);
    CloseHandle(token);
    return got ? SidText(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid) : "?";
}

// Who else but the user, SYSTEM and the administrators the folder's
// permissions let in, and whether the user has full control. Wine keeps no
// permissions beyond a file's Unix mode and answers from that (it shows
// neither the administrators nor that nothing is inherited, as Windows
// does), but a folder made without permissions of its own lets everybody
// read it there too.
struct Permissions {
    std::vector<std::string> others;
    bool userFullControl = false;
};

Permissions FolderPermissions(const std::string& folder)
{
    Permissions permissions;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                              nullptr, &descriptor)
            != ERROR_SUCCESS
        || !dacl) {
        permissions.others.push_back("no permissions at all: everybody");
        return permissions;
    }
    const std::string user = UserSid();
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        if (!GetAce(dacl, i, reinterpret_cast<void**>(&ace)) || ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE)
            continue;
        const std::string sid = SidText(&ace->SidStart);
        if (sid == user) permissions.userFullControl = (ace->Mask & FILE_ALL_ACCESS) == FILE_ALL_ACCESS;
        else if (sid != "S-1-5-18" && sid != "S-1-5-32-544") permissions.others.push_back(sid);
    }
    LocalFree(descriptor);
    return permissions;
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
        signer_ = new MakerSigner;
    }

    static void TearDownTestSuite() { delete signer_; }

    void SetUp() override
    {
        savedLanguage_ = Language;
        savedHost_ = CurrentSettings.UpdateHost;
        savedData_ = CurrentSettings.DataPath;
        savedFolder_ = std::filesystem::current_path();
        Language = "NLD";
        MakerSigner::SetKeyValue(signer_->PublicKey);
        ForgetUpdateRecord(InstallerFileRecord);
        ForgetUpdateRecord(ExpectedVersionRecord);
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        temp_ = temp;
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
        ForgetUpdateRecord(InstallerFileRecord);
        ForgetUpdateRecord(ExpectedVersionRecord);
    }

    // A manual check that advises kestrom101.exe of listKB kilobytes, then
    // the installer's answer of the same server and the signature's.
    void AdviseThenDownload(int listKB, const Reply& installer, const Reply& signature = Reply("", Then::Close))
    {
        server_ = std::make_unique<CannedHttpServer>(
            std::vector<Reply>{Reply(HttpResponse("200 OK", VersionsList(listKB))), installer, signature});
        CurrentSettings.UpdateHost = server_->Host();
        form_.ManualUpdateCheck(100, 100, 600, 400, "Kestrom", "versie 1.00c");
        ASSERT_TRUE(form_.DownloadBtn.Visible());
        form_.DownloadBtnClick();
    }

    // The installer and its signature by the test's maker key.
    void AdviseThenDownloadSigned(const std::string& installer)
    {
        AdviseThenDownload(static_cast<int>(installer.size() / 1024), Reply(HttpResponse("200 OK", installer)),
                           Reply(HttpResponse("200 OK", signer_->Sign(installer))));
    }

    Lines MemoLines() const { return form_.Memo1.Lines(); }

    TVersionsForm form_;
    std::unique_ptr<CannedHttpServer> server_;
    std::string root_;
    std::string temp_; // the user's temporary folder
    static MakerSigner* signer_;

private:
    static TTerminateForm* terminator_;
    std::string savedLanguage_;
    std::string savedHost_;
    std::string savedData_;
    std::filesystem::path savedFolder_;
};

TTerminateForm* InstallerDownloadTest::terminator_ = nullptr;
MakerSigner* InstallerDownloadTest::signer_ = nullptr;

const Lines AdviceLines = {"", "Een Update wordt aanbevolen", "", "Uw huidige versie is versie 1.00c",
                           "De nieuwste versie is 1.01c", "De Downloadnaam is kestrom101.exe"};

struct BlockCase {
    const char* name;
    std::size_t bytes;
    int downloadedKB;
};

TEST_F(InstallerDownloadTest, ASignedInstallerWaitsInAFolderOfItsOwn)
{
    const std::vector<BlockCase> cases = {
        // Whole kilobytes count: 100 * 2048 + 700 bytes are 200.
        {"a hundred blocks and 700 bytes", 100 * 2048 + 700, 200},
        {"exactly 150 kilobytes", 150 * 1024, 150},
        {"a larger installer", 300 * 1024, 300},
    };

    // The data folder is no place for it: what lies there stays untouched.
    const std::string dataTemp = CurrentSettings.DataPath + "Temp\\";
    std::filesystem::create_directories(dataTemp);
    WriteFile(dataTemp + "Kestrom1.00.exe", "old");
    WriteFile(dataTemp + "kestrom101.exe", "a file of the user's");
    std::string earlierFolder;
    for (const BlockCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string installer = Release(c.bytes);
        ASSERT_EQ(installer.size(), c.bytes);
        const int listKB = static_cast<int>(c.bytes / 1024);
        AdviseThenDownloadSigned(installer);

        const std::string file = form_.InstallerFile();
        const std::string folder = file.substr(0, file.rfind('\\') + 1);
        EXPECT_EQ(file.substr(folder.size()), "kestrom101.exe");
        // A name nobody can guess, directly in the temporary folder, with
        // permissions of its own, and recorded for the next start.
        EXPECT_EQ(folder.rfind(temp_ + "Kestrom-", 0), 0u) << folder;
        EXPECT_EQ(folder.size(), temp_.size() + std::string("Kestrom-").size() + 32 + 1) << folder;
        const Permissions permissions = FolderPermissions(folder);
        EXPECT_EQ(permissions.others, std::vector<std::string>());
        EXPECT_TRUE(permissions.userFullControl);
        EXPECT_EQ(ReadUpdateRecord(InstallerFileRecord), file);
        EXPECT_TRUE(ReadFile(file) == installer);
        // A new download makes a new folder and removes the earlier one.
        EXPECT_NE(folder, earlierFolder);
        if (!earlierFolder.empty()) {
            EXPECT_FALSE(Exists(earlierFolder));
        }
        earlierFolder = folder;
        EXPECT_EQ(ReadFile(dataTemp + "Kestrom1.00.exe"), "old");
        EXPECT_EQ(ReadFile(dataTemp + "kestrom101.exe"), "a file of the user's");

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
        ASSERT_EQ(requests.size(), 3u);
        EXPECT_EQ(requests[1].rfind("GET /kestrom101.exe HTTP/1.1\r\n", 0), 0u) << requests[1];
        EXPECT_EQ(requests[2].rfind("GET /kestrom101.exe.sig HTTP/1.1\r\n", 0), 0u) << requests[2];
        for (const std::string& request : requests)
            EXPECT_NE(request.find("\r\nUser-Agent: Quillo Function: Download\r\n"), std::string::npos);
    }
    // The program's end takes an installer that was never started with it.
    form_.Destroy();
    EXPECT_FALSE(Exists(earlierFolder));
    EXPECT_FALSE(ReadUpdateRecord(InstallerFileRecord).has_value());
}

struct RejectCase {
    const char* name;
    int listKB;
    Reply reply;
    std::string reason; // empty: nothing is said
    // The signature's answer: the test key's signature of signed, or this.
    std::string signed_ = "";
    Reply signature = Reply("", Then::Close);
    // "Update Key" for the case; nullptr keeps the test's key.
    const char* key = nullptr;
    // The test's key under the current user's "Update Key".
    bool userKey = false;
    const char* heading = " is niet goed ontvangen:";
};

TEST_F(InstallerDownloadTest, AnIncompleteImplausibleOrUnsignedInstallerIsDeletedAndNeverOffered)
{
    const std::string installer = Installer(48 * 1024);
    std::string notAProgram = installer;
    notAProgram[0] = '<';
    std::string changed = installer;
    changed[30'000] ^= 1;
    const std::string cutHead = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(installer.size())
                                + "\r\nConnection: close\r\n\r\n";
    const std::string endlessHead = "HTTP/1.1 200 OK\r\nContent-Length: 100000000\r\nConnection: close\r\n\r\n";
    const Reply whole(HttpResponse("200 OK", installer));
    const std::string missing = "De handtekening van de maker ontbreekt";
    const std::string wrong = "De handtekening van de maker klopt niet";
    std::vector<RejectCase> cases = {
        {"1023 bytes", 0, Reply(HttpResponse("200 OK", Installer(1023))), ""},
        {"no answer at all", 48, Reply("", Then::Close), ""},
        {"a 404 page of two kilobytes", 48, Reply(HttpResponse("404 Not Found", std::string(2048, '-'))),
         "De server antwoordde met status 404"},
        {"cut off half-way", 48, Reply(cutHead + installer.substr(0, installer.size() / 2)),
         "De download is afgebroken: 24 van 48 KB ontvangen"},
        {"three kilobytes more than the list says", 48, Reply(HttpResponse("200 OK", installer + std::string(3072, 0))),
         "Meer ontvangen dan verwacht: 48 KB"},
        // Stopped a kilobyte beyond the list's size, not when the disk is full.
        {"an endless answer", 48, Reply(endlessHead, Then::Endless), "Meer ontvangen dan verwacht: 48 KB"},
        {"not a program", 48, Reply(HttpResponse("200 OK", notAProgram)), "Het bestand is geen programma"},
        {"no signature file", 48, whole, missing, "", Reply(HttpResponse("404 Not Found", std::string(300, '-')))},
        {"a signature file that is none", 48, whole, missing, "",
         Reply(HttpResponse("200 OK", std::string(70, 'x')))},
        {"the signature of other bytes", 48, whole, wrong, changed},
        {"signed, but not by the maker's key", 48, whole, wrong, installer, Reply("", Then::Close), ""},
        {"a damaged key trusts no signature", 48, whole, wrong, installer, Reply("", Then::Close), "1234"},
        // Only the machine's key replaces the built-in one.
        {"the key under the current user", 48, whole, wrong, installer, Reply("", Then::Close), "", true},
        // The connection closed before the last 500 bytes.
        {"cut off in its last kilobyte", 48, Reply(cutHead + installer.substr(0, installer.size() - 500)),
         "De download is afgebroken: 47 van 48 KB ontvangen", installer},
        // No length announced: the time-out while reading says it broke off.
        {"silent in its last kilobyte", 48,
         Reply("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + installer.substr(0, installer.size() - 500),
               Then::Silent),
         "De download is afgebroken: 47 van 48 KB ontvangen", installer},
        {"signed, but without a version of its own", 48, whole, "Het bestand draagt geen geldig versienummer",
         installer, Reply("", Then::Close), nullptr, false, " wordt niet aangeboden:"},
    };
    for (RejectCase& c : cases) {
        SCOPED_TRACE(c.name);
        form_.Destroy();
        form_.Create();
        MakerSigner::SetKeyValue(c.key ? c.key : signer_->PublicKey);
        MakerSigner::SetUserKeyValue(c.userKey ? signer_->PublicKey : "");
        if (!c.signed_.empty()) c.signature = Reply(HttpResponse("200 OK", signer_->Sign(c.signed_)));
        AdviseThenDownload(c.listKB, c.reply, c.signature);
        MakerSigner::SetUserKeyValue("");
        EXPECT_EQ(form_.InstallerFile(), "");
        if (c.reason.empty()) {
            EXPECT_EQ(MemoLines(), AdviceLines);
        } else {
            EXPECT_EQ(MemoLines(), (Lines{"", std::string("Het installatiebestand kestrom101.exe") + c.heading, c.reason,
                                          "Het bestand is verwijderd."}));
        }
        // The download can be tried again; ExitBtn still only closes.
        EXPECT_TRUE(form_.DownloadBtn.Visible());
        EXPECT_EQ(form_.ExitBtn.Text(), "Download later");
        EXPECT_FALSE(form_.Model().InstallerReady);
    }
    // No folder of a rejected installer is left behind, nor its record.
    EXPECT_FALSE(ReadUpdateRecord(InstallerFileRecord).has_value());
    WIN32_FIND_DATAA entry;
    const HANDLE find = FindFirstFileA((temp_ + "Kestrom-*").c_str(), &entry);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE) << entry.cFileName;
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
}

TEST_F(InstallerDownloadTest, AServerThatDripsRunsIntoTheDownloadsTime)
{
    form_.DownloadTimeMs = 1500;
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 49152\r\nConnection: close\r\n\r\nMZ" + std::string(1100, 'x');
    AdviseThenDownload(48, Reply(head, Then::Drip));
    EXPECT_EQ(form_.InstallerFile(), "");
    EXPECT_EQ(MemoLines(), (Lines{"", "Het installatiebestand kestrom101.exe is niet goed ontvangen:",
                                  "De download duurde te lang", "Het bestand is verwijderd."}));

    // A head that trickles a byte every 100 ms counts against the same
    // time: no head in time is no answer.
    form_.Destroy();
    form_.Create();
    AdviseThenDownload(48, Reply(head, Then::Trickle));
    EXPECT_EQ(form_.InstallerFile(), "");
    EXPECT_EQ(MemoLines(), AdviceLines);
}

TEST_F(InstallerDownloadTest, ClosingTheWindowOrTheProgramCancelsTheDownload)
{
    const std::string endless = "HTTP/1.1 200 OK\r\nContent-Length: 100000000\r\nConnection: close\r\n\r\n";
    for (const bool program : {false, true}) {
        SCOPED_TRACE(program ? "the program" : "the window");
        form_.Destroy();
        form_.Create();
        form_.Show();
        // Handled between the first pieces: the click is ignored, the close
        // ends the download.
        PostMessageA(form_.Handle(), WM_COMMAND, MAKEWPARAM(form_.DownloadBtn.Id(), BN_CLICKED),
                     reinterpret_cast<LPARAM>(form_.DownloadBtn.Handle()));
        if (program) PostQuitMessage(0);
        else PostMessageA(form_.Handle(), WM_CLOSE, 0, 0);
        AdviseThenDownload(1000, Reply(endless, Then::Endless));
        EXPECT_EQ(form_.InstallerFile(), "");
        EXPECT_EQ(server_->Finish().size(), 2u);
        EXPECT_EQ(MemoLines(), AdviceLines);
        EXPECT_FALSE(form_.Model().InstallerReady);
        EXPECT_LT(form_.DownloadedKB(), 1000);
        MSG message;
        if (program) {
            // The program's end is still on its way to the message loop.
            EXPECT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        } else {
            // The held close comes as a message of its own once the download is over.
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
            EXPECT_FALSE(form_.Visible());
        }
    }
}

TEST_F(InstallerDownloadTest, InstallStartsTheCheckedInstallerSilentlyEndsTheCompanionAndTheProgram)
{
    const std::string standin = ReadFile(OwnFolder() + "installer_standin.exe");
    ASSERT_GT(standin.size(), 1024u);
    // The companion is installed beside the program, wherever the program
    // was started from.
    const std::string companion = OwnFolder() + "Kestrom_Sched.exe";
    const std::string inStartFolder = root_ + "Start\\Kestrom_Sched.exe";
    WriteFile(companion, standin);
    WriteFile(inStartFolder, standin);
    const HANDLE companionProcess = StartWaiting(companion);
    const HANDLE otherProcess = StartWaiting(inStartFolder);
    ASSERT_TRUE(companionProcess && otherProcess);

    AdviseThenDownloadSigned(standin);
    ASSERT_EQ(form_.ExitBtn.Text(), "Installeer");
    const std::string installer = form_.InstallerFile();
    // The file started is the one checked, not one the settings name now.
    CurrentSettings.DataPath = root_ + "Start\\";
    form_.ExitBtnClick();

    EXPECT_EQ(MemoLines(), (Lines{"", "kestrom101.exe is met succes gedownload",
                                  "Klik \"Installeer\" om het progamma te installeren", "",
                                  "De installatie van Kestrom wordt gestart.",
                                  "De installatie van Kestrom is gestart."}));
    // The stand-in wrote its arguments before the one-second wait was over,
    // or soon after.
    const std::string arguments = installer + ".args";
    EXPECT_TRUE(WaitUntil([&] { return Exists(arguments); }));
    EXPECT_EQ(ReadFile(arguments), "/SP- /silent /noicons");
    // Left for the next start: the folder to remove, the version to expect.
    EXPECT_EQ(ReadUpdateRecord(InstallerFileRecord), installer);
    EXPECT_EQ(ReadUpdateRecord(ExpectedVersionRecord), "1.01c");
    EXPECT_EQ(WaitForSingleObject(companionProcess, HangBoundMs), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(otherProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));

    TerminateProcess(otherProcess, 0);
    WaitForSingleObject(otherProcess, HangBoundMs);
    CloseHandle(companionProcess);
    CloseHandle(otherProcess);
    DeleteFileA(companion.c_str());
    std::error_code ignored;
    std::filesystem::remove_all(installer.substr(0, installer.rfind('\\')), ignored);
}

TEST_F(InstallerDownloadTest, BeforeTheStartTheInstallerIsCheckedAgain)
{
    const std::string release = Release(0);
    AdviseThenDownloadSigned(release);
    ASSERT_TRUE(form_.Model().InstallerReady);
    const std::string installer = form_.InstallerFile();
    // Gone: the start fails, and the next click tries again.
    DeleteFileA(installer.c_str());
    form_.ExitBtnClick();
    form_.ExitBtnClick();
    Lines lines = MemoLines();
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(Lines(lines.end() - 6, lines.end()),
              (Lines{"", "De installatie van Kestrom wordt gestart.", "Installatie is mislukt.", "",
                     "De installatie van Kestrom wordt gestart.", "Installatie is mislukt."}));
    EXPECT_TRUE(form_.Model().InstallerReady);
    EXPECT_EQ(form_.ExitBtn.Text(), "Installeer");

    // Changed after its check, given company in its folder, or started
    // through a class of the user's own: never started, deleted, and no
    // longer offered. What was put beside it stays.
    std::string folder;
    const std::string classes = "Software\\Classes\\";
    struct Case {
        const char* name;
        std::function<void()> fault;
        std::function<void()> undo;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"changed",
         [&] {
             std::string changed = release;
             changed[5000] ^= 1;
             WriteFile(installer, changed);
         },
         [] {}, "De handtekening van de maker klopt niet"},
        {"a file beside it", [&] { WriteFile(folder + "version.dll", "MZ"); }, [] {},
         "Naast het installatiebestand staan andere bestanden"},
        {"a folder beside it", [&] { CreateDirectoryA((folder + "sub").c_str(), nullptr); }, [] {},
         "Naast het installatiebestand staan andere bestanden"},
        {"the user's runas of programs",
         [&] { RegistryKey::Create(HKEY_CURRENT_USER, classes + "exefile\\shell\\runas\\command"); },
         [&] {
             for (const char* key :
                  {"exefile\\shell\\runas\\command", "exefile\\shell\\runas", "exefile\\shell", "exefile"})
                 RegDeleteKeyA(HKEY_CURRENT_USER, (classes + key).c_str());
         },
         "Het register van de gebruiker leidt de start van programma's om"},
        {"the user's class of programs",
         [&] { RegistryKey::Create(HKEY_CURRENT_USER, classes + ".exe").WriteString("", "kestromfile"); },
         [&] { RegDeleteKeyA(HKEY_CURRENT_USER, (classes + ".exe").c_str()); },
         "Het register van de gebruiker leidt de start van programma's om"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!form_.Model().InstallerReady) AdviseThenDownloadSigned(release);
        ASSERT_TRUE(form_.Model().InstallerReady);
        const std::string file = form_.InstallerFile();
        const std::string in = file.substr(0, file.rfind('\\') + 1);
        // The folder the check finds is the folder made for it: held, it
        // cannot be renamed (and another put in its place).
        const std::string moved = root_ + "moved";
        EXPECT_FALSE(MoveFileA(in.substr(0, in.size() - 1).c_str(), moved.c_str()));
        folder = in;
        c.fault();
        form_.ExitBtnClick();
        c.undo();
        lines = MemoLines();
        ASSERT_GE(lines.size(), 5u);
        EXPECT_EQ(Lines(lines.end() - 5, lines.end()),
                  (Lines{"", "De installatie van Kestrom wordt gestart.", c.reason, "Installatie is mislukt.",
                         "Het bestand is verwijderd."}));
        EXPECT_FALSE(form_.Model().InstallerReady);
        EXPECT_EQ(form_.ExitBtn.Text(), "Sluit Venster");
        EXPECT_TRUE(form_.DownloadBtn.Visible());
        EXPECT_FALSE(Exists(file));
        EXPECT_FALSE(Exists(file + ".args"));
        EXPECT_FALSE(ReadUpdateRecord(ExpectedVersionRecord).has_value());
        EXPECT_FALSE(ReadUpdateRecord(InstallerFileRecord).has_value());
        MSG quit;
        EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        // Let go once refused.
        if (Exists(in)) {
            EXPECT_TRUE(MoveFileA(in.substr(0, in.size() - 1).c_str(), moved.c_str()));
        }
        std::error_code ignored;
        std::filesystem::remove_all(in, ignored);
        std::filesystem::remove_all(moved, ignored);
    }
}

TEST_F(InstallerDownloadTest, TheNextStartRemovesTheRecordedFolderOnlyAndSaysWhetherTheUpdateTook)
{
    const Lines took = {"", "De update naar versie 1.01c is gelukt."};
    const Lines failed = {"", "De update naar versie 1.01c is niet gelukt:", "dit is versie 1.00c."};
    // An installer folder as a download leaves it, the installer started.
    const auto leftInstaller = [](const std::string& extra) {
        const std::string folder = NewInstallerFolder("Kestrom", "kestrom101.exe").Path;
        WriteFile(folder + "kestrom101.exe", "MZ");
        if (!extra.empty()) WriteFile(folder + extra, "the installer's own");
        WriteUpdateRecord(ExpectedVersionRecord, "1.01c");
        return folder;
    };

    std::string folder = leftInstaller("");
    EXPECT_EQ(FinishEarlierUpdate("Kestrom", "versie 1.01c"), took);
    EXPECT_FALSE(Exists(folder));
    EXPECT_FALSE(ReadUpdateRecord(InstallerFileRecord).has_value());
    EXPECT_FALSE(ReadUpdateRecord(ExpectedVersionRecord).has_value());
    // Said once only.
    EXPECT_EQ(FinishEarlierUpdate("Kestrom", "versie 1.01c"), Lines());

    // The installer still at work: nothing is said or removed until it is done.
    folder = leftInstaller("kestrom101.log");
    const HANDLE running = CreateFileA((folder + "kestrom101.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(running, INVALID_HANDLE_VALUE);
    EXPECT_EQ(FinishEarlierUpdate("Kestrom", "versie 1.00c"), Lines());
    EXPECT_TRUE(Exists(folder + "kestrom101.exe"));
    CloseHandle(running);
    // Then only what the program put there goes: the file the installer
    // wrote stays, and its folder with it.
    EXPECT_EQ(FinishEarlierUpdate("Kestrom", "versie 1.00c"), failed);
    EXPECT_FALSE(Exists(folder + "kestrom101.exe"));
    EXPECT_EQ(ReadFile(folder + "kestrom101.log"), "the installer's own");
    EXPECT_FALSE(ReadUpdateRecord(InstallerFileRecord).has_value());
    DeleteFileA((folder + "kestrom101.log").c_str());
    RemoveDirectoryA(folder.c_str());

    // A record that names anything else deletes nothing; it is forgotten.
    const std::string usersFile = root_ + "Data\\report.exe";
    WriteFile(usersFile, "the user's");
    for (const std::string& recorded : {usersFile, temp_ + "kestrom101.exe", std::string("..\\report.exe")}) {
        SCOPED_TRACE(recorded);
        WriteUpdateRecord(InstallerFileRecord, recorded);
        EXPECT_EQ(FinishEarlierUpdate("Kestrom", "versie 1.01c"), Lines());
        EXPECT_FALSE(ReadUpdateRecord(InstallerFileRecord).has_value());
    }
    EXPECT_EQ(ReadFile(usersFile), "the user's");
}

} // namespace
