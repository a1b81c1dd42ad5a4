// A framed group with a caption. Controls "in" a group are children of the
// form placed over it, so their notifications reach the form directly.
#pragma once

#include "win/control.h"

class GroupBox : public Control {
public:
    void Create(Form& owner, HWND parent, const std::string& caption, const DesignRect& rect,
                int designDensity = 120);
    // A rectangle given relative to the group, in the form's design pixels.
    DesignRect Inside(const DesignRect& rect) const;

private:
    DesignRect design_ = {};
};
