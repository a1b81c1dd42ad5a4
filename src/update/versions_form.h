// Layer update, above ui: the version check, the installer's download,
// verification and start, the process terminator and the update window.
//
// The update window: the outcome of a version check, the download of the
// newest installer with its progress, and the start of the installation.
// Created once, hidden, at start-up; a check shows it.
#pragma once

#include "support/unique_handle_win32.h"
#include "ui/gauge.h"
#include "update/installer.h"
#include "update/installer_download_win32.h"
#include "update/update_window_model.h"
#include "update/versions_list.h"
#include "win/button.h"
#include "win/form.h"
#include "win/memo.h"
#include "win/panel.h"

#include <ostream>
#include <string>

class TVersionsForm : public Form {
public:
    void Create();

    Memo Memo1;
    Panel Panel1;
    TGauge Gauge1;
    Button DownloadBtn;
    Button ExitBtn;

    // The check three seconds after start: the window shows only when an
    // update is advised.
    void AutoUpdateCheck(const std::string& productName, const std::string& versionText);
    // The settings dialog's "Update nu": the window shows every outcome,
    // centred on the dialog (outer rectangle in screen pixels).
    void ManualUpdateCheck(int top, int left, int width, int height, const std::string& productName,
                           const std::string& versionText);
    // The ping, the versions list of CurrentSettings.UpdateHost, and the
    // comparison with versionText.
    VersionsCheck CheckVersions(const std::string& productName, const std::string& versionText);

    // Runs command through the command interpreter and waits for its end
    // (RunInterpreterCommand).
    void RunCommand(const std::string& command, bool hidden);
    // The process's exit code, or -1 when it did not start or had to be
    // ended after waitMs (RunProcessAndWait).
    int ExecuteAndWait(const std::string& commandLine, int showWindow, DWORD waitMs = INFINITE);

    void DownloadBtnClick();
    void ExitBtnClick();
    // True when a complete, plausible installer with the maker's valid
    // signature, carrying the announced version, waits in a new protected
    // folder of its own in the temporary folder.
    bool DownloadInstaller(const std::string& downloadName, const std::string& downloadBaseUrl);
    // Copies the response body into stream as it arrives, counting
    // DownloadedKB and moving the gauge; stops beyond the list's size, when
    // DownloadTimeMs is up, or when the window or the program is closed.
    // extraHeaders go with the request as they are.
    ReceivedInstaller DownloadToStream(std::ostream& stream, const std::string& url,
                                       const std::string& extraHeaders = "");
    // Checks the signature and version again on the locked file, then
    // starts it.
    void StartInstaller();

    // The whole installer download's time.
    unsigned DownloadTimeMs = 10 * 60 * 1000;

    int DownloadedKB() const { return downloadedKB_; }
    // The installer downloaded and checked, the file StartInstaller starts.
    const std::string& InstallerFile() const { return installerFile_; }
    const UpdateWindowModel& Model() const { return model_; }

private:
    void FormCreate();
    void FormShow() override;
    void FormDestroy() override;
    void ShowModel();
    // Deletes a downloaded installer that has not been started, and its folder.
    void DiscardInstaller();
    // The download of model_'s installer, counted in DownloadedKB and on
    // the gauge, given up when the window or the program is closed.
    InstallerDownload Download(const std::string& extraHeaders);

    UpdateWindowModel model_;
    std::string programFolder_;
    std::string productName_;
    std::string versionText_;
    int downloadedKB_ = 0;
    std::string installerFolder_;
    // Held from the folder's creation to the installer's start.
    FileHandle folderHold_;
    std::string installerFile_;
    // The maker's signature of installerFile_, as the server sent it.
    std::string signature_;
    Font buttonFont_;
};

extern TVersionsForm* VersionsForm;
