// The settings dialog's size follows its controls: the group boxes' left
// margin repeated on the right and below the buttons, and Cancel mirroring
// OK's margin from the right edge. Pixels in, pixels out.
#pragma once

struct ConfigSize {
    int ClientWidth = 0;
    int ClientHeight = 0;
    int CancelLeft = 0;
};

ConfigSize ConfigFormSize(int filesLeft, int filesWidth, int okLeft, int okTop, int okHeight, int cancelWidth);
