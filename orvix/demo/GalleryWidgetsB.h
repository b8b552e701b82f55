#pragma once
// --gallery-widgets-b: renders a dialog of the button map (the V8 picture with
// the labels of its shipped description), the function type and value lists,
// a key list, the macro list and the events of a macro offscreen and saves it
// as PNG. 0 on success.
int RenderWidgetsGalleryB(const char* pngPath);
