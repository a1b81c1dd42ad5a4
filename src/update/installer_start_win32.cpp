#include "update/installer_start_win32.h"

#include "update/installer_check_win32.h"
#include "update/installer_folder_win32.h"
#include "update/start_redirect_win32.h"
#include "update/update_record_win32.h"

#include <shellapi.h>

namespace {

constexpr std::size_t InstallerPathLimit = 259;

} // namespace

InstallerLaunchResult LaunchVerifiedInstaller(const std::string& file, std::string_view signature,
                                              const ProgramVersion& announced, const ProgramVersion& running)
{
    InstallerLaunchResult result;
    result.Lock = file.size() > InstallerPathLimit ? FileHandle() : LockInstaller(file);
    if (!result.Lock) return result;
    CheckLockedInstaller(result.Lock, file, signature, result.Checked);
    result.Verdict = JudgeTrustedVersion(result.Checked, SignatureVerdict(result.Checked.Signature), announced, running);
    // The last checks before the start: the folder may have been given
    // company while the window waited, and the user's registry decides
    // what "runas" starts.
    const std::size_t nameStart = file.rfind('\\') + 1;
    if (result.Verdict == InstallerVerdict::Trusted
        && !FolderHoldsOnly(file.substr(0, nameStart), file.substr(nameStart)))
        result.Verdict = InstallerVerdict::NotAlone;
    if (result.Verdict == InstallerVerdict::Trusted && UserClassesRedirectElevatedStart())
        result.Verdict = InstallerVerdict::StartRedirected;
    if (result.Verdict != InstallerVerdict::Trusted) {
        result.Outcome = InstallerLaunch::Refused;
        return result;
    }
    WriteUpdateRecord(ExpectedVersionRecord, VersionDisplayText(announced));
    // Started as a program by its exact path, never through what the file
    // is associated with, and with administrator rights asked for as the
    // installer needs them (CreateProcess fails for such a program on
    // Windows). The shell shows no message box of its own: the window says
    // what happened.
    SHELLEXECUTEINFOA execute = {};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    execute.lpVerb = "runas";
    execute.lpFile = file.c_str();
    execute.lpParameters = InstallerArguments;
    execute.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&execute)) {
        ForgetUpdateRecord(ExpectedVersionRecord);
        return result;
    }
    result.Outcome = InstallerLaunch::Started;
    return result;
}
