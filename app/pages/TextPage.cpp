#include "app/pages/TextPage.h"

using namespace Orvix;

namespace {
constexpr int kCaptionText = 450;
}  // namespace

void TextPage::Create() {
    AddArea(IDC_AREA, kCaptionText);
}

void TextPage::Layout(double scale) {
    const CRect page = m_container.GetRect();
    (void)scale;
    PlaceArea(IDC_AREA, CRect(page.left + 20, page.top + 15, page.right - 20, page.bottom - 15));
}

LRESULT TextPage::OnMessage(UINT, UINT, WPARAM, LPARAM) {
    return 0;
}

void TextPage::OnLanguageChanged() {
    if (auto* caption = GetControlAs<MControlFont>(IDC_AREA + 2)) caption->SetTitle(Text(kCaptionText));
}
