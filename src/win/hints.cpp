#include "win/hints.h"

#include <commctrl.h>

#include <stdexcept>

Hints::~Hints()
{
    if (handle_) DestroyWindow(handle_);
}

void Hints::Create(HWND owner)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    owner_ = owner;
    // TTS_ALWAYSTIP: the hints show while another program is active too.
    handle_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (!handle_) throw std::runtime_error("Cannot create the hint window");
}

void Hints::Set(const Control& control, const std::string& text)
{
    TOOLINFOA tool = {};
    // The size of the common controls 5 structure, which version 6 accepts
    // too; the full structure of the headers is refused by version 5.
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner_;
    tool.uId = reinterpret_cast<UINT_PTR>(control.Handle());
    // The tooltip keeps its own copy of the text.
    tool.lpszText = const_cast<char*>(text.c_str());
    const bool known = texts_.count(control.Handle()) != 0;
    SendMessageA(handle_, known ? TTM_UPDATETIPTEXTA : TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    texts_[control.Handle()] = text;
}

std::string Hints::Get(const Control& control) const
{
    const auto found = texts_.find(control.Handle());
    return found == texts_.end() ? std::string() : found->second;
}
