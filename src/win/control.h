// A standard Windows control owned by a form. Sizes handed to Create and
// SetBounds are design values; the control scales them.
#pragma once

#include <windows.h>

#include <string>

class Form;

struct DesignRect {
    int left;
    int top;
    int width;
    int height;
};

class Control {
public:
    Control() = default;
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    HWND Handle() const { return handle_; }
    int Id() const { return id_; }

    std::string Text() const;
    void SetText(const std::string& text);
    void SetFont(HFONT font);
    void SetVisible(bool visible);
    bool Visible() const;
    void SetEnabled(bool enabled);
    bool Enabled() const;
    void Focus();
    // The hand cursor over the control (its child windows included).
    void SetHandCursor();

    // Placement in the parent's client area, in screen pixels.
    RECT Bounds() const;
    void SetBounds(int left, int top, int width, int height);
    int Left() const { return Bounds().left; }
    int Top() const { return Bounds().top; }
    int Width() const;
    int Height() const;

    // A notification (BN_CLICKED, EN_CHANGE, ...) sent to the owning form.
    virtual void Command(WORD /*code*/) {}
    // A WM_NOTIFY of the control (tree view, ...) sent to the owning form;
    // the result goes back to the control.
    virtual LRESULT Notify(NMHDR& /*header*/) { return 0; }

protected:
    void CreateControl(Form& owner, HWND parent, const char* className, const std::string& text, DWORD style,
                       DWORD exStyle, const DesignRect& rect, int designDensity = 120);
    virtual void EnabledChanged() {}

private:
    HWND handle_ = nullptr;
    int id_ = 0;
};
