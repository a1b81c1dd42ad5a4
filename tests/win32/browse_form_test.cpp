// The folder browser as a real window under Wine: opened by BrowseFolder
// and answered from thread timers inside its modal loop, over folders the
// test makes under C:\KestromBrowseTest. KESTROM_SCREENSHOTS names a folder
// for a screenshot of the browser.
#include "app/main_form.h"
#include "modal_script.h"
#include "scratch_folders.h"
#include "support/language.h"
#include "ui/ask_dialog.h"
#include "ui/browse_form.h"
#include "win/application.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace {

const std::string Base = "C:\\KestromBrowseTest\\";

class BrowseEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        Application::Initialize(GetModuleHandleA(nullptr), "Kestrom");
        RemoveTree(Base.substr(0, Base.size() - 1));
        for (const char* folder : {"", "Data", "Data\\Quotes", "Pictures"}) {
            CreateDirectoryA((Base + folder).c_str(), nullptr);
        }
        for (const char* file : {"Pictures\\b.jpg", "Pictures\\a.jpg", "Pictures\\notes.txt"}) {
            CloseHandle(CreateFileA((Base + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        }
        main.Create();
        // No update window here: the main window's check three seconds
        // after start would have none to show its outcome in.
        main.UpdateTimer.SetEnabled(false);
        ask.Create();
        browse.Create();
    }
    void TearDown() override
    {
        browse.Destroy();
        ask.Destroy();
        main.Destroy();
        SetCurrentDirectoryA("C:\\");
        RemoveTree(Base.substr(0, Base.size() - 1));
    }
    TMainForm main;
    TAskDlg ask;
    TBrowseForm browse;
};

BrowseEnvironment* environment =
    static_cast<BrowseEnvironment*>(::testing::AddGlobalTestEnvironment(new BrowseEnvironment));

TBrowseForm& Browse() { return environment->browse; }

// Runs script once the browser is up and has painted, then answers it with
// answer (a click or a close); a script that leaves it open fails.
bool BrowseRunning(const std::string& title, std::string& path, bool showFiles, std::function<void()> script)
{
    // A browser that never comes up active leaves the script unrun, and
    // the watchdog fails the test.
    WhenReady run([] { return UpAndActive(Browse().Handle()); }, [script] { script(); });
    OneShot watchdog(HangBoundMs, [] {
        ADD_FAILURE() << "the browser did not close";
        // A script may have left the input dialog open over the browser.
        for (Form* form : {static_cast<Form*>(AskDlg), static_cast<Form*>(&Browse())}) {
            if (form->Visible()) PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
        }
    });
    return Browse().BrowseFolder(title, path, showFiles);
}

void Click(const Button& button) { PostMessageA(button.Handle(), BM_CLICK, 0, 0); }

bool AskUp()
{
    return UpAndActive(AskDlg->Handle());
}

void AnswerAsk(const std::string& text)
{
    EXPECT_EQ(GetFocus(), AskDlg->AskEdit.Handle());
    AskDlg->AskEdit.SetText(text);
    Click(AskDlg->OKBtn);
}

struct MessageBoxSeen {
    bool found = false;
    std::vector<std::string> texts;
};

BOOL CALLBACK CollectStatic(HWND child, LPARAM seen)
{
    char className[32] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0) {
        char text[256] = {};
        GetWindowTextA(child, text, sizeof text);
        reinterpret_cast<MessageBoxSeen*>(seen)->texts.emplace_back(text);
    }
    return TRUE;
}

// Reads and closes the message box with the caption "Open Error".
void CloseOpenErrorBox(MessageBoxSeen& seen)
{
    const HWND box = FindWindowA(nullptr, "Open Error");
    seen.found = box != nullptr;
    if (!box) return;
    EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&seen));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

TEST(BrowseForm, EmptyPathOpensTheRootOfCAndOkReturnsIt)
{
    std::string path;
    std::string caption;
    std::string label;
    bool filesVisible = true;
    const bool accepted = BrowseRunning("Selecteer Pad voor Bestanden", path, false, [&] {
        caption = Browse().Caption();
        label = Browse().DirectoryLabel.Text();
        filesVisible = Browse().FileListBox.Visible() || Browse().Splitter1.Visible();
        EXPECT_EQ(Browse().Panel2Caption(), "Selecteer Pad voor Bestanden");
        EXPECT_EQ(Browse().CancelBtn.Text(), "Annuleren");
        SaveScreenshot(Browse().Handle(), "browse_form");
        Click(Browse().OKBtn);
    });
    EXPECT_TRUE(accepted);
    EXPECT_TRUE(Browse().Accepted());
    EXPECT_EQ(path, "C:\\");
    EXPECT_EQ(caption, "Kestrom - Bladeren");
    EXPECT_EQ(label, "C:\\");
    EXPECT_FALSE(filesVisible);
}

TEST(BrowseForm, CancelAndTheCloseBoxGiveFalseAndLeaveThePath)
{
    struct Case {
        const char* name;
        std::string path;
        std::string after;
        bool closeBox;
    };
    const Case cases[] = {
        {"cancel with an empty path", "", "C:\\", false},
        {"cancel with a folder", Base + "Data\\", Base + "Data\\", false},
        {"close box after an OK", Base + "Data\\", Base + "Data\\", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // An OK first, so that a close box returning the last answer would show.
        std::string first = Base;
        ASSERT_TRUE(BrowseRunning("t", first, false, [] { Click(Browse().OKBtn); }));
        std::string path = c.path;
        const bool accepted = BrowseRunning("t", path, false, [&c] {
            if (c.closeBox) {
                PostMessageA(Browse().Handle(), WM_CLOSE, 0, 0);
            } else {
                Click(Browse().CancelBtn);
            }
        });
        EXPECT_FALSE(accepted);
        EXPECT_FALSE(Browse().Accepted());
        EXPECT_EQ(path, c.after);
    }
}

TEST(BrowseForm, OpensTheFolderOfThePathAndReturnsTheChoice)
{
    struct Case {
        const char* name;
        std::string path;
        std::string chosen;
    };
    const Case cases[] = {
        {"folder with final backslash", Base + "Data\\Quotes\\", Base + "Data\\Quotes\\"},
        {"without final backslash the parent opens", Base + "Data\\Quotes", Base + "Data\\"},
        {"missing folder opens its parent", Base + "Data\\Missing\\", Base + "Data\\"},
        {"lower-case drive keeps its case", "c:\\KestromBrowseTest\\Data\\", "c:\\KestromBrowseTest\\Data\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = c.path;
        std::string label;
        ASSERT_TRUE(BrowseRunning("t", path, false, [&] {
            label = Browse().DirectoryLabel.Text();
            Click(Browse().OKBtn);
        }));
        EXPECT_EQ(path, c.chosen);
        EXPECT_EQ(label, c.chosen);
    }
}

TEST(BrowseForm, NewFolderIsMadeAndSelectedAndAnExistingOneIsReported)
{
    RemoveTree(Base + "Data\\Nieuw");
    std::string path = Base + "Data\\";
    std::string afterFirst;
    std::string afterNested;
    MessageBoxSeen seen;
    std::string afterExisting;
    const bool accepted = BrowseRunning("t", path, false, [&] {
        {
            WhenReady answer(AskUp, [] { AnswerAsk("Nieuw"); });
            Browse().SpeedNew.Click();
            afterFirst = Browse().Boom1.Directory();
        }
        {
            // The same name while Nieuw is selected makes Nieuw\Nieuw.
            WhenReady answer(AskUp, [] { AnswerAsk("Nieuw"); });
            Browse().SpeedNew.Click();
            afterNested = Browse().Boom1.Directory();
        }
        {
            Browse().Boom1.OpenPath(Base + "Data\\");
            WhenReady answer(AskUp, [] { AnswerAsk("Nieuw"); });
            WhenReady box([] { return FindWindowA(nullptr, "Open Error") != nullptr; },
                          [&seen] { CloseOpenErrorBox(seen); });
            Browse().SpeedNew.Click();
            afterExisting = Browse().Boom1.Directory();
        }
        {
            // Cancelled: nothing is made.
            WhenReady answer(AskUp, [] {
                AskDlg->AskEdit.SetText("Never");
                Click(AskDlg->CancelBtn);
            });
            Browse().SpeedNew.Click();
        }
        Click(Browse().OKBtn);
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(afterFirst, Base + "Data\\Nieuw\\");
    EXPECT_EQ(afterNested, Base + "Data\\Nieuw\\Nieuw\\");
    EXPECT_EQ(GetFileAttributesA((Base + "Data\\Nieuw\\Nieuw").c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_TRUE(seen.found);
    EXPECT_NE(std::find(seen.texts.begin(), seen.texts.end(), "Deze map bestaat reeds."), seen.texts.end());
    EXPECT_EQ(afterExisting, Base + "Data\\");
    EXPECT_EQ(GetFileAttributesA((Base + "Data\\Never").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(path, Base + "Data\\");
}

TEST(BrowseForm, AMouseClickOnSpeedNewReachesItsHandlerWithoutTakingTheFocus)
{
    std::string path = Base;
    int clicks = 0;
    bool treeFocused = false;
    BrowseRunning("t", path, false, [&] {
        const auto handler = Browse().SpeedNew.OnClick;
        Browse().SpeedNew.OnClick = [&] { ++clicks; };
        const RECT client = [] {
            RECT r;
            GetClientRect(Browse().SpeedNew.Handle(), &r);
            return r;
        }();
        const LPARAM centre = MAKELPARAM(client.right / 2, client.bottom / 2);
        SendMessageA(Browse().SpeedNew.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, centre);
        SendMessageA(Browse().SpeedNew.Handle(), WM_LBUTTONUP, 0, centre);
        Application::ProcessMessages();
        treeFocused = GetFocus() == Browse().Boom1.Handle();
        Browse().SpeedNew.OnClick = handler;
        Click(Browse().CancelBtn);
    });
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(treeFocused);
}

TEST(BrowseForm, ResizingKeepsSpeedNewRightAndTheButtonsCentred)
{
    std::string path = Base;
    BrowseRunning("t", path, false, [] {
        for (int extra : {0, 200, 101}) {
            SCOPED_TRACE(extra);
            TBrowseForm& form = Browse();
            form.SetClientSize(form.Scale(542) + extra, form.Scale(496) + extra);
            EXPECT_EQ(form.SpeedNew.Left(), form.ClientWidth() - form.SpeedNew.Width() - 10);
            const int panel1 = form.Panel1.Width();
            EXPECT_EQ(panel1, form.ClientWidth());
            EXPECT_EQ(form.OKBtn.Left(), (panel1 - form.CancelBtn.Width() - form.OKBtn.Width() - 5) / 2);
            EXPECT_EQ(form.CancelBtn.Left(), form.OKBtn.Left() + form.OKBtn.Width() + 5);
            EXPECT_EQ(form.DirectoryLabel.Width(), panel1 - 1);
            EXPECT_EQ(form.Boom1.Height(), form.Panel3.Height() - form.Boom1.Top() - 1);
            EXPECT_EQ(form.Panel1.Bounds().bottom, form.ClientHeight());
        }
        Browse().SetClientSize(Browse().Scale(542), Browse().Scale(496));
        Click(Browse().CancelBtn);
    });
}

TEST(BrowseForm, DriveListShowsLowerCaseLettersAndChoosingADriveRebuildsTheTree)
{
    std::string path;
    std::vector<std::string> entries;
    std::string afterOther;
    std::string afterSame;
    BrowseRunning("t", path, false, [&] {
        ImageComboBox& drives = Browse().DriveComboBox;
        for (int i = 0; i < drives.Count(); ++i) entries.push_back(drives.ItemText(i));
        EXPECT_EQ(drives.ItemText(drives.SelectedIndex()).substr(0, 2), "c:");
        // Another drive, as the user picks it.
        int other = -1;
        for (int i = 0; i < drives.Count(); ++i) {
            if (drives.ItemText(i)[0] != 'c') other = i;
        }
        if (other >= 0) {
            const auto pick = [&drives](int index) {
                drives.SetSelectedIndex(index);
                SendMessageA(Browse().Handle(), WM_COMMAND, MAKEWPARAM(drives.Id(), CBN_SELCHANGE),
                             reinterpret_cast<LPARAM>(drives.Handle()));
            };
            pick(other);
            afterOther = Browse().DirectoryLabel.Text();
            // The same drive again keeps the tree and its selection.
            const HTREEITEM first = Browse().Boom1.FirstChild(Browse().Boom1.TopItem());
            if (first) Browse().Boom1.SelectItem(first);
            const std::string selected = Browse().Boom1.Directory();
            pick(other);
            afterSame = Browse().Boom1.Directory();
            EXPECT_EQ(afterSame, selected);
            EXPECT_EQ(afterOther, std::string(1, drives.ItemText(other)[0]) + ":\\");
        }
        Click(Browse().CancelBtn);
    });
    ASSERT_FALSE(entries.empty());
    bool sawC = false;
    for (const std::string& entry : entries) {
        SCOPED_TRACE(entry);
        ASSERT_GE(entry.size(), 2u);
        EXPECT_TRUE(entry[0] >= 'a' && entry[0] <= 'z');
        EXPECT_EQ(entry[1], ':');
        if (entry[0] == 'c') {
            sawC = true;
            EXPECT_EQ(entry.substr(0, 4), "c: [");
            EXPECT_EQ(entry.back(), ']');
        }
    }
    EXPECT_TRUE(sawC);
}

TEST(BrowseForm, WithFilesTheChosenFileFollowsTheFolder)
{
    std::string path = Base + "Pictures\\";
    std::vector<std::string> files;
    const bool accepted = BrowseRunning("t", path, true, [&] {
        EXPECT_TRUE(Browse().FileListBox.Visible());
        for (int i = 0; i < Browse().FileListBox.Count(); ++i) files.push_back(Browse().FileListBox.ItemText(i));
        Click(Browse().OKBtn);
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(files, (std::vector<std::string>{"a.jpg", "b.jpg"}));
    // OK with nothing selected takes the first file.
    EXPECT_EQ(path, Base + "Pictures\\a.jpg");
}

TEST(BrowseForm, CaptionHintAndCancelFollowTheLanguageAtEveryPaint)
{
    Language = "ENU";
    std::string path;
    std::string caption;
    std::string cancel;
    BrowseRunning("t", path, false, [&] {
        caption = Browse().Caption();
        cancel = Browse().CancelBtn.Text();
        Click(Browse().CancelBtn);
    });
    Language = "NLD";
    EXPECT_EQ(caption, "Kestrom - Browse");
    EXPECT_EQ(cancel, "Cancel");
}

} // namespace
