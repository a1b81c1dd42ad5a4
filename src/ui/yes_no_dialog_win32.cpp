#include "ui/yes_no_dialog.h"

#include "support/resource.h"

TYesNoDlg* YesNoDlg = nullptr;

void TYesNoDlg::Create()
{
    YesNoDlg = this;
    FormStyle style;
    // A dialog frame without the title bar's buttons: the dialog closes
    // through its own buttons only.
    style.style = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
    style.exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    style.fontFace = "Verdana";
    style.fontHeight = 17;
    CreateForm("KestromYesNoDlg", "", 472, 181, style);

    // Created in the tab order: NeeBtn, JaBtn, MessagePanel, CancelBtn.
    NeeBtn.Create(*this, Handle(), "Nee", {307, 133, 127, 34});
    NeeBtn.SetImages(IDB_CANCEL);
    NeeBtn.OnClick = [this] { NeeBtnClick(); };
    JaBtn.Create(*this, Handle(), "Ja", {18, 133, 128, 34});
    JaBtn.SetImages(IDB_OK);
    JaBtn.OnClick = [this] { JaBtnClick(); };
    MessagePanel.Create(Handle(), {15, 12, 436, 70}, Bevel::None, Bevel::Lowered);
    MemoOptions memo;
    memo.readOnly = true;
    memo.border = false;
    memo.verticalScrollBar = false;
    MessageMemo.Create(*this, MessagePanel.Handle(), {8, 8, 402, 56}, memo);
    CancelBtn.Create(*this, Handle(), "Annuleren", {151, 133, 128, 34});
    CancelBtn.SetImages(IDB_ABORT, IDB_ABORT_DISABLED);
    CancelBtn.OnClick = [this] { CancelBtnClick(); };

    CountdownTimer.Create(*this, 1000, false);
    CountdownTimer.OnTimer = [this] { CountdownTimerTimer(); };

    for (Button* button : {&NeeBtn, &JaBtn, &CancelBtn}) button->SetHandCursor();
    SetDefaultButton(&JaBtn);
    // Escape answers No, also when CancelBtn is shown.
    SetCancelButton(&NeeBtn);
}

bool TYesNoDlg::AskYesNo(int top, int left, int height, int width, const std::string& caption,
                         const std::string& message, const std::string& yesCaption, const std::string& noCaption,
                         const std::string& cancelCaption, bool defaultYes, bool& cancelFlag)
{
    caller_ = {top, left, height, width};
    SetCaption(caption);
    JaBtn.SetText(yesCaption);
    NeeBtn.SetText(noCaption);
    CancelBtn.SetText(cancelCaption);
    CancelBtn.SetVisible(cancelFlag);

    // NeeBtn stands where the previous call put it: the dialog never gets
    // narrower than it was.
    const YesNoWidths widths = YesNoHorizontal(TextExtent(FormFont(), message).cx, NeeBtn.Left(), NeeBtn.Width(),
                                               CancelBtn.Width());
    MessagePanel.SetBounds(widths.PanelLeft, MessagePanel.Bounds().top, widths.PanelWidth, MessagePanel.Height());
    MessageMemo.SetBounds(widths.MemoLeft, MessageMemo.Top(), widths.MemoWidth, MessageMemo.Height());
    SetClientSize(widths.ClientWidth, ClientHeight());
    JaBtn.SetBounds(widths.JaLeft, JaBtn.Top(), JaBtn.Width(), JaBtn.Height());
    NeeBtn.SetBounds(widths.NeeLeft, NeeBtn.Top(), NeeBtn.Width(), NeeBtn.Height());
    CancelBtn.SetBounds(widths.CancelLeft, CancelBtn.Top(), CancelBtn.Width(), CancelBtn.Height());
    lines_ = YesNoLines(message);
    countdown_.reset();
    answeredItself_ = false;
    if (limitMs_ != 0) {
        countdown_.emplace(GetTickCount(), limitMs_);
        lines_.push_back(countdown_->LeftText(GetTickCount()));
    }
    limitMs_ = 0;
    MessageMemo.SetText(MemoText(lines_));

    // Laid out before it shows, not only when it paints: a dialog left off
    // the screen by the previous call would never paint, and would wait
    // there unseen for an answer.
    LayOutHeightsAndCentre();

    answer_ = defaultYes;
    cancelPressed_ = false;
    Hide();
    CountdownTimer.SetEnabled(countdown_.has_value());
    // Closed any other way than by a button (the program ending, Alt+F4):
    // that is no consent, whatever the default was.
    if (ShowModal() != mrYes) answer_ = false;
    CountdownTimer.SetEnabled(false);
    cancelFlag = cancelPressed_;
    return answer_;
}

bool TYesNoDlg::FormPaint(HDC)
{
    // At every paint: a dialog that was covered, or moved, comes back
    // centred with the focus on its default answer.
    LayOutHeightsAndCentre();
    (answer_ ? JaBtn : NeeBtn).Focus();
    return false;
}

void TYesNoDlg::LayOutHeightsAndCentre()
{
    const int lines = DisplayLines(MessageMemo.LineCount(), MessageMemo.LastLineEmpty());
    const YesNoHeights heights = YesNoVertical(lines, PointSize(FormFont()), NeeBtn.Height());
    if (MessageMemo.Height() != heights.MemoHeight) {
        MessageMemo.SetBounds(MessageMemo.Left(), MessageMemo.Top(), MessageMemo.Width(), heights.MemoHeight);
    }
    const RECT panel = MessagePanel.Bounds();
    if (panel.bottom - panel.top != heights.PanelHeight) {
        MessagePanel.SetBounds(panel.left, panel.top, panel.right - panel.left, heights.PanelHeight);
    }
    for (Button* button : {&JaBtn, &NeeBtn, &CancelBtn}) {
        if (button->Top() != heights.ButtonTop) {
            button->SetBounds(button->Left(), heights.ButtonTop, button->Width(), button->Height());
        }
    }
    if (ClientHeight() != heights.ClientHeight) SetClientHeight(heights.ClientHeight);
    const DialogPlace place = CentreOn(caller_, Height(), Width());
    if (place.Left != Left() || place.Top != Top()) SetPosition(place.Left, place.Top);
}

void TYesNoDlg::Answer(bool yes, bool cancelPressed)
{
    answer_ = yes;
    cancelPressed_ = cancelPressed;
    SetModalResult(yes ? mrYes : cancelPressed ? mrCancel : mrNo);
}

void TYesNoDlg::JaBtnClick() { Answer(true, false); }

void TYesNoDlg::NeeBtnClick() { Answer(false, false); }

void TYesNoDlg::CancelBtnClick() { Answer(false, true); }

void TYesNoDlg::CountdownTimerTimer()
{
    if (!countdown_ || ModalResultValue() != mrNone) return;
    const std::uint32_t now = GetTickCount();
    if (countdown_->Expired(now)) {
        answeredItself_ = true;
        Answer(false, false);
        return;
    }
    lines_.back() = countdown_->LeftText(now);
    MessageMemo.SetText(MemoText(lines_));
}
