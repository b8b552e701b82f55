#pragma once
// --gallery-controls <out.png>: renders offscreen a dialog with every standard
// control of the toolkit in its normal, hover, pressed, checked and disabled
// looks, with the tab strips, pictures, bars, menus and pop-up windows.
// Returns 0 when the PNG was written.
int RenderControlsGallery(const char* pngPath);
