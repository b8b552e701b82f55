#pragma once
// The frame of every offscreen rendering of the program (--toolkit-demo and the
// galleries): the headless windowing layer with the embedded font for the time of
// `render`, which builds its dialog and writes the PNG; the toolkit's font is put
// back afterwards. Returns the program's exit code: 0 when `render` wrote the
// picture, 1 otherwise (with a message naming `what`).
#include <functional>

#include "orvix/platform/Canvas.h"
#include "orvix/platform/WinTypes.h"

int RenderOffscreen(const char* what, const char* pngPath, const std::function<bool()>& render);

// Paints a pop-up window (tooltip, bubble, drop-down, menu) and copies its
// picture onto `out`, the picture of `dialog`, at the pop-up's place; pop-ups
// are windows of their own, so a screenshot of the dialog alone misses them.
void CompositePopup(Orvix::Canvas& out, Orvix::HWND dialog, Orvix::HWND popup);
