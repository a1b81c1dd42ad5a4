#include "update/versions_form.h"

#include "app/product.h"
#include "app/resource.h"
#include "download/fetch_page.h"
#include "settings/settings.h"
#include "support/files.h"
#include "support/http_get_win32.h"
#include "support/language.h"
#include "ui/dialog_layout.h"
#include "update/process_handle_win32.h"
#include "update/terminate_form.h"
#include "update/versions_fetch.h"
#include "win/application.h"

#include <shellapi.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

TVersionsForm* VersionsForm = nullptr;

namespace {

constexpr int DesignLeft = 383;
constexpr int DesignTop = 375;
constexpr int DesignClientWidth = 503;
constexpr int MemoDesignHeight = 117;
constexpr int PanelDesignHeight = 93;
constexpr int BottomMargin = 15;

// The ping answers within a fraction of a second; an interpreter that does
// not end is given up rather than freezing the program's one thread.
constexpr DWORD CommandWaitMs = 30'000;
// Both the interpreter's path and the whole line stay within the old path limit.
constexpr std::size_t CommandLineLimit = 260;
constexpr std::size_t InstallerPathLimit = 259;
constexpr std::streamsize PingOutputLimit = 64 * 1024;
constexpr DWORD InstallerStartWaitMs = 1000;
// Messages are processed only between blocks: a server that falls silent
// would otherwise freeze the program for good.
constexpr HttpTimeouts InstallerTimeouts = {30'000, 30'000, 30'000};

std::string ReadAndDeletePingOutput()
{
    std::string output;
    {
        std::ifstream file(PingOutputFile, std::ios::binary);
        if (file) {
            output.resize(static_cast<std::size_t>(PingOutputLimit));
            file.read(output.data(), PingOutputLimit);
            output.resize(static_cast<std::size_t>(file.gcount()));
        }
    }
    DeleteFileByName(PingOutputFile);
    return output;
}

[[noreturn]] void WriteFailed(const std::string& path)
{
    throw std::runtime_error(std::string(Bilingual("Schrijven van de download is mislukt: ",
                                                   "Writing the download failed: "))
                             + path);
}

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
    startDirectory_ = CurrentFolder();
    if (startDirectory_.empty() || startDirectory_.back() != '\\') startDirectory_ += '\\';
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
    const std::string ping = PingCommand(host);
    if (!ping.empty()) {
        RunCommand(ping, true);
        if (PingTimedOut(ReadAndDeletePingOutput())) {
            VersionsCheck check;
            check.Result = UpdateCheckResult::PingTimeOut;
            return check;
        }
    }
    return JudgeVersionsList(FetchVersionsList(UpdateUrl(host, VersionsListPath)), productName, versionText);
}

void TVersionsForm::RunCommand(const std::string& command, bool hidden)
{
    char interpreter[CommandLineLimit + 1] = {};
    const DWORD length = GetEnvironmentVariableA("COMSPEC", interpreter, sizeof interpreter);
    // A cut line could run something else than meant (a redirection to
    // another file): it is not run at all.
    const std::string line = std::string(interpreter, length < sizeof interpreter ? length : 0) + " /C " + command;
    if (length >= sizeof interpreter || line.size() > CommandLineLimit) return;
    ExecuteAndWait(line, hidden ? SW_HIDE : SW_SHOWNORMAL, CommandWaitMs);
}

int TVersionsForm::ExecuteAndWait(const std::string& commandLine, int showWindow, DWORD waitMs)
{
    char line[512] = {};
    if (commandLine.size() >= sizeof line) return -1;
    commandLine.copy(line, commandLine.size());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showWindow);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr,
                        nullptr, &startup, &info))
        return -1;
    const ProcessHandle process(info.hProcess);
    const ProcessHandle thread(info.hThread);
    if (WaitForSingleObject(process.Get(), waitMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.Get(), 1);
        return -1;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.Get(), &exitCode);
    return static_cast<int>(exitCode);
}

InstallerPaths TVersionsForm::Paths() const
{
    return MakeInstallerPaths(CurrentSettings.DataPath, productName_, versionText_, model_.DownloadName,
                              model_.DownloadBaseUrl, startDirectory_);
}

void TVersionsForm::DownloadBtnClick()
{
    // Messages are let through between blocks: a second click must not
    // start a second download into the same file, and a close waits.
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

bool TVersionsForm::DownloadInstaller(const std::string& downloadName, const std::string& downloadBaseUrl)
{
    Gauge1.SetVisible(true);
    Gauge1.SetMaxValue(model_.InstallerSizeKB);
    Gauge1.SetProgress(0);
    const InstallerPaths paths =
        MakeInstallerPaths(CurrentSettings.DataPath, productName_, versionText_, downloadName, downloadBaseUrl,
                           startDirectory_);
    DeleteFileByName(paths.EarlierFile);
    DeleteFileByName(paths.File);
    ForceFolder(paths.Folder);

    ReceivedInstaller received;
    {
        std::ofstream file;
        try {
            file.open(paths.File, std::ios::binary | std::ios::trunc);
            if (!file) {
                throw std::runtime_error(std::string(Bilingual("Kan het bestand niet aanmaken: ",
                                                               "Cannot create the file: "))
                                         + paths.File);
            }
            received = DownloadToStream(file, paths.Url);
            file.close();
            if (!file) WriteFailed(paths.File);
        } catch (...) {
            file.close();
            DeleteFileByName(paths.File);
            throw;
        }
    }
    const InstallerVerdict verdict = JudgeInstaller(received, model_.InstallerSizeKB);
    if (verdict == InstallerVerdict::Plausible) return true;
    DeleteFileByName(paths.File);
    PresentRejected(model_, verdict, received);
    ShowModel();
    return false;
}

ReceivedInstaller TVersionsForm::DownloadToStream(std::ostream& stream, const std::string& url,
                                                  const std::string& extraHeaders)
{
    ReceivedInstaller received;
    downloadedKB_ = 0;
    const HttpGet get(url, FetchUserAgent, INTERNET_FLAG_RELOAD, InstallerTimeouts, extraHeaders);
    if (!get.Sent()) return received;
    received.Connected = true;
    received.Status = get.Status();
    char buffer[InstallerBlockBytes];
    ReadResponseBlocks(get.Request(), buffer, sizeof buffer, [&](const char* block, std::size_t bytes) {
        downloadedKB_ += static_cast<int>(bytes / 1024);
        stream.write(block, static_cast<std::streamsize>(bytes));
        if (!stream) WriteFailed(url);
        if (received.FirstBytes.size() < 2)
            received.FirstBytes.append(block, std::min<std::size_t>(bytes, 2 - received.FirstBytes.size()));
        received.Bytes += bytes;
        received.DownloadedKB = downloadedKB_;
        Gauge1.SetProgress(downloadedKB_ + 1);
        Application::ProcessMessages();
        return true;
    });
    return received;
}

void TVersionsForm::StartInstaller()
{
    const InstallerPaths paths = Paths();
    const std::string displayName = DisplayName(model_.DownloadName);
    PresentInstallationStarting(model_, displayName);
    ShowModel();
    const HINSTANCE result = paths.File.size() > InstallerPathLimit
                                 ? nullptr
                                 : ShellExecuteA(nullptr, "Open", paths.File.c_str(), InstallerArguments, "",
                                                 SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) <= 32) {
        PresentInstallationFailed(model_);
        ShowModel();
        return;
    }
    PresentInstallationStarted(model_, displayName);
    ShowModel();
    Application::ProcessMessages();
    Sleep(InstallerStartWaitMs);
    // The installer must be able to replace the companion program.
    TerminateForm->TerminateProcessesByPath(paths.Companion);
    PostQuitMessage(0);
}
