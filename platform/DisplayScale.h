#pragma once
// The display-scale rule of the start. The main window has a fixed size of
// 1280 x 800; the program draws it in physical pixels ("scale aware") when the
// primary screen is too small for a stretched copy of it, or when it is a
// 1920 x 1080 screen scaled above 125 %. Every other screen keeps the window
// at its logical size and leaves any stretching to the desktop.

// The scale percentage of a horizontal effective density: 96 dpi or less
// (also 0, a display that reports none) is 100 %, 120 is 125 %, 144, 168 and
// 192 are 150, 175 and 200 %; any other density counts as 100 %.
int ScalePercentFromDpi(int dpi);

// The rule itself, from the primary screen's size and scale percentage.
bool IsScaleAwareScreen(int width, int height, int scalePercent);

// Applies the rule to the display nearest the point (1, 1), the primary one;
// a desktop without a display stays unaware. Needs the windowing layer started.
bool DecideScaleAwareness();
