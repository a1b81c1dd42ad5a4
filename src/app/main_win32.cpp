// Program start: the support start-up, then every window once, hidden, in a
// fixed order; the message loop; then the windows are destroyed in reverse.
#include "app/command_line.h"
#include "app/main_form.h"
#include "app/product.h"
#include "settings/config_form.h"
#include "support/system_info.h"
#include "win/application.h"
#include "win/error_handler.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>

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

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    Application::Initialize(instance, ProductNameText);

    TMainForm mainForm;
    TConfigForm configForm;
    Guarded([&] {
        mainForm.Create();
        configForm.Create();
        mainForm.Show();
        Application::Run();
    });
    configForm.Destroy();
    mainForm.Destroy();
    return Application::ExitCode();
}
