// Repaint cost of a 1280 x 800 window with 200 controls: a full repaint, and
// the repaint after one small control changed (every other render cache warm);
// and a window of 100 word-wrapped texts, repainted warm (nothing changed) and
// cold (every text changed, so each is laid out again).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "orvix/core/MDialog.h"
#include "orvix/core/MPicture.h"
#include "orvix/core/MText.h"
#include "orvix/platform/Fonts.h"

using namespace Orvix;

namespace {

struct Scene {
    Scene() {
        Platform::Init(BackendKind::Headless);
        RegisterEmbeddedFont();
        dlg.Create(nullptr, L"bench", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 1280, 800));
        dlg.LoadBKImage(L"main_bkg.png");
        dlg.SetBackMode(BACK_MODE_NINE, 8);
        for (int i = 0; i < 200; ++i) {
            CRect cell(10 + (i % 20) * 63, 10 + (i / 20) * 78, 10 + (i % 20) * 63 + 58, 10 + (i / 20) * 78 + 70);
            if (i % 2) {
                auto* p = static_cast<MPicture*>(dlg.CreateControl(L"MPicture", UINT(100 + i), cell));
                p->SetImage(L"img_button.png", 4);
                p->SetShowMode(SHOW_MODE_NINE, 8);
            } else {
                auto* t = static_cast<MText*>(dlg.CreateControl(L"MText", UINT(100 + i), cell, L"Label text"));
                t->SetFont(kEmbeddedFontFamily, 13, 0);
                t->EnableMultiLine(FALSE);
            }
        }
        label = static_cast<MText*>(dlg.GetControl(100));
        Paint(true);
    }
    ~Scene() {
        dlg.DestroyWindow();
        Platform::Shutdown();
    }
    void Paint(bool full) {
        if (full) Platform::InvalidateRect(dlg.GetSafeHwnd());
        Platform::UpdateWindow(dlg.GetSafeHwnd());
    }
    MDialog dlg;
    MText* label = nullptr;
};

void BM_FullRepaintColdCaches(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        for (MControl* c : scene.dlg.GetControls()) c->SetUpdate(FALSE, 0);
        scene.Paint(true);
    }
}
BENCHMARK(BM_FullRepaintColdCaches)->Unit(benchmark::kMillisecond);

void BM_FullRepaintWarmCaches(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) scene.Paint(true);
}
BENCHMARK(BM_FullRepaintWarmCaches)->Unit(benchmark::kMillisecond);

void BM_RepaintAfterOneControlChanged(benchmark::State& state) {
    Scene scene;
    bool flip = false;
    for (auto _ : state) {
        scene.label->SetTitle(flip ? L"Label text" : L"Changed text");
        flip = !flip;
        scene.Paint(false);
    }
}
BENCHMARK(BM_RepaintAfterOneControlChanged)->Unit(benchmark::kMicrosecond);

struct WrappedTexts {
    WrappedTexts() {
        Platform::Init(BackendKind::Headless);
        RegisterEmbeddedFont();
        dlg.Create(nullptr, L"bench", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 1280, 800));
        for (int i = 0; i < 100; ++i) {
            CRect cell(10 + (i % 10) * 126, 10 + (i / 10) * 78, 10 + (i % 10) * 126 + 118,
                       10 + (i / 10) * 78 + 70);
            auto* t =
                static_cast<MText*>(dlg.CreateControl(L"MText", UINT(100 + i), cell, Text(i, false).c_str()));
            t->SetFont(kEmbeddedFontFamily, 12, 0);
            t->EnableMultiLine(TRUE);
            texts.push_back(t);
        }
        Paint();
    }
    ~WrappedTexts() {
        dlg.DestroyWindow();
        Platform::Shutdown();
    }
    static std::wstring Text(int i, bool other) {
        return std::wstring(other ? L"Another wrapped label " : L"A wrapped label number ") +
               std::to_wstring(i) + L" that runs over several lines of its box";
    }
    void Paint() {
        Platform::InvalidateRect(dlg.GetSafeHwnd());
        Platform::UpdateWindow(dlg.GetSafeHwnd());
    }
    MDialog dlg;
    std::vector<MText*> texts;
};

// For comparison: the same window without any control.
void BM_EmptyWindowRepaint(benchmark::State& state) {
    WrappedTexts scene;
    for (MText* t : scene.texts) t->SetVisible(FALSE);
    for (auto _ : state) scene.Paint();
}
BENCHMARK(BM_EmptyWindowRepaint)->Unit(benchmark::kMillisecond);

void BM_WrappedTextsWarmRepaint(benchmark::State& state) {
    WrappedTexts scene;
    for (auto _ : state) scene.Paint();
}
BENCHMARK(BM_WrappedTextsWarmRepaint)->Unit(benchmark::kMillisecond);

void BM_WrappedTextsColdRepaint(benchmark::State& state) {
    WrappedTexts scene;
    bool other = false;
    for (auto _ : state) {
        other = !other;
        for (size_t i = 0; i < scene.texts.size(); ++i)
            scene.texts[i]->SetTitle(WrappedTexts::Text(int(i), other));
        scene.Paint();
    }
}
BENCHMARK(BM_WrappedTextsColdRepaint)->Unit(benchmark::kMillisecond);

}  // namespace
