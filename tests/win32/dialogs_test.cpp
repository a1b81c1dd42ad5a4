// The yes/no dialog, the input dialog and the message window as real
// windows under Wine: answered by posted clicks and key presses from timers
// that fire inside their modal loops, sizes read back from the windows.
// KESTROM_DIALOG_HOLD_MS keeps each dialog up that long before it is
// answered, for screenshots.
#include "modal_script.h"
#include "support/language.h"
#include "ui/ask_dialog.h"
#include "ui/dialog_layout.h"
#include "ui/message_form.h"
#include "ui/yes_no_dialog.h"
#include "win/application.h"
#include "win/font.h"
#include "win/scaling.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <regex>
#include <string>

namespace {

// Closing the program's first form ends the message loop: the dialogs get
// a hidden main window, as in the program.
class TestMainForm : public Form {
public:
    void Create() { CreateForm("KestromTestMainForm", "Kestrom", 400, 300); }
};

class DialogsEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        Application::Initialize(GetModuleHandle(nullptr), "Kestrom");
        Language = "NLD";
        mainForm_.Create();
        messageForm_.Create();
        askDlg_.Create();
        yesNoDlg_.Create();
    }

private:
    TestMainForm mainForm_;
    TMessageForm messageForm_;
    TAskDlg askDlg_;
    TYesNoDlg yesNoDlg_;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new DialogsEnvironment);

int HoldMs()
{
    const char* hold = std::getenv("KESTROM_DIALOG_HOLD_MS");
    return hold ? std::atoi(hold) : 0;
}

// Answers the next modal dialog once it is up and painted (timers come
// after paints), and held for KESTROM_DIALOG_HOLD_MS when a person wants to
// look at it; closes it with a failure if the answer did not. Not "active":
// a dialog placed beside a caller off the screen need not be.
class Answering {
public:
    Answering(Form& dialog, std::function<void()> answer)
        : answer_([&dialog, shown = GetTickCount()] {
                      return dialog.Visible() && static_cast<int>(GetTickCount() - shown) >= HoldMs();
                  },
                  std::move(answer)),
          watchdog_(static_cast<UINT>(HoldMs()) + HangBoundMs, [&dialog] {
              ADD_FAILURE() << "the dialog did not close";
              PostMessageA(dialog.Handle(), WM_CLOSE, 0, 0);
          })
    {
    }

private:
    WhenReady answer_;
    OneShot watchdog_;
};

void Click(const Button& button) { PostMessageA(button.Handle(), BM_CLICK, 0, 0); }

// As typed: the key goes to the window with the focus.
void PressKey(WORD key)
{
    HWND focus = GetFocus();
    PostMessageA(focus, WM_KEYDOWN, key, 0x00000001);
    PostMessageA(focus, WM_KEYUP, key, 0xC0000001);
}

constexpr CallerRect Caller = {100, 200, 303, 805};

// Hidden with its countdown stopped, as its own tick leaves it.
void PutAway(TMessageForm& form)
{
    form.Timer.SetEnabled(false);
    form.Hide();
}

// --- Yes/no dialog ---

enum class Action { ClickJa, ClickNee, ClickCancel, Enter, Escape, CloseWindow };

TEST(YesNoDlg, ButtonsKeysAndFlags)
{
    struct Case {
        const char* label;
        bool defaultYes;
        bool cancelFlagIn;
        Action action;
        bool result;
        bool cancelFlagOut;
    };
    const Case cases[] = {
        {"Nee clicked, two buttons", false, false, Action::ClickNee, false, false},
        {"Ja clicked, two buttons", false, false, Action::ClickJa, true, false},
        {"cancel clicked, three buttons", false, true, Action::ClickCancel, false, true},
        {"Ja clicked, three buttons", false, true, Action::ClickJa, true, false},
        {"Nee clicked, three buttons", true, true, Action::ClickNee, false, false},
        {"Enter, default No", false, false, Action::Enter, false, false},
        {"Enter, default Yes", true, false, Action::Enter, true, false},
        {"Enter, default Yes, three buttons", true, true, Action::Enter, true, false},
        {"Escape, default Yes", true, false, Action::Escape, false, false},
        {"Escape, three buttons: No, not cancel", true, true, Action::Escape, false, false},
        {"closed without a button, default Yes: No", true, true, Action::CloseWindow, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TYesNoDlg& dialog = *YesNoDlg;
        bool cancelFlag = c.cancelFlagIn;
        bool stateChecked = false;
        Answering answering(dialog, [&] {
            EXPECT_EQ(dialog.Caption(), "Kestrom - Downloaden?");
            EXPECT_TRUE(dialog.JaBtn.Visible());
            EXPECT_TRUE(dialog.NeeBtn.Visible());
            EXPECT_EQ(dialog.CancelBtn.Visible(), c.cancelFlagIn);
            EXPECT_EQ(dialog.JaBtn.Text(), "Ja");
            EXPECT_EQ(dialog.NeeBtn.Text(), "Nee");
            EXPECT_EQ(dialog.CancelBtn.Text(), c.cancelFlagIn ? "Annuleren" : "");
            EXPECT_EQ(GetFocus(), (c.defaultYes ? dialog.JaBtn : dialog.NeeBtn).Handle());
            stateChecked = true;
            switch (c.action) {
            case Action::ClickJa: Click(dialog.JaBtn); break;
            case Action::ClickNee: Click(dialog.NeeBtn); break;
            case Action::ClickCancel: Click(dialog.CancelBtn); break;
            case Action::Enter: PressKey(VK_RETURN); break;
            case Action::Escape: PressKey(VK_ESCAPE); break;
            case Action::CloseWindow: PostMessageA(dialog.Handle(), WM_CLOSE, 0, 0); break;
            }
        });
        const bool result = dialog.AskYesNo(Caller.Top, Caller.Left, Caller.Height, Caller.Width,
                                            "Kestrom - Downloaden?", "Het is zondag. Toch downloaden?", "Ja", "Nee",
                                            c.cancelFlagIn ? "Annuleren" : "", c.defaultYes, cancelFlag);
        EXPECT_TRUE(stateChecked);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(cancelFlag, c.cancelFlagOut);
        EXPECT_FALSE(dialog.Visible());
    }
}

TEST(YesNoDlg, EnterPressesTheButtonThatHasTheFocus)
{
    TYesNoDlg& dialog = *YesNoDlg;
    bool cancelFlag = true;
    Answering answering(dialog, [&] {
        dialog.CancelBtn.Focus();
        PressKey(VK_RETURN);
    });
    EXPECT_FALSE(dialog.AskYesNo(0, 0, 600, 800, "Vraag", "Doorgaan?", "Ja", "Nee", "Annuleren", true, cancelFlag));
    EXPECT_TRUE(cancelFlag);
}

// The real sizes against the arithmetic, with the text width and the
// button places measured on the window as the dialog measures them.
void ExpectYesNoLaidOut(const TYesNoDlg& dialog, const std::string& message, int neeLeftBefore,
                        const CallerRect& caller, int expectedLines)
{
    const YesNoWidths widths = YesNoHorizontal(TextExtent(dialog.FormFont(), message).cx, neeLeftBefore,
                                               dialog.NeeBtn.Width(), dialog.CancelBtn.Width());
    const RECT panel = dialog.MessagePanel.Bounds();
    EXPECT_EQ(panel.left, 16);
    EXPECT_EQ(panel.right - panel.left, widths.PanelWidth);
    EXPECT_EQ(dialog.MessageMemo.Left(), 8);
    EXPECT_EQ(dialog.MessageMemo.Width(), widths.PanelWidth - 16);
    EXPECT_EQ(dialog.ClientWidth(), widths.PanelWidth + 32);
    EXPECT_EQ(dialog.JaBtn.Left(), 16);
    EXPECT_EQ(dialog.NeeBtn.Left(), widths.NeeLeft);
    EXPECT_EQ(dialog.CancelBtn.Left(), widths.CancelLeft);

    EXPECT_EQ(DisplayLines(dialog.MessageMemo.LineCount(), dialog.MessageMemo.LastLineEmpty()), expectedLines);
    const YesNoHeights heights = YesNoVertical(expectedLines, PointSize(dialog.FormFont()), dialog.NeeBtn.Height());
    EXPECT_EQ(dialog.MessageMemo.Height(), heights.MemoHeight);
    EXPECT_EQ(panel.bottom - panel.top, heights.PanelHeight);
    for (const Button* button : {&dialog.JaBtn, &dialog.NeeBtn, &dialog.CancelBtn}) {
        EXPECT_EQ(button->Top(), heights.ButtonTop);
    }
    EXPECT_EQ(dialog.ClientHeight(), heights.ClientHeight);

    const DialogPlace place = CentreOn(caller, dialog.Height(), dialog.Width());
    EXPECT_EQ(dialog.Top(), place.Top);
    EXPECT_EQ(dialog.Left(), place.Left);
}

TEST(YesNoDlg, SizedToItsMessageAndNeverNarrowerWithinARun)
{
    // A dialog of its own, so that no earlier call has widened it.
    TYesNoDlg* const shared = YesNoDlg;
    TYesNoDlg dialog;
    dialog.Create();
    YesNoDlg = shared;

    const int designNeeLeft = dialog.NeeBtn.Left();
    EXPECT_EQ(designNeeLeft, Scaled(307));
    EXPECT_EQ(dialog.NeeBtn.Width(), Scaled(127));
    const std::string longMessage(400, 'W');
    struct Case {
        const char* label;
        std::string message;
        CallerRect caller;
        int lines;
        int panelWidth; // 0: as the arithmetic says
    };
    const Case cases[] = {
        {"first call, short: the design width", "Doorgaan?", Caller, 1, designNeeLeft + Scaled(127) - 16},
        {"two CRs: three lines", "een\rtwee\rdrie", {0, 0, 0, 0}, 3, 0},
        {"empty: one empty line", "", {-400, 3000, 50, 60}, 1, 0},
        {"long: wider, wrapped", longMessage, {10, 10, 1000, 1200}, 0, 0},
        {"short after long: keeps the width", "Ja?", Caller, 1, 0},
    };
    int widest = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const int neeLeftBefore = dialog.NeeBtn.Left();
        Answering answering(dialog, [&] {
            const int lines = c.lines ? c.lines : DisplayLines(dialog.MessageMemo.LineCount(), true);
            if (!c.lines) {
                EXPECT_GT(lines, 1);
            }
            ExpectYesNoLaidOut(dialog, c.message, neeLeftBefore, c.caller, lines);
            if (c.panelWidth) {
                EXPECT_EQ(dialog.MessagePanel.Width(), c.panelWidth);
            }
            EXPECT_GE(dialog.MessagePanel.Width(), widest);
            widest = dialog.MessagePanel.Width();
            Click(dialog.JaBtn);
        });
        bool cancelFlag = false;
        EXPECT_TRUE(dialog.AskYesNo(c.caller.Top, c.caller.Left, c.caller.Height, c.caller.Width, "Vraag", c.message,
                                    "Ja", "Nee", "", false, cancelFlag));
    }
    EXPECT_EQ(dialog.MessageMemo.Text(), "Ja?\r\n");
    dialog.Destroy();
}

TEST(YesNoDlg, EveryPaintRecentresAndRefocuses)
{
    TYesNoDlg& dialog = *YesNoDlg;
    Answering answering(dialog, [&] {
        const int left = dialog.Left();
        const int top = dialog.Top();
        dialog.SetPosition(left + 37, top - 21);
        dialog.JaBtn.Focus();
        ASSERT_EQ(GetFocus(), dialog.JaBtn.Handle());
        RedrawWindow(dialog.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        EXPECT_EQ(dialog.Left(), left);
        EXPECT_EQ(dialog.Top(), top);
        EXPECT_EQ(GetFocus(), dialog.NeeBtn.Handle());
        Click(dialog.NeeBtn);
    });
    bool cancelFlag = false;
    EXPECT_FALSE(dialog.AskYesNo(50, 60, 400, 700, "Vraag", "Doorgaan?", "Ja", "Nee", "", false, cancelFlag));
}

// Nobody answers: after its time the question takes "Nee", whatever the
// default, and until then it shows the time left. The next question waits
// for its answer again (the test below sees its message alone).
TEST(YesNoDlg, AQuestionForARunNobodyWatchesAnswersItselfNee)
{
    TYesNoDlg& dialog = *YesNoDlg;
    bool shown = false;
    Answering watching(dialog, [&] {
        shown = true;
        const std::string text = dialog.MessageMemo.Text();
        EXPECT_TRUE(std::regex_match(text, std::regex("Doorgaan\\?\r\nZonder antwoord wordt over 0:[0-2][0-9] \"Nee\" gekozen\r\n")))
            << text;
    });
    dialog.AnswerNoAfter(20'000);
    bool cancelFlag = false;
    EXPECT_FALSE(dialog.AskYesNo(0, 0, 500, 500, "Vraag", "Doorgaan?", "Ja", "Nee", "", true, cancelFlag));
    EXPECT_TRUE(dialog.AnsweredItself());
    EXPECT_TRUE(shown);
}

TEST(YesNoDlg, ALineFeedAfterACrStaysInTheNextLine)
{
    TYesNoDlg& dialog = *YesNoDlg;
    Answering answering(dialog, [&] {
        EXPECT_EQ(dialog.MessageMemo.Text(), "een\r\n\ntwee\r\n");
        Click(dialog.NeeBtn);
    });
    bool cancelFlag = false;
    dialog.AskYesNo(0, 0, 500, 500, "Vraag", "een\r\ntwee", "Ja", "Nee", "", false, cancelFlag);
    EXPECT_FALSE(dialog.AnsweredItself());
}

// --- Input dialog ---

TEST(AskDlg, ButtonsKeysAndTheTextHandedBack)
{
    struct Case {
        const char* label;
        Action action;
        bool result;
    };
    const Case cases[] = {
        {"OK clicked", Action::ClickJa, true},
        {"cancel clicked: the text still comes back", Action::ClickCancel, false},
        {"Enter in the field", Action::Enter, true},
        {"closed without a button, right after an OK", Action::CloseWindow, false},
        {"Escape", Action::Escape, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TAskDlg& dialog = *AskDlg;
        std::string value = "Nieuwe map";
        Answering answering(dialog, [&] {
            EXPECT_EQ(GetFocus(), dialog.AskEdit.Handle());
            EXPECT_EQ(dialog.AskEdit.Text(), "Nieuwe map");
            EXPECT_EQ(dialog.CancelBtn.Text(), "Annuleren");
            EXPECT_EQ(dialog.OKBtn.Text(), "OK");
            // Nothing selected on entry.
            DWORD start = 0;
            DWORD end = 0;
            SendMessageA(dialog.AskEdit.Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                         reinterpret_cast<LPARAM>(&end));
            EXPECT_EQ(start, end);
            dialog.AskEdit.SetText("Koersen 2024");
            switch (c.action) {
            case Action::ClickJa: Click(dialog.OKBtn); break;
            case Action::ClickCancel: Click(dialog.CancelBtn); break;
            case Action::Enter: PressKey(VK_RETURN); break;
            case Action::CloseWindow: PostMessageA(dialog.Handle(), WM_CLOSE, 0, 0); break;
            default: PressKey(VK_ESCAPE); break;
            }
        });
        EXPECT_EQ(dialog.AskText(Caller.Top, Caller.Left, Caller.Height, Caller.Width,
                                 "Geef de naam van de nieuwe map:", value),
                  c.result);
        EXPECT_EQ(value, "Koersen 2024");
        EXPECT_FALSE(dialog.Visible());
    }
}

TEST(AskDlg, HeightFollowsThePromptAndTheDialogIsCentred)
{
    const std::string longPrompt =
        "Geef de naam van de nieuwe map in de gekozen map; de naam mag geen schuine strepen, dubbele punten, "
        "sterretjes of vraagtekens bevatten.";
    struct Case {
        const char* label;
        std::string prompt;
        CallerRect caller;
    };
    const Case cases[] = {
        {"Dutch prompt", "Geef de naam van de nieuwe map:", Caller},
        {"English prompt", "Enter Name of new Folder:", {-50, -70, 10, 10}},
        {"empty prompt: the field 10 below the label's top", "", {0, 0, 768, 1024}},
        {"long prompt", longPrompt, {300, 300, 200, 200}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TAskDlg& dialog = *AskDlg;
        std::string value;
        Answering answering(dialog, [&] {
            const RECT label = dialog.AskLabel.Bounds();
            const int labelWidth = label.right - label.left;
            EXPECT_EQ(labelWidth, Scaled(232, 96));
            EXPECT_EQ(label.top, Scaled(8, 96));
            const AskLayout layout = AskTextLayout(TextExtent(dialog.FormFont(), c.prompt).cx, label.top, labelWidth,
                                                   dialog.AskEdit.Height(), dialog.OKBtn.Height());
            EXPECT_EQ(label.bottom - label.top, layout.LabelHeight);
            EXPECT_EQ(dialog.AskEdit.Top(), layout.EditTop);
            EXPECT_EQ(dialog.OKBtn.Top(), layout.ButtonTop);
            EXPECT_EQ(dialog.CancelBtn.Top(), layout.ButtonTop);
            EXPECT_EQ(dialog.ClientHeight(), layout.ClientHeight);
            if (c.prompt.empty()) {
                EXPECT_EQ(dialog.AskEdit.Top(), label.top + 10);
            }
            EXPECT_EQ(dialog.AskLabel.Text(), c.prompt);
            const DialogPlace place = CentreOn(c.caller, dialog.Height(), dialog.Width());
            EXPECT_EQ(dialog.Top(), place.Top);
            EXPECT_EQ(dialog.Left(), place.Left);
            Click(dialog.OKBtn);
        });
        EXPECT_TRUE(dialog.AskText(c.caller.Top, c.caller.Left, c.caller.Height, c.caller.Width, c.prompt, value));
        EXPECT_EQ(value, "");
    }
}

TEST(AskDlg, CancelCaptionFollowsTheLanguageAtCreation)
{
    TAskDlg* const shared = AskDlg;
    struct Case {
        const char* language;
        const char* caption;
    };
    for (const Case& c : {Case{"NLD", "Annuleren"}, Case{"ENU", "Cancel"}}) {
        SCOPED_TRACE(c.language);
        Language = c.language;
        TAskDlg dialog;
        dialog.Create();
        EXPECT_EQ(dialog.CancelBtn.Text(), c.caption);
        dialog.Destroy();
    }
    Language = "NLD";
    AskDlg = shared;
}

// --- Message window ---

void ExpectMessageLaidOut(const TMessageForm& form, int lines, const CallerRect& caller)
{
    const int points = PointSize(form.FormFont());
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const MessageWindowSize size = MessageWindowLayout(lines, points, screenHeight, form.MessagePanel.Width());
    EXPECT_EQ(form.MessageMemo.Left(), 20);
    EXPECT_EQ(form.MessageMemo.Width(), form.MessagePanel.Width() - 40);
    EXPECT_EQ(form.MessageMemo.Top(), Scaled(23));
    EXPECT_EQ(form.MessageMemo.Height(), size.MemoHeight);
    EXPECT_EQ(form.Height(), size.WindowHeight);
    EXPECT_EQ(form.Width(), Scaled(699));
    EXPECT_EQ(form.MessagePanel.Width(), form.ClientWidth());
    EXPECT_EQ(form.MessagePanel.Height(), form.ClientHeight());
    const DialogPlace place = CentreOn(caller, form.Height(), form.Width());
    EXPECT_EQ(form.Top(), place.Top);
    EXPECT_EQ(form.Left(), place.Left);
}

TEST(MessageForm, SizedToItsLinesAndCentred)
{
    TMessageForm& form = *MessageForm;
    const int points = PointSize(form.FormFont());
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    std::string veryLong;
    while (veryLong.size() < 8000) veryLong += "Bedankt voor uw reactie op Kestrom. ";
    struct Case {
        const char* label;
        std::string line1;
        std::string line2;
        int lines;
        int windowHeight; // 0: as the arithmetic says
    };
    const Case cases[] = {
        {"two lines", "Bedankt voor uw reactie.", "Uw e-mailprogramma wordt gestart.", 2, 4 * points + 50},
        {"first line only", "Een ogenblik geduld.", "", 1, 3 * points + 50},
        {"second line only", "", "Een ogenblik geduld.", 1, 3 * points + 50},
        {"both empty: two font sizes and 50", "", "", 0, 2 * points + 50},
        {"very long: the screen height - 150", veryLong, "", 0, screenHeight - 150},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        form.ShowMessageWindow(Caller.Top, Caller.Left, Caller.Height, Caller.Width, c.line1, c.line2, 0);
        EXPECT_TRUE(form.Visible());
        EXPECT_EQ(form.MessageMemo.Text(), MemoText(MessageLines(c.line1, c.line2)));
        const int lines = c.lines ? c.lines : DisplayLines(form.MessageMemo.LineCount(), true);
        ExpectMessageLaidOut(form, lines, Caller);
        EXPECT_EQ(form.Height(), c.windowHeight);
    }
    PutAway(form);
}

TEST(MessageForm, ClosesItselfAfterItsInterval)
{
    TMessageForm& form = *MessageForm;
    const auto interval = static_cast<std::uint16_t>(std::max(300, HoldMs()));
    form.ShowMessageWindow(Caller.Top, Caller.Left, Caller.Height, Caller.Width, "Bedankt voor uw reactie.",
                           "Uw e-mailprogramma wordt gestart.", interval);
    EXPECT_TRUE(form.Visible());
    EXPECT_TRUE(form.Timer.Enabled());
    EXPECT_TRUE(PumpUntil([&] { return !form.Visible(); }, interval + HangBoundMs));
    EXPECT_FALSE(form.Timer.Enabled());
}

TEST(MessageForm, IntervalZeroNeverFires)
{
    TMessageForm& form = *MessageForm;
    form.ShowMessageWindow(Caller.Top, Caller.Left, Caller.Height, Caller.Width, "Blijft staan", "", 0);
    // Past the creation timer's second and well past any countdown.
    PumpUntil([] { return false; }, 1500);
    EXPECT_TRUE(form.Visible());

    // A later call with a time closes it.
    form.ShowMessageWindow(Caller.Top, Caller.Left, Caller.Height, Caller.Width, "Nu wel", "", 200);
    EXPECT_TRUE(PumpUntil([&] { return !form.Visible(); }, HangBoundMs));
}

// The countdown tests compare the form's timer with a marker timer of the
// same thread, not with the clock: a thread's timers come in the order they
// are due, however slow the machine.
TEST(MessageForm, ShownAgainWhileUpKeepsTheRunningCountdown)
{
    // Shown for 4000 ms and again after 1000 ms with the same interval: the
    // first countdown closes it at 4000, before a marker set 3500 ms after
    // the second showing; a restarted countdown would close it only 4000 ms
    // after that showing.
    TMessageForm& form = *MessageForm;
    form.ShowMessageWindow(Caller.Top, Caller.Left, Caller.Height, Caller.Width, "Eerste", "", 4000);
    bool shownAgain = false;
    bool markerPassed = false;
    std::unique_ptr<OneShot> marker;
    OneShot again(1000, [&] {
        ASSERT_TRUE(form.Visible());
        form.ShowMessageWindow(Caller.Top, Caller.Left, Caller.Height, Caller.Width, "Tweede", "regel", 4000);
        EXPECT_EQ(form.MessageMemo.Text(), "Tweede\r\nregel\r\n");
        shownAgain = true;
        marker = std::make_unique<OneShot>(3500, [&] { markerPassed = true; });
    });
    EXPECT_TRUE(PumpUntil([&] { return !form.Visible(); }, HangBoundMs));
    EXPECT_TRUE(shownAgain);
    EXPECT_FALSE(markerPassed);
    PutAway(form);
}

TEST(MessageForm, ANewIntervalWhileUpRestartsTheCountdown)
{
    // Shown for 3000 ms, then after 500 ms for 10000 ms: still up at a
    // marker 4000 ms after the second showing, past the first countdown.
    TMessageForm& form = *MessageForm;
    form.ShowMessageWindow(Caller.Top, Caller.Left, Caller.Height, Caller.Width, "Eerste", "", 3000);
    bool markerPassed = false;
    std::unique_ptr<OneShot> marker;
    OneShot again(500, [&] {
        ASSERT_TRUE(form.Visible());
        form.ShowMessageWindow(Caller.Top, Caller.Left, Caller.Height, Caller.Width, "Tweede", "", 10000);
        marker = std::make_unique<OneShot>(4000, [&] { markerPassed = true; });
    });
    EXPECT_TRUE(PumpUntil([&] { return markerPassed; }, HangBoundMs));
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(form.Timer.Interval(), 10000u);
    PutAway(form);
}

} // namespace
