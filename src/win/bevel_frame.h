// A bevel: an etched frame or a lowered box drawn around other controls.
// It paints its edge only and lets the mouse through, so the controls
// inside show and work whatever the order in which they were created.
#pragma once

#include "win/control.h"

enum class BevelShape { EtchedFrame, LoweredBox };

class BevelFrame : public Control {
public:
    void Create(Form& owner, HWND parent, const DesignRect& rect, BevelShape shape, int designDensity = 120);
};
