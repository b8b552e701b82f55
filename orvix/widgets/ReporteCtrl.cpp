#include "orvix/widgets/ReporteCtrl.h"

#include "orvix/core/ControlFactory.h"
#include "orvix/core/Manager.h"
#include "orvix/core/TextFit.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(ReporteCtrl)

namespace {
constexpr Color kCard(0xFF231C14);
}  // namespace

ReporteCtrl::ReporteCtrl(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible,
                         BOOL enabled)
    : MPanel(parent, id, rect, title, visible, enabled) {
    m_hAlign = 1;
    m_vAlign = 4;
    m_fontStyle = 1;
}

int ReporteCtrl::AddItem(const std::wstring& text, int value, int colour) {
    m_items.push_back({text, value, colour});
    UpdateControl(TRUE);
    return int(m_items.size()) - 1;
}

int ReporteCtrl::DeleteAllItems() {
    m_items.clear();
    m_hoverItem = m_selectItem = m_pressedItem = -1;
    UpdateControl(TRUE);
    return 1;
}

void ReporteCtrl::SetSelectItem(int index) {
    if (index == m_selectItem) return;
    m_selectItem = index;
    UpdateControl(TRUE);
}

void ReporteCtrl::SetSelectItemValue(int value) {
    for (int i = 0; i < int(m_items.size()); ++i) {
        if (m_items[i].value == value) {
            SetSelectItem(i);
            return;
        }
    }
}

int ReporteCtrl::GetItemKeyValue(int index) const {
    return ValidIndex(index) ? m_items[index].value : 0;
}

std::wstring ReporteCtrl::GetItemKeyName(int index) const {
    return ValidIndex(index) ? m_items[index].text : L"";
}

void ReporteCtrl::SetItemText(int index, const std::wstring& text) {
    if (!ValidIndex(index)) return;
    m_items[index].text = text;
    UpdateControl(TRUE);
}

void ReporteCtrl::SetScaleValue(float scale) {
    m_scale = scale;
    UpdateControl(TRUE);
}

BOOL ReporteCtrl::OnControlMouseMove(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    const int hover = CardRow::Hit(m_rect, GetItemCount(), pt);
    if (hover != m_hoverItem) {
        Platform::SetCursor(hover >= 0 ? CursorKind::Hand : CursorKind::Arrow);
        m_hoverItem = hover;
        UpdateControl(TRUE);
    }
    return m_rect.PtInRect(pt);
}

BOOL ReporteCtrl::OnControlLButtonDown(UINT, CPoint pt) {
    m_pressedItem = m_enabled ? CardRow::Hit(m_rect, GetItemCount(), pt) : -1;
    if (m_pressedItem < 0) return FALSE;
    SetSelectItem(m_pressedItem);
    SendMessageW(Notify::Pressed, WPARAM(m_pressedItem), 0);
    return TRUE;
}

BOOL ReporteCtrl::OnControlLButtonUp(UINT, CPoint pt) {
    const int pressed = m_pressedItem;
    m_pressedItem = -1;
    const int hit = CardRow::Hit(m_rect, GetItemCount(), pt);
    // A click is a press and a release on cards; a release elsewhere is no choice.
    if (pressed < 0 || hit < 0) return FALSE;
    SetSelectItem(hit);
    SendMessageW(Notify::Clicked, WPARAM(hit), 0);
    return TRUE;
}

void ReporteCtrl::DrawControl(Canvas& canvas, CRect rcPaint) {
    if (m_rect.IsRectEmpty()) return;
    DrawCached(canvas, rcPaint, 1, 0, [this](Canvas& cache, int, const CRect& slice) {
        TextStyle style = GetTextStyle();
        style.pixelSize = int(m_fontSize * m_scale);
        for (int i = 0; i < int(m_items.size()); ++i) {
            const CRect card = CardRow::Card(slice, i);
            const int x = card.left;
            // The card and its band share the rounded outline: each is the
            // rounded card clipped to its part.
            cache.PushClip(CRect(x, card.top, x + kBandWidth, card.bottom));
            cache.FillRoundRect(card, 10, Color::FromCOLORREF(COLORREF(m_items[i].colour)));
            cache.PopClip();
            cache.PushClip(CRect(x + kBandWidth, card.top, card.right, card.bottom));
            cache.FillRoundRect(card, 10, kCard);
            cache.PopClip();
            if (!style.family.empty()) {
                const CRect text(x + kBandWidth, card.top, card.right, card.bottom);
                TextFit::Check(*this, m_items[i].text, text, style);
                cache.DrawText(m_items[i].text, text, m_enabled ? m_textColor : Color(0xFF808080), style);
            }
            if (i == m_hoverItem || i == m_selectItem)
                cache.DrawRoundRect(card, 10, Manager::GetSelectColor(), 2);
        }
    });
}

void ReporteCtrl::DescribeAccessible(AccessibleInfo& info) {
    MControl::DescribeAccessible(info);
    std::vector<std::wstring> names;
    for (int i = 0; i < GetItemCount(); ++i) names.push_back(GetItemKeyName(i));
    // The rates behave as radio buttons: one is on.
    DescribeChoices(info, AccessibleRole::List, names, m_selectItem, AccessibleRole::RadioButton);
    for (AccessibleItem& item : info.items) item.checkable = true, item.checked = item.selected;
}

}  // namespace Orvix
