#pragma once
// Shared set-up of the standard-control tests: a headless dialog, input as a
// user gives it, notifications by code, and skin strips of solid colours.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/TextConv.h"
#include "tests/orvix/core/ToolkitFixture.h"

namespace ControlsTest {

using namespace Orvix;
using ToolkitTest::Notification;
using ToolkitTest::TestDialog;
namespace H = Orvix::Headless;

class ControlsTest : public ToolkitTest::HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        hwnd = dlg.Open(CRect(100, 100, 700, 500));
        Pump();
    }
    void TearDown() override {
        for (const std::wstring& p : files) std::remove(WideToUtf8(p).c_str());
        HeadlessTest::TearDown();
    }

    template <typename T>
    T* Make(const wchar_t* className, CRect rect, const wchar_t* title = nullptr, UINT id = 7) {
        auto* control = dynamic_cast<T*>(dlg.CreateControl(className, id, rect, title));
        EXPECT_NE(control, nullptr) << WideToUtf8(className);
        return control;
    }
    void Move(int x, int y) {
        H::MouseMove(hwnd, x, y);
        Pump();
    }
    // Pointer onto the point, then press and release there.
    void ClickAt(int x, int y) {
        Move(x, y);
        H::Click(hwnd, x, y);
        Pump();
    }
    void Press(int x, int y) {
        Move(x, y);
        H::MouseDown(hwnd, x, y);
        Pump();
    }
    void Release(int x, int y) {
        H::MouseUp(hwnd, x, y);
        Pump();
    }
    std::vector<Notification> Codes(UINT code) const {
        std::vector<Notification> out;
        for (const Notification& n : dlg.notifications)
            if (n.code == code) out.push_back(n);
        return out;
    }
    const Canvas& Paint() {
        Platform::InvalidateRect(hwnd);
        Platform::UpdateWindow(hwnd);
        return *Platform::GetPresentedImage(hwnd);
    }
    // A strip of solid frames w x h, one colour each, saved as a PNG.
    std::wstring Strip(const std::vector<uint32_t>& colours, int w, int h) {
        Canvas c(w * int(colours.size()), h);
        for (size_t i = 0; i < colours.size(); ++i)
            c.FillRect(CRect(int(i) * w, 0, int(i + 1) * w, h), Color(colours[i]));
        std::wstring path = L"/tmp/orvix_controls_" + std::to_wstring(getpid()) + L"_" +
                            std::to_wstring(files.size()) + L".png";
        EXPECT_TRUE(c.SavePng(path));
        files.push_back(path);
        return path;
    }
    static uint32_t Px(const Canvas& c, int x, int y) { return c.GetPixel(x, y).GetValue(); }

    TestDialog dlg;
    HWND hwnd = nullptr;
    std::vector<std::wstring> files;
};

}  // namespace ControlsTest
