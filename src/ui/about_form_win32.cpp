#include "ui/about_form.h"

#include "support/resource.h"
#include "settings/settings.h"
#include "support/product.h"
#include "ui/about_texts.h"
#include "ui/dialog_layout.h"
#include "ui/maker.h"
#include "ui/maker_links.h"
#include "ui/message_form.h"
#include "win/scaling.h"

#include <shellapi.h>

#include <cstdint>

TAboutForm* AboutForm = nullptr;

namespace {

// Client size in pixels at any screen density.
constexpr int AboutWidth = 482;
constexpr int AboutHeight = 365;
constexpr std::uint16_t MessageTime = 3000;
const char* const BackHint = "Terug naar het hoofdscherm";
const char* const BrowserFailed = "Browser niet geopend.";

} // namespace

void TAboutForm::Create(const Form& opener)
{
    opener_ = &opener;
    AboutForm = this;
    // The window keeps its pixel sizes at every screen density: designed at
    // the screen's own density, nothing is scaled.
    const int density = ScreenDensity();
    FormStyle style;
    style.style = WS_CAPTION | WS_CLIPCHILDREN | DS_MODALFRAME;
    style.exStyle = WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME;
    style.designDensity = density;
    style.fontFace = "Verdana";
    style.fontHeight = 16;
    CreateForm("KestromAboutForm", "", AboutWidth, AboutHeight, style);
    hints_.Create(Handle());

    nameFont_ = Font("Arial", 24, true, density);
    versionFont_ = Font("Arial", 13, false, density);
    copyrightFont_ = Font("Verdana", 13, false, density);
    autorFont_ = Font("Arial", 15, true, density);
    contactFont_ = Font("Arial", 13, false, density);
    okBtn1Font_ = Font("Verdana", 15, false, density);
    const LabelOptions centred{.wordWrap = false, .autoSize = false, .centred = true};

    // The contact view lies under the main view and shows while it is hidden.
    Panel1.Create(Handle(), {0, 0, AboutWidth, AboutHeight}, Bevel::None, Bevel::Lowered, density);
    Memo1.Create(*this, Panel1.Handle(), {2, 2, AboutWidth - 4, AboutHeight - 4},
                 {.readOnly = true, .verticalScrollBar = false, .border = false, .centred = true}, density);
    Memo1.SetFont(contactFont_.Handle());
    OKBtn1.Create(*this, Panel1.Handle(), "OK", {148, 220, 73, 29}, density);
    OKBtn1.SetFont(okBtn1Font_.Handle());
    // The button stands on the memo: it goes on top, and the memo leaves
    // it out when it paints.
    SetWindowLongPtrA(Memo1.Handle(), GWL_STYLE, GetWindowLongPtrA(Memo1.Handle(), GWL_STYLE) | WS_CLIPSIBLINGS);
    SetWindowPos(OKBtn1.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    MainPanel.Create(Handle(), {0, 0, AboutWidth, AboutHeight}, Bevel::None, Bevel::Lowered, density);
    const HWND main = MainPanel.Handle();
    Bevel4.Create(*this, main, {2, 2, AboutWidth - 4, AboutHeight - 4}, BevelShape::LoweredBox, density);
    NameLabel.Create(*this, main, "", {7, 31, 156, 31}, centred, density);
    NameLabel.SetFont(nameFont_.Handle());
    VersionLabel.Create(*this, main, "", {5, 95, 159, 20}, centred, density);
    VersionLabel.SetFont(versionFont_.Handle());
    Bevel3.Create(*this, main, {20, 162, 437, 39}, BevelShape::EtchedFrame, density);
    CopyrightLabel.Create(*this, main, "", {28, 169, 397, 24}, centred, density);
    CopyrightLabel.SetFont(copyrightFont_.Handle());
    AutorBtn.Create(*this, main, "", {430, 166, 19, 21}, density);
    AutorBtn.SetFont(autorFont_.Handle());
    AutorBtn.SetImages(IDB_AUTHOR, IDB_AUTHOR_DISABLED);
    Bevel2.Create(*this, main, {20, 215, 437, 58}, BevelShape::LoweredBox, density);
    Label1.Create(*this, main, "", {24, 221, 426, 21}, centred, density);
    Label2.Create(*this, main, "", {23, 247, 426, 23}, centred, density);
    MailBtn.Create(*this, main, "Mail", {83, 305, 65, 34}, density);
    MailBtn.SetImages(IDB_MAIL);
    OKBtn.Create(*this, main, "OK", {187, 305, 77, 34}, density);
    OKBtn.SetImages(IDB_OK);
    HomeBtn.Create(*this, main, "Home", {305, 305, 65, 34}, density);
    HomeBtn.SetImages(IDB_HOME);
    OKBtn1.SetImages(IDB_OK);
    // Outside the client area and hidden: only its lines are used.
    MailMemo.Create(*this, Handle(), {AboutWidth + 10, 0, 185, 89}, {}, density);
    MailMemo.SetVisible(false);

    for (Button* button : {&AutorBtn, &MailBtn, &OKBtn, &HomeBtn, &OKBtn1}) button->SetHandCursor();
    hints_.Set(AutorBtn, "Toon auteur");

    OKBtn.OnClick = [this] { OKBtnClick(); };
    AutorBtn.OnClick = [this] { AutorBtnClick(); };
    // Mail, Home and the contact view's OK end the modal window as an OK
    // button does, once their own work is done.
    OKBtn1.OnClick = [this] {
        OKBtn1Click();
        SetModalResult(mrOk);
    };
    MailBtn.OnClick = [this] {
        MailBtnClick();
        SetModalResult(mrOk);
    };
    HomeBtn.OnClick = [this] {
        HomeBtnClick();
        SetModalResult(mrOk);
    };

    FormCreate();
}

void TAboutForm::FormCreate()
{
    SetCaption(InformationCaption());
    NameLabel.SetCaption(ProductNameText);
    VersionLabel.SetCaption(VersionTextValue);
    CopyrightLabel.SetCaption(CopyrightTextValue);
    hints_.Set(OKBtn, BackHint);
    Label1.SetCaption(std::string(ProductNameText) + " downloadt de Optiekoersen");
    Label2.SetCaption("van alle AEX-fondsen.");
    hints_.Set(MailBtn, std::string("Stuur uw opmerkingen naar de auteur van ") + ProductNameText);
    hints_.Set(HomeBtn, std::string("Bezoek de site van ") + ProductNameText);
    hints_.Set(OKBtn1, hints_.Get(OKBtn));
    Memo1.SetLines(ContactLines(ProductNameText));
    MailMemo.SetLines(MailBodyLines(ProductNameText));
    ShowMainView(true);
}

std::string TAboutForm::InformationCaption() const { return opener_->Caption() + " - Informatie"; }

void TAboutForm::FormShow()
{
    const DialogPlace place =
        CentreOn({opener_->Top(), opener_->Left(), opener_->Height(), opener_->Width()}, Height(), Width());
    SetPosition(place.Left, place.Top);
}

bool TAboutForm::FormPaint(HDC)
{
    // At every paint of the main view, so that Enter closes the window.
    if (MainViewShown()) OKBtn.Focus();
    return false;
}

bool TAboutForm::MainViewShown() const
{
    // The panel's own flag: IsWindowVisible is false while the form is hidden.
    return (GetWindowLongPtrA(MainPanel.Handle(), GWL_STYLE) & WS_VISIBLE) != 0;
}

void TAboutForm::ShowMainView(bool shown)
{
    ShowWindow(MainPanel.Handle(), shown ? SW_SHOWNA : SW_HIDE);
    ShowWindow(Panel1.Handle(), shown ? SW_HIDE : SW_SHOWNA);
    // Enter presses the OK button of the view that shows.
    SetDefaultButton(shown ? &OKBtn : &OKBtn1);
}

void TAboutForm::OKBtnClick() { SetModalResult(mrOk); }

void TAboutForm::AutorBtnClick()
{
    ShowMainView(false);
    SetCaption(std::string(ProductNameText) + " - Auteur");
    // The focus was on AutorBtn, which has just been hidden.
    OKBtn1.Focus();
}

void TAboutForm::OKBtn1Click()
{
    SetCaption(InformationCaption());
    ShowMainView(true);
}

void TAboutForm::MailBtnClick()
{
    const std::string address = MailtoUrl(MakerEmail, MailSubject(ProductNameText, VersionTextValue),
                                          MailBody(MailMemo.Lines()));
    if (OpenAddress(address)) return;
    ShowMessage("Er is iets fout gegaan bij het versturen van de e-mail.", "Webmail wordt nu gestart:");
    OpenWebForm();
}

void TAboutForm::OpenWebForm()
{
    if (!OpenAddress(WebFormUrl(CurrentSettings.UpdateHost, ProductNameText, VersionTextValue))) {
        ShowMessage(BrowserFailed, "");
    }
}

void TAboutForm::HomeBtnClick()
{
    if (!OpenAddress(HomePageUrl(CurrentSettings.UpdateHost))) ShowMessage(BrowserFailed, "");
}

bool TAboutForm::OpenAddress(const std::string& address)
{
    const HINSTANCE result = ShellExecuteA(Handle(), "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // Values up to 32 are error codes (SE_ERR_NOASSOC when nothing is
    // registered for the address's scheme).
    return reinterpret_cast<INT_PTR>(result) > 32;
}

void TAboutForm::ShowMessage(const std::string& line1, const std::string& line2)
{
    MessageForm->ShowMessageWindow(Top(), Left(), Height(), Width(), line1, line2, MessageTime);
}
