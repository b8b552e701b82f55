// Repaint cost of a 1280 x 800 window with 200 controls: a full repaint, and
// the repaint after one control changed (every other render cache warm).
#include <benchmark/benchmark.h>

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

}  // namespace
