#include "orvix/widgets/MouseCtrl.h"

#include <cmath>

#include "orvix/core/ControlFactory.h"
#include "orvix/core/MRender.h"
#include "orvix/core/Manager.h"
#include "orvix/core/TextFit.h"
#include "orvix/widgets/RowText.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(MouseCtrl)

namespace {
const Color kLineColor(0xFFFFFFFF);
const Color kLitText(0xFF050505);
constexpr int kLabelFontSize = 11;
constexpr int kLabelInset = 6;
constexpr int kTextPadding = 8;  // keeps the text off the box's border
}  // namespace

MouseCtrl::MouseCtrl(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MouseItemList(parent, id, rect, title, visible, enabled) {}

int MouseCtrl::AddItem(const std::wstring& text, int keyValue, int side, CPoint first, CPoint second) {
    m_items.push_back(MouseCtrlItem{text, keyValue, side, first, second, CRect()});
    UpdateControl(TRUE);
    return GetItemCount() - 1;
}

void MouseCtrl::SetItemText(int index, const std::wstring& text) {
    if (!IsValid(index) || m_items[size_t(index)].text == text) return;
    m_items[size_t(index)].text = text;
    UpdateControl(TRUE);
}

std::wstring MouseCtrl::GetItemText(int index) const {
    return IsValid(index) ? m_items[size_t(index)].text : std::wstring();
}

int MouseCtrl::SetItemKeyDesc(int keyValue, const std::wstring& text) {
    if (MouseCtrlItem* item = FindKey(keyValue)) item->text = text;
    UpdateControl(TRUE);
    return 1;
}

CPoint MouseCtrl::Scaled(CPoint p) const {
    return CPoint(m_rect.left + int(std::lround(p.x * m_scale)),
                  m_rect.top + int(std::lround(p.y * m_scale)));
}

CRect MouseCtrl::GetLabelRect(int index) const {
    if (!IsValid(index)) return {};
    const MouseCtrlItem& item = m_items[size_t(index)];
    const CPoint p1 = Scaled(item.first), p2 = Scaled(item.second);
    auto s = [this](int v) { return int(std::lround(v * m_scale)); };
    if (item.side == 1) return CRect(p2.x + s(1), p2.y - s(13), p2.x + s(127), p2.y + s(13));
    return CRect(p1.x - s(127), p1.y - s(13), p1.x - s(IsLit(index) ? 3 : 1), p1.y + s(13));
}

CRect MouseCtrl::GetDotRect(int index) const {
    if (!IsValid(index)) return {};
    const MouseCtrlItem& item = m_items[size_t(index)];
    auto s = [this](int v) { return int(std::lround(v * m_scale)); };
    const CPoint at =
        item.side == 1 ? Scaled(item.first) - CPoint(s(5), s(3)) : Scaled(item.second) - CPoint(s(1), s(3));
    return CRect(at.x, at.y, at.x + s(6), at.y + s(6));
}

TextStyle MouseCtrl::LabelStyle() const {
    TextStyle style = RowTextStyle(*this);
    style.pixelSize = kLabelFontSize;
    return style;
}

CRect MouseCtrl::GetLabelTextRect(int index) const {
    CRect text = GetLabelRect(index);
    text.DeflateRect(kTextPadding, 0);
    return text;
}

// A caption cut by its box (a long macro name, a key combination) shows whole
// as a tooltip while the pointer is over the label.
void MouseCtrl::OnHoverKept(CPoint) {
    OnHoverChanged();
}

void MouseCtrl::OnHoverChanged() {
    if (!IsValid(m_hover)) {
        HideElidedTextTooltip(*this);
        return;
    }
    ShowElidedTextTooltip(*this, m_items[size_t(m_hover)].text, GetLabelTextRect(m_hover), LabelStyle(),
                          GetLabelRect(m_hover));
}

void MouseCtrl::DrawControl(Canvas& canvas, CRect rcPaint) {
    if ((m_rect & rcPaint).IsRectEmpty() || m_items.empty()) return;
    const TextStyle style = LabelStyle();
    canvas.SetAntialias(true);
    for (int i = 0; i < GetItemCount(); ++i) {
        MouseCtrlItem& item = m_items[size_t(i)];
        const bool lit = IsLit(i);
        const Color line = lit ? Manager::GetSelectColor() : kLineColor;
        canvas.DrawLine(Scaled(item.first), Scaled(item.second), line, 2);
        canvas.DrawEllipse(GetDotRect(i), line, 2);
        item.labelRect = GetLabelRect(i);
        if (m_image && m_frameWidth > 0) {
            const int frame = lit && m_frameCount > 1 ? 1 : 0;
            MRender::DrawImageFrame(canvas, *m_image, item.labelRect, frame * m_frameWidth, 0, m_frameWidth,
                                    m_frameHeight, kLabelInset);
        }
        if (style.family.empty()) continue;
        CRect text = item.labelRect;
        text.DeflateRect(kTextPadding, 0);
        TextFit::Check(*this, item.text, text, style, true);
        canvas.DrawText(item.text, text, lit ? kLitText : m_textColor, style);
    }
}

void MouseCtrl::DescribeAccessible(AccessibleInfo& info) {
    MouseItemList::DescribeAccessible(info);
    // "Button 3: Middle click": the button, then the function its label shows.
    const std::vector<std::wstring>& names = GetAccessibleItemNames();
    for (int i = 0; i < int(info.items.size()); ++i) {
        const std::wstring label = GetItemText(i);
        std::wstring& name = info.items[size_t(i)].name;
        if (i >= int(names.size()))
            name = label;
        else if (!label.empty())
            name = names[size_t(i)] + L": " + label;
    }
}

}  // namespace Orvix
