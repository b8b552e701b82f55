#include "orvix/core/TextFit.h"

#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <tuple>
#include <typeinfo>

#include "orvix/core/MControl.h"
#include "orvix/core/PaintManager.h"
#include "base/TextConv.h"
#include "orvix/platform/Platform.h"

namespace Orvix {

namespace {

struct State {
    std::mutex lock;
    int enabled = -1;  // -1: not decided yet (the environment decides)
    std::vector<TextFitReport> reports;
    std::set<std::tuple<std::wstring, UINT, std::wstring, int, int>> seen;
};

State& GetState() {
    static State state;
    return state;
}

// The control's C++ class ("Orvix::MText"): most controls answer the plain
// "MControl" to GetClassNameW.
std::wstring ClassName(const MControl& control) {
    const char* mangled = typeid(control).name();
    int status = 0;
    char* name = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::wstring result = Utf8ToWide(status == 0 && name ? name : mangled);
    std::free(name);
    return result;
}

bool FromEnvironment() {
    const char* value = std::getenv("ORVIX_TEXT_FIT");
    return value && std::strcmp(value, "1") == 0;
}

}  // namespace

bool TextFit::IsEnabled() {
    State& s = GetState();
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.enabled < 0) s.enabled = FromEnvironment() ? 1 : 0;
    return s.enabled == 1;
}

void TextFit::Enable(bool on) {
    State& s = GetState();
    std::lock_guard<std::mutex> guard(s.lock);
    s.enabled = on || FromEnvironment() ? 1 : 0;
    if (!on) {
        s.reports.clear();
        s.seen.clear();
    }
}

std::vector<TextFitReport> TextFit::TakeReports() {
    State& s = GetState();
    std::lock_guard<std::mutex> guard(s.lock);
    std::vector<TextFitReport> reports;
    reports.swap(s.reports);
    s.seen.clear();
    return reports;
}

std::wstring TextFit::Describe(const TextFitReport& r) {
    return L"\"" + r.text + L"\" in " + r.className + L" " + std::to_wstring(r.id) + L" of \"" + r.window +
           L"\": " + std::to_wstring(r.needed.cx) + L"x" + std::to_wstring(r.needed.cy) + L" in " +
           std::to_wstring(r.rect.cx) + L"x" + std::to_wstring(r.rect.cy) +
           (r.elided ? L" (cut without a tooltip)" : L"");
}

void TextFit::Check(const MControl& control, const std::wstring& text, const CRect& rect,
                    const TextStyle& style, bool tooltipWhenElided) {
    if (text.empty() || style.family.empty() || !IsEnabled()) return;
    const TextFitResult fit = MeasureTextFit(text, rect, style);
    const bool elidedWithoutTooltip = fit.elided && !tooltipWhenElided;
    if (fit.fits && !elidedWithoutTooltip) return;
    TextFitReport report;
    if (PaintManager* manager = control.GetManager(); manager && manager->GetPaintWnd())
        report.window = Platform::GetWindowText(manager->GetPaintWnd());
    report.className = ClassName(control);
    report.id = control.GetID();
    report.text = text;
    report.rect = {rect.Width(), rect.Height()};
    report.needed = fit.needed;
    report.elided = elidedWithoutTooltip;
    State& s = GetState();
    std::lock_guard<std::mutex> guard(s.lock);
    // A control redrawn in another look reports the same text once.
    if (!s.seen.insert({report.window, report.id, report.text, report.rect.cx, report.rect.cy}).second)
        return;
    if (FromEnvironment())
        std::fprintf(stderr, "text does not fit: %s\n", WideToUtf8(Describe(report)).c_str());
    s.reports.push_back(std::move(report));
}

void ShowElidedTextTooltip(MControl& control, const std::wstring& text, const CRect& textRect,
                           const TextStyle& style, const CRect& area) {
    PaintManager* manager = control.GetManager();
    if (!manager) return;
    const bool elided =
        !text.empty() && !style.family.empty() && MeasureTextFit(text, textRect, style).elided;
    const bool ours = manager->GetTooltipOwner() == control.GetID();
    if (elided) {
        if (!ours || manager->GetTooltipText() != text) control.SetTooltip(text, area);
    } else if (ours) {
        control.ClearTooltip();
    }
}

void KeepElidedTooltip(MControl& control, bool elided, const std::wstring& text, std::wstring& set) {
    if (elided) {
        if (control.GetTooltip() != text) control.SetTooltip(text.c_str());
        set = text;
    } else if (!set.empty()) {
        if (control.GetTooltip() == set) control.SetTooltip(L"");
        set.clear();
    }
}

void HideElidedTextTooltip(MControl& control) {
    if (PaintManager* manager = control.GetManager();
        manager && manager->GetTooltipOwner() == control.GetID())
        control.ClearTooltip();
}

}  // namespace Orvix
