#pragma once
// --gallery-lists: renders a dialog of the toolkit's lists, edits, number
// edits, spin boxes, combo boxes with an open drop-down, a scrolled panel and
// a menu offscreen and saves it as PNG. 0 on success.
int RenderListsGallery(const char* pngPath);
