#include "win/application.h"

#include "win/form.h"

namespace {

HINSTANCE instance = nullptr;
std::string title;
int exitCode = 0;

} // namespace

namespace Application {

HINSTANCE Instance() { return instance; }

void Initialize(HINSTANCE hInstance, const std::string& applicationTitle)
{
    instance = hInstance;
    title = applicationTitle;
}

const std::string& Title() { return title; }

void DispatchOne(MSG& message)
{
    // Forms are ordinary windows, not dialogs; IsDialogMessage on their
    // top-level window still gives them Tab, Enter (IDOK) and Escape
    // (IDCANCEL), which Form maps to its default and cancel buttons.
    HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root && Form::FromHandle(root) && IsDialogMessageA(root, &message)) return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

void Run()
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchOne(message);
}

bool ProcessMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        DispatchOne(message);
    }
    return true;
}

int ExitCode() { return exitCode; }
void SetExitCode(int code) { exitCode = code; }

} // namespace Application
