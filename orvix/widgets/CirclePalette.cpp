#include "orvix/widgets/CirclePalette.h"

#include <cmath>

#include "orvix/core/ControlFactory.h"
#include "orvix/platform/Image.h"
#include "orvix/widgets/HslColor.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(CirclePalette)

namespace {
constexpr double kPi = 3.14159265358979323846;

// The hue of a direction from the centre: 0 to the right, growing clockwise.
double HueOf(int dx, int dy) {
    double a = std::atan2(double(dy), double(dx)) / (2 * kPi);
    return a < 0 ? a + 1 : a;
}
}  // namespace

CirclePalette::CirclePalette(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible,
                             BOOL enabled)
    : MControlFont(parent, id, rect, title, visible, enabled) {
    m_frameCount = 1;
    // The thumb starts on the ring at the right: red.
    const CPoint c = rect.CenterPoint();
    m_point = CPoint(c.x + (kInnerRadius + kOuterRadius) / 2, c.y);
    m_thumb = CRect(m_point.x - kThumbSize / 2, m_point.y - kThumbSize / 2, m_point.x + kThumbSize / 2,
                    m_point.y + kThumbSize / 2);
}

BOOL CirclePalette::SetImage(const wchar_t* file, int count) {
    return MControlFont::SetImage(file, count);
}

void CirclePalette::SetControlRect(CRect rect) {
    // The thumb keeps its place on the ring.
    m_point.Offset(rect.left - m_rect.left, rect.top - m_rect.top);
    m_thumb.OffsetRect(rect.left - m_rect.left, rect.top - m_rect.top);
    MControlFont::SetControlRect(rect);
}

void CirclePalette::SetSelectColor(COLORREF color) {
    m_selectColor = color;
    UpdateControl(TRUE);
}

int CirclePalette::GetDistanse(CPoint pt) const {
    const CPoint c = m_rect.CenterPoint();
    return int(std::hypot(double(pt.x - c.x), double(pt.y - c.y)));
}

CRect CirclePalette::ImageRect() const {
    if (!m_image) return {};
    const CPoint c = m_rect.CenterPoint();
    const int w = m_image->GetWidth(), h = m_image->GetHeight();
    return {c.x - w / 2, c.y - h / 2, c.x - w / 2 + w, c.y - h / 2 + h};
}

COLORREF CirclePalette::ColorAt(CPoint pt) const {
    if (m_image) {
        const CRect at = ImageRect();
        return m_image->GetPixel(pt.x - at.left, pt.y - at.top).ToCOLORREF();
    }
    const CPoint c = m_rect.CenterPoint();
    return HSLToRGB(HueOf(pt.x - c.x, pt.y - c.y), 1.0, 0.5);
}

BOOL CirclePalette::MoveThumbPos(CPoint pt) {
    const int d = GetDistanse(pt);
    if (d <= kInnerRadius || d > kOuterRadius) return FALSE;
    m_point = pt;
    m_thumb =
        CRect(pt.x - kThumbSize / 2, pt.y - kThumbSize / 2, pt.x + kThumbSize / 2, pt.y + kThumbSize / 2);
    // Read from the ring itself rather than the window, where the thumb may lie over the point.
    m_selectColor = ColorAt(pt);
    UpdateControl(TRUE);
    SendMessageW(Notify::ColourChosen, WPARAM(m_selectColor), LPARAM(m_selectColor));
    return TRUE;
}

BOOL CirclePalette::OnControlMouseMove(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    if (m_dragging) MoveThumbPos(pt);
    return m_rect.PtInRect(pt);
}

BOOL CirclePalette::OnControlLButtonDown(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    m_dragging = TRUE;
    MoveThumbPos(pt);
    return TRUE;
}

BOOL CirclePalette::OnControlLButtonUp(UINT, CPoint) {
    m_dragging = FALSE;
    return m_enabled;
}

void CirclePalette::DrawControl(Canvas& canvas, CRect rcPaint) {
    if (m_rect.IsRectEmpty()) return;
    DrawCached(canvas, rcPaint, 1, 0, [this](Canvas& cache, int, const CRect& slice) {
        const CPoint off(slice.left - m_rect.left, slice.top - m_rect.top);
        const CPoint c = m_rect.CenterPoint() + off;
        if (m_image) {
            CRect at = ImageRect();
            at.OffsetRect(off);
            cache.DrawImage(*m_image, at.left, at.top);
        } else {
            // The ring as thick arcs, so the middle keeps what lies beneath.
            const int mid = (kInnerRadius + kOuterRadius + 1) / 2, width = kOuterRadius - kInnerRadius;
            const CRect ring(c.x - mid, c.y - mid, c.x + mid, c.y + mid);
            for (int deg = 0; deg < 360; deg += 2)
                cache.DrawArc(ring, deg, 2.6, Color::FromCOLORREF(HSLToRGB(deg / 360.0, 1.0, 0.5)), width);
        }
        // The picked colour in the middle, the thumb on the ring.
        const int r = kInnerRadius - 14;
        cache.FillEllipse(CRect(c.x - r, c.y - r, c.x + r, c.y + r), Color::FromCOLORREF(m_selectColor));
        cache.DrawEllipse(CRect(c.x - r, c.y - r, c.x + r, c.y + r), Color(0x60FFFFFF), 2);
        CRect thumb = m_thumb;
        thumb.OffsetRect(off);
        thumb.InflateRect(2, 2);
        cache.FillEllipse(thumb, Color::FromCOLORREF(m_selectColor));
        cache.DrawEllipse(thumb, Color(0xFFFFFFFF), 2);
    });
}

}  // namespace Orvix
