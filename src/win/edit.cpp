#include "win/edit.h"

#include <commctrl.h>

namespace {

// The dialog navigation selects the whole text of a control that says it
// takes a selection; without that flag it only moves the focus.
LRESULT CALLBACK NoAutoSelectProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    const LRESULT result = DefSubclassProc(handle, message, wParam, lParam);
    return message == WM_GETDLGCODE ? result & ~static_cast<LRESULT>(DLGC_HASSETSEL) : result;
}

} // namespace

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

void Edit::DisableAutoSelect() { SetWindowSubclass(Handle(), NoAutoSelectProc, 1, 0); }
