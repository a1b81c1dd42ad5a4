#include "win/error_handler.h"

#include "win/application.h"

#include <windows.h>

void ShowException(const std::exception& error)
{
    MessageBoxA(GetActiveWindow(), error.what(), Application::Title().c_str(), MB_OK | MB_ICONERROR);
}

void ShowUnknownException()
{
    MessageBoxA(GetActiveWindow(), "Unknown error", Application::Title().c_str(), MB_OK | MB_ICONERROR);
}
