#pragma once
// Shared set-up of the list, edit, combo and menu tests: the toolkit fixture,
// plus stand-ins for the button classes these controls make by name when the
// build has none of its own.
#include <string>
#include <vector>

#include "orvix/core/ControlFactory.h"
#include "tests/orvix/core/ToolkitFixture.h"

namespace ToolkitTest {

// Press sends code 1, a release inside after a press code 2 (as the toolkit's
// buttons and menu items do).
class StubButton : public MControlFont {
public:
    using MControlFont::MControlFont;
    void DrawControl(Canvas&, CRect) override {}
    BOOL OnControlLButtonDown(UINT, CPoint) override {
        m_down = true;
        SendMessageW(Notify::Pressed, 0, 0);
        return TRUE;
    }
    BOOL OnControlLButtonUp(UINT, CPoint pt) override {
        if (m_down && m_rect.PtInRect(pt)) SendMessageW(Notify::Clicked, 0, 0);
        m_down = false;
        return TRUE;
    }

private:
    bool m_down = false;
};

inline void EnsureControlClass(const wchar_t* name) {
    if (MControl* probe = CreateWindowFactoryControl(name, nullptr, 0, CRect(), nullptr, 1, 1)) {
        delete probe;
        return;
    }
    RegisterControlClass(name, &MakeControl<StubButton>);
}

// Keeps every message posted to it with a given number.
class OwnerDialog : public TestDialog {
public:
    explicit OwnerDialog(UINT watched = 0) : m_watched(watched) {}
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (m_watched && msg == m_watched) posted.push_back({0, msg, wParam, lParam});
        return TestDialog::OnWindowMessage(msg, wParam, lParam);
    }
    std::vector<Notification> posted;

private:
    UINT m_watched;
};

class ControlsTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        EnsureControlClass(L"CImageButton");
        EnsureControlClass(L"MenuItem");
    }
    void Click(int x, int y, bool right = false) {
        Headless::MouseMove(hwnd, x, y);
        Headless::Click(hwnd, x, y, right);
        Pump();
    }
    void Type(const std::wstring& text) {
        Headless::TypeText(hwnd, text);
        Pump();
    }
    void Key(UINT vk, UINT modifier = 0) {
        if (modifier) Headless::KeyDown(hwnd, modifier);
        Headless::KeyPress(hwnd, vk);
        if (modifier) Headless::KeyUp(hwnd, modifier);
        Pump();
    }
    std::vector<UINT> Codes(UINT id) const {
        std::vector<UINT> codes;
        for (const Notification& n : dlg.notifications)
            if (n.id == id) codes.push_back(n.code);
        return codes;
    }

    OwnerDialog dlg{1709};
    HWND hwnd = nullptr;
};

}  // namespace ToolkitTest
