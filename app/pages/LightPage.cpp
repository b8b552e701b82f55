#include "app/pages/LightPage.h"

using namespace Orvix;

namespace {
constexpr int kCaptionText = 265;
}  // namespace

void LightPage::Create() {
    AddArea(IDC_AREA, kCaptionText);
}

void LightPage::Layout(double scale) {
    const CRect page = m_container.GetRect();
    (void)scale;
    PlaceArea(IDC_AREA, CRect(page.left + 20, page.top + 15, page.right - 20, page.bottom - 15));
}

LRESULT LightPage::OnMessage(UINT, UINT, WPARAM, LPARAM) {
    return 0;
}

void LightPage::OnLanguageChanged() {
    if (auto* caption = GetControlAs<MControlFont>(IDC_AREA + 2)) caption->SetTitle(Text(kCaptionText));
}
