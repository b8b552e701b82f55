#include "app/pages/MacroPage.h"

using namespace Orvix;

namespace {
constexpr int kCaptionText = 351;
}  // namespace

void MacroPage::Create() {
    AddArea(IDC_AREA, kCaptionText);
}

void MacroPage::Layout(double scale) {
    const CRect page = m_container.GetRect();
    (void)scale;
    PlaceArea(IDC_AREA, CRect(page.left + 20, page.top + 15, page.right - 20, page.bottom - 15));
}

LRESULT MacroPage::OnMessage(UINT, UINT, WPARAM, LPARAM) {
    return 0;
}

void MacroPage::OnLanguageChanged() {
    if (auto* caption = GetControlAs<MControlFont>(IDC_AREA + 2)) caption->SetTitle(Text(kCaptionText));
}
