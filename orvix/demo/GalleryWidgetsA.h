#pragma once
// --gallery-widgets-a <out.png>: renders offscreen a dialog with the DPI cards
// and slider, the device list with battery gauges, the report-rate cards, the
// brightness sliders, the colour ring, palettes and colour buttons, each
// filled as the program fills them. Returns 0 when the PNG was written.
int RenderWidgetsGalleryA(const char* pngPath);
