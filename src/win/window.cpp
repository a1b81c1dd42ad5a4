#include "win/window.h"

#include "win/application.h"
#include "win/error_handler.h"

#include <set>
#include <stdexcept>
#include <string>

Window::~Window() { DestroyHandle(); }

Window* Window::FromHandle(HWND handle)
{
    // Only our own window classes carry the object pointer.
    char className[64] = {};
    GetClassNameA(handle, className, sizeof className);
    if (std::string(className).rfind("Kestrom", 0) != 0) return nullptr;
    return reinterpret_cast<Window*>(GetWindowLongPtrA(handle, GWLP_USERDATA));
}

void Window::CreateHandle(const char* className, const char* text, DWORD style, DWORD exStyle, int x, int y,
                          int width, int height, HWND parent, UINT_PTR id)
{
    static std::set<std::string> registered;
    if (registered.insert(className).second) {
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = Application::Instance();
        windowClass.hIcon = LoadIconA(Application::Instance(), MAKEINTRESOURCEA(1));
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = className;
        if (!RegisterClassExA(&windowClass)) throw std::runtime_error(std::string("Cannot register ") + className);
    }
    CreateWindowExA(exStyle, className, text, style, x, y, width, height, parent, reinterpret_cast<HMENU>(id),
                    Application::Instance(), this);
    if (!handle_) throw std::runtime_error(std::string("Cannot create window ") + className);
}

void Window::DestroyHandle()
{
    if (handle_) DestroyWindow(handle_);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(handle_, message, wParam, lParam);
}

LRESULT CALLBACK Window::WindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* window = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        window->handle_ = handle;
        SetWindowLongPtrA(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto* window = reinterpret_cast<Window*>(GetWindowLongPtrA(handle, GWLP_USERDATA));
    if (!window) return DefWindowProcA(handle, message, wParam, lParam);

    LRESULT result = 0;
    bool handled = false;
    Guarded([&] {
        result = window->HandleMessage(message, wParam, lParam);
        handled = true;
    });
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(handle, GWLP_USERDATA, 0);
        window->handle_ = nullptr;
    }
    // A handler that threw has been reported; Windows gets the default answer.
    return handled ? result : DefWindowProcA(handle, message, wParam, lParam);
}
