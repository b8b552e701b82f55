#pragma once
// What the dialog tests share: the headless windowing layer with the skin and the
// embedded font, an owner window that records the messages posted to it, and
// helpers that click a control as a user would and run the loop until a
// condition holds.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "orvix/core/MDialog.h"
#include "orvix/core/Manager.h"
#include "orvix/platform/Headless.h"
#include "orvix/platform/Platform.h"

namespace DialogTest {

using namespace Orvix;

// The main window's stand-in: it only notes the application messages it receives.
class Owner : public MDialog {
  public:
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg >= WM_USER) messages.push_back(msg);
        return MDialog::OnWindowMessage(msg, wParam, lParam);
    }
    bool Open() {
        return Create(nullptr, L"Owner", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 1280, 800)) != nullptr;
    }
    int Count(UINT msg) const {
        int n = 0;
        for (UINT m : messages) n += m == msg;
        return n;
    }
    std::vector<UINT> messages;
};

inline void StartToolkit() {
    ASSERT_TRUE(Platform::Init(BackendKind::Headless));
    ASSERT_TRUE(Manager::InitGdiplus());
}

inline void StopToolkit() {
    Headless::SetAutoAdvance(false);
    Manager::UnInitGdiplus();
}

// A click in the middle of a control of `dlg`, delivered at once; inside a modal
// loop (`deliver` false) it is only queued, so that the loop itself sees the
// window close that the click may cause.
inline void ClickControl(MDialog& dlg, UINT id, bool deliver = true) {
    MControl* control = dlg.GetControl(id);
    ASSERT_NE(control, nullptr) << "control " << id;
    const CPoint centre = control->GetRect().CenterPoint();
    Headless::MouseMove(dlg.GetSafeHwnd(), centre.x, centre.y);
    Headless::Click(dlg.GetSafeHwnd(), centre.x, centre.y);
    if (deliver) Platform::RunPending();
}

// Runs the UI loop (also from inside a modal loop) until `done` or five seconds.
inline bool PumpUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        Platform::RunPending();
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

}  // namespace DialogTest
