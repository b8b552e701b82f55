#pragma once
// Shared set-up of the button-map, function-list, macro-list and record-list
// tests: a headless dialog that keeps every notification, input helpers and a
// way to read the painted window.
#include <cstdio>
#include <string>
#include <vector>

#include "base/TextConv.h"
#include "orvix/platform/Fonts.h"
#include "tests/orvix/core/ToolkitFixture.h"

namespace ToolkitTest {

class WidgetsTest : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        RegisterEmbeddedFont();
        Manager::SetFontName(kEmbeddedFontFamily);
        hwnd = dlg.Open(CRect(0, 0, 700, 500));
        // The widgets come from the container factory, as on the feature pages.
        page = dlg.Add(new Box(&dlg, 1000, CRect(0, 0, 700, 500)));
    }
    void TearDown() override {
        for (const std::wstring& file : m_files) std::remove(WideToUtf8(file).c_str());
        HeadlessTest::TearDown();
    }
    template <typename T>
    T* Make(const wchar_t* cls, UINT id, CRect rect) {
        auto* control = dynamic_cast<T*>(page->CreateControl(cls, id, rect));
        EXPECT_NE(control, nullptr) << WideToUtf8(cls);
        return control;
    }
    void Move(int x, int y) {
        Headless::MouseMove(hwnd, x, y);
        Pump();
    }
    void Click(int x, int y, bool right = false) {
        Headless::MouseMove(hwnd, x, y);
        Headless::Click(hwnd, x, y, right);
        Pump();
    }
    void DoubleClick(int x, int y) {
        Headless::MouseMove(hwnd, x, y);
        Headless::DoubleClick(hwnd, x, y);
        Pump();
    }
    void Key(UINT vk) {
        Headless::KeyPress(hwnd, vk);
        Pump();
    }
    void Type(const std::wstring& text) {
        Headless::TypeText(hwnd, text);
        Pump();
    }
    std::vector<Notification> Of(UINT id, UINT code) const {
        std::vector<Notification> out;
        for (const Notification& n : dlg.notifications)
            if (n.id == id && n.code == code) out.push_back(n);
        return out;
    }
    std::vector<UINT> Codes(UINT id) const {
        std::vector<UINT> codes;
        for (const Notification& n : dlg.notifications)
            if (n.id == id) codes.push_back(n.code);
        return codes;
    }
    const Canvas& Paint() {
        Platform::InvalidateRect(hwnd);
        Platform::UpdateWindow(hwnd);
        return *Platform::GetPresentedImage(hwnd);
    }
    // A strip of `frames` frames, each filled with its colour, saved as a
    // temporary PNG; the absolute path is its name for the skin folder.
    std::wstring Strip(const std::string& name, int frameWidth, int height, std::vector<Color> frames) {
        Canvas canvas(frameWidth * int(frames.size()), height);
        for (size_t i = 0; i < frames.size(); ++i)
            canvas.FillRect(CRect(int(i) * frameWidth, 0, int(i + 1) * frameWidth, height), frames[i]);
        std::wstring path = Utf8ToWide(testing::TempDir() + "B_widgets_" + name + ".png");
        EXPECT_TRUE(canvas.SavePng(path));
        m_files.push_back(path);
        return path;
    }

    TestDialog dlg;
    HWND hwnd = nullptr;
    Box* page = nullptr;

  private:
    std::vector<std::wstring> m_files;
};

}  // namespace ToolkitTest
