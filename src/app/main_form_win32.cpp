#include "app/main_form.h"

#include "app/command_line.h"
#include "app/help_text.h"
#include "app/main_layout.h"
#include "app/system_clock_win32.h"
#include "download/run_log_reader_win32.h"
#include "download/run_log_status.h"
#include "settings/settings.h"
#include "support/language.h"
#include "support/product.h"
#include "support/resource.h"
#include "ui/about_form.h"
#include "ui/config_form.h"
#include "ui/yes_no_dialog.h"
#include "update/update_outcome.h"
#include "update/versions_form.h"
#include "win/application.h"

#include <cstdint>
#include <utility>

TMainForm* MainForm = nullptr;

namespace {

constexpr int PanelWidth = 199;
constexpr int StatusHeight = 30;
// The Sunday question of an unattended run answers itself "Nee" after this.
constexpr std::uint32_t UnattendedQuestionMs = 10 * 60 * 1000;

} // namespace

TMainForm::TMainForm() : run_(fetcher_, TheSystemClock(), *this, quoteFiles_, runLock_, runLog_) {}

void TMainForm::Create()
{
    MainForm = this;
    CreateForm("KestromMainForm", "", 789, 264, FormStyle{});
    SetSize(Scale(805), Scale(303));

    Panel1.Create(Handle(), {0, 0, PanelWidth, 231});
    struct ButtonDesign {
        Button& button;
        const char* caption;
        DesignRect rect;
        int image;
        int disabledImage;
        void (TMainForm::*handler)();
    };
    const ButtonDesign buttons[] = {
        {DownloadButton, "Download", {9, 19, 180, 39}, IDB_DOWNLOAD, IDB_DOWNLOAD_DISABLED,
         &TMainForm::DownloadButtonClick},
        {InstellingenButton, "Instellingen", {9, 70, 180, 39}, IDB_SETTINGS, IDB_SETTINGS_DISABLED,
         &TMainForm::InstellingenButtonClick},
        {InformatieButton, "Informatie", {9, 121, 180, 40}, IDB_INFORMATION, IDB_INFORMATION_DISABLED,
         &TMainForm::InformatieButtonClick},
        {CloseButton, "Sluit af", {9, 172, 180, 39}, IDB_CLOSE, 0, &TMainForm::CloseButtonClick},
    };
    buttonFont_ = Font("Verdana", 18);
    for (const auto& design : buttons) {
        design.button.Create(*this, Panel1.Handle(), design.caption, design.rect);
        design.button.SetFont(buttonFont_.Handle());
        design.button.SetImages(design.image, design.disabledImage);
        design.button.OnClick = [this, handler = design.handler] { (this->*handler)(); };
    }

    Memo.Create(*this, Handle(), {PanelWidth, 0, 590, 231});
    StatusPanel.Create(Handle(), {0, 231, 789, StatusHeight});
    StatusLabel.Create(*this, StatusPanel.Handle(), "", {11, 5, 0, 0});

    DownloadTimer.Create(*this, 1000, true);
    DownloadTimer.OnTimer = [this] { DownloadTimerTimer(); };
    UpdateTimer.Create(*this, 3000, true);
    UpdateTimer.OnTimer = [this] { UpdateTimerTimer(); };

    FormCreate();
}

void TMainForm::FormCreate()
{
    // The program shows its Dutch texts, whatever the user's language.
    Language = "NLD";
    ProductName = ProductNameText;
    VersionText = VersionTextValue;
    CopyrightText = CopyrightTextValue;
    SetCaption(VersionText + ", " + ProductName);
    Memo.SetLines(HelpTextLines());
    for (const std::string& line : FinishEarlierUpdate(ProductName, VersionText)) Memo.AddLine(line);
    FormResize();
}

void TMainForm::FormResize()
{
    if (resizing_ || !CloseButton.Handle()) return;
    resizing_ = true;
    // The width follows the user; the height snaps back to the button column.
    const int height = MainClientHeight(CloseButton.Top(), CloseButton.Height(), StatusPanel.Height());
    if (ClientHeight() != height) SetClientHeight(height);
    const int width = ClientWidth();
    const int statusHeight = StatusPanel.Height();
    const int panelWidth = Panel1.Width();
    StatusPanel.SetBounds(0, height - statusHeight, width, statusHeight);
    Panel1.SetBounds(0, 0, panelWidth, height - statusHeight);
    Memo.SetBounds(panelWidth, 0, width - panelWidth, height - statusHeight);
    resizing_ = false;
}

void TMainForm::FormDestroy() {}

void TMainForm::FormShow()
{
    // Shown once, when the settings are loaded: what the last evening run
    // did, until a download starts.
    if (std::exchange(shown_, true) || IsAutomaticMode()) return;
    SetStatusText(LastAutomaticRunStatus(ReadRunLogs(CurrentSettings.DataPath)));
}

void TMainForm::DownloadButtonClick()
{
    // A run lets messages through between underlyings; a second press then
    // must not start a nested run, and a close request waits for its end.
    if (Busy()) return;
    BusyScope busy(*this);
    declinedByItself_ = false;
    const RunOutcome outcome = run_.Run({CurrentSettings.DataPath, CurrentSettings.Selection,
                                         CurrentSettings.QuotesHost, ProductName, IsAutomaticMode(), TaskTime()});
    // Nobody answered: the program does not stay open for anyone.
    if (outcome == RunOutcome::Declined && declinedByItself_) CloseMainWindow(static_cast<int>(outcome));
}

LRESULT TMainForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Children ask their parent first, so the run's hourglass over the
    // download button and the memo is decided here.
    if (message == WM_SETCURSOR && hourglass_) {
        const HWND under = reinterpret_cast<HWND>(wParam);
        if (under == DownloadButton.Handle() || under == Memo.Handle()) {
            SetCursor(LoadCursor(nullptr, IDC_WAIT));
            return TRUE;
        }
    }
    return Form::HandleMessage(message, wParam, lParam);
}

void TMainForm::SetStatusText(const std::string& text)
{
    StatusLabel.SetCaption(text);
    UpdateWindow(StatusPanel.Handle());
}

void TMainForm::ClearMemo() { Memo.Clear(); }

void TMainForm::AddMemoLine(const std::string& line) { Memo.AddLine(line); }

void TMainForm::ReplaceLastMemoLine(const std::string& line)
{
    Memo.ReplaceLastLine(line);
    // No messages are processed during the closing countdown; paint now.
    UpdateWindow(Memo.Handle());
}

bool TMainForm::AskYesNo(const std::string& title, const std::string& message)
{
    // No cancel button; "Nee" has the focus, so that a stray Enter does not
    // erase the expiry quotes.
    bool withCancel = false;
    if (unattended_) YesNoDlg->AnswerNoAfter(UnattendedQuestionMs);
    const bool yes = YesNoDlg->AskYesNo(Top(), Left(), Height(), Width(), title, message, "Ja", "Nee", "Annuleren",
                                        false, withCancel);
    declinedByItself_ = YesNoDlg->AnsweredItself();
    return yes;
}

void TMainForm::ProcessMessages() { Application::ProcessMessages(); }

void TMainForm::SetHourglass(bool on)
{
    hourglass_ = on;
    POINT cursor;
    GetCursorPos(&cursor);
    const HWND under = WindowFromPoint(cursor);
    if (under == DownloadButton.Handle() || under == Memo.Handle()) {
        SetCursor(LoadCursor(nullptr, on ? IDC_WAIT : IDC_ARROW));
    }
}

void TMainForm::Wait(int milliseconds) { Sleep(milliseconds); }

void TMainForm::CloseMainWindow(int exitCode)
{
    Application::SetExitCode(exitCode);
    // Carried out when the run's busy scope ends.
    Close();
}

void TMainForm::InstellingenButtonClick() { ConfigForm->ShowModal(); }

void TMainForm::InformatieButtonClick() { AboutForm->ShowModal(); }

void TMainForm::CloseButtonClick() { Close(); }

void TMainForm::DownloadTimerTimer()
{
    DownloadTimer.SetEnabled(false);
    if (!IsAutomaticMode()) return;
    unattended_ = true;
    DownloadButtonClick();
    unattended_ = false;
}

void TMainForm::UpdateTimerTimer()
{
    UpdateTimer.SetEnabled(false);
    // The automatic check follows "Automatische Updates Aan"; "Update nu"
    // in the settings dialog checks whatever the setting says.
    if (!CurrentSettings.Update) return;
    // The check takes the names as short strings of at most 255 characters.
    VersionsForm->AutoUpdateCheck(ProductName.substr(0, 255), VersionText.substr(0, 255));
}
