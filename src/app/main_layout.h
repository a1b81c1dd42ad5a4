// The main window's fixed height: the buttons' column plus the status line.
#pragma once

// Client height from the close button's top and height and the status
// panel's height, all in screen pixels; the 20-pixel margin is not scaled.
constexpr int MainClientHeight(int closeButtonTop, int closeButtonHeight, int statusPanelHeight)
{
    return closeButtonTop + closeButtonHeight + statusPanelHeight + 20;
}
