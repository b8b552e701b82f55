#include "platform/DisplayScale.h"

#include <algorithm>
#include <cmath>

#include "orvix/platform/Platform.h"
#include "base/SettingsStore.h"
#include "base/Trace.h"

namespace {

double g_option = 0;

constexpr const wchar_t* kSettingName = L"display_scale";

}  // namespace

double FitScale(Orvix::CSize design, Orvix::CSize workArea) {
    if (design.cx <= 0 || design.cy <= 0 || workArea.cx <= 0 || workArea.cy <= 0) return Orvix::kMaxScale;
    const double fit = std::min(double(workArea.cx) / design.cx, double(workArea.cy) / design.cy);
    // Rounded down: a hundredth more could be a pixel too many.
    return std::max(Orvix::kMinScale, std::floor(fit * 100 + 1e-9) / 100);
}

ScaleDecision DecideScale(double option, int settingPercent, const Orvix::DesktopScale& desktop,
                          Orvix::CSize workArea) {
    ScaleDecision d;
    if (option > 0) {
        d.factor = d.wanted = std::clamp(option, Orvix::kMinScale, Orvix::kMaxScale);
        d.source = "--scale";
        return d;
    }
    if (settingPercent > 0) {
        d.wanted = std::clamp(settingPercent / 100.0, Orvix::kMinScale, Orvix::kMaxScale);
        d.source = "setting";
    } else {
        d.wanted = desktop.factor;
        d.source = desktop.source;
    }
    d.factor = d.wanted;
    if (workArea.cx > 0 && workArea.cy > 0) {
        const double fit = FitScale(kMainDesign, workArea);
        if (fit < d.factor) {
            d.factor = fit;
            d.lowered = true;
        }
    }
    return d;
}

void SetScaleOption(double factor) { g_option = factor > 0 ? factor : 0; }

int GetScaleSetting() { return std::max(0, ReadAppRegInt(kSettingName)); }
void SetScaleSetting(int percent) { WriteAppRegInt(kSettingName, std::max(0, percent)); }

ScaleDecision UpdateProgramScale(Orvix::HWND mainWindow) {
    using namespace Orvix;
    const DesktopScale desktop = ChooseDesktopScale(Platform::GetDesktopScaleSources());
    // The work area in device pixels; offscreen rendering has no screen to fit.
    CSize work;
    if (Platform::GetBackend() == BackendKind::Sdl && g_option <= 0) {
        const CRect area = Platform::GetWorkArea(POINT{1, 1});
        const double now = Platform::GetScale();
        work = CSize(int(std::lround(area.Width() * now)), int(std::lround(area.Height() * now)));
    }
    const ScaleDecision d = DecideScale(g_option, GetScaleSetting(), desktop, work);
    Vantorel::Trace("display: scale %.2f from %s (%.2f)%s, work area %d x %d", d.factor, d.source.c_str(),
                    d.wanted, d.lowered ? ", lowered to fit" : "", work.cx, work.cy);
    Platform::SetScale(d.factor);
    if (mainWindow && Platform::IsWindow(mainWindow) && !Platform::IsZoomed(mainWindow)) {
        // Inside the work area again: far edges first, then near ones.
        CRect r = Platform::GetWindowRect(mainWindow);
        const CRect area = Platform::GetWorkArea(r.CenterPoint());
        int x = r.left, y = r.top;
        if (r.right > area.right) x = area.right - r.Width();
        if (r.bottom > area.bottom) y = area.bottom - r.Height();
        x = std::max(x, int(area.left));
        y = std::max(y, int(area.top));
        if (x != r.left || y != r.top) Platform::MoveWindow(mainWindow, CRect(CPoint(x, y), r.Size()));
    }
    return d;
}
