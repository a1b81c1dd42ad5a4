#include "win/form.h"

#include "win/application.h"
#include "win/button.h"
#include "win/control.h"
#include "win/error_handler.h"
#include "win/scaling.h"
#include "win/timer.h"

#include <vector>

namespace {

Form* mainForm = nullptr;
constexpr int FirstControlId = 100;

BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM list)
{
    if (IsWindowVisible(window) && IsWindowEnabled(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

} // namespace

Form* Form::FromHandle(HWND handle) { return dynamic_cast<Form*>(Window::FromHandle(handle)); }

Form* Form::Main() { return mainForm; }

void Form::CreateForm(const char* className, const std::string& caption, int designWidth, int designHeight,
                      const FormStyle& style)
{
    designDensity_ = style.designDensity;
    font_ = Font(style.fontFace, style.fontHeight, false, designDensity_);
    RECT rect = {0, 0, Scale(designWidth), Scale(designHeight)};
    AdjustWindowRectEx(&rect, style.style, FALSE, style.exStyle);
    // Forms after the first are owned by the main window, as dialogs are.
    CreateHandle(className, caption.c_str(), style.style & ~WS_VISIBLE, style.exStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                 rect.right - rect.left, rect.bottom - rect.top, mainForm ? mainForm->Handle() : nullptr);
    if (!mainForm) mainForm = this;
    SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
}

int Form::Scale(int designValue) const { return Scaled(designValue, designDensity_); }

void Form::Show()
{
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
}

void Form::Hide() { ShowWindow(Handle(), SW_HIDE); }

bool Form::Visible() const { return IsWindowVisible(Handle()) != FALSE; }

int Form::ShowModal()
{
    // Every other window of the program is disabled while the form is up.
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&disabled));
    for (HWND window : disabled) EnableWindow(window, FALSE);

    // The window that was active gets the activation back at the end, as
    // it would from a system dialog, whatever else the hiding activates.
    const HWND previous = GetActiveWindow();

    modalResult_ = mrNone;
    inModalLoop_ = true;
    Show();
    MSG message;
    while (modalResult_ == mrNone) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got <= 0) {
            // The program is ending: leave WM_QUIT for the main loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            modalResult_ = mrCancel;
            break;
        }
        Application::DispatchOne(message);
    }
    inModalLoop_ = false;
    for (HWND window : disabled) EnableWindow(window, TRUE);
    Hide();
    if (previous && previous != Handle() && IsWindowVisible(previous)) SetForegroundWindow(previous);
    return modalResult_;
}

void Form::Close() { SendMessageA(Handle(), WM_CLOSE, 0, 0); }

void Form::Destroy() { DestroyHandle(); }

int Form::Left() const
{
    RECT rect;
    GetWindowRect(Handle(), &rect);
    return rect.left;
}

int Form::Top() const
{
    RECT rect;
    GetWindowRect(Handle(), &rect);
    return rect.top;
}

int Form::Width() const
{
    RECT rect;
    GetWindowRect(Handle(), &rect);
    return rect.right - rect.left;
}

int Form::Height() const
{
    RECT rect;
    GetWindowRect(Handle(), &rect);
    return rect.bottom - rect.top;
}

void Form::SetPosition(int left, int top)
{
    SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::SetSize(int width, int height)
{
    SetWindowPos(Handle(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Form::ClientWidth() const
{
    RECT rect;
    GetClientRect(Handle(), &rect);
    return rect.right;
}

int Form::ClientHeight() const
{
    RECT rect;
    GetClientRect(Handle(), &rect);
    return rect.bottom;
}

void Form::SetClientSize(int width, int height)
{
    SetSize(Width() - ClientWidth() + width, Height() - ClientHeight() + height);
}

void Form::SetClientHeight(int height) { SetSize(Width(), Height() - ClientHeight() + height); }

void Form::SetCaption(const std::string& caption) { SetWindowTextA(Handle(), caption.c_str()); }

std::string Form::Caption() const
{
    std::vector<char> buffer(GetWindowTextLengthA(Handle()) + 1);
    const int length = GetWindowTextA(Handle(), buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), length);
}

Form::BusyScope::BusyScope(Form& form) : form_(form) { ++form_.busyCount_; }

Form::BusyScope::~BusyScope()
{
    if (--form_.busyCount_ == 0 && form_.closePending_) {
        form_.closePending_ = false;
        PostMessageA(form_.Handle(), WM_CLOSE, 0, 0);
    }
}

int Form::RegisterControl(Control& control)
{
    const int id = FirstControlId + static_cast<int>(controls_.size());
    controls_[id] = &control;
    return id;
}

UINT_PTR Form::RegisterTimer(Timer& timer)
{
    const UINT_PTR id = timers_.size() + 1;
    timers_[id] = &timer;
    return id;
}

void Form::ClickIfUsable(Button* button)
{
    if (button && button->Visible() && button->Enabled()) button->Click();
}

Button* Form::FocusedButton() const
{
    const HWND focus = GetFocus();
    for (const auto& [id, control] : controls_) {
        if (control->Handle() == focus) return dynamic_cast<Button*>(control);
    }
    return nullptr;
}

void Form::RememberFocus()
{
    const HWND focus = GetFocus();
    if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
}

void Form::RestoreFocus()
{
    HWND target = lastFocus_;
    if (!target || !IsChild(Handle(), target) || !IsWindowVisible(target) || !IsWindowEnabled(target))
        target = GetNextDlgTabItem(Handle(), nullptr, FALSE);
    if (target) SetFocus(target);
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            RememberFocus();
        } else if (!HIWORD(wParam)) {
            RestoreFocus();
        }
        return 0;
    case WM_SETFOCUS:
        RestoreFocus();
        return 0;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (lParam == 0 || id == IDOK || id == IDCANCEL) {
            // Enter and Escape, as dialog navigation reports them.
            // Enter presses the button that has the focus, else the default one.
            if (id == IDOK) {
                Button* focused = FocusedButton();
                ClickIfUsable(focused ? focused : defaultButton_);
            }
            if (id == IDCANCEL) ClickIfUsable(cancelButton_);
            return 0;
        }
        const auto control = controls_.find(id);
        if (control != controls_.end()) control->second->Command(HIWORD(wParam));
        return 0;
    }
    case WM_NOTIFY: {
        auto& header = *reinterpret_cast<NMHDR*>(lParam);
        const auto control = controls_.find(static_cast<int>(header.idFrom));
        if (control != controls_.end() && control->second->Handle() == header.hwndFrom) {
            return control->second->Notify(header);
        }
        break;
    }
    case WM_TIMER: {
        const auto timer = timers_.find(wParam);
        if (timer != timers_.end()) timer->second->Tick();
        return 0;
    }
    case WM_SIZE:
        FormResize();
        return 0;
    case WM_SHOWWINDOW:
        if (wParam) FormShow();
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(Handle(), &paint);
        FormPaint(dc);
        EndPaint(Handle(), &paint);
        return 0;
    }
    case WM_CLOSE:
        if (inModalLoop_) {
            modalResult_ = mrCancel;
            return 0;
        }
        if (busyCount_ > 0) {
            closePending_ = true;
            return 0;
        }
        if (!CloseQuery()) return 0;
        if (this == mainForm) {
            // The windows live on, hidden, until the program destroys them
            // after the loop, so their destruction can still read this one.
            Hide();
            PostQuitMessage(0);
        } else {
            Hide();
        }
        return 0;
    case WM_DESTROY:
        FormDestroy();
        return 0;
    default:
        break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}
