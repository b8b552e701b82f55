#pragma once
// The headless back end's controls for tests: a clock that moves only when the
// test says so, and input injected as if a user did it. Points are client
// coordinates of the window named in device pixels (the same as logical ones
// at scale 1), as the desktop reports them; injected events are queued as the
// desktop would queue them, so run the loop (Platform::RunPending) to deliver
// them. Desktop rects are device pixels too.
#include <string>
#include <vector>

#include "orvix/platform/DesktopScale.h"
#include "orvix/platform/WinTypes.h"

namespace Orvix::Headless {

// Moves the test clock forward, delivering every timer and ticker tick that
// falls due on the way, in time order.
void AdvanceClock(uint64_t ms);
// When set, a GetMessage with nothing to do jumps the clock to the next timer
// instead of waiting (lets modal loops with animations run to completion).
void SetAutoAdvance(bool on);
// The desktop's work area (default 0, 0, 1920, 1080).
void SetWorkArea(const CRect& area);
// The display's bounds, and the work area with them (default 1920 x 1080).
void SetDisplay(const CRect& bounds);
// What the desktop says about scaling (default: the environment's variables);
// the second form is a change the desktop announces while the program runs.
void SetDesktopScaleSources(const DesktopScaleSources& sources);
void AnnounceDesktopScaleChange(const DesktopScaleSources& sources);

void MouseMove(HWND hwnd, int x, int y);
void MouseDown(HWND hwnd, int x, int y, bool right = false);
void MouseUp(HWND hwnd, int x, int y, bool right = false);
void Click(HWND hwnd, int x, int y, bool right = false);        // down + up
void DoubleClick(HWND hwnd, int x, int y, bool right = false);  // down, up, double click, up
void Wheel(HWND hwnd, int x, int y, int delta);                 // 120 per notch, negative = down
void MouseLeave(HWND hwnd);
void KeyDown(HWND hwnd, UINT vk);
void KeyUp(HWND hwnd, UINT vk);
void KeyPress(HWND hwnd, UINT vk);  // down + up
void TypeText(HWND hwnd, const std::wstring& text);
void Compose(HWND hwnd, const std::wstring& text, int cursor);
void Activate(HWND hwnd, bool active);
void CloseRequest(HWND hwnd);  // the desktop's close button
void Resize(HWND hwnd, int width, int height);  // the user drags the window's frame (device pixels)
void DropFiles(HWND hwnd, int x, int y, const std::vector<std::wstring>& files);

// ---- the desktop's pointer and keyboard, as a person's hands reach them ----
// The pointer sits at a screen point in device pixels, as the desktop's
// pointer does (it starts at (0, 0), over no window).
// Moving it is one motion event for the window under it (or the one holding
// the capture), with a leave for the window it left; a press or release goes
// to that window too, and a press over no window is the desktop's (the
// program's active window loses activation). Keys go to the active window.
// Nothing is delivered until the loop runs (Platform::RunPending).
void PointerTo(int x, int y);
POINT GetPointer();
void PointerButton(bool down, bool right = false, int clicks = 1);
void PointerWheel(int delta);  // 120 per notch, negative = down
void DesktopKey(UINT vk, bool down);
void DesktopText(const std::wstring& text);

// Where the back end last placed the IME, in screen coordinates (empty when
// text input is off).
CRect GetTextInputRect();

}  // namespace Orvix::Headless
