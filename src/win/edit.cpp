#include "win/edit.h"

void Edit::Create(Form& owner, HWND parent, const std::string& text, const DesignRect& rect, int designDensity)
{
    CreateControl(owner, parent, "EDIT", text, WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, rect,
                  designDensity);
    // No limit: a data path or a folder name may be long.
    SendMessageA(Handle(), EM_SETLIMITTEXT, 0, 0);
}

void Edit::Command(WORD code)
{
    if (code == EN_CHANGE && OnChange) OnChange();
}
