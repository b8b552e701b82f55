#pragma once
// The frame of every offscreen rendering of the program (--toolkit-demo and the
// galleries): the headless windowing layer with the embedded font for the time of
// `render`, which builds its dialog and writes the PNG; the toolkit's font is put
// back afterwards. Returns the program's exit code: 0 when `render` wrote the
// picture, 1 otherwise (with a message naming `what`).
#include <functional>

int RenderOffscreen(const char* what, const char* pngPath, const std::function<bool()>& render);
