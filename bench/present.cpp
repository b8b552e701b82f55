// Presenting a finished back buffer in a real SDL window (run under `xvfb-run -a`):
// the whole 1280 x 800 frame and a label-sized rect. The window takes the buffer
// without an OpenGL texture; SDL_FRAMEBUFFER_ACCELERATION=1 in the environment
// brings the texture path back, for comparison.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "orvix/core/MDialog.h"
#include "orvix/platform/Canvas.h"
#include "orvix/platform/Platform.h"

using namespace Orvix;

namespace {

struct Window {
    Window() {
        ok = std::getenv("DISPLAY") && Platform::Init(BackendKind::Sdl);
        if (!ok) return;
        dlg.Create(nullptr, L"bench", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 1280, 800));
        Platform::RunPending();
        frame.FillGradient(frame.GetRect(), Color(0xFF102030), Color(0xFF80A0C0), true);
    }
    ~Window() {
        if (!ok) return;
        dlg.DestroyWindow();
        Platform::Shutdown();
    }
    bool ok = false;
    MDialog dlg;
    Canvas frame{1280, 800};
};

void Present(benchmark::State& state, const CRect& rect) {
    Window w;
    if (!w.ok) {
        state.SkipWithError("needs an X display: run under xvfb-run -a");
        return;
    }
    for (auto _ : state) Platform::Present(w.dlg.GetSafeHwnd(), w.frame, rect);
}

void BM_PresentWholeFrame(benchmark::State& state) {
    Present(state, CRect(0, 0, 1280, 800));
}
BENCHMARK(BM_PresentWholeFrame)->Unit(benchmark::kMicrosecond);

void BM_PresentLabelRect(benchmark::State& state) {
    Present(state, CRect(100, 100, 220, 130));
}
BENCHMARK(BM_PresentLabelRect)->Unit(benchmark::kMicrosecond);

}  // namespace
