// The information window on real (hidden, then modal) windows: the pixel
// layout that does not scale, texts, hints, fonts, hand cursor, the two
// views, the centring at every show and Enter right after opening.
#include "app/main_form.h"
#include "ui/about_form.h"
#include "ui/about_texts.h"
#include "ui/message_form.h"
#include "win/application.h"
#include "win/scaling.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

namespace {

// The windows of the program that the information window reads, created
// once in the program's order.
class Windows : public ::testing::Environment {
public:
    void SetUp() override
    {
        Application::Initialize(GetModuleHandleA(nullptr), "Kestrom");
        main.Create();
        // No update window here: the main window's check three seconds
        // after start would have none to show its outcome in.
        main.UpdateTimer.SetEnabled(false);
        message.Create();
        about.Create(main);
    }
    void TearDown() override
    {
        about.Destroy();
        message.Destroy();
        main.Destroy();
    }
    TMainForm main;
    TMessageForm message;
    TAboutForm about;
};

// Runs whileUp once the modal window is up and has painted; returns the
// modal result. A script that leaves the window open gets it cancelled.
std::function<void()> script;

// A timer procedure is a stdcall function in the 32-bit program.
void CALLBACK RunScript(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    script();
}

int ShowModalRunning(TAboutForm& form, std::function<void()> whileUp)
{
    script = [&form, whileUp] {
        whileUp();
        if (form.Visible() && form.ModalResultValue() == mrNone) form.SetModalResult(mrCancel);
    };
    SetTimer(nullptr, 0, 100, RunScript);
    return form.ShowModal();
}

RECT ScreenRect(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
}

bool OwnVisibleFlag(HWND window) { return (GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) != 0; }

std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

TEST(AboutForm, FixedPixelLayoutAtAnyScreenDensity)
{
    TAboutForm& about = *AboutForm;
    EXPECT_EQ(about.ClientWidth(), 482);
    EXPECT_EQ(about.ClientHeight(), 365);
    struct Case {
        const char* name;
        const Control& control;
        RECT expected; // left, top, right, bottom in the panel
    };
    const Case cases[] = {
        {"NameLabel", about.NameLabel, {7, 31, 163, 62}},
        {"VersionLabel", about.VersionLabel, {5, 95, 164, 115}},
        {"CopyrightLabel", about.CopyrightLabel, {28, 169, 425, 193}},
        {"AutorBtn", about.AutorBtn, {430, 166, 449, 187}},
        {"Bevel3", about.Bevel3, {20, 162, 457, 201}},
        {"Bevel2", about.Bevel2, {20, 215, 457, 273}},
        {"Label1", about.Label1, {24, 221, 450, 242}},
        {"Label2", about.Label2, {23, 247, 449, 270}},
        {"MailBtn", about.MailBtn, {83, 305, 148, 339}},
        {"OKBtn", about.OKBtn, {187, 305, 264, 339}},
        {"HomeBtn", about.HomeBtn, {305, 305, 370, 339}},
        {"OKBtn1", about.OKBtn1, {148, 220, 221, 249}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.name << " at " << ScreenDensity() << " pixels per inch");
        const RECT bounds = c.control.Bounds();
        EXPECT_EQ(bounds.left, c.expected.left);
        EXPECT_EQ(bounds.top, c.expected.top);
        EXPECT_EQ(bounds.right, c.expected.right);
        EXPECT_EQ(bounds.bottom, c.expected.bottom);
    }
    // Both views fill the client area; the mail body's memo is never seen.
    for (const Panel* panel : {&about.MainPanel, &about.Panel1}) {
        EXPECT_EQ(panel->Width(), 482);
        EXPECT_EQ(panel->Height(), 365);
    }
    EXPECT_FALSE(about.MailMemo.Visible());
    EXPECT_GE(about.MailMemo.Left(), about.ClientWidth());
    // A dialog frame without title-bar buttons.
    const LONG_PTR style = GetWindowLongPtrA(about.Handle(), GWL_STYLE);
    EXPECT_EQ(style & WS_SYSMENU, 0);
    EXPECT_NE(style & WS_CAPTION, 0);
    EXPECT_EQ(style & WS_THICKFRAME, 0);
}

TEST(AboutForm, TextsAndHintsFromTheMainWindow)
{
    TAboutForm& about = *AboutForm;
    EXPECT_EQ(about.Caption(), "versie 1.00c, Kestrom - Informatie");
    const std::pair<const Control&, std::string> texts[] = {
        {about.NameLabel, "Kestrom"},
        {about.VersionLabel, "versie 1.00c"},
        {about.CopyrightLabel, MainForm->CopyrightText},
        {about.Label1, "Kestrom downloadt de Optiekoersen"},
        {about.Label2, "van alle AEX-fondsen."},
        {about.MailBtn, "Mail"},
        {about.OKBtn, "OK"},
        {about.HomeBtn, "Home"},
        {about.OKBtn1, "OK"},
    };
    for (const auto& [control, text] : texts) {
        SCOPED_TRACE(text);
        EXPECT_EQ(control.Text(), text);
        // Centred in their fixed width.
        if (ClassOf(control.Handle()) == "Static") {
            EXPECT_EQ(GetWindowLongPtrA(control.Handle(), GWL_STYLE) & SS_TYPEMASK, SS_CENTER);
        }
    }
    const std::pair<const Control&, std::string> hints[] = {
        {about.AutorBtn, "Toon auteur"},
        {about.MailBtn, "Stuur uw opmerkingen naar de auteur van Kestrom"},
        {about.OKBtn, "Terug naar het hoofdscherm"},
        {about.HomeBtn, "Bezoek de site van Kestrom"},
        {about.OKBtn1, "Terug naar het hoofdscherm"},
    };
    for (const auto& [control, hint] : hints) {
        SCOPED_TRACE(control.Text() + " / " + hint);
        EXPECT_EQ(about.Hint(control), hint);
    }
    EXPECT_EQ(about.Memo1.Lines(), ContactLines("Kestrom"));
    EXPECT_EQ(about.MailMemo.Lines(), MailBodyLines("Kestrom"));
    const LONG_PTR memoStyle = GetWindowLongPtrA(about.Memo1.Handle(), GWL_STYLE);
    EXPECT_NE(memoStyle & ES_READONLY, 0);
    EXPECT_NE(memoStyle & ES_CENTER, 0);
    EXPECT_EQ(GetWindowLongPtrA(about.Memo1.Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
}

TEST(AboutForm, FontsInPixelsThatDoNotScale)
{
    TAboutForm& about = *AboutForm;
    struct Case {
        const char* name;
        HWND window;
        const char* face;
        int height;
        bool bold;
    };
    const Case cases[] = {
        {"window", about.Handle(), "Verdana", 16, false},
        {"NameLabel", about.NameLabel.Handle(), "Arial", 24, true},
        {"VersionLabel", about.VersionLabel.Handle(), "Arial", 13, false},
        {"CopyrightLabel", about.CopyrightLabel.Handle(), "Verdana", 13, false},
        {"AutorBtn", about.AutorBtn.Handle(), "Arial", 15, true},
        {"Label1", about.Label1.Handle(), "Verdana", 16, false},
        {"MailBtn", about.MailBtn.Handle(), "Verdana", 16, false},
        {"Memo1", about.Memo1.Handle(), "Arial", 13, false},
        {"OKBtn1", about.OKBtn1.Handle(), "Verdana", 15, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A form keeps its font itself; its controls are asked for theirs.
        const auto font = c.window == about.Handle() ? about.FormFont()
                                                     : reinterpret_cast<HFONT>(SendMessageA(c.window, WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr);
        LOGFONTA logical = {};
        ASSERT_NE(GetObjectA(font, sizeof logical, &logical), 0);
        EXPECT_STREQ(logical.lfFaceName, c.face);
        // Negative: the character height, not the cell height.
        EXPECT_EQ(logical.lfHeight, -c.height);
        EXPECT_EQ(logical.lfWeight >= FW_BOLD, c.bold);
    }
}

TEST(AboutForm, EveryButtonShowsTheHandCursor)
{
    TAboutForm& about = *AboutForm;
    const HCURSOR hand = LoadCursor(nullptr, IDC_HAND);
    for (const Button* button : {&about.AutorBtn, &about.MailBtn, &about.OKBtn, &about.HomeBtn, &about.OKBtn1}) {
        SCOPED_TRACE(button->Text());
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
        SendMessageA(button->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(button->Handle()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor(), hand);
    }
}

TEST(AboutForm, CentredOnTheMainWindowAtEveryShow)
{
    TAboutForm& about = *AboutForm;
    struct Case {
        int left, top, width, height;
    };
    // The second place is odd-sized and partly off the screen: halves
    // truncate toward zero and nothing pulls the window back.
    const Case places[] = {{100, 80, 805, 303}, {-301, 7, 641, 251}, {600, 500, 805, 303}};
    for (const auto& place : places) {
        SCOPED_TRACE(::testing::Message() << place.left << "," << place.top);
        SetWindowPos(MainForm->Handle(), nullptr, place.left, place.top, place.width, place.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        const RECT main = ScreenRect(MainForm->Handle());
        RECT shown = {};
        EXPECT_EQ(ShowModalRunning(about, [&] { shown = ScreenRect(about.Handle()); }), mrCancel);
        const int width = shown.right - shown.left;
        const int height = shown.bottom - shown.top;
        EXPECT_EQ(shown.left, main.left + (main.right - main.left - width) / 2);
        EXPECT_EQ(shown.top, main.top + (main.bottom - main.top - height) / 2);
    }
}

TEST(AboutForm, EnterRightAfterOpeningCloses)
{
    TAboutForm& about = *AboutForm;
    HWND focused = nullptr;
    const int result = ShowModalRunning(about, [&] {
        focused = GetFocus();
        PostMessageA(focused, WM_KEYDOWN, VK_RETURN, 1);
        PostMessageA(focused, WM_KEYUP, VK_RETURN, 0xC0000001);
        MSG message;
        while (about.ModalResultValue() == mrNone && GetMessageA(&message, nullptr, 0, 0) > 0) {
            Application::DispatchOne(message);
        }
    });
    EXPECT_EQ(focused, about.OKBtn.Handle());
    EXPECT_EQ(result, mrOk);
    EXPECT_FALSE(about.Visible());
}

TEST(AboutForm, ContactViewAndBackToTheMainViewAtTheNextOpening)
{
    TAboutForm& about = *AboutForm;
    std::string contactCaption;
    bool contactShown = false;
    bool mainHidden = false;
    HWND focusInContact = nullptr;
    const int result = ShowModalRunning(about, [&] {
        about.AutorBtn.Click();
        contactCaption = about.Caption();
        contactShown = OwnVisibleFlag(about.Panel1.Handle()) && IsWindowVisible(about.Memo1.Handle());
        mainHidden = !OwnVisibleFlag(about.MainPanel.Handle());
        focusInContact = GetFocus();
        about.OKBtn1.Click();
    });
    EXPECT_EQ(contactCaption, "Kestrom - Auteur");
    EXPECT_TRUE(contactShown);
    EXPECT_TRUE(mainHidden);
    EXPECT_EQ(focusInContact, about.OKBtn1.Handle());
    // OKBtn1 closes the window, and it opens again in the main view.
    EXPECT_EQ(result, mrOk);
    EXPECT_FALSE(about.Visible());
    EXPECT_EQ(about.Caption(), "versie 1.00c, Kestrom - Informatie");

    std::string caption;
    bool mainShown = false;
    HWND focused = nullptr;
    EXPECT_EQ(ShowModalRunning(about, [&] {
                  caption = about.Caption();
                  mainShown = IsWindowVisible(about.MainPanel.Handle()) && !IsWindowVisible(about.Panel1.Handle());
                  focused = GetFocus();
                  about.OKBtn.Click();
              }),
              mrOk);
    EXPECT_EQ(caption, "versie 1.00c, Kestrom - Informatie");
    EXPECT_TRUE(mainShown);
    EXPECT_EQ(focused, about.OKBtn.Handle());
}

TEST(AboutForm, EnterInTheContactViewLeavesItThroughOKBtn1)
{
    TAboutForm& about = *AboutForm;
    const int result = ShowModalRunning(about, [&] {
        about.AutorBtn.Click();
        // Enter as the dialog navigation reports it when no button has the focus.
        SetFocus(about.Handle());
        SendMessageA(about.Handle(), WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_TRUE(OwnVisibleFlag(about.MainPanel.Handle()));
    EXPECT_EQ(about.Caption(), "versie 1.00c, Kestrom - Informatie");
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new Windows);
    return RUN_ALL_TESTS();
}
