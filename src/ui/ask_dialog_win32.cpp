#include "ui/ask_dialog.h"

#include "support/resource.h"
#include "ui/dialog_layout.h"
#include "support/language.h"
#include "win/application.h"

TAskDlg* AskDlg = nullptr;

namespace {

// The input dialog alone is designed at 96 pixels per inch.
constexpr int AskDensity = 96;

} // namespace

void TAskDlg::Create()
{
    AskDlg = this;
    FormStyle style;
    style.style = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
    style.exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    style.designDensity = AskDensity;
    style.fontFace = "Arial";
    style.fontHeight = 15;
    CreateForm("KestromAskDlg", Application::Title(), 249, 139, style);

    LabelOptions label;
    label.wordWrap = true;
    label.autoSize = false;
    AskLabel.Create(*this, Handle(), "", {9, 8, 232, 48}, label, AskDensity);
    AskEdit.Create(*this, Handle(), "", {13, 64, 222, 25}, AskDensity);
    AskEdit.DisableAutoSelect();
    OKBtn.Create(*this, Handle(), "OK", {14, 100, 105, 28}, AskDensity);
    OKBtn.SetImages(IDB_OK);
    OKBtn.OnClick = [this] { OKBtnClick(); };
    CancelBtn.Create(*this, Handle(), "Annuleren", {129, 100, 101, 28}, AskDensity);
    CancelBtn.SetImages(IDB_CANCEL);
    CancelBtn.OnClick = [this] { CancelBtnClick(); };
    OKBtn.SetHandCursor();
    CancelBtn.SetHandCursor();
    SetDefaultButton(&OKBtn);
    SetCancelButton(&CancelBtn);

    FormCreate();
}

void TAskDlg::FormCreate() { CancelBtn.SetText(Bilingual("Annuleren", "Cancel")); }

bool TAskDlg::AskText(int top, int left, int height, int width, const std::string& prompt, std::string& value)
{
    AskLabel.SetCaption(prompt);
    AskEdit.SetText(value);
    const RECT label = AskLabel.Bounds();
    const AskLayout layout = AskTextLayout(TextExtent(FormFont(), prompt).cx, label.top, label.right - label.left,
                                           AskEdit.Height(), OKBtn.Height());
    AskLabel.SetBounds(label.left, label.top, label.right - label.left, layout.LabelHeight);
    AskEdit.SetBounds(AskEdit.Left(), layout.EditTop, AskEdit.Width(), AskEdit.Height());
    CancelBtn.SetBounds(CancelBtn.Left(), layout.ButtonTop, CancelBtn.Width(), CancelBtn.Height());
    OKBtn.SetBounds(OKBtn.Left(), layout.ButtonTop, OKBtn.Width(), OKBtn.Height());
    SetClientHeight(layout.ClientHeight);
    const DialogPlace place = CentreOn({top, left, height, width}, Height(), Width());
    SetPosition(place.Left, place.Top);

    // Closed any other way than by its buttons, the dialog counts as cancelled.
    result_ = false;
    ShowModal();
    value = AskEdit.Text();
    return result_;
}

bool TAskDlg::FormPaint(HDC)
{
    // The edit field ends with the focus, the dialog in front.
    OKBtn.Focus();
    AskEdit.Focus();
    BringWindowToTop(Handle());
    return false;
}

void TAskDlg::OKBtnClick()
{
    result_ = true;
    SetModalResult(mrOk);
}

void TAskDlg::CancelBtnClick()
{
    result_ = false;
    SetModalResult(mrCancel);
}
