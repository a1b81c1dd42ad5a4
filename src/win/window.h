// Layer win, above support: the thin window layer every window is made of.
//
// Base of every window class of our own: registers its class once and
// routes messages to the C++ object that owns the handle.
#pragma once

#include <windows.h>

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return handle_; }
    static Window* FromHandle(HWND handle);

protected:
    void CreateHandle(const char* className, const char* text, DWORD style, DWORD exStyle, int x, int y,
                      int width, int height, HWND parent, UINT_PTR id = 0);
    void DestroyHandle();

    // Everything not handled goes to DefWindowProcA.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK WindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
    HWND handle_ = nullptr;
};
