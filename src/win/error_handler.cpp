#include "win/error_handler.h"

#include "win/application.h"

#include <windows.h>

#include <utility>

namespace {

std::function<void(const std::string&)>& Action()
{
    static std::function<void(const std::string&)> action;
    return action;
}

void Report(const char* message)
{
    if (Action()) {
        Action()(message);
        return;
    }
    MessageBoxA(GetActiveWindow(), message, Application::Title().c_str(), MB_OK | MB_ICONERROR);
}

} // namespace

void ShowException(const std::exception& error) { Report(error.what()); }

void ShowUnknownException() { Report("Unknown error"); }

void SetTopLevelErrorAction(std::function<void(const std::string& message)> action) { Action() = std::move(action); }
