#include "win/check_box.h"

void CheckBox::Create(Form& owner, HWND parent, const std::string& caption, const DesignRect& rect, int designDensity)
{
    CreateWithStyle(owner, parent, caption, rect, BS_AUTOCHECKBOX | WS_TABSTOP, designDensity);
}

void CheckBox::CreateWithStyle(Form& owner, HWND parent, const std::string& caption, const DesignRect& rect,
                               DWORD style, int designDensity)
{
    CreateControl(owner, parent, "BUTTON", caption, WS_VISIBLE | style, 0, rect, designDensity);
}

bool CheckBox::Checked() const { return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void CheckBox::SetChecked(bool checked)
{
    SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CheckBox::Command(WORD code)
{
    if (code == BN_CLICKED && OnClick) OnClick();
}

void RadioButton::Create(Form& owner, HWND parent, const std::string& caption, const DesignRect& rect,
                         bool firstOfGroup, int designDensity)
{
    CreateWithStyle(owner, parent, caption, rect, BS_AUTORADIOBUTTON | (firstOfGroup ? WS_GROUP | WS_TABSTOP : 0),
                    designDensity);
}
