#include "orvix/widgets/MouseKeyCtrl.h"

#include "orvix/core/ControlFactory.h"
#include "orvix/core/PaintManager.h"
#include "orvix/core/TextFit.h"
#include "orvix/widgets/RowText.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(MouseKeyCtrl)

namespace {
const Color kRowFill(0xFF212D3B);
const Color kLitFill(0xFF3D556D);
const Color kLitText = Color::FromCOLORREF(0xEFD3B8);
}  // namespace

MouseKeyCtrl::MouseKeyCtrl(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible,
                           int enabled)
    : MouseItemList(parent, id, rect, title, visible, enabled) {
    m_textColor = Color(0xFFB8D3EF);
}

int MouseKeyCtrl::AddItem(const std::wstring& name, const std::wstring& description, int keyValue) {
    m_items.push_back(MouseKeyItem{name, description, keyValue, CRect()});
    UpdateControl(TRUE);
    return GetItemCount() - 1;
}

std::wstring MouseKeyCtrl::GetItemKeyName(int index) const {
    return IsValid(index) ? m_items[size_t(index)].name : std::wstring();
}

std::wstring MouseKeyCtrl::GetItemKeyDesc(int index) const {
    return IsValid(index) ? m_items[size_t(index)].description : std::wstring();
}

int MouseKeyCtrl::SetItemKeyDesc(int keyValue, const std::wstring& description) {
    if (MouseKeyItem* item = FindKey(keyValue)) item->description = description;
    UpdateControl(TRUE);
    return 1;
}

void MouseKeyCtrl::SetItemText(int index, const std::wstring& name) {
    if (!IsValid(index)) return;
    m_items[size_t(index)].name = name;
    UpdateControl(TRUE);
}

CRect MouseKeyCtrl::GetRowRect(int index) const {
    const int height = int(27 * m_scale), pitch = int(27 * m_scale + 5);
    const int top = m_rect.top + index * pitch;
    return CRect(m_rect.left, top, m_rect.right, top + height);
}

void MouseKeyCtrl::OnHoverKept(CPoint) {
    const MouseKeyItem& item = m_items[size_t(m_hover)];
    if (m_manager &&
        (m_manager->GetTooltipOwner() != m_id || m_manager->GetTooltipText() != item.description))
        SetTooltip(item.description, GetRowRect(m_hover));
}

void MouseKeyCtrl::OnHoverChanged() {
    if (m_manager && m_manager->GetTooltipOwner() == m_id) ClearTooltip();
}

void MouseKeyCtrl::DrawControl(Canvas& canvas, CRect rcPaint) {
    if ((m_rect & rcPaint).IsRectEmpty()) return;
    TextStyle style = RowTextStyle(*this);
    canvas.PushClip(m_rect);
    for (int i = 0; i < GetItemCount(); ++i) {
        MouseKeyItem& item = m_items[size_t(i)];
        item.rect = GetRowRect(i);
        if (item.rect.top >= m_rect.bottom) break;
        const bool lit = IsLit(i);
        canvas.FillRect(item.rect, lit ? kLitFill : kRowFill);
        if (style.family.empty()) continue;
        const Color text = lit ? kLitText : m_textColor;
        const int nameLeft = m_rect.left + int(10 * m_scale), split = m_rect.left + int(80 * m_scale);
        const CRect name(nameLeft, item.rect.top, split, item.rect.bottom);
        const CRect description(split, item.rect.top, item.rect.right, item.rect.bottom);
        TextFit::Check(*this, item.name, name, style);
        TextFit::Check(*this, item.description, description, style, true);
        canvas.DrawText(item.name, name, text, style);
        canvas.DrawText(item.description, description, text, style);
    }
    canvas.PopClip();
}

}  // namespace Orvix
