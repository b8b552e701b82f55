#include "orvix/controls/MComboBox.h"

#include <algorithm>

#include "orvix/controls/ComboWnd.h"
#include "orvix/core/ControlFactory.h"
#include "orvix/core/MRender.h"
#include "orvix/core/Manager.h"
#include "orvix/core/PaintManager.h"
#include "orvix/core/TextFit.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(MComboBox)

MComboBox::MComboBox(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MControlFont(parent, id, rect, title, visible, enabled) {
    m_look = enabled ? 0 : 3;
    SetCursorEx(L"hand");
}

MComboBox::~MComboBox() {
    if (ComboWnd* popup = m_popup) {
        m_popup = nullptr;
        popup->Detach();
        popup->DestroyWindow();
    }
}

// ---------------------------------------------------------------- items

int MComboBox::AddItem(const wchar_t* text, LPARAM data, const wchar_t* iconFile, Color textColor) {
    return InsertItem(-1, text, data, iconFile, textColor);
}

int MComboBox::InsertItem(int index, const wchar_t* text, LPARAM data, const wchar_t* iconFile,
                          Color textColor) {
    if (index < -1 || index > int(m_items.size())) return -1;
    if (index == -1) index = int(m_items.size());
    m_items.insert(m_items.begin() + index,
                   ListRow{text ? text : L"", data, -1, iconFile ? iconFile : L"", textColor});
    if (m_sel >= index) ++m_sel;
    return index;
}

BOOL MComboBox::SetItemText(int index, const wchar_t* text) {
    if (!IsValid(index)) return FALSE;
    m_items[size_t(index)].text = text ? text : L"";
    if (index == m_sel) SetTitle(m_items[size_t(index)].text);
    return TRUE;
}

std::wstring MComboBox::GetItemText(int index) const {
    return IsValid(index) ? m_items[size_t(index)].text : L"";
}

BOOL MComboBox::SetItemData(int index, LPARAM data) {
    if (!IsValid(index)) return FALSE;
    m_items[size_t(index)].data = data;
    return TRUE;
}

LPARAM MComboBox::GetItemData(int index) const {
    return IsValid(index) ? m_items[size_t(index)].data : 0;
}

BOOL MComboBox::SetCurSel(int index) {
    if (index < -1 || index >= int(m_items.size())) return FALSE;
    m_sel = index;
    SetTitle(index < 0 ? std::wstring() : m_items[size_t(index)].text);
    return TRUE;
}

int MComboBox::FindData(LPARAM data) const { return FindRowByData(m_items, data); }

BOOL MComboBox::SelectData(LPARAM data) {
    int index = FindData(data);
    return index >= 0 && SetCurSel(index);
}

BOOL MComboBox::DeleteItem(int index) {
    if (!IsValid(index)) return FALSE;
    m_items.erase(m_items.begin() + index);
    if (m_sel == index)
        SetCurSel(-1);
    else if (m_sel > index)
        --m_sel;
    return TRUE;
}

void MComboBox::DelAllItems() {
    CloseDropDown();
    m_items.clear();
    SetCurSel(-1);
}

void MComboBox::SetShowModeMID(int left, int top, int right, int bottom) {
    m_insets[0] = left, m_insets[1] = top, m_insets[2] = right, m_insets[3] = bottom;
    UpdateControl(TRUE);
}

CRect MComboBox::GetTextRect() const {
    if (!m_textRect.IsRectEmpty()) return m_textRect;
    return CRect(m_rect.left + 12, m_rect.top, m_rect.right - 30, m_rect.bottom);
}

// ---------------------------------------------------------------- drop-down

BOOL MComboBox::OpenDropDown() {
    if (m_popup || m_items.empty() || !m_enabled || !m_manager || !m_manager->GetPaintWnd()) return FALSE;
    const CPoint offset = MPanel::GetContentOffset(this);
    POINT origin{m_rect.left - offset.x, m_rect.bottom - offset.y};
    Platform::ClientToScreen(m_manager->GetPaintWnd(), origin);
    const int height =
        std::min(int(m_items.size()), kVisibleRows) * CComboBoxList::kRowHeight + 2 * kDropMargin;
    auto* popup = new ComboWnd(this);
    // The window deletes itself when it is destroyed, also when creation fails.
    if (!popup->Create(m_manager->GetPaintWnd(), L"", WS_POPUP, WS_EX_TOOLWINDOW,
                       CRect(origin.x, origin.y, origin.x + m_rect.Width(), origin.y + height)))
        return FALSE;
    m_popup = popup;
    // Opened from the keyboard, the drop-down shows the keyboard's ring too.
    popup->GetPaintManager().ShowKeyboardCues(m_manager->IsShowingKeyboardCues());
    popup->ShowWindow(SW_SHOW);
    SetLook(2);
    return TRUE;
}

void MComboBox::CloseDropDown() {
    if (m_popup) m_popup->CloseWindow();
}

void MComboBox::OnItemChosen(int index) {
    if (!IsValid(index)) return;
    SetCurSel(index);
    SendMessageW(Notify::Clicked, WPARAM(index), 0);
}

void MComboBox::OnDropDownGone() {
    m_popup = nullptr;
    SetLook(m_enabled ? (IsCursorOver() ? 1 : 0) : 3);
}

bool MComboBox::IsCursorOver() const {
    if (!m_manager || !m_manager->GetPaintWnd()) return false;
    POINT p = Platform::GetCursorPos();
    Platform::ScreenToClient(m_manager->GetPaintWnd(), p);
    const CPoint offset = MPanel::GetContentOffset(this);
    CRect onWindow = m_rect;
    onWindow.OffsetRect(-offset.x, -offset.y);
    return onWindow.PtInRect(p);
}

// ---------------------------------------------------------------- input

void MComboBox::SetLook(int look) {
    if (look == m_look) return;
    m_look = look;
    UpdateControl();
}

void MComboBox::SetControlEnabled(BOOL enabled) {
    m_enabled = enabled;
    if (!enabled) CloseDropDown();
    m_look = enabled ? 0 : 3;
}

BOOL MComboBox::OnControlMouseMove(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    if (!m_popup) SetLook(m_rect.PtInRect(pt) ? 1 : 0);
    return m_rect.PtInRect(pt);
}

BOOL MComboBox::OnControlLButtonDown(UINT, CPoint) {
    if (!m_enabled) return FALSE;
    if (m_ignorePress) {  // this press closed the drop-down
        m_ignorePress = false;
        return TRUE;
    }
    if (m_popup)
        CloseDropDown();
    else
        OpenDropDown();
    return TRUE;
}

BOOL MComboBox::OnFocusKey(UINT vk, UINT modifiers) {
    if (!m_enabled || modifiers != 0) return FALSE;
    const int step = (vk == VK_UP || vk == VK_LEFT) ? -1 : (vk == VK_DOWN || vk == VK_RIGHT) ? 1 : 0;
    if (!step) return MControlFont::OnFocusKey(vk, modifiers);
    const int next = m_sel < 0 ? 0 : m_sel + step;
    if (IsValid(next) && next != m_sel) OnItemChosen(next);
    return TRUE;
}

// ---------------------------------------------------------------- drawing

void MComboBox::DrawControl(Canvas& canvas, CRect rcPaint) {
    // A choice too long for the box is cut; the whole of it shows as the tooltip.
    if (m_title != m_fittedTitle || m_rect != m_fittedRect) {
        m_fittedTitle = m_title;
        m_fittedRect = m_rect;
        KeepElidedTooltip(*this, MeasureTextFit(m_title, GetTextRect(), TitleStyle()).elided, m_title,
                          m_elidedTooltip);
    }
    DrawCached(canvas, rcPaint, 4, m_look,
               [this](Canvas& cache, int look, const CRect& slice) { RenderLook(cache, look, slice); });
}

void MComboBox::RenderLook(Canvas& canvas, int look, const CRect& slice) const {
    if (m_image) {
        const CRect f = GetFrameRect(look);
        MRender::DrawImageFrameMID(canvas, *m_image, slice, f.left, f.top, f.Width(), f.Height(), m_insets[0],
                                   m_insets[1], m_insets[2], m_insets[3]);
        // A box taller or lower than the skin would stretch the arrow with the
        // middle rows: the arrow's rows go on again at their own height, centred.
        const int middle = f.Height() - m_insets[1] - m_insets[3];
        if (middle > 0 && slice.Height() != f.Height() && slice.Height() > middle) {
            const int top = slice.top + (slice.Height() - middle) / 2;
            canvas.DrawImage(
                *m_image, CRect(slice.right - m_insets[2], top, slice.right, top + middle),
                CRect(f.right - m_insets[2], f.top + m_insets[1], f.right, f.top + m_insets[1] + middle));
        }
    } else {
        canvas.FillRoundRect(slice, 5, look == 1 || look == 2 ? Color(0xFF16212E) : Color(0xFF0E1620));
        canvas.DrawRoundRect(slice, 5, look == 3 ? Color(0xFF3A4450) : Color(0xFF2A9C8E));
        const CPoint m(slice.right - 16, slice.top + slice.Height() / 2);
        canvas.FillPolygon({{m.x - 5, m.y - 2}, {m.x + 5, m.y - 2}, {m.x, m.y + 3}},
                           look == 3 ? Color(0xFF3A4450) : Manager::GetSelectColor());
    }
    CRect text = GetTextRect();
    text.OffsetRect(slice.left - m_rect.left, slice.top - m_rect.top);
    const TextStyle style = TitleStyle();
    Color color = look == 3                                               ? Color::FromCOLORREF(0x808080)
                  : IsValid(m_sel) && m_items[size_t(m_sel)].color.GetA() ? m_items[size_t(m_sel)].color
                                                                          : m_textColor;
    if (style.family.empty()) return;
    TextFit::Check(*this, m_title, text, style, true);
    canvas.DrawText(m_title, text, color, style);
}

TextStyle MComboBox::TitleStyle() const {
    TextStyle style = GetTextStyle(false);
    style.vAlign = 4;
    style.ellipsis = true;
    return style;
}

void MComboBox::DescribeAccessible(AccessibleInfo& info) {
    MControlFont::DescribeAccessible(info);
    info.role = AccessibleRole::ComboBox;
    info.action = L"press";
    info.hasPopup = true;
    info.expanded = m_popup != nullptr;
    // A reader says the combo box's name, then the choice it shows.
    const std::wstring shown = IsValid(m_sel) ? GetItemText(m_sel) : std::wstring();
    if (info.name == shown || info.name.empty()) info.name = GetTooltip();
    info.valueText = shown;
    info.hasText = true;
    info.text = shown;
}

}  // namespace Orvix
