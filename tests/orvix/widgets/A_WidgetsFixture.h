#pragma once
// Shared set-up of the device-widget tests: the standard-control fixture plus
// a top-level container for the classes only containers make, and typing.
#include "tests/orvix/controls/A_ControlsFixture.h"

namespace WidgetsTest {

using namespace Orvix;
using ControlsTest::ControlsTest;
namespace H = Orvix::Headless;

class WidgetsTest : public ControlsTest::ControlsTest {
  protected:
    void SetUp() override {
        ControlsTest::ControlsTest::SetUp();
        page = dlg.Add(new ToolkitTest::Box(&dlg, 90, CRect(0, 0, 600, 400)));
    }
    // A control made by the container factory inside the page.
    template <typename T>
    T* InPage(const wchar_t* className, CRect rect, UINT id = 7) {
        auto* control = dynamic_cast<T*>(page->CreateControl(className, id, rect));
        EXPECT_NE(control, nullptr) << WideToUtf8(className);
        return control;
    }
    void Type(const std::wstring& text) {
        H::TypeText(hwnd, text);
        Pump();
    }
    void Key(UINT vk, UINT modifier = 0) {
        if (modifier) H::KeyDown(hwnd, modifier);
        H::KeyPress(hwnd, vk);
        if (modifier) H::KeyUp(hwnd, modifier);
        Pump();
    }
    std::vector<UINT> CodeSequence() const {
        std::vector<UINT> codes;
        for (const auto& n : dlg.notifications) codes.push_back(n.code);
        return codes;
    }

    ToolkitTest::Box* page = nullptr;
};

}  // namespace WidgetsTest
