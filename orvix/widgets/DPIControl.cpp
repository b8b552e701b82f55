#include "orvix/widgets/DPIControl.h"

#include <algorithm>

#include "orvix/core/ControlFactory.h"
#include "orvix/core/Manager.h"
#include "orvix/core/PaintManager.h"
#include "orvix/core/TextFit.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(DPIControl)

namespace {
constexpr Color kCard(0xFF231C14);
constexpr COLORREF kEditBack = 0x141C23;  // the card colour
constexpr COLORREF kEditText = 0x141CFF;
constexpr Color kLabelOutline(0xB0FFFFFF);

int Luma(Color c) {
    return (c.GetR() * 299 + c.GetG() * 587 + c.GetB() * 114) / 1000;
}
}  // namespace

DPIControl::DPIControl(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MPanel(parent, id, rect, title, visible, enabled), m_edit(*this) {
    m_fontStyle = 1;  // bold
    m_hAlign = 1;
    m_vAlign = 4;
}

int DPIControl::AddItem(int value, int colour) {
    m_items.push_back({value, colour});
    UpdateControl(TRUE);
    return int(m_items.size()) - 1;
}

void DPIControl::ClearList() {
    m_edit.Discard();  // its card goes with the list
    m_items.clear();
    m_hoverItem = -1;
    m_selectItem = 0;
    UpdateControl(TRUE);
}

void DPIControl::SetDPIValue(int index, int value) {
    if (!ValidIndex(index)) return;
    if (index == m_selectItem) m_edit.NoteValueSet();
    m_items[index].value = value;
    UpdateControl(TRUE);
}

void DPIControl::SetDPIColorValue(int index, int colour) {
    if (!ValidIndex(index)) return;
    m_items[index].colour = colour;
    UpdateControl(TRUE);
}

int DPIControl::GetDPIValue(int index) const {
    if (index < 0) return 50;
    if (index >= int(m_items.size())) return 26000;
    return m_items[index].value;
}

int DPIControl::GetDPIColorValue(int index) const {
    return ValidIndex(index) ? m_items[index].colour : 0;
}

void DPIControl::SetSelectItem(int index) {
    HideEdit();
    m_selectItem = index;
    UpdateControl(TRUE);
}

CRect DPIControl::GetEditRect(int index) const {
    CRect r = kEditRect;
    r.OffsetRect(m_rect.left + CardRow::kPitch * index, m_rect.top);
    return r;
}

bool DPIControl::InColorZone(int index, CPoint pt) const {
    const CRect card = GetCardRect(index);
    return card.PtInRect(pt) && pt.y < card.top + kColorZone;
}

// ---------------------------------------------------------------- in-place edit

void DPIControl::ShowEdit() {
    if (!m_enabled || !ValidIndex(m_selectItem)) return;
    m_title = std::to_wstring(m_items[m_selectItem].value);
    // The box is the edit rect's size, centred where the card shows its value,
    // so the number does not move when the box opens over it.
    const CRect card = GetCardRect(m_selectItem), edit = GetEditRect(m_selectItem);
    const int cx = card.left + (CardRow::kCardWidth - edit.Width()) / 2;
    const int cy = card.top + kBandHeight + (card.Height() - kBandHeight - edit.Height()) / 2;
    if (!m_edit.Open(CRect(cx, cy, cx + edit.Width(), cy + edit.Height()), m_title, kEditLimit, kEditBack,
                     Color::FromCOLORREF(kEditText)))
        return;
    if (MEditBox* box = m_edit.Peek()) box->SetFontStyle(GetFontStyle() | 1);  // the value is drawn bold
}

void DPIControl::HideEdit() {
    const int index = m_selectItem;
    if (!m_edit.IsOpen()) return;
    std::optional<int> typed = m_edit.Close(GetDPIValue(index));
    if (!ValidIndex(index)) return;
    if (typed) m_items[index].value = *typed;
    m_title = std::to_wstring(m_items[index].value);
    UpdateControl(TRUE);
}

LRESULT DPIControl::SetControlFocus(BOOL focus) {
    MPanel::SetControlFocus(focus);
    if (!focus) HideEdit();
    return 0;
}

LRESULT DPIControl::OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) {
    if (id != InPlaceEdit::kBoxId) return MPanel::OnMessage(id, code, wParam, lParam);
    if (code == Notify::TextChanged) {
        if (m_edit.OnChanged(m_title)) UpdateControl(TRUE);
    } else if (code == Notify::EditEnded) {
        HideEdit();
    }
    return 0;
}

// ---------------------------------------------------------------- pointer

BOOL DPIControl::OnControlMouseMove(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    const int oldItem = m_hoverItem;
    const bool oldZone = m_hoverZone;
    if (!m_rect.PtInRect(pt)) {
        m_hoverItem = -1;
        m_hoverZone = false;
        Platform::SetCursor(CursorKind::Arrow);
    } else if (ValidIndex(m_hoverItem) && GetCardRect(m_hoverItem).PtInRect(pt)) {
        Platform::SetCursor(CursorKind::Hand);
        m_hoverZone = InColorZone(m_hoverItem, pt);
    } else {
        m_hoverItem = CardRow::Hit(m_rect, GetItemCount(), pt);
        m_hoverZone = m_hoverItem >= 0 && InColorZone(m_hoverItem, pt);
        Platform::SetCursor(m_hoverItem >= 0 ? CursorKind::Hand : CursorKind::Arrow);
    }
    if (oldItem != m_hoverItem || oldZone != m_hoverZone) UpdateControl(TRUE);
    return TRUE;
}

BOOL DPIControl::OnControlLButtonDown(UINT, CPoint pt) {
    if (!ValidIndex(m_hoverItem)) return FALSE;
    if (m_hoverItem != m_selectItem) HideEdit();
    if (GetCardRect(m_hoverItem).PtInRect(pt)) {
        m_selectItem = m_hoverItem;
        if (InColorZone(m_hoverItem, pt)) m_colorItem = m_hoverItem;
        UpdateControl(TRUE);
        if (GetEditRect(m_hoverItem).PtInRect(pt)) ShowEdit();
    }
    Platform::SetCursor(CursorKind::Hand);
    return TRUE;
}

BOOL DPIControl::OnControlLButtonUp(UINT, CPoint pt) {
    if (ValidIndex(m_hoverItem) && GetCardRect(m_hoverItem).PtInRect(pt)) {
        m_selectItem = m_hoverItem;
        UpdateControl(TRUE);
        if (InColorZone(m_hoverItem, pt)) {
            m_colorItem = m_hoverItem;
            SendMessageW(Notify::PartClicked, 0, 0);
        } else {
            SendMessageW(Notify::Clicked, 0, 0);
        }
    }
    Platform::SetCursor(CursorKind::Arrow);
    return TRUE;
}

// ---------------------------------------------------------------- drawing

void DPIControl::Render(Canvas& canvas, const CRect& slice) const {
    const int h = slice.Height();
    TextStyle style = GetTextStyle();
    style.style |= 1;
    style.hAlign = 1;
    style.vAlign = 4;
    const Color accent = Manager::GetSelectColor();
    for (int i = 0; i < int(m_items.size()); ++i) {
        const int x = slice.left + CardRow::kPitch * i;
        canvas.FillRoundRect(CRect(x + 1, slice.top + 1, x + 109, slice.top + h - 1), 10, kCard);
        // The band keeps its rounded top corners: a rounded rect whose lower
        // corners are squared off by a plain rect.
        const Color band = Color::FromCOLORREF(COLORREF(m_items[i].colour));
        canvas.FillRoundRect(CRect(x + 1, slice.top + 1, x + 109, slice.top + 1 + kBandHeight), 10, band);
        canvas.FillRect(CRect(x + 1, slice.top + 1 + kBandHeight - 10, x + 109, slice.top + 1 + kBandHeight),
                        band);
        if (!style.family.empty()) {
            const CRect valueText(x, slice.top + kBandHeight, x + CardRow::kCardWidth, slice.top + h);
            TextFit::Check(*this, std::to_wstring(m_items[i].value), valueText, style);
            canvas.DrawText(std::to_wstring(m_items[i].value), valueText, Color(0xFFFFFFFF), style);
            const CRect bandText(x, slice.top, x + CardRow::kCardWidth, slice.top + kBandHeight);
            const std::wstring label = L"DPI " + std::to_wstring(i + 1);
            TextFit::Check(*this, label, bandText, style);
            // The near-black label keeps its colour; on a dark band a light
            // outline keeps it readable.
            if (Luma(band) < 110)
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        if (dx || dy) {
                            CRect at = bandText;
                            at.OffsetRect(dx, dy);
                            canvas.DrawText(label, at, kLabelOutline, style);
                        }
            canvas.DrawText(label, bandText, Color(0xFF050505), style);
        }
        if (i == m_hoverItem || i == m_selectItem)
            canvas.DrawRoundRect(CRect(x, slice.top, x + CardRow::kCardWidth, slice.top + h), 10, accent, 2);
    }
}

void DPIControl::DrawControl(Canvas& canvas, CRect rcPaint) {
    if (m_rect.IsRectEmpty()) return;
    DrawCached(canvas, rcPaint, 1, 0,
               [this](Canvas& cache, int, const CRect& slice) { Render(cache, slice); });
}

void DPIControl::DescribeAccessible(AccessibleInfo& info) {
    MControl::DescribeAccessible(info);
    std::vector<std::wstring> names;
    for (int i = 0; i < GetItemCount(); ++i) names.push_back(std::to_wstring(GetDPIValue(i)) + L" DPI");
    DescribeChoices(info, AccessibleRole::List, names, m_selectItem);
    // Each card tells its DPI as a value.
    for (int i = 0; i < int(info.items.size()); ++i) {
        AccessibleItem& item = info.items[size_t(i)];
        item.hasValue = true;
        item.value = GetDPIValue(i);
        item.minimum = m_valueMin;
        item.maximum = std::max(m_valueMax, GetDPIValue(i));
        item.step = m_valueStep;
    }
}

}  // namespace Orvix
