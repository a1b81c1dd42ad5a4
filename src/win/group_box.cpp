#include "win/group_box.h"

void GroupBox::Create(Form& owner, HWND parent, const std::string& caption, const DesignRect& rect,
                      int designDensity)
{
    design_ = rect;
    CreateControl(owner, parent, "BUTTON", caption, WS_VISIBLE | BS_GROUPBOX | WS_GROUP, 0, rect, designDensity);
}

DesignRect GroupBox::Inside(const DesignRect& rect) const
{
    return {design_.left + rect.left, design_.top + rect.top, rect.width, rect.height};
}
