#include "orvix/widgets/CColorPalette.h"

#include <algorithm>

#include "orvix/core/ControlFactory.h"
#include "orvix/core/PaintManager.h"
#include "orvix/widgets/HslColor.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(CColorPalette)

namespace {
std::vector<COLORREF> PresetColors() {
    std::vector<COLORREF> colors;
    for (double l : {0.5, 0.72})
        for (int hue = 0; hue < 360; hue += 30) colors.push_back(HSLToRGB(hue / 360.0, 1.0, l));
    for (int i = 0; i < 12; ++i) colors.push_back(HSLToRGB(0, 0, i / 11.0));
    return colors;
}
}  // namespace

CColorPalette::CColorPalette(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible,
                             BOOL enabled)
    : CColorPalette(parent, id, rect, title, visible, enabled, PresetColors(), 22, 6, false) {}

CColorPalette::CColorPalette(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible,
                             BOOL enabled, std::vector<COLORREF> colors, int cell, int gap, bool round)
    : MPanel(parent, id, rect, title, visible, enabled),
      m_colors(std::move(colors)),
      m_cell(cell),
      m_gap(gap),
      m_round(round) {
    UpdateControlEx();
}

void CColorPalette::SetColors(const std::vector<COLORREF>& colors) {
    m_colors = colors;
    m_hoverIndex = m_pressIndex = -1;
    m_selectIndex = -1;
    SetSelectColor(m_selectColor);
}

COLORREF CColorPalette::GetSelectColor() const {
    return m_selectIndex >= 0 ? m_colors[m_selectIndex] : m_selectColor;
}

void CColorPalette::SetSelectColor(COLORREF color) {
    m_selectColor = color;
    auto it = std::find(m_colors.begin(), m_colors.end(), color);
    m_selectIndex = it == m_colors.end() ? -1 : int(it - m_colors.begin());
    UpdateControl(TRUE);
}

void CColorPalette::Select(int index) {
    if (index < 0 || index >= int(m_colors.size())) return;
    m_selectIndex = index;
    m_selectColor = m_colors[index];
    UpdateControl(TRUE);
}

BOOL CColorPalette::SetThumbImage(const wchar_t* file) {
    const ImgResInfo* info = m_manager && file ? m_manager->AddImgResInfo(file, 1) : nullptr;
    if (!info) return FALSE;
    m_thumb = info;
    UpdateControlEx();
    return TRUE;
}

int CColorPalette::RingReach() const {
    return std::clamp(m_gap / 2, 2, 4);
}

CRect CColorPalette::ThumbBox(const CRect& cell) const {
    CRect box = cell;
    if (!m_thumb) return box;
    const int grow = std::clamp((std::max(m_thumb->frameWidth, m_thumb->height) - cell.Width() + 1) / 2, 0,
                                std::max(0, m_gap / 2));
    box.InflateRect(grow, grow);
    return box;
}

int CColorPalette::Margin() const {
    int reach = RingReach();
    if (m_thumb) reach = std::max(reach, std::min(m_gap / 2, (m_thumb->frameWidth - m_cell + 1) / 2));
    return reach;
}

int CColorPalette::CellSize() const {
    const int room = m_rect.Height() - 2 * Margin();
    return room < m_cell ? std::max(4, room) : m_cell;
}

void CColorPalette::UpdateControlEx() {
    const int cell = CellSize();
    m_columns = std::max(1, (m_rect.Width() - 2 * Margin() + m_gap) / (cell + m_gap));
    UpdateControl(TRUE);
}

void CColorPalette::SetControlRect(CRect rect) {
    MPanel::SetControlRect(rect);
    UpdateControlEx();
}

CRect CColorPalette::GetCellRect(int index) const {
    if (index < 0 || index >= int(m_colors.size())) return {};
    const int cell = CellSize(), margin = Margin();
    const int x = m_rect.left + margin + (index % m_columns) * (cell + m_gap);
    const int y = m_rect.top + margin + (index / m_columns) * (cell + m_gap);
    return {x, y, x + cell, y + cell};
}

int CColorPalette::HitCell(CPoint pt) const {
    for (int i = 0; i < int(m_colors.size()); ++i)
        if (GetCellRect(i).PtInRect(pt)) return i;
    return -1;
}

BOOL CColorPalette::OnControlMouseMove(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    const int hover = HitCell(pt);
    if (hover != m_hoverIndex) {
        Platform::SetCursor(hover >= 0 ? CursorKind::Hand : CursorKind::Arrow);
        m_hoverIndex = hover;
        UpdateControl(TRUE);
    }
    return m_rect.PtInRect(pt);
}

BOOL CColorPalette::OnControlLButtonDown(UINT, CPoint pt) {
    m_pressIndex = m_enabled ? HitCell(pt) : -1;
    return m_pressIndex >= 0;
}

BOOL CColorPalette::OnControlLButtonUp(UINT, CPoint pt) {
    const int pressed = m_pressIndex;
    m_pressIndex = -1;
    if (pressed < 0 || HitCell(pt) != pressed) return FALSE;
    Select(pressed);
    SendMessageW(Notify::ColourChosen, WPARAM(m_colors[pressed]), LPARAM(m_colors[pressed]));
    return TRUE;
}

void CColorPalette::DrawControl(Canvas& canvas, CRect rcPaint) {
    if (m_rect.IsRectEmpty()) return;
    DrawCached(canvas, rcPaint, 1, 0, [this](Canvas& cache, int, const CRect& slice) {
        for (int i = 0; i < int(m_colors.size()); ++i) {
            CRect cell = GetCellRect(i);
            cell.OffsetRect(slice.left - m_rect.left, slice.top - m_rect.top);
            const Color fill = Color::FromCOLORREF(m_colors[i]);
            if (m_round)
                cache.FillEllipse(cell, fill);
            else
                cache.FillRoundRect(cell, 4, fill);
            CRect ring = cell;  // strokes lie inside their rect
            ring.InflateRect(RingReach(), RingReach());
            if (i == m_selectIndex && m_thumb) {
                cache.DrawImage(*m_thumb->image, ThumbBox(cell),
                                CRect(0, 0, m_thumb->frameWidth, m_thumb->height));
            } else if (i == m_selectIndex || i == m_hoverIndex) {
                const Color line = i == m_selectIndex ? Color(0xFFFFFFFF) : Color(0x80FFFFFF);
                if (m_round)
                    cache.DrawEllipse(ring, line, 2);
                else
                    cache.DrawRoundRect(ring, 6, line, 2);
            }
        }
    });
}

}  // namespace Orvix
