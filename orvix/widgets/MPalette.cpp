#include "orvix/widgets/MPalette.h"

#include <algorithm>
#include <cmath>

#include "orvix/core/ControlFactory.h"
#include "orvix/core/PaintManager.h"
#include "orvix/widgets/HslColor.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(MPalette)

namespace {
constexpr int kThumbRadius = 6;

// The value of a pixel along a part of `span` pixels, to the nearest unit.
int Along(int pos, int lo, int span, int range) {
    return span > 0 ? std::clamp(int((int64_t(pos - lo) * range + span / 2) / span), 0, range) : 0;
}
}  // namespace

MPalette::MPalette(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MControlFont(parent, id, rect, title, visible, enabled) {}

COLORREF MPalette::GetSelectColor() const {
    return HSLToRGB(m_hue / 360.0, m_saturation / 200.0, m_lightness / 200.0);
}

void MPalette::SetSelectColor(COLORREF color) {
    const Hsl hsl = RGBToHSL(color);
    m_hue = int(std::lround(hsl.h * 360)) % 360;
    m_saturation = int(std::lround(hsl.s * 200));
    m_lightness = int(std::lround(hsl.l * 200));
    UpdateControl(TRUE);
}

BOOL MPalette::SetThumbImage(const wchar_t* file) {
    const ImgResInfo* info = m_manager && file ? m_manager->AddImgResInfo(file, 4) : nullptr;
    if (!info) return FALSE;
    m_thumbImage = info;
    m_square.reset();  // the field follows the thumb's travel
    UpdateControl(TRUE);
    return TRUE;
}

void MPalette::SetPalletHeight(int height) {
    m_height = std::max(1, height);
    UpdateControl(TRUE);
}

CRect MPalette::GetPaletteRect() const {
    return {m_rect.left, m_rect.top, m_rect.right - kSquareGap, m_rect.top + m_height};
}

CRect MPalette::GetBarRect() const {
    const int right = m_rect.right - kBarMargin;
    return {right - kBarWidth, m_rect.top, right, m_rect.top + m_height};
}

CSize MPalette::ThumbHalf() const {
    if (m_thumbImage) return {(m_thumbImage->frameWidth + 1) / 2, (m_thumbImage->height + 1) / 2};
    return {kThumbRadius + 1, kThumbRadius + 1};  // the drawn ring and its outline
}

CRect MPalette::GetSquareTravel() const {
    CRect t = GetPaletteRect();
    const CSize half = ThumbHalf();
    t.DeflateRect(std::min(half.cx, t.Width() / 2), std::min(half.cy, t.Height() / 2));
    return t;
}

CRect MPalette::GetBarTravel() const {
    CRect t = GetBarRect();
    t.DeflateRect(0, std::min(ThumbHalf().cy, t.Height() / 2));
    return t;
}

CPoint MPalette::GetSquareThumb() const {
    const CRect t = GetSquareTravel();
    return {t.left + (t.Width() - 1) * m_hue / 360, t.top + (t.Height() - 1) * (200 - m_saturation) / 200};
}

void MPalette::Track(CPoint pt, bool press) {
    const COLORREF before = GetSelectColor();
    if (m_drag == Drag::Square) {
        const CRect t = GetSquareTravel();
        m_hue = Along(pt.x, t.left, t.Width() - 1, 360);
        m_saturation = 200 - Along(pt.y, t.top, t.Height() - 1, 200);
    } else if (m_drag == Drag::Bar) {
        const CRect t = GetBarTravel();
        m_lightness = 200 - Along(pt.y, t.top, t.Height() - 1, 200);
    }
    const COLORREF colour = GetSelectColor();
    UpdateControl(TRUE);
    if (press || colour != before) SendMessageW(Notify::ColourChosen, WPARAM(colour), LPARAM(colour));
}

BOOL MPalette::OnControlMouseMove(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    if (m_drag != Drag::None) Track(pt, false);
    return m_rect.PtInRect(pt);
}

BOOL MPalette::OnControlLButtonDown(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    if (GetPaletteRect().PtInRect(pt))
        m_drag = Drag::Square;
    else if (GetBarRect().PtInRect(pt))
        m_drag = Drag::Bar;
    else
        return FALSE;
    Track(pt, true);
    return TRUE;
}

BOOL MPalette::OnControlLButtonUp(UINT, CPoint) {
    m_drag = Drag::None;
    return m_enabled;
}

void MPalette::DrawThumb(Canvas& canvas, CPoint c) const {
    const CRect box(c.x - kThumbRadius, c.y - kThumbRadius, c.x + kThumbRadius, c.y + kThumbRadius);
    if (m_thumbImage) {
        const int frame = m_enabled ? (m_drag != Drag::None ? 2 : 0) : 3;
        const int w = m_thumbImage->frameWidth, h = m_thumbImage->height;
        canvas.DrawImage(*m_thumbImage->image,
                         CRect(c.x - w / 2, c.y - h / 2, c.x - w / 2 + w, c.y - h / 2 + h),
                         CRect(frame * w, 0, (frame + 1) * w, h));
        return;
    }
    canvas.DrawEllipse(box, Color(0xFF000000), 3);
    canvas.DrawEllipse(CRect(box.left + 1, box.top + 1, box.right - 1, box.bottom - 1), Color(0xFFFFFFFF), 2);
}

void MPalette::DrawControl(Canvas& canvas, CRect rcPaint) {
    if (m_rect.IsRectEmpty()) return;
    DrawCached(canvas, rcPaint, 1, 0, [this](Canvas& cache, int, const CRect& slice) {
        const CPoint off(slice.left - m_rect.left, slice.top - m_rect.top);
        CRect sq = GetPaletteRect(), bar = GetBarRect();
        sq.OffsetRect(off);
        bar.OffsetRect(off);
        const int w = std::max(1, sq.Width()), h = std::max(1, sq.Height());
        // The field's colours follow the thumb's travel: the colour under the
        // thumb is the colour picked, also in the margins it never reaches.
        const CRect travel = GetSquareTravel();
        const int tx = travel.left - GetPaletteRect().left, ty = travel.top - GetPaletteRect().top;
        const int tw = std::max(1, travel.Width() - 1), th = std::max(1, travel.Height() - 1);
        if (!m_square || m_square->GetWidth() != w || m_square->GetHeight() != h) {
            m_square = std::make_unique<Canvas>(w, h);
            uint32_t* px = m_square->GetData();
            const int stride = m_square->GetStride();
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const double hue = std::clamp(double(x - tx) / tw, 0.0, 1.0);
                    const double sat = 1.0 - std::clamp(double(y - ty) / th, 0.0, 1.0);
                    const COLORREF c = HSLToRGB(hue, sat, 0.5);
                    px[y * stride + x] = Color::FromCOLORREF(c).GetValue();
                }
            m_square->MarkDirty();
        }
        cache.DrawCanvas(*m_square, sq, m_square->GetRect());
        const CRect barTravel = GetBarTravel();
        const int by = barTravel.top - GetBarRect().top, bh = std::max(1, barTravel.Height() - 1);
        for (int y = 0; y < bar.Height(); ++y) {
            const double l = 1.0 - std::clamp(double(y - by) / bh, 0.0, 1.0);
            const COLORREF c = HSLToRGB(m_hue / 360.0, m_saturation / 200.0, l);
            cache.FillRect(CRect(bar.left, bar.top + y, bar.right, bar.top + y + 1), Color::FromCOLORREF(c));
        }
        cache.DrawRect(sq, Color(0x40FFFFFF));
        cache.DrawRect(bar, Color(0x40FFFFFF));
        DrawThumb(cache, GetSquareThumb() + off);
        const CRect bt = GetBarTravel();
        DrawThumb(cache, CPoint(bar.CenterPoint().x,
                                bt.top + off.y + (bt.Height() - 1) * (200 - m_lightness) / 200));
    });
}

}  // namespace Orvix
