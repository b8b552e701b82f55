#include "orvix/core/MScroll.h"

#include <algorithm>

#include "orvix/core/MRender.h"
#include "orvix/core/PaintManager.h"

namespace Orvix {

namespace {
constexpr int kCap = 6;  // source pixels at each end of a part, drawn unscaled
}

MScroll::MScroll(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled,
                 bool vertical)
    : MControlFont(parent, id, rect, title, visible, enabled), m_vertical(vertical) {
    m_tabStop = FALSE;  // the wheel and the keys of what it scrolls serve it
    AutoSize();
    UpdateThumb();
}

void MScroll::InitControl(PaintManager* manager) {
    if (!manager) return;
    // The window's scroll resource when it has one, else the skin file. Each
    // image holds three parts: the track, the hovered thumb and the thumb.
    UINT res = m_vertical ? manager->GetScrollVID() : manager->GetScrollHID();
    if (res) m_skin = manager->AddImgResInfo(res, L"PNG", 3, FALSE);
    if (!m_skin) m_skin = manager->AddImgResInfo(m_vertical ? L"img_scroll_v.png" : L"img_scroll_h.png", 3);
}

void MScroll::SetControlRect(CRect rect) {
    MControlFont::SetControlRect(rect);
    if (m_autoSize) AutoSize();
    UpdateThumb();
}

void MScroll::AutoSize() {
    const int length = Hi() - Lo();
    m_size = m_range > 10 * length ? m_range / 10 : length;
    m_autoSize = TRUE;
}

void MScroll::SetScrollMaxRange(int range) {
    m_range = std::max(0, range);
    if (m_autoSize || m_size == 0) AutoSize();
    m_pos = std::clamp(m_pos, 0, m_range);
    UpdateThumb();
}

void MScroll::SetScrollCurrentPos(int pos) {
    pos = std::clamp(pos, 0, m_range);
    if (pos == m_pos) return;
    m_pos = pos;
    UpdateThumb();
    UpdateControl(TRUE);
}

void MScroll::SetScrollSize(int size, int step) {
    if (step > 0) m_step = step;
    if (size <= 0) {
        AutoSize();
    } else {
        m_size = size;
        m_autoSize = FALSE;
    }
    UpdateThumb();
}

void MScroll::SetScrollInfo(int range, int pos, int size, int step) {
    m_range = std::max(0, range);
    if (step > 0) m_step = step;
    if (size > 0) {
        m_size = size;
        m_autoSize = FALSE;
    } else if (m_autoSize) {
        AutoSize();
    }
    m_pos = std::clamp(pos, 0, m_range);
    UpdateThumb();
    UpdateControl(TRUE);
}

BOOL MScroll::ScrollRow(int rows) {
    int pos = std::clamp(m_pos + rows * m_step, 0, m_range);
    if (pos == m_pos) return FALSE;
    SetScrollCurrentPos(pos);
    return TRUE;
}

void MScroll::SetArrowSize(int size) {
    m_arrow = std::max(0, size);
    UpdateThumb();
}

void MScroll::UpdateThumb() {
    const int lo = Lo(), hi = Hi(), track = Track();
    m_thumbShown = m_size < m_range && track > 0;
    if (!m_thumbShown) {
        m_thumb.SetRectEmpty();
        return;
    }
    int length = std::max(m_arrow / 2, int(int64_t(m_size) * track / m_range));
    if (length < 100) length = std::min(100, track - 50);
    length = std::clamp(length, std::min(track, 8), track);  // short bars still show a thumb
    int near = lo + m_arrow + int(int64_t(m_pos) * (track - length) / m_range);
    near = std::max(lo + m_arrow, std::min(near, hi - m_arrow - m_arrow / 2));
    if (near + length > hi - m_arrow) near = hi - m_arrow - length;
    m_thumb = m_vertical ? CRect(m_rect.left, near, m_rect.right, near + length)
                         : CRect(near, m_rect.top, near + length, m_rect.bottom);
}

void MScroll::MoveThumbTo(int lo) {
    const int track = Track();
    const int length = m_vertical ? m_thumb.Height() : m_thumb.Width();
    lo = std::clamp(lo, Lo() + m_arrow, Hi() - m_arrow - length);
    const int travel = track - length;
    m_pos = travel > 0 ? std::clamp(int(int64_t(lo - Lo() - m_arrow) * m_range / travel), 0, m_range) : 0;
    if (m_vertical)
        m_thumb.MoveToXY(m_thumb.left, lo);
    else
        m_thumb.MoveToXY(lo, m_thumb.top);
    UpdateControl(TRUE);
    m_changing = TRUE;
    SendMessageW(Notify::Moved, WPARAM(m_pos), 0);
    m_changing = FALSE;
}

BOOL MScroll::OnControlLButtonDown(UINT, CPoint pt) {
    if (!m_thumbShown || !m_enabled) return FALSE;
    const int near = m_vertical ? m_thumb.top : m_thumb.left;
    if (m_thumb.PtInRect(pt)) {
        m_dragOrigin = Along(pt);
        m_dragThumb = near;
        m_look = 2;
        UpdateControl(TRUE);
        return TRUE;
    }
    // A press beside the thumb pages one view towards the pointer.
    const int page = int(int64_t(Track()) * m_size / std::max(1, m_range));
    MoveThumbTo(Along(pt) < near ? near - page : near + page);
    return TRUE;
}

BOOL MScroll::OnControlMouseMove(UINT, CPoint pt) {
    if (!m_thumbShown) return FALSE;
    if (m_dragOrigin >= 0) {
        MoveThumbTo(m_dragThumb + Along(pt) - m_dragOrigin);
        return TRUE;
    }
    int look = m_thumb.PtInRect(pt) ? 1 : 0;
    if (look != m_look) {
        m_look = look;
        UpdateControl(TRUE);
    }
    return m_rect.PtInRect(pt);
}

BOOL MScroll::OnControlLButtonUp(UINT, CPoint pt) {
    if (m_dragOrigin < 0) return FALSE;
    m_dragOrigin = -1;
    m_look = m_thumb.PtInRect(pt) ? 1 : 0;
    UpdateControl(TRUE);
    return TRUE;
}

void MScroll::DrawPart(Canvas& canvas, const CRect& dst, int frame) const {
    if (!m_skin || !m_skin->image) {
        static const Color kFallback[] = {Color(0x40FFFFFF), Color(0xFF49FFE6), Color(0xC049FFE6)};
        const int radius = std::min(dst.Width(), dst.Height()) / 2;
        canvas.FillRoundRect(dst, radius, kFallback[frame]);
        return;
    }
    const Image& image = *m_skin->image;
    // Vertical parts stand side by side, horizontal ones one above the other.
    if (m_vertical) {
        const int w = image.GetWidth() / 3;
        MRender::DrawImageFrameMID(canvas, image, dst, frame * w, 0, w, image.GetHeight(), 0, kCap, 0, kCap);
    } else {
        const int h = image.GetHeight() / 3;
        MRender::DrawImageFrameMID(canvas, image, dst, 0, frame * h, image.GetWidth(), h, kCap, 0, kCap, 0);
    }
}

void MScroll::DrawControl(Canvas& canvas, CRect rcPaint) {
    if (!m_thumbShown || !m_rect.Intersects(rcPaint)) return;
    canvas.PushClip(m_rect);
    DrawPart(canvas, m_rect, 0);
    DrawPart(canvas, m_thumb, m_look ? 1 : 2);
    canvas.PopClip();
}

void MScroll::DescribeAccessible(AccessibleInfo& info) {
    MControlFont::DescribeAccessible(info);
    // A bar with nothing to scroll says nothing.
    info.expose = m_range > m_size && m_thumbShown;
    info.role = AccessibleRole::ScrollBar;
    info.action.clear();
    info.hasValue = true;
    info.value = m_pos;
    info.minimum = 0;
    info.maximum = std::max(0, m_range - m_size);
    info.step = m_step > 0 ? m_step : 1;
}

}  // namespace Orvix
