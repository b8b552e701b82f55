#include "orvix/widgets/PaletteBar.h"

#include <algorithm>

#include "orvix/core/ControlFactory.h"
#include "orvix/widgets/HslColor.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(PaletteBar)

PaletteBar::PaletteBar(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MControlFont(parent, id, rect, title, visible, enabled) {
    m_frameCount = 1;
}

int PaletteBar::GetHueDegrees() const {
    // A bar no wider than its thumb has only the first hue.
    return Range() > 0 ? m_hue * 360 / Range() : 0;
}

COLORREF PaletteBar::PaletteHSLToRGB(int saturation) const {
    return HSLToRGB(GetHueDegrees() / 360.0, saturation / 200.0, 0.5) | 0xFF000000;
}

void PaletteBar::SetCurrentHue(int position) {
    position = std::clamp(position, 0, Range());
    if (position == m_hue) return;
    m_hue = position;
    UpdateControl(TRUE);
}

void PaletteBar::SetSelectColor(COLORREF color) {
    m_selectColor = color;
    UpdateControl(TRUE);
}

void PaletteBar::MoveTo(int x) {
    SetCurrentHue(x - m_rect.left - kThumbWidth / 2);
}

BOOL PaletteBar::OnControlMouseMove(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    if (m_dragging) MoveTo(pt.x);
    return m_rect.PtInRect(pt);
}

BOOL PaletteBar::OnControlLButtonDown(UINT, CPoint pt) {
    if (!m_enabled || !m_rect.PtInRect(pt)) return FALSE;
    const int thumb = m_rect.left + m_hue;
    if (pt.x >= thumb && pt.x < thumb + kThumbWidth) m_dragging = TRUE;
    MoveTo(pt.x);
    return TRUE;
}

BOOL PaletteBar::OnControlLButtonUp(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    m_dragging = FALSE;
    if (m_rect.PtInRect(pt)) SendMessageW(2, 0, 0);
    return TRUE;
}

BOOL PaletteBar::OnControlScroll(int, UINT direction, CPoint) {
    if (!m_enabled) return FALSE;
    const int before = m_hue;
    SetCurrentHue(m_hue + (direction == 1 ? -kWheelStep : kWheelStep));
    // The owner takes the new hue as from a click: the colour follows the bar.
    if (m_hue != before) SendMessageW(2, 0, 0);
    return TRUE;
}

void PaletteBar::DrawControl(Canvas& canvas, CRect rcPaint) {
    if (m_rect.IsRectEmpty()) return;
    DrawCached(canvas, rcPaint, 1, 0, [this](Canvas& cache, int, const CRect& slice) {
        const int range = Range(), half = kThumbWidth / 2;
        const CRect bar(slice.left + half, slice.top + 4, slice.left + half + range, slice.bottom - 4);
        cache.PushClip(bar);
        for (int x = 0; x < range; ++x) {
            const COLORREF c = HSLToRGB(double(x) / std::max(1, range), m_enabled ? 1.0 : 0.25, 0.5);
            cache.FillRect(CRect(bar.left + x, bar.top, bar.left + x + 1, bar.bottom),
                           Color::FromCOLORREF(c));
        }
        cache.PopClip();
        const CRect thumb(slice.left + m_hue, slice.top, slice.left + m_hue + kThumbWidth, slice.bottom);
        if (m_image) {
            cache.DrawImage(*m_image, thumb, GetFrameRect(0));
        } else {
            cache.FillRoundRect(thumb, 3, Color::FromCOLORREF(HSLToRGB(GetHueDegrees() / 360.0, 1.0, 0.5)));
            cache.DrawRoundRect(thumb, 3, Color(0xFFFFFFFF), 2);
        }
    });
}

}  // namespace Orvix
