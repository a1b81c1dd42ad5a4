// What the update window shows and keeps, and how each step of a check, a
// download and an installation changes it. The window applies the model to
// its controls; every text and every rule lives here.
#pragma once

#include "update/installer.h"
#include "update/versions_list.h"

#include <string>
#include <string_view>
#include <vector>

enum class FocusTarget { None, DownloadBtn, ExitBtn };

struct UpdateWindowModel {
    std::vector<std::string> MemoLines;
    std::string DownloadCaption = "Start Downloaden";
    bool DownloadVisible = false;
    std::string ExitCaption = "Download Later";
    bool ExitVisible = true;
    // A focus request, carried out once by the window.
    FocusTarget Focus = FocusTarget::None;

    // Kept from check to check for the download and the installation.
    std::string DownloadName;
    std::string DownloadBaseUrl;
    // The version the list announced for DownloadName: the one its
    // installer must carry.
    ProgramVersion NewestVersion;
    int InstallerSizeKB = 0;
    // ExitBtn installs instead of closing the window.
    bool InstallerReady = false;
};

// The automatic check at start-up; true when the window is to be shown
// (only when an update is advised).
bool PresentAutomaticCheck(UpdateWindowModel& model, const VersionsCheck& check, std::string_view versionText,
                           std::string_view updateHost);

// The check of the settings dialog's "Update nu": the window always shows
// the outcome.
void PresentManualCheck(UpdateWindowModel& model, const VersionsCheck& check, std::string_view versionText,
                        std::string_view updateHost);

// The outcome lines of a manual check, after the memo's first empty line.
std::vector<std::string> OutcomeLines(const VersionsCheck& check, std::string_view updateHost);

void PresentDownloaded(UpdateWindowModel& model);
// A download that arrived but is not an installer to offer; the file is gone.
void PresentRejected(UpdateWindowModel& model, InstallerVerdict verdict, const ReceivedInstaller& received);

void PresentInstallationStarting(UpdateWindowModel& model, std::string_view displayName);
// The installer could not be started; ExitBtn tries again.
void PresentInstallationFailed(UpdateWindowModel& model);
// The installer no longer passes its checks (signature, version, its
// folder, the user's registry) when it is about to start: it is never
// started, it is deleted, and only a new download can be installed.
// received holds what the check found.
void PresentInstallationRefused(UpdateWindowModel& model, InstallerVerdict verdict, const ReceivedInstaller& received);
void PresentInstallationStarted(UpdateWindowModel& model, std::string_view displayName);
