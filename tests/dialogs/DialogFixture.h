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

#include "orvix/controls/CComboBoxList.h"
#include "orvix/controls/ComboWnd.h"
#include "orvix/controls/MComboBox.h"
#include "orvix/core/MDialog.h"
#include "orvix/core/Manager.h"
#include "orvix/platform/Headless.h"
#include "orvix/platform/Platform.h"
#include "tests/support/UserHands.h"

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

// A person's click on a control of `dlg`: the pointer comes from where it was
// to the middle of the control, presses and releases there. Inside a modal
// loop the window's close that the click may cause is left for that loop.
inline void ClickControl(MDialog& dlg, UINT id) {
    MControl* control = dlg.GetControl(id);
    ASSERT_NE(control, nullptr) << "control " << id;
    UserHands().ClickControl(control);
}

// Opens the combo box with a click and clicks its item `index` in the drop-down.
inline void ChooseComboItem(MDialog& dlg, UINT id, int index) {
    auto* combo = dynamic_cast<MComboBox*>(dlg.GetControl(id));
    ASSERT_NE(combo, nullptr) << "combo " << id;
    UserHands hands;
    hands.ClickControl(combo);
    ComboWnd* drop = combo->GetDropDown();
    ASSERT_NE(drop, nullptr);
    CComboBoxList* list = drop->GetList();
    CRect row = list->GetItemRect(index);
    const CPoint offset = list->GetScrollOffset();
    row.OffsetRect(-offset.x, -offset.y);
    hands.ClickAt(drop->GetSafeHwnd(), row.CenterPoint());
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
