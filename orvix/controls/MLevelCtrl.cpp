#include "orvix/controls/MLevelCtrl.h"

#include "orvix/core/ControlFactory.h"
#include "orvix/core/MRender.h"
#include "orvix/core/Manager.h"
#include "orvix/core/PaintManager.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(MLevelCtrl)

namespace {
constexpr Color kDimmer(0x99101820);  // laid over a lit segment of a disabled bar
}  // namespace

MLevelCtrl::MLevelCtrl(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MControlFont(parent, id, rect, title, visible, enabled) {}

void MLevelCtrl::SetLevelValue(int level) {
    level = std::clamp(level, m_min, m_max);
    if (level == m_level) return;
    m_level = level;
    UpdateControl(TRUE);
}

BOOL MLevelCtrl::SetRangeValue(int minimum, int maximum) {
    if (maximum < minimum) return FALSE;
    m_min = minimum;
    m_max = maximum;
    m_level = std::clamp(m_level, m_min, m_max);
    m_hover = -1;
    UpdateControl(TRUE);
    return TRUE;
}

CRect MLevelCtrl::GetSegmentRect(int index) const {
    const int n = Count();
    if (index < 0 || index >= n) return {};
    const int w = (m_rect.Width() - kGap * (n - 1)) / n;
    const int x = m_rect.left + index * (w + kGap);
    return {x, m_rect.top, x + w, m_rect.bottom};
}

int MLevelCtrl::HitSegment(CPoint pt) const {
    for (int i = 0; i < Count(); ++i)
        if (GetSegmentRect(i).PtInRect(pt)) return i;
    return -1;
}

BOOL MLevelCtrl::OnControlMouseMove(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    const int hover = HitSegment(pt);
    if (hover != m_hover) {
        m_hover = hover;
        Platform::SetCursor(hover >= 0 ? CursorKind::Hand : CursorKind::Arrow);
        UpdateControl(TRUE);
    }
    return m_rect.PtInRect(pt);
}

BOOL MLevelCtrl::OnControlLButtonDown(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    m_pressed = HitSegment(pt);
    return TRUE;
}

BOOL MLevelCtrl::OnControlLButtonUp(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    const int segment = HitSegment(pt);
    const bool click = segment >= 0 && segment == m_pressed;
    m_pressed = -1;
    if (!click) return TRUE;
    SetLevelValue(m_min + segment);
    SendMessageW(Notify::Clicked, WPARAM(m_level), 0);
    return TRUE;
}

void MLevelCtrl::Render(Canvas& canvas, const CRect& slice) const {
    const Color accent = Manager::GetSelectColor();
    for (int i = 0; i < Count(); ++i) {
        CRect seg = GetSegmentRect(i);
        seg.OffsetRect(slice.left - m_rect.left, slice.top - m_rect.top);
        const bool on = m_min + i <= m_level;
        // A disabled bar still shows its level: lit segments keep their lit
        // frame, dimmed, the others show the disabled frame.
        const int frame = !m_enabled ? (on ? 2 : 3) : i == m_hover ? 1 : on ? 2 : 0;
        if (m_image) {
            const CRect src = GetFrameRect(std::min(frame, m_frameCount - 1));
            MRender::DrawImageFrame(canvas, *m_image, seg, src.left, 0, src.Width(), src.Height(),
                                    std::min(3, src.Width() / 2));
            if (!m_enabled && on) canvas.FillRoundRect(seg, 2, kDimmer);
            continue;
        }
        Color fill = on ? accent : Color(0xFF1B2836);
        if (!m_enabled)
            fill = on ? Color(0xFF2C7F76) : Color(0xFF141C25);
        else if (i == m_hover)
            fill = on ? Color(0xFF9CFFF2) : Color(0xFF2A3B4E);
        canvas.FillRoundRect(seg, 2, fill);
    }
}

void MLevelCtrl::DrawControl(Canvas& canvas, CRect rcPaint) {
    if (m_rect.IsRectEmpty() || Count() <= 0) return;
    DrawCached(canvas, rcPaint, 1, 0,
               [this](Canvas& cache, int, const CRect& slice) { Render(cache, slice); });
}

}  // namespace Orvix
