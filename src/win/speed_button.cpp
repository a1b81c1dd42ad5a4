#include "win/speed_button.h"

#include <commctrl.h>

void SpeedButton::Create(Form& owner, HWND parent, const DesignRect& rect, int imageSet, int image,
                         int designDensity)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    CreateControl(owner, parent, TOOLBARCLASSNAMEA, "",
                  WS_VISIBLE | TBSTYLE_FLAT | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 0, rect,
                  designDensity);
    SendMessageA(Handle(), TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(Handle(), TB_LOADIMAGES, imageSet, reinterpret_cast<LPARAM>(HINST_COMMCTRL));
    // The button's command is the control's own id: the tool bar sends it to
    // the form as any button's click.
    TBBUTTON button = {};
    button.iBitmap = image;
    button.idCommand = Id();
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_BUTTON;
    SendMessageA(Handle(), TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
    RECT client = {};
    GetClientRect(Handle(), &client);
    SendMessageA(Handle(), TB_SETBUTTONSIZE, 0, MAKELPARAM(client.right, client.bottom));
}

void SpeedButton::Click()
{
    if (OnClick) OnClick();
}

void SpeedButton::Command(WORD code)
{
    if (code == BN_CLICKED) Click();
}
