#include "app/pages/KeyPage.h"

using namespace Orvix;

namespace {
constexpr int kCaptionText = 103;
}  // namespace

void KeyPage::Create() {
    AddArea(IDC_AREA, kCaptionText);
}

void KeyPage::Layout(double scale) {
    const CRect page = m_container.GetRect();
    (void)scale;
    PlaceArea(IDC_AREA, CRect(page.left + 20, page.top + 15, page.right - 20, page.bottom - 15));
}

LRESULT KeyPage::OnMessage(UINT, UINT, WPARAM, LPARAM) {
    return 0;
}

void KeyPage::OnLanguageChanged() {
    if (auto* caption = GetControlAs<MControlFont>(IDC_AREA + 2)) caption->SetTitle(Text(kCaptionText));
}
