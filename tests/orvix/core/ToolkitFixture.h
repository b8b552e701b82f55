#pragma once
// Shared set-up of the toolkit tests: the headless back end, a dialog that
// records notifications, and a probe control that records its input.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "orvix/core/MDialog.h"
#include "orvix/core/MPanel.h"
#include "orvix/core/Manager.h"
#include "base/TextConv.h"
#include "orvix/platform/Headless.h"
#include "orvix/platform/Platform.h"

namespace ToolkitTest {

using namespace Orvix;

struct Notification {
    UINT id, code;
    WPARAM wParam;
    LPARAM lParam;
};

class TestDialog : public MDialog {
public:
    LRESULT OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override {
        notifications.push_back({id, code, wParam, lParam});
        return 0;
    }
    // Adds a control made by the test to the top level (kind 1) or areas (0).
    template <typename T>
    T* Add(T* control, int kind = 1) {
        control->SetManager(&m_pm);
        m_pm.AddControl(control, kind);
        return control;
    }
    HWND Open(CRect rect = CRect(100, 100, 500, 400), DWORD exStyle = 0) {
        Create(nullptr, L"test", WS_POPUP | WS_VISIBLE, exStyle, rect);
        return GetSafeHwnd();
    }
    std::vector<Notification> notifications;
};

// Records what reaches it; a completed click notifies Notify::Clicked.
class Probe : public MControlFont {
public:
    Probe(MObject* parent, UINT id, CRect rect) : MControlFont(parent, id, rect) {}
    void DrawControl(Canvas&, CRect) override {}
    BOOL OnControlMouseMove(UINT, CPoint pt) override {
        Log(L"move", pt);
        return m_rect.PtInRect(pt);
    }
    BOOL OnControlLButtonDown(UINT, CPoint pt) override {
        Log(L"down", pt);
        pressed = true;
        return TRUE;
    }
    BOOL OnControlLButtonUp(UINT, CPoint pt) override {
        Log(L"up", pt);
        if (pressed && m_rect.PtInRect(pt)) SendMessageW(Notify::Clicked, 0, 0);
        pressed = false;
        return TRUE;
    }
    BOOL OnControlLButtonDblClk(UINT, CPoint pt) override {
        Log(L"dblclk", pt);
        return TRUE;
    }
    BOOL OnControlRButtonUp(UINT, CPoint pt) override {
        Log(L"rup", pt);
        return TRUE;
    }
    BOOL OnControlScroll(int, UINT direction, CPoint pt) override {
        if (!acceptWheel) return FALSE;
        Log(direction ? L"wheel-down" : L"wheel-up", pt);
        return TRUE;
    }
    BOOL OnControlKeyDown(UINT vk, UINT, UINT modifiers) override {
        events.push_back(L"key " + std::to_wstring(vk) + L"/" + std::to_wstring(modifiers));
        return acceptKeys;
    }
    BOOL OnControlTimer() override {
        ++ticks;
        return TRUE;
    }
    void Log(const wchar_t* what, CPoint pt) {
        events.push_back(std::wstring(what) + L" " + std::to_wstring(pt.x) + L"," + std::to_wstring(pt.y));
    }
    std::vector<std::wstring> events;
    bool pressed = false;
    bool acceptWheel = true;
    bool acceptKeys = false;
    int ticks = 0;
};

// A plain container: the pointer passes through it where none of its children is.
class Box : public MPanel {
public:
    Box(MObject* parent, UINT id, CRect rect) : MPanel(parent, id, rect) {}
    BOOL IsDecoration() const override { return TRUE; }
    template <typename T>
    T* Add(T* child) {
        child->SetParent(this);
        child->SetManager(GetManager());
        AddChild(child, 1);
        return child;
    }
};

// A container whose content is scrolled 100 pixels down.
class ScrolledBox : public Box {
public:
    using Box::Box;
    CPoint GetScrollOffset() const override { return {0, 100}; }
};

// Premultiplied storage may move a channel of a translucent pixel by one.
inline bool Near(Color a, Color b) {
    auto close = [](int x, int y) { return std::abs(x - y) <= 1; };
    return close(a.GetA(), b.GetA()) && close(a.GetR(), b.GetR()) && close(a.GetG(), b.GetG()) &&
           close(a.GetB(), b.GetB());
}

// Saves a canvas as a PNG under /tmp, named per process; the test removes it.
inline std::wstring TempPng(const char* name, const Canvas& c) {
    std::wstring path = L"/tmp/orvix_" + std::to_wstring(getpid()) + L"_" + Utf8ToWide(name);
    EXPECT_TRUE(c.SavePng(path));
    return path;
}

// A 12 x 12 nine-slice source with 4-pixel insets: red corners, green edges,
// blue centre.
inline void PaintNineSlice(Canvas& c) {
    c.FillRect(CRect(0, 0, 12, 12), Color(0xFF00FF00));
    for (CRect r : {CRect(0, 0, 4, 4), CRect(8, 0, 12, 4), CRect(0, 8, 4, 12), CRect(8, 8, 12, 12)})
        c.FillRect(r, Color(0xFFFF0000));
    c.FillRect(CRect(4, 4, 8, 8), Color(0xFF0000FF));
}

class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Platform::Init(BackendKind::Headless)); }
    void TearDown() override { Platform::Shutdown(); }
    static void Pump() { Platform::RunPending(); }
};

}  // namespace ToolkitTest
