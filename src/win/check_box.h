// A check box and a radio button: a caption and a checked state.
#pragma once

#include "win/control.h"

#include <functional>

class CheckBox : public Control {
public:
    void Create(Form& owner, HWND parent, const std::string& caption, const DesignRect& rect,
                int designDensity = 120);
    bool Checked() const;
    void SetChecked(bool checked);
    std::function<void()> OnClick;
    void Command(WORD code) override;

protected:
    void CreateWithStyle(Form& owner, HWND parent, const std::string& caption, const DesignRect& rect,
                         DWORD style, int designDensity);
};

// Radio buttons of one group: the first of the group starts it.
class RadioButton : public CheckBox {
public:
    void Create(Form& owner, HWND parent, const std::string& caption, const DesignRect& rect,
                bool firstOfGroup, int designDensity = 120);
};
