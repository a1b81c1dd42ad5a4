// Program start: the support start-up, then every window once, hidden, in a
// fixed order; the message loop; then the windows are destroyed in reverse.
#include "app/command_line.h"
#include "app/main_form.h"
#include "app/remove_tasks_win32.h"
#include "app/unattended_errors_win32.h"
#include "settings/settings.h"
#include "support/product.h"
#include "support/system_info.h"
#include "ui/about_form.h"
#include "ui/ask_dialog.h"
#include "ui/browse_form.h"
#include "ui/config_form.h"
#include "ui/message_form.h"
#include "ui/yes_no_dialog.h"
#include "update/terminate_form.h"
#include "update/versions_form.h"
#include "win/application.h"
#include "win/error_handler.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <iterator>

namespace {

std::vector<std::string> ArgumentsAfterProgramName()
{
    std::vector<std::string> arguments;
    for (int i = 1; i < __argc; ++i) arguments.emplace_back(__argv[i]);
    return arguments;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    SupportStartup();
    SetCommandLineArguments(ArgumentsAfterProgramName());
    if (IsRemoveTasksMode()) return RemoveOwnEveningTasks();
    if (IsAutomaticMode()) EndOnTopLevelErrors([] { return CurrentSettings.DataPath; });

    // Some shell handlers behind ShellExecuteA (mail, browser) expect COM.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    Application::Initialize(instance, ProductNameText);

    TMainForm mainForm;
    TMessageForm messageForm;
    TAboutForm aboutForm;
    TConfigForm configForm;
    TVersionsForm versionsForm;
    TTerminateForm terminateForm;
    TBrowseForm browseForm;
    TAskDlg askDlg;
    TYesNoDlg yesNoDlg;
    // Creation order matters: the main window first (it is the program's
    // main window and holds ProductName), the settings dialog before the
    // main window is shown (it places it).
    Form* const forms[] = {&mainForm, &messageForm, &aboutForm, &configForm, &versionsForm, &terminateForm, &browseForm, &askDlg, &yesNoDlg};
    Guarded([&] {
        mainForm.Create();
        messageForm.Create();
        aboutForm.Create(mainForm);
        configForm.Create(mainForm, [&](const CallerRect& dialog) {
            // The check takes the names as short strings of at most 255 characters.
            versionsForm.ManualUpdateCheck(dialog.Top, dialog.Left, dialog.Width, dialog.Height,
                                           mainForm.ProductName.substr(0, 255), mainForm.VersionText.substr(0, 255));
        });
        versionsForm.Create();
        terminateForm.Create();
        browseForm.Create();
        askDlg.Create();
        yesNoDlg.Create();
        mainForm.Show();
        Application::Run();
    });
    // Destroyed in reverse, so that the settings dialog still finds the main
    // window when it stores the windows' places.
    for (auto form = std::rbegin(forms); form != std::rend(forms); ++form) (*form)->Destroy();
    CoUninitialize();
    return Application::ExitCode();
}
