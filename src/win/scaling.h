// Windows are designed in pixels at a design density (120 pixels per inch
// for most, 96 for the input dialog) and scaled to the screen's density.
#pragma once

constexpr int DesignDensity = 120;

int ScreenDensity();

// designValue at designDensity, in pixels of this screen.
int Scaled(int designValue, int designDensity = DesignDensity);
