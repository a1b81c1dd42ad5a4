// A static text.
#pragma once

#include "win/control.h"

struct LabelOptions {
    bool wordWrap = false;
    bool autoSize = true;
    // Lines centred in the label's width (they wrap at word boundaries).
    bool centred = false;
};

class Label : public Control {
public:
    void Create(Form& owner, HWND parent, const std::string& caption, const DesignRect& rect,
                const LabelOptions& options = {}, int designDensity = 120);
    // Sets the caption; an auto-sized label then fits its width to the text.
    void SetCaption(const std::string& caption);

private:
    bool autoSize_ = true;
};
