#include "update/versions_form.h"

#include "support/product.h"
#include "support/resource.h"
#include "download/fetch_page.h"
#include "settings/settings.h"
#include "support/files.h"
#include "support/http_get_win32.h"
#include "support/language.h"
#include "support/temp_files_win32.h"
#include "ui/dialog_layout.h"
#include "update/installer_folder_win32.h"
#include "update/installer_version_win32.h"
#include "update/maker_key.h"
#include "update/process_handle_win32.h"
#include "update/signature_check_win32.h"
#include "update/terminate_form.h"
#include "update/update_record_win32.h"
#include "update/update_request_win32.h"
#include "update/versions_fetch.h"
#include "win/application.h"

#include <shellapi.h>

#include <algorithm>
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
// Messages are processed only between pieces: a server that falls silent
// holds the program for at most the receive time-out.
constexpr HttpTimeouts InstallerTimeouts = {15'000, 15'000, 15'000};
constexpr unsigned SignatureTimeMs = 30'000;

HttpRequest InstallerRequest(unsigned deadlineMs, const std::string& extraHeaders = "")
{
    HttpRequest request;
    request.userAgent = FetchUserAgent;
    request.flags = UpdateRequestFlags;
    request.extraHeaders = extraHeaders;
    request.timeouts = InstallerTimeouts;
    request.deadlineMs = deadlineMs;
    return request;
}

std::string ReadFileUpTo(const std::string& path, std::streamsize limit)
{
    std::string text;
    std::ifstream file(path, std::ios::binary);
    if (file) {
        text.resize(static_cast<std::size_t>(limit));
        file.read(text.data(), limit);
        text.resize(static_cast<std::size_t>(file.gcount()));
    }
    return text;
}

std::string SystemFolder()
{
    char path[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::string() : std::string(path, length);
}

// The folder of the running program, ending in "\": where the companion
// program is installed beside it. The current folder is no guide: the task
// scheduler starts the program in the system folder.
std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    const std::string file(path, length);
    return file.substr(0, file.rfind('\\') + 1);
}

// The maker's signature file: at most SignatureFileLimit bytes of a 200
// answer; empty when there is none.
std::string FetchSignature(const std::string& url)
{
    std::string signature;
    const HttpResponse response = HttpGet(url, InstallerRequest(SignatureTimeMs), [&](const char* piece, std::size_t bytes) {
        signature.append(piece, bytes);
        return signature.size() <= SignatureFileLimit;
    });
    return response.end == HttpEnd::Whole && response.status == 200 ? signature : std::string();
}

// The installer opened for reading only, sharing nothing but reading: while
// this handle is open nobody can change, replace or delete the file.
ProcessHandle OpenLocked(const std::string& path)
{
    const HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return ProcessHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
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
    if (PingTimedOut(Ping(host))) {
        VersionsCheck check;
        check.Result = UpdateCheckResult::PingTimeOut;
        return check;
    }
    return JudgeVersionsList(FetchVersionsList(UpdateUrl(host, VersionsListPath)), productName, versionText);
}

std::string TVersionsForm::Ping(const std::string& host)
{
    // The output goes to a new file of the ping's own, which is read and
    // deleted here; no other file is ever read or deleted.
    const std::string output = NewTempFile();
    const std::string system = SystemFolder();
    if (output.empty()) return {};
    const std::string command = system.empty() ? std::string() : PingCommand(host, system + "\\ping.exe", output);
    if (!command.empty()) RunCommand(command, true);
    std::string text = ReadFileUpTo(output, PingOutputLimit);
    DeleteFileByName(output);
    return text;
}

void TVersionsForm::RunCommand(const std::string& command, bool hidden)
{
    char interpreter[CommandLineLimit + 1] = {};
    const DWORD length = GetEnvironmentVariableA("COMSPEC", interpreter, sizeof interpreter);
    if (length == 0 || length >= sizeof interpreter) return;
    // The interpreter's path quoted, as it may hold blanks; /C takes the
    // command between its first and last quote as it is, quoted paths
    // inside it included. A cut line could run something else than meant
    // (a redirection to another file): it is not run at all.
    std::string line = "\"";
    line.append(interpreter, length).append("\" /C \"").append(command).append("\"");
    if (line.size() > CommandLineLimit) return;
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
    // The process and whatever it starts (the interpreter's ping) belong to
    // a job that ends them all when it is closed: a command given up after
    // waitMs leaves nothing running.
    const ProcessHandle job(CreateJobObjectA(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    const bool jobReady =
        job && SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE,
                        CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS | CREATE_SUSPENDED, nullptr, nullptr, &startup,
                        &info))
        return -1;
    const ProcessHandle process(info.hProcess);
    const ProcessHandle thread(info.hThread);
    // A program that runs in a job itself may be refused a job of its own
    // on old Windows versions: then the command alone can be ended.
    const bool inJob = jobReady && AssignProcessToJobObject(job.Get(), process.Get());
    ResumeThread(thread.Get());
    if (WaitForSingleObject(process.Get(), waitMs) != WAIT_OBJECT_0) {
        if (inJob) TerminateJobObject(job.Get(), 1);
        else TerminateProcess(process.Get(), 1);
        return -1;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.Get(), &exitCode);
    return static_cast<int>(exitCode);
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
    RemoveInstallerFolder(installerFile_);
    installerFolder_.clear();
    installerFile_.clear();
    signature_.clear();
}

void TVersionsForm::CheckLocked(HANDLE installer, const std::string& path, ReceivedInstaller& received) const
{
    received.Signature = installer ? CheckInstallerSignature(installer, signature_, MakerPublicKey())
                                   : SignatureState::Unreadable;
    // Read while the file is locked: the bytes whose signature held.
    received.Version = received.Signature == SignatureState::Valid ? InstallerVersion(path) : std::string();
}

InstallerVerdict TVersionsForm::JudgeVersion(const ReceivedInstaller& received, InstallerVerdict verdict) const
{
    return verdict == InstallerVerdict::Trusted
               ? JudgeInstallerVersion(received.Version, model_.NewestVersion, RunningVersion(versionText_))
               : verdict;
}

bool TVersionsForm::DownloadInstaller(const std::string& downloadName, const std::string& downloadBaseUrl)
{
    Gauge1.SetVisible(true);
    Gauge1.SetMaxValue(model_.InstallerSizeKB);
    Gauge1.SetProgress(0);
    DiscardInstaller();
    installerFolder_ = NewInstallerFolder(productName_, downloadName);
    if (installerFolder_.empty()) {
        throw std::runtime_error(std::string(Bilingual("Kan geen tijdelijke map aanmaken voor ",
                                                       "Cannot create a temporary folder for "))
                                 + downloadName);
    }
    const InstallerPaths paths =
        MakeInstallerPaths(installerFolder_, productName_, downloadName, downloadBaseUrl, programFolder_);
    installerFile_ = paths.File;

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
            DiscardInstaller();
            throw;
        }
    }
    // Only a whole and plausible installer is worth its signature.
    if (JudgeInstaller(received, model_.InstallerSizeKB) == InstallerVerdict::NotSigned) {
        signature_ = FetchSignature(paths.SignatureUrl);
        CheckLocked(OpenLocked(paths.File).Get(), paths.File, received);
    }
    const InstallerVerdict verdict = JudgeVersion(received, JudgeInstaller(received, model_.InstallerSizeKB));
    if (verdict == InstallerVerdict::Trusted) return true;
    DiscardInstaller();
    PresentRejected(model_, verdict, received);
    ShowModel();
    return false;
}

ReceivedInstaller TVersionsForm::DownloadToStream(std::ostream& stream, const std::string& url,
                                                  const std::string& extraHeaders)
{
    ReceivedInstaller received;
    downloadedKB_ = 0;
    const std::uint64_t limit = InstallerByteLimit(model_.InstallerSizeKB);
    const HttpRequest request = InstallerRequest(DownloadTimeMs, extraHeaders);
    const HttpResponse response = HttpGet(url, request, [&](const char* piece, std::size_t bytes) {
        const auto kept = static_cast<std::size_t>(std::min<std::uint64_t>(bytes, limit - received.Bytes));
        stream.write(piece, static_cast<std::streamsize>(kept));
        if (!stream) WriteFailed(url);
        if (received.FirstBytes.size() < 2)
            received.FirstBytes.append(piece, std::min<std::size_t>(kept, 2 - received.FirstBytes.size()));
        received.Bytes += kept;
        downloadedKB_ = static_cast<int>(received.Bytes / 1024);
        received.DownloadedKB = downloadedKB_;
        Gauge1.SetProgress(downloadedKB_ + 1);
        if (received.Bytes >= limit) {
            received.Stop = DownloadStop::TooLarge;
            return false;
        }
        // Closing the window or the program gives the download up.
        if (!Application::ProcessMessages() || CloseRequested()) {
            received.Stop = DownloadStop::Cancelled;
            return false;
        }
        return true;
    });
    if (!response.HeadArrived()) return received;
    received.Connected = true;
    received.Status = response.status;
    if (response.end == HttpEnd::Overtime) received.Stop = DownloadStop::TooSlow;
    // Wine ends a body cut off by the server like a complete one; only the
    // announced length tells them apart.
    const bool lessThanAnnounced = response.announcedLength && received.Bytes < *response.announcedLength;
    if (received.Stop == DownloadStop::None && (response.end == HttpEnd::Broken || lessThanAnnounced))
        received.Stop = DownloadStop::CutShort;
    return received;
}

void TVersionsForm::StartInstaller()
{
    const InstallerPaths paths =
        MakeInstallerPaths(installerFolder_, productName_, model_.DownloadName, model_.DownloadBaseUrl, programFolder_);
    const std::string displayName = DisplayName(model_.DownloadName);
    PresentInstallationStarting(model_, displayName);
    ShowModel();
    // The file checked is the file started: it stays locked from the check
    // until the installer runs.
    const ProcessHandle installer = installerFile_.size() > InstallerPathLimit ? ProcessHandle() : OpenLocked(installerFile_);
    if (!installer) {
        PresentInstallationFailed(model_);
        ShowModel();
        return;
    }
    ReceivedInstaller checked;
    CheckLocked(installer.Get(), installerFile_, checked);
    const InstallerVerdict verdict = JudgeVersion(checked, SignatureVerdict(checked.Signature));
    if (verdict != InstallerVerdict::Trusted) {
        PresentInstallationRefused(model_, verdict, checked);
        ShowModel();
        return;
    }
    // The next start says whether this version is then the one running.
    WriteUpdateRecord(ExpectedVersionRecord, VersionDisplayText(model_.NewestVersion));
    // Started as a program by its exact path, never through what the file
    // is associated with, and with administrator rights asked for as the
    // installer needs them (CreateProcess fails for such a program on
    // Windows). The shell shows no message box of its own: the window says
    // what happened.
    SHELLEXECUTEINFOA execute = {};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    execute.lpVerb = "runas";
    execute.lpFile = installerFile_.c_str();
    execute.lpParameters = InstallerArguments;
    execute.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&execute)) {
        ForgetUpdateRecord(ExpectedVersionRecord);
        PresentInstallationFailed(model_);
        ShowModel();
        return;
    }
    // The installer runs from its folder now; it is no longer the program's
    // to delete.
    installerFolder_.clear();
    PresentInstallationStarted(model_, displayName);
    ShowModel();
    Application::ProcessMessages();
    Sleep(InstallerStartWaitMs);
    // The installer must be able to replace the companion program.
    TerminateForm->TerminateProcessesByPath(paths.Companion);
    PostQuitMessage(0);
}
