#include "ui/message_form.h"

#include "ui/dialog_layout.h"

TMessageForm* MessageForm = nullptr;

void TMessageForm::Create()
{
    MessageForm = this;
    FormStyle style;
    style.style = WS_POPUP | WS_CLIPCHILDREN;
    style.exStyle = WS_EX_CONTROLPARENT;
    style.fontFace = "Verdana";
    style.fontHeight = 17;
    CreateForm("KestromMessageForm", "", 699, 118, style);

    MessagePanel.Create(Handle(), {0, 0, 699, 118}, Bevel::None, Bevel::Lowered);
    MessagePanel.SetFrame(2, 2, true);
    MemoOptions memo;
    memo.readOnly = true;
    memo.border = false;
    memo.verticalScrollBar = false;
    memo.wantReturns = false;
    MessageMemo.Create(*this, MessagePanel.Handle(), {26, 23, 394, 70}, memo);

    // Enabled from the start: its first tick, a second after start, only
    // switches it off and closes the window that was never shown.
    Timer.Create(*this, 1000, true);
    Timer.OnTimer = [this] { TimerTimer(); };
}

void TMessageForm::ShowMessageWindow(int top, int left, int height, int width, const std::string& line1,
                                     const std::string& line2, std::uint16_t interval)
{
    MessageMemo.SetText(MemoText(MessageLines(line1, line2)));
    // Counted at the width the memo has now, the previous call's.
    const int lines = DisplayLines(MessageMemo.LineCount(), MessageMemo.LastLineEmpty());
    const MessageWindowSize size =
        MessageWindowLayout(lines, PointSize(FormFont()), GetSystemMetrics(SM_CYSCREEN), MessagePanel.Width());
    SetSize(Width(), size.WindowHeight);
    MessageMemo.SetBounds(size.MemoLeft, MessageMemo.Top(), size.MemoWidth, size.MemoHeight);
    MessageMemo.CaretToStart();
    Timer.SetInterval(interval);
    const DialogPlace place = CentreOn({top, left, height, width}, Height(), Width());
    SetPosition(place.Left, place.Top);
    Hide();
    Show();
}

void TMessageForm::FormShow() { Timer.SetEnabled(true); }

void TMessageForm::FormResize()
{
    // The panel fills the window (WM_SIZE comes once before it exists).
    if (!MessagePanel.Handle()) return;
    MessagePanel.SetBounds(0, 0, ClientWidth(), ClientHeight());
}

void TMessageForm::TimerTimer()
{
    Timer.SetEnabled(false);
    Close();
}
