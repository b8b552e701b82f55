#pragma once
// A person's hands on the headless desktop. The pointer goes from where it is
// to where it is going in small steps, each a motion event of the desktop, so
// every control on the way hears the pointer come and go; presses, releases
// and the wheel act where the pointer is; keys go to the active window. All of
// it enters through the back end's input path, the one SDL's events take.
// Control ids serve only to find where a control is on the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "orvix/core/FocusChain.h"
#include "orvix/core/MControl.h"
#include "orvix/core/PaintManager.h"
#include "orvix/platform/Headless.h"
#include "orvix/platform/Platform.h"

class UserHands {
  public:
    // A motion event at least every this many pixels, and at most this many per move.
    static constexpr int kStep = 16;
    static constexpr int kMaxSteps = 48;

    Orvix::CPoint Pointer() const { return Orvix::CPoint(Orvix::Headless::GetPointer()); }

    // The pointer goes to a screen point (device pixels), from where it was.
    void MoveTo(Orvix::CPoint screen) {
        const Orvix::CPoint from = Pointer();
        const double dx = screen.x - from.x, dy = screen.y - from.y;
        const int steps = std::clamp(int(std::ceil(std::hypot(dx, dy) / kStep)), 1, kMaxSteps);
        for (int i = 1; i <= steps; ++i) {
            Orvix::Headless::PointerTo(from.x + int(std::lround(dx * i / steps)),
                                       from.y + int(std::lround(dy * i / steps)));
            Run();
        }
    }
    void MoveTo(Orvix::HWND hwnd, Orvix::CPoint client) { MoveTo(ToScreen(hwnd, client)); }
    // The pointer is put down at a screen point in one motion (a pen lifted
    // and set down elsewhere): where the next move starts from.
    void JumpTo(Orvix::CPoint screen) {
        Orvix::Headless::PointerTo(screen.x, screen.y);
        Run();
    }
    void MoveToControl(const Orvix::MControl* control) { MoveTo(ScreenPointOf(control)); }

    void Press(bool right = false) { Button(true, right); }
    void Release(bool right = false) { Button(false, right); }
    void Click(bool right = false) {
        Press(right);
        Release(right);
    }
    void DoubleClick() {
        Click();
        Orvix::Headless::PointerButton(true, false, 2);
        Run();
        Release();
    }
    void ClickAt(Orvix::HWND hwnd, Orvix::CPoint client, bool right = false) {
        MoveTo(hwnd, client);
        Click(right);
    }
    void ClickControl(const Orvix::MControl* control, bool right = false) {
        ASSERT_NE(control, nullptr);
        MoveToControl(control);
        Click(right);
    }
    // Press where the pointer is, move there with the button held, release.
    void DragTo(Orvix::CPoint screen) {
        Press();
        MoveTo(screen);
        Release();
    }
    void Wheel(int notches) {
        Orvix::Headless::PointerWheel(notches * 120);
        Run();
    }

    void KeyDown(Orvix::UINT vk) {
        Orvix::Headless::DesktopKey(vk, true);
        Run();
    }
    void KeyUp(Orvix::UINT vk) {
        Orvix::Headless::DesktopKey(vk, false);
        Run();
    }
    void Key(Orvix::UINT vk) {
        KeyDown(vk);
        KeyUp(vk);
    }
    // A key with a modifier held (Shift+Tab, Ctrl+C).
    void Chord(Orvix::UINT modifier, Orvix::UINT vk) {
        KeyDown(modifier);
        Key(vk);
        KeyUp(modifier);
    }
    void Type(const std::wstring& text) {
        Orvix::Headless::DesktopText(text);
        Run();
    }

    // Where a control shows in its window (client coordinates): its rect moved
    // by the scrolled containers above it and cut by every container's rect.
    static Orvix::CRect VisibleRect(const Orvix::MControl* control) {
        Orvix::CRect r = Orvix::FocusChain::WindowRect(control);
        for (Orvix::MObject* p = control->GetParantObject(); p;) {
            auto* parent = dynamic_cast<Orvix::MControl*>(p);
            if (!parent) break;
            r = r & Orvix::FocusChain::WindowRect(parent);
            p = parent->GetParantObject();
        }
        return r;
    }
    // The screen point a person aims at: the middle of what shows of it.
    static Orvix::CPoint ScreenPointOf(const Orvix::MControl* control) {
        const Orvix::CRect r = VisibleRect(control);
        EXPECT_FALSE(r.IsRectEmpty()) << "control " << control->GetID() << " does not show";
        return ToScreen(control->GetManager()->GetPaintWnd(), r.CenterPoint());
    }
    // Screen points are the desktop pointer's: device pixels. A client point
    // (logical) becomes the device pixel whose centre lies in its unit.
    static Orvix::CPoint ToScreen(Orvix::HWND hwnd, Orvix::CPoint client) {
        return Orvix::Platform::ClientToDeviceScreen(hwnd, Orvix::CRect(client, Orvix::CSize(0, 0))).TopLeft();
    }

  private:
    void Button(bool down, bool right) {
        Orvix::Headless::PointerButton(down, right);
        Run();
    }
    static void Run() { Orvix::Platform::RunPending(); }
};
