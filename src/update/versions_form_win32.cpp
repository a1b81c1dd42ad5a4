#include "update/versions_form.h"

#include "settings/settings.h"
#include "support/language.h"
#include "support/product.h"
#include "support/resource.h"
#include "support/system_folders_win32.h"
#include "ui/dialog_layout.h"
#include "update/installer_check_win32.h"
#include "update/installer_download_win32.h"
#include "update/installer_folder_win32.h"
#include "update/installer_start_win32.h"
#include "update/ping_rules.h"
#include "update/ping_win32.h"
#include "update/process_run_win32.h"
#include "update/signature_fetch_win32.h"
#include "update/terminate_form.h"
#include "update/versions_fetch.h"
#include "win/application.h"

#include <stdexcept>
#include <utility>

TVersionsForm* VersionsForm = nullptr;

namespace {

constexpr int DesignLeft = 383;
constexpr int DesignTop = 375;
constexpr int DesignClientWidth = 503;
constexpr int MemoDesignHeight = 117;
constexpr int PanelDesignHeight = 93;
constexpr int BottomMargin = 15;

constexpr DWORD InstallerStartWaitMs = 1000;

} // namespace

void TVersionsForm::Create()
{
    VersionsForm = this;
    FormStyle style;
    style.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    style.exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    style.fontHeight = 17;
    CreateForm("KestromVersionsForm", "", DesignClientWidth, MemoDesignHeight + PanelDesignHeight, style);
    SetPosition(DesignLeft, DesignTop);

    MemoOptions memo;
    memo.readOnly = true;
    memo.centred = true;
    Memo1.Create(*this, Handle(), {0, 0, DesignClientWidth, MemoDesignHeight}, memo);
    Panel1.Create(Handle(), {0, MemoDesignHeight, DesignClientWidth, PanelDesignHeight});
    Gauge1.Create(Panel1.Handle(), {15, 12, 471, 20});
    Gauge1.SetVisible(false);
    Gauge1.SetProgress(0);
    DownloadBtn.Create(*this, Panel1.Handle(), "Start Downloaden", {15, 46, 204, 32});
    ExitBtn.Create(*this, Panel1.Handle(), "Download Later", {279, 46, 203, 32});
    buttonFont_ = Font("Verdana", 17);
    DownloadBtn.SetFont(buttonFont_.Handle());
    ExitBtn.SetFont(buttonFont_.Handle());
    DownloadBtn.SetImages(IDB_DOWNLOAD);
    ExitBtn.SetImages(IDB_CLOSE);
    DownloadBtn.SetVisible(false);
    DownloadBtn.OnClick = [this] { DownloadBtnClick(); };
    ExitBtn.OnClick = [this] { ExitBtnClick(); };
    SetCancelButton(&ExitBtn);
    FormCreate();
}

void TVersionsForm::FormCreate()
{
    // Equal margins left and right of the buttons; the panel's bottom margin
    // below them.
    const int clientWidth = ExitBtn.Left() + ExitBtn.Width() + DownloadBtn.Left();
    const int panelTop = ClientHeight() - Panel1.Height();
    const int clientHeight = panelTop + ExitBtn.Top() + ExitBtn.Height() + BottomMargin;
    SetClientSize(clientWidth, clientHeight);
    Panel1.SetBounds(0, clientHeight - Panel1.Height(), clientWidth, Panel1.Height());
    Memo1.SetBounds(0, 0, clientWidth, clientHeight - Panel1.Height());
    programFolder_ = ProgramFolder();
    productName_ = ProductNameText;
    ShowModel();
}

void TVersionsForm::FormShow() { SetCaption(productName_ + " - Update"); }

void TVersionsForm::ShowModel()
{
    Memo1.SetLines(model_.MemoLines);
    DownloadBtn.SetText(model_.DownloadCaption);
    ExitBtn.SetText(model_.ExitCaption);
    DownloadBtn.SetVisible(model_.DownloadVisible);
    ExitBtn.SetVisible(model_.ExitVisible);
    const FocusTarget focus = std::exchange(model_.Focus, FocusTarget::None);
    if (focus == FocusTarget::DownloadBtn) DownloadBtn.Focus();
    if (focus == FocusTarget::ExitBtn) ExitBtn.Focus();
}

void TVersionsForm::AutoUpdateCheck(const std::string& productName, const std::string& versionText)
{
    // A download lets messages through; a check then must not pull the
    // window's state from under it.
    if (Busy()) return;
    productName_ = productName;
    versionText_ = versionText;
    const VersionsCheck check = CheckVersions(productName, versionText);
    const bool show = PresentAutomaticCheck(model_, check, versionText, CurrentSettings.UpdateHost);
    if (show) Show();
    ShowModel();
}

void TVersionsForm::ManualUpdateCheck(int top, int left, int width, int height, const std::string& productName,
                                      const std::string& versionText)
{
    if (Busy()) {
        Show();
        return;
    }
    productName_ = productName;
    versionText_ = versionText;
    const HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    const VersionsCheck check = CheckVersions(productName, versionText);
    const DialogPlace place = CentreOn({top, left, height, width}, Height(), Width());
    SetPosition(place.Left, place.Top);
    PresentManualCheck(model_, check, versionText, CurrentSettings.UpdateHost);
    Show();
    ShowModel();
    SetCursor(previous ? previous : LoadCursor(nullptr, IDC_ARROW));
    BringWindowToTop(Handle());
}

VersionsCheck TVersionsForm::CheckVersions(const std::string& productName, const std::string& versionText)
{
    const std::string& host = CurrentSettings.UpdateHost;
    if (PingTimedOut(PingOutput(host))) {
        VersionsCheck check;
        check.Result = UpdateCheckResult::PingTimeOut;
        return check;
    }
    return JudgeVersionsList(FetchVersionsList(UpdateUrl(host, VersionsListPath)), productName, versionText);
}

void TVersionsForm::RunCommand(const std::string& command, bool hidden) { RunInterpreterCommand(command, hidden); }

int TVersionsForm::ExecuteAndWait(const std::string& commandLine, int showWindow, DWORD waitMs)
{
    return RunProcessAndWait(commandLine, showWindow, waitMs);
}

void TVersionsForm::DownloadBtnClick()
{
    // Messages are let through between pieces: a second click must not
    // start a second download into the same file; a close cancels it.
    if (Busy()) return;
    BusyScope busy(*this);
    if (!DownloadInstaller(model_.DownloadName, model_.DownloadBaseUrl)) return;
    PresentDownloaded(model_);
    ShowModel();
}

void TVersionsForm::ExitBtnClick()
{
    if (model_.InstallerReady && !Busy()) StartInstaller();
    else Close();
}

void TVersionsForm::FormDestroy() { DiscardInstaller(); }

void TVersionsForm::DiscardInstaller()
{
    if (installerFolder_.empty()) return;
    // The folder can go only once the program no longer holds it.
    folderHold_.Close();
    RemoveInstallerFolder(installerFile_);
    installerFolder_.clear();
    installerFile_.clear();
    signature_.clear();
}

bool TVersionsForm::DownloadInstaller(const std::string& downloadName, const std::string& downloadBaseUrl)
{
    Gauge1.SetVisible(true);
    Gauge1.SetMaxValue(model_.InstallerSizeKB);
    Gauge1.SetProgress(0);
    DiscardInstaller();
    InstallerFolder folder = NewInstallerFolder(productName_, downloadName);
    installerFolder_ = folder.Path;
    folderHold_ = std::move(folder.Hold);
    if (installerFolder_.empty()) {
        throw std::runtime_error(std::string(Bilingual("Kan geen tijdelijke map aanmaken voor ",
                                                       "Cannot create a temporary folder for "))
                                 + downloadName);
    }
    const InstallerPaths paths =
        MakeInstallerPaths(installerFolder_, productName_, downloadName, downloadBaseUrl, programFolder_);
    installerFile_ = paths.File;

    ReceivedInstaller received;
    try {
        received = DownloadInstallerFile(paths.File, paths.Url, Download(""));
    } catch (...) {
        DiscardInstaller();
        throw;
    }
    // Only a whole and plausible installer is worth its signature.
    if (JudgeInstaller(received, model_.InstallerSizeKB) == InstallerVerdict::NotSigned) {
        signature_ = FetchSignature(paths.SignatureUrl);
        CheckLockedInstaller(LockInstaller(paths.File), paths.File, signature_, received);
    }
    const InstallerVerdict verdict = JudgeTrustedVersion(received, JudgeInstaller(received, model_.InstallerSizeKB),
                                                         model_.NewestVersion, RunningVersion(versionText_));
    if (verdict == InstallerVerdict::Trusted) return true;
    DiscardInstaller();
    PresentRejected(model_, verdict, received);
    ShowModel();
    return false;
}

InstallerDownload TVersionsForm::Download(const std::string& extraHeaders)
{
    downloadedKB_ = 0;
    InstallerDownload download;
    download.byteLimit = InstallerByteLimit(model_.InstallerSizeKB);
    download.deadlineMs = DownloadTimeMs;
    download.extraHeaders = extraHeaders;
    download.onProgress = [this](int downloadedKB) {
        downloadedKB_ = downloadedKB;
        Gauge1.SetProgress(downloadedKB_ + 1);
        // Closing the window or the program gives the download up.
        return Application::ProcessMessages() && !CloseRequested();
    };
    return download;
}

ReceivedInstaller TVersionsForm::DownloadToStream(std::ostream& stream, const std::string& url,
                                                  const std::string& extraHeaders)
{
    return DownloadInstallerTo(stream, url, Download(extraHeaders));
}

void TVersionsForm::StartInstaller()
{
    const InstallerPaths paths =
        MakeInstallerPaths(installerFolder_, productName_, model_.DownloadName, model_.DownloadBaseUrl, programFolder_);
    const std::string displayName = DisplayName(model_.DownloadName);
    PresentInstallationStarting(model_, displayName);
    ShowModel();
    // The installer stays locked until it is under way.
    InstallerLaunchResult launch = LaunchVerifiedInstaller(installerFile_, signature_, model_.NewestVersion,
                                                           RunningVersion(versionText_));
    if (launch.Outcome == InstallerLaunch::Refused) {
        launch.Lock.Close();
        DiscardInstaller();
        PresentInstallationRefused(model_, launch.Verdict, launch.Checked);
        ShowModel();
        return;
    }
    if (launch.Outcome != InstallerLaunch::Started) {
        PresentInstallationFailed(model_);
        ShowModel();
        return;
    }
    // The installer runs from its folder now; it is no longer the program's
    // to delete or to hold.
    installerFolder_.clear();
    folderHold_.Close();
    PresentInstallationStarted(model_, displayName);
    ShowModel();
    Application::ProcessMessages();
    Sleep(InstallerStartWaitMs);
    // The installer must be able to replace the companion program.
    TerminateForm->TerminateProcessesByPath(paths.Companion);
    PostQuitMessage(0);
}
