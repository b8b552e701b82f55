#include "orvix/core/MTooltipWnd.h"

#include "orvix/platform/Fonts.h"

namespace Orvix {

namespace {
constexpr int kPadX = 6, kPadY = 4;
constexpr int kBelowPointer = 20;  // clears the pointer's arrow
}  // namespace

BOOL MTooltipWnd::Init(HWND owner) { return CreatePopup(owner, L"Tooltip", CRect(0, 0, 1, 1)); }

TextStyle MTooltipWnd::Style() const {
    TextStyle style;
    style.family = kEmbeddedFontFamily;
    style.pixelSize = 12;
    style.wrap = true;
    return style;
}

void MTooltipWnd::Activate(const std::wstring& text) {
    if (text.empty()) {
        Deactivate();
        return;
    }
    m_text = text;
    m_active = TRUE;
    if (!GetSafeHwnd()) return;
    const CSize size = Canvas::MeasureText(m_text, Style(), kMaxWidth - 2 * kPadX);
    const int w = size.cx + 2 * kPadX + 1, h = size.cy + 2 * kPadY;
    const CPoint cursor = Platform::GetCursorPos();
    const CRect work = Platform::GetWorkArea(cursor);
    int x = cursor.x, y = cursor.y + kBelowPointer;
    // Keep it on screen: left of the pointer at the right edge, above it at the bottom.
    if (x + w > work.right) x = std::max(work.left, work.right - w);
    if (y + h > work.bottom) y = std::max(work.top, cursor.y - h - 4);
    Place(CRect(x, y, x + w, y + h));
    Show(TRUE);
}

void MTooltipWnd::Deactivate() {
    m_active = FALSE;
    m_text.clear();
    Show(FALSE);
}

void MTooltipWnd::OnDraw(Canvas& canvas, const CRect& client) {
    canvas.FillRect(client, Color::FromCOLORREF(kBackColor));
    canvas.DrawRect(client, Color(0xFF767676));
    CRect text = client;
    text.DeflateRect(kPadX, kPadY);
    canvas.DrawText(m_text, text, Color(0xFF1E1E1E), Style());
}

}  // namespace Orvix
