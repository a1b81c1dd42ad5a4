// The version check under Wine: the versions list fetch with the real
// WinINet against a real socket server (time-out and second attempt), the
// ping through the command interpreter, and the update window's texts,
// buttons and size on a real (hidden) window.
#include "update/versions_fetch.h"
#include "update/versions_form.h"

#include "canned_http_server.h"
#include "settings/settings.h"
#include "support/language.h"
#include "update/terminate_form.h"
#include "wait_for.h"
#include "win/scaling.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

using Reply = CannedHttpServer::Reply;
using Then = CannedHttpServer::Then;
using Lines = std::vector<std::string>;

const std::string NewerList = "Koersgrafiek,koersgrafiek204.exe,a,812,,Nieuw,New\r\n"
                              "Kestrom,kestrom101.exe,c,48,,Verbeteringen,Improvements\r\n";
const std::string SameList = "Koersgrafiek,koersgrafiek204.exe,a,812,,Nieuw,New\r\n"
                             "Kestrom,kestrom100.exe,c,48,,Verbeteringen,Improvements\r\n";

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// The names of the ping's output files in the user's temporary folder.
std::vector<std::string> PingFiles()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    const HANDLE find = FindFirstFileA((std::string(temp) + "kes*.tmp").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do names.emplace_back(entry.cFileName);
    while (FindNextFileA(find, &entry));
    FindClose(find);
    return names;
}

VersionsFetchLimits ShortLimits()
{
    VersionsFetchLimits limits;
    limits.receiveTimeoutMs = 500;
    return limits;
}

struct FetchCase {
    const char* name;
    std::vector<Reply> replies;
    std::string expected;
    int attempts;
};

TEST(VersionsFetchTest, AtMostTwoAttemptsTheSecondOnlyWhenTheFirstBroughtNothing)
{
    std::string withZero = NewerList;
    withZero[10] = '\0';
    const std::string twoBlocks(5000, 'k');
    const std::vector<FetchCase> cases = {
        {"the list at once", {Reply(HttpResponse("200 OK", NewerList))}, NewerList, 1},
        {"over two blocks of 2048 bytes", {Reply(HttpResponse("200 OK", twoBlocks))}, twoBlocks, 1},
        {"an empty first answer", {Reply(HttpResponse("200 OK", "")), Reply(HttpResponse("200 OK", NewerList))},
         NewerList, 2},
        {"a silent first answer runs into the receive time-out",
         {Reply("", Then::Silent), Reply(HttpResponse("200 OK", NewerList))}, NewerList, 2},
        {"two empty answers", {Reply(HttpResponse("200 OK", "")), Reply(HttpResponse("200 OK", ""))}, "", 2},
        {"a 404 page is text like any other", {Reply(HttpResponse("404 Not Found", "<h1>Not Found</h1>"))},
         "<h1>Not Found</h1>", 1},
        // The list is text: a block counts up to its first zero byte.
        {"a zero byte ends its block", {Reply(HttpResponse("200 OK", withZero))}, NewerList.substr(0, 10), 1},
    };
    for (const FetchCase& c : cases) {
        SCOPED_TRACE(c.name);
        CannedHttpServer server(c.replies);
        const FetchedList fetched = FetchVersionsList(server.Url("/versions.dat"), ShortLimits());
        EXPECT_EQ(fetched.Text, c.expected);
        EXPECT_EQ(fetched.Attempts, c.attempts);
        const std::vector<std::string> requests = server.Finish();
        ASSERT_EQ(static_cast<int>(requests.size()), c.attempts);
        for (const std::string& request : requests) {
            EXPECT_EQ(request.rfind("GET /versions.dat HTTP/1.1\r\n", 0), 0u) << request;
            EXPECT_NE(request.find("\r\nUser-Agent: Quillo Function: Download\r\n"), std::string::npos) << request;
        }
    }
}

TEST(VersionsFetchTest, UnreachableAndEndlessServersGiveNothing)
{
    std::string url;
    {
        CannedHttpServer closed(std::vector<Reply>{});
        url = closed.Url("/versions.dat");
    }
    const FetchedList unreachable = FetchVersionsList(url, ShortLimits());
    EXPECT_EQ(unreachable.Text, "");
    EXPECT_EQ(unreachable.Attempts, 2);
    EXPECT_EQ(JudgeVersionsList(unreachable, "Kestrom", "versie 1.00c").Result, UpdateCheckResult::NoServerReaction);

    // A byte every 100 ms: each attempt ends at its time limit, long before
    // a block of 2048 bytes would have come.
    VersionsFetchLimits brief = ShortLimits();
    brief.attemptTimeMs = 1500;
    const std::string dripHead = "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\nConnection: close\r\n\r\n" + NewerList;
    CannedHttpServer dripping({Reply(dripHead, Then::Drip), Reply(dripHead, Then::Drip)});
    const FetchedList dripped = FetchVersionsList(dripping.Url("/versions.dat"), brief);
    EXPECT_EQ(dripped.Text, "");
    EXPECT_EQ(dripped.Attempts, 2);
    EXPECT_EQ(JudgeVersionsList(dripped, "Kestrom", "versie 1.00c").Result, UpdateCheckResult::NoServerReaction);

    // The head itself a byte every 100 ms: the time limit counts from the
    // request, not from the head.
    const std::string trickled = HttpResponse("200 OK", NewerList) + std::string(400, ' ');
    CannedHttpServer trickling({Reply(trickled, Then::Trickle), Reply(trickled, Then::Trickle)});
    const FetchedList late = FetchVersionsList(trickling.Url("/versions.dat"), brief);
    EXPECT_EQ(late.Text, "");
    EXPECT_EQ(late.Attempts, 2);

    VersionsFetchLimits small = ShortLimits();
    small.listBytes = 4096;
    CannedHttpServer server({Reply(HttpResponse("200 OK", std::string(10000, 'x'))),
                             Reply(HttpResponse("200 OK", std::string(4096, 'y')))});
    const FetchedList fetched = FetchVersionsList(server.Url("/versions.dat"), small);
    EXPECT_EQ(fetched.Text, std::string(4096, 'y'));
    EXPECT_EQ(fetched.Attempts, 2);
}

// Forms need a main window that is never shown; the terminator is one.
class UpdateWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        terminator_ = new TTerminateForm;
        terminator_->Create();
    }

    void SetUp() override
    {
        savedLanguage_ = Language;
        savedHost_ = CurrentSettings.UpdateHost;
        Language = "NLD";
        form_.Create();
    }

    void TearDown() override
    {
        form_.Destroy();
        Language = savedLanguage_;
        CurrentSettings.UpdateHost = savedHost_;
    }

    Lines MemoLines() const { return form_.Memo1.Lines(); }

    TVersionsForm form_;

private:
    static TTerminateForm* terminator_;
    std::string savedLanguage_;
    std::string savedHost_;
};

TTerminateForm* UpdateWindowTest::terminator_ = nullptr;

TEST_F(UpdateWindowTest, SizedByItsButtonsAndCaptionedOnShow)
{
    EXPECT_EQ(form_.ClientWidth(), form_.ExitBtn.Left() + form_.ExitBtn.Width() + form_.DownloadBtn.Left());
    RECT panel;
    GetWindowRect(form_.Panel1.Handle(), &panel);
    MapWindowPoints(HWND_DESKTOP, form_.Handle(), reinterpret_cast<POINT*>(&panel), 2);
    // The panel's top at the design size (the memo's 117 above the panel's
    // 93), then the bottom-aligned panel follows the new height.
    EXPECT_EQ(form_.ClientHeight(),
              Scaled(117 + 93) - Scaled(93) + form_.ExitBtn.Top() + form_.ExitBtn.Height() + 15);
    EXPECT_EQ(panel.bottom, form_.ClientHeight());
    EXPECT_EQ(form_.Memo1.Height(), panel.top);
    EXPECT_EQ(form_.Memo1.Width(), form_.ClientWidth());
    EXPECT_FALSE(form_.Visible());
    EXPECT_FALSE(form_.Gauge1.Visible());
    EXPECT_FALSE(form_.DownloadBtn.Visible());
    EXPECT_EQ(form_.ExitBtn.Text(), "Download Later");
    EXPECT_NE(GetWindowLongPtrA(form_.Memo1.Handle(), GWL_STYLE) & ES_CENTER, 0);
    EXPECT_NE(GetWindowLongPtrA(form_.Memo1.Handle(), GWL_STYLE) & ES_READONLY, 0);
    form_.Show();
    EXPECT_EQ(form_.Caption(), "Kestrom - Update");
    form_.Hide();
}

struct ManualCase {
    const char* name;
    std::string list; // empty: no server at all
    Lines lines;
    const char* exitCaption;
    bool downloadVisible;
};

TEST_F(UpdateWindowTest, ManualCheckShowsEveryOutcomeCentredOnTheDialog)
{
    const std::vector<ManualCase> cases = {
        {"newer version", NewerList,
         {"", "Een Update wordt aanbevolen", "", "Uw huidige versie is versie 1.00c", "De nieuwste versie is 1.01c",
          "De Downloadnaam is kestrom101.exe"},
         "Download later", true},
        {"same version", SameList, {"", "Een Update is niet nodig,", "u heeft de nieuwste versie."}, "Sluit Venster",
         false},
        {"a server that never answers", "", {"", "De server reageert niet"}, "Sluit Venster", false},
        {"short list", "Kestrom,kestrom101.exe,c,48,,x\r\n", {"", "Het bestand is te klein"}, "Sluit Venster", false},
        {"list without the product", std::string(60, '#') + "\r\n", {"", "Programma-naam niet gevonden"},
         "Sluit Venster", false},
        {"record without CR", SameList.substr(0, SameList.size() - 2),
         {"", "Het versiebestand is beschadigd:", "de regel van het programma is niet afgesloten"}, "Sluit Venster",
         false},
        {"size not a number", "Koersgrafiek,koersgrafiek204.exe,a,812,,x,y\r\nKestrom,kestrom101.exe,c,veel,,x,y\r\n",
         {"", "Het versiebestand is beschadigd:", "de grootte is geen getal"}, "Sluit Venster", false},
    };
    // A file of the user's own in the current folder, which the ping's
    // output once went to: it is neither read (its third line would say
    // the ping timed out) nor deleted.
    const std::string usersFile = "a\r\nb\r\nTime-out\r\n";
    std::ofstream("tmp.txt", std::ios::binary) << usersFile;
    const std::vector<std::string> pingFilesBefore = PingFiles();
    for (const ManualCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Reply> replies;
        if (!c.list.empty()) replies.emplace_back(HttpResponse("200 OK", c.list));
        CannedHttpServer server(replies);
        CurrentSettings.UpdateHost = server.Host();
        if (c.list.empty()) server.Finish();
        form_.ManualUpdateCheck(100, 200, 600, 401, "Kestrom", "versie 1.00c");
        EXPECT_TRUE(form_.Visible());
        EXPECT_EQ(form_.Top(), 100 + (401 - form_.Height()) / 2);
        EXPECT_EQ(form_.Left(), 200 + (600 - form_.Width()) / 2);
        EXPECT_EQ(MemoLines(), c.lines);
        EXPECT_EQ(form_.ExitBtn.Text(), c.exitCaption);
        EXPECT_TRUE(form_.ExitBtn.Visible());
        EXPECT_EQ(form_.DownloadBtn.Visible(), c.downloadVisible);
        EXPECT_EQ(form_.DownloadBtn.Text(), "Start Downloaden");
        EXPECT_EQ(ReadFile("tmp.txt"), usersFile);
        // The ping's own output file is gone after reading.
        EXPECT_EQ(PingFiles(), pingFilesBefore);
        form_.ExitBtnClick();
        EXPECT_FALSE(form_.Visible());
    }
    DeleteFileA("tmp.txt");
}

TEST_F(UpdateWindowTest, AutomaticCheckShowsTheWindowOnlyForANewerVersion)
{
    for (const bool english : {false, true}) {
        SCOPED_TRACE(english ? "ENU" : "NLD");
        Language = english ? "ENU" : "NLD";
        CannedHttpServer server({Reply(HttpResponse("200 OK", SameList)), Reply(HttpResponse("200 OK", NewerList))});
        CurrentSettings.UpdateHost = server.Host();
        form_.AutoUpdateCheck("Kestrom", "versie 1.00c");
        EXPECT_FALSE(form_.Visible());
        EXPECT_EQ(MemoLines(), Lines{});
        form_.AutoUpdateCheck("Kestrom", "versie 1.00c");
        EXPECT_TRUE(form_.Visible());
        EXPECT_EQ(MemoLines(),
                  (english ? Lines{"", "Update is advised", "", "Your current version is versie 1.00c",
                                   "The latest version is 1.01c", "The Download Name is kestrom101.exe"}
                           : Lines{"", "Een Update wordt aanbevolen", "", "Uw huidige versie is versie 1.00c",
                                   "De nieuwste versie is 1.01c", "De Downloadnaam is kestrom101.exe"}));
        EXPECT_EQ(form_.DownloadBtn.Text(), english ? "Start Downloading" : "Start Downloaden");
        EXPECT_EQ(form_.ExitBtn.Text(), "Download Later");
        EXPECT_TRUE(form_.DownloadBtn.Visible());
        form_.Close();
        EXPECT_FALSE(form_.Visible());
    }
}

TEST_F(UpdateWindowTest, CommandsRunThroughTheInterpreterAndAreWaitedFor)
{
    EXPECT_EQ(form_.ExecuteAndWait("cmd.exe /C exit 7", SW_HIDE), 7);
    EXPECT_EQ(form_.ExecuteAndWait("no_such_program_of_kestrom.exe", SW_HIDE), -1);
    EXPECT_EQ(form_.ExecuteAndWait(std::string(600, 'x'), SW_HIDE), -1);

    DeleteFileA("run_command.txt");
    form_.RunCommand("echo hallo> run_command.txt", true);
    std::ifstream file("run_command.txt", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    file.close();
    EXPECT_EQ(text, "hallo\r\n");
    DeleteFileA("run_command.txt");

    // A line beyond 260 characters is not cut and run: it is not run at all.
    form_.RunCommand("echo x> run_command.txt & rem " + std::string(300, 'x'), true);
    EXPECT_EQ(GetFileAttributesA("run_command.txt"), INVALID_FILE_ATTRIBUTES);

    // A command given up at its wait limit ends with what it started: the
    // interpreter's child does not live on.
    char own[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, own, MAX_PATH);
    const std::string folder = std::string(own).substr(0, std::string(own).rfind('\\') + 1);
    const std::string child = folder + "command_child_" + std::to_string(GetCurrentProcessId()) + ".exe";
    ASSERT_TRUE(CopyFileA((folder + "installer_standin.exe").c_str(), child.c_str(), FALSE));
    EXPECT_EQ(form_.ExecuteAndWait("cmd.exe /C \"\"" + child + "\" /wait\"", SW_HIDE, 3000), -1);
    const ProcessHandle survivor = TerminateForm->FindProcessByPath(child);
    if (survivor) {
        const DWORD ended = WaitForSingleObject(survivor.Get(), HangBoundMs);
        if (ended != WAIT_OBJECT_0) TerminateProcess(survivor.Get(), 0);
        EXPECT_EQ(ended, WAIT_OBJECT_0) << "the child outlived the command";
        WaitForSingleObject(survivor.Get(), HangBoundMs);
    }
    WaitUntil([&] { return DeleteFileA(child.c_str()) != FALSE; });
}

} // namespace
