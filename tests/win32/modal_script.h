// Helpers for Win32 tests that drive modal windows: thread timers that run
// inside whatever message loop is running, once after a time (watchdogs) or
// once a window is ready (scripts), a pump with a limit, and window
// screenshots as BMP files.
#pragma once

#include "wait_for.h"
#include "win/application.h"

#include <windows.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

// Runs its action once, from whatever message loop is running then (a
// dialog's modal loop included).
class OneShot {
public:
    OneShot(UINT milliseconds, std::function<void()> action)
    {
        id_ = SetTimer(nullptr, 0, milliseconds, Fire);
        Actions()[id_] = std::move(action);
    }
    ~OneShot()
    {
        KillTimer(nullptr, id_);
        Actions().erase(id_);
    }
    OneShot(const OneShot&) = delete;
    OneShot& operator=(const OneShot&) = delete;

private:
    static std::map<UINT_PTR, std::function<void()>>& Actions()
    {
        static std::map<UINT_PTR, std::function<void()>> actions;
        return actions;
    }
    static void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD)
    {
        KillTimer(nullptr, id);
        const auto found = Actions().find(id);
        if (found == Actions().end()) return;
        const auto action = std::move(found->second);
        Actions().erase(found);
        action();
    }
    UINT_PTR id_ = 0;
};

// Runs its action once, from whatever message loop is running, as soon as
// ready() holds: a script waits for the window it drives, not for a number
// of milliseconds that a slow machine may not meet. Timer messages come
// after paints, so a window that is up has also painted.
class WhenReady {
public:
    WhenReady(std::function<bool()> ready, std::function<void()> action)
    {
        id_ = SetTimer(nullptr, 0, PollMs, Poll);
        Pending()[id_] = Step{std::move(ready), std::move(action)};
    }
    ~WhenReady()
    {
        KillTimer(nullptr, id_);
        Pending().erase(id_);
    }
    WhenReady(const WhenReady&) = delete;
    WhenReady& operator=(const WhenReady&) = delete;

private:
    static constexpr UINT PollMs = 20;
    struct Step {
        std::function<bool()> ready;
        std::function<void()> action;
    };
    static std::map<UINT_PTR, Step>& Pending()
    {
        static std::map<UINT_PTR, Step> pending;
        return pending;
    }
    static void CALLBACK Poll(HWND, UINT, UINT_PTR id, DWORD)
    {
        const auto found = Pending().find(id);
        if (found == Pending().end() || !found->second.ready()) return;
        KillTimer(nullptr, id);
        const auto action = std::move(found->second.action);
        Pending().erase(found);
        action();
    }
    UINT_PTR id_ = 0;
};

// A window that is shown and active: the one the user would type into.
inline bool UpAndActive(HWND window)
{
    return window && IsWindowVisible(window) && GetActiveWindow() == window;
}

// Lets messages through until done() or until the limit.
inline bool PumpUntil(const std::function<bool()>& done, UINT limitMs)
{
    bool limitReached = false;
    OneShot limit(limitMs, [&] { limitReached = true; });
    while (!done() && !limitReached) {
        WaitMessage();
        Application::ProcessMessages();
    }
    return done();
}

// The window as it is on the screen, frame included, as a 24-bit BMP file
// in the folder named by KESTROM_SCREENSHOTS (nothing when it is unset).
inline void SaveScreenshot(HWND window, const std::string& name)
{
    char folder[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("KESTROM_SCREENSHOTS", folder, sizeof folder)) return;
    RECT rect;
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    const int stride = (width * 3 + 3) & ~3;
    std::vector<char> pixels(static_cast<std::size_t>(stride) * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    const std::string path = std::string(folder) + "\\" + name + ".bmp";
    if (FILE* out = std::fopen(path.c_str(), "wb")) {
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&info, sizeof info, 1, out);
        std::fwrite(pixels.data(), 1, pixels.size(), out);
        std::fclose(out);
    }
}
