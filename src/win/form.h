// A top-level window or dialog with its controls as members: created once,
// shown and hidden for the program's whole run, modal or not.
#pragma once

#include "win/font.h"
#include "win/window.h"

#include <map>
#include <string>

class Button;
class Control;
class Timer;

enum ModalResult { mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrYes = IDYES, mrNo = IDNO };

struct FormStyle {
    DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    DWORD exStyle = WS_EX_CONTROLPARENT;
    int designDensity = 120;
    std::string fontFace = "Verdana";
    int fontHeight = 16;
};

class Form : public Window {
public:
    static Form* FromHandle(HWND handle);
    // The first form created is the program's main window: closing it ends
    // the message loop.
    static Form* Main();

    void Show();
    void Hide();
    bool Visible() const;
    int ShowModal();
    void SetModalResult(int result) { modalResult_ = result; }
    int ModalResultValue() const { return modalResult_; }
    // Closes as the title bar's close box would.
    void Close();
    // Destroys the window now, running FormDestroy; the object stays.
    void Destroy();

    // Outer rectangle in screen pixels.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetPosition(int left, int top);
    void SetSize(int width, int height);
    int ClientWidth() const;
    int ClientHeight() const;
    void SetClientSize(int width, int height);
    void SetClientHeight(int height);
    void SetCaption(const std::string& caption);
    std::string Caption() const;

    HFONT FormFont() const { return font_.Handle(); }
    int DesignDensityValue() const { return designDensity_; }
    int Scale(int designValue) const;

    void SetDefaultButton(Button* button) { defaultButton_ = button; }
    void SetCancelButton(Button* button) { cancelButton_ = button; }

    // While a form is busy (a download run) a close request is held back and
    // carried out when the last busy scope ends.
    class BusyScope {
    public:
        explicit BusyScope(Form& form);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        Form& form_;
    };
    bool Busy() const { return busyCount_ > 0; }
    // A close request held back while busy: work that can be given up
    // (a download) stops for it.
    bool CloseRequested() const { return closePending_; }

    int RegisterControl(Control& control);
    UINT_PTR RegisterTimer(Timer& timer);

protected:
    // Makes the hidden window; designWidth and designHeight are the client size.
    void CreateForm(const char* className, const std::string& caption, int designWidth, int designHeight,
                    const FormStyle& style = {});

    virtual void FormShow() {}
    virtual void FormResize() {}
    // True when the form painted itself.
    virtual bool FormPaint(HDC /*dc*/) { return false; }
    virtual void FormDestroy() {}
    // False keeps the window open.
    virtual bool CloseQuery() { return true; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void ClickIfUsable(Button* button);
    Button* FocusedButton() const;
    // As a dialog does: the control that had the focus when the form lost
    // the activation gets it back when the form is activated again.
    void RememberFocus();
    void RestoreFocus();

    Font font_;
    int designDensity_ = 120;
    int modalResult_ = mrNone;
    bool inModalLoop_ = false;
    int busyCount_ = 0;
    bool closePending_ = false;
    HWND lastFocus_ = nullptr;
    Button* defaultButton_ = nullptr;
    Button* cancelButton_ = nullptr;
    std::map<int, Control*> controls_;
    std::map<UINT_PTR, Timer*> timers_;
};
