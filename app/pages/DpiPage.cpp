#include "app/pages/DpiPage.h"

using namespace Orvix;

namespace {
constexpr int kCaptionText = 250;
}  // namespace

void DpiPage::Create() {
    AddArea(IDC_AREA, kCaptionText);
}

void DpiPage::Layout(double scale) {
    const CRect page = m_container.GetRect();
    (void)scale;
    PlaceArea(IDC_AREA, CRect(page.left + 20, page.top + 15, page.right - 20, page.bottom - 15));
}

LRESULT DpiPage::OnMessage(UINT, UINT, WPARAM, LPARAM) {
    return 0;
}

void DpiPage::OnLanguageChanged() {
    if (auto* caption = GetControlAs<MControlFont>(IDC_AREA + 2)) caption->SetTitle(Text(kCaptionText));
}
