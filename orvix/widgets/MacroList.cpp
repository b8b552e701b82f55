#include "orvix/widgets/MacroList.h"

#include <algorithm>
#include <cmath>

#include "orvix/core/MScroll.h"
#include "orvix/core/ControlFactory.h"
#include "orvix/core/MImageList.h"
#include "orvix/core/MRender.h"
#include "orvix/widgets/RowText.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(MacroList)

namespace {
constexpr int kButtonMargin = 15;  // between the row button and the right edge
constexpr int kTextLeft = 15;
constexpr int kRowInset = 6;
}  // namespace

MacroList::MacroList(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MListBase(parent, id, rect, title, visible, enabled) {
    m_textColor = Color(0xFFB8D3EF);
    SetDblClk(TRUE);
}

int MacroList::AddString(const wchar_t* text, LPARAM data, int image) {
    const int index = MListBase::AddString(text, data, image);
    ScrollToEnd();
    return index;
}

int MacroList::InsertString(int index, const wchar_t* text, int image, LPARAM data) {
    if (MListBase::InsertString(index, text, image, data) < 0) return -1;
    ScrollToEnd();
    return GetItemCount() - 1;
}

void MacroList::ScrollToEnd() {
    if (MScroll* bar = GetScrollVertical()) bar->SetScrollFinalPos();
}

void MacroList::SetItemHeight(int height) {
    if (height <= 0) return;
    m_baseHeight = height;
    MListBase::SetItemHeight(std::max(1, int(std::lround(height * m_scale))));
}

void MacroList::SetScaleValue(float scale) {
    if (scale <= 0) return;
    m_scale = scale;
    SetItemHeight(m_baseHeight);
}

BOOL MacroList::SetEditImage(const wchar_t* file, int count) {
    if (!m_editButton.Load(m_manager, file, count)) return FALSE;
    UpdateControl(TRUE);
    return TRUE;
}

CRect MacroList::GetEditRect(int index) const {
    if (!IsValid(index) || !m_editButton.IsLoaded()) return {};
    return m_editButton.PlaceAt(m_rect.right - m_editButton.GetFrameSize().cx - kButtonMargin,
                                GetItemRect(index));
}

BOOL MacroList::OnControlLButtonDown(UINT, CPoint pt) {
    if (!m_enabled || !m_rect.PtInRect(pt)) return FALSE;
    const int row = RowAt(pt);
    if (GetEditItem() >= 0) HideEdit();
    SetCurSel(row);
    return TRUE;
}

BOOL MacroList::OnControlLButtonUp(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    const int row = RowAt(pt);
    if (row < 0) return FALSE;
    SetCurSel(row);
    const CPoint content(pt.x, pt.y + GetScrollOffset().y);
    SendMessageW(GetEditRect(row).PtInRect(content) ? Notify::PartClicked : Notify::Clicked, 0, 0);
    return TRUE;
}

BOOL MacroList::OnControlLButtonDblClk(UINT, CPoint pt) {
    if (!m_enabled) return FALSE;
    const int row = RowAt(pt);
    if (row < 0) return FALSE;
    SetCurSel(row);
    ShowEdit(row);  // only when renaming is on
    return TRUE;
}

BOOL MacroList::OnControlRButtonUp(UINT, CPoint pt) {
    if (!m_enabled || !m_rect.PtInRect(pt)) return FALSE;
    SetCurSel(m_hover);
    if (m_hover >= 0) SendMessageW(Notify::RightClicked, WPARAM(m_hover), 0);
    return TRUE;
}

BOOL MacroList::SetItemTextColor(int index, Color color) {
    if (!IsValid(index)) return FALSE;
    if (m_rows[size_t(index)].color.GetValue() != color.GetValue()) {
        m_rows[size_t(index)].color = color;
        UpdateControl(TRUE);
    }
    return TRUE;
}

Color MacroList::GetItemTextColor(int index) const {
    return IsValid(index) ? m_rows[size_t(index)].color : Color();
}

TextStyle MacroList::RowStyle() const {
    return RowTextStyle(*this);
}

CRect MacroList::RowTextRect(int index, const CRect& rect) const {
    CRect text(rect.left + int(kTextLeft * m_scale), rect.top, rect.right, rect.bottom);
    MImageList* images = GetImageList();
    if (images && IsValid(index) && m_rows[size_t(index)].image >= 0) text.left += rect.Height();
    if (m_editButton.IsLoaded())
        text.right = m_rect.right - m_editButton.GetFrameSize().cx - kButtonMargin - 4;
    return text;
}

void MacroList::DrawRow(Canvas& canvas, int index, const CRect& rect, bool lit) {
    const ListRow& row = m_rows[size_t(index)];
    CRect back(rect.left, rect.top, rect.right, rect.bottom - 1);
    if (m_image && m_frameWidth > 0)
        MRender::DrawImageFrame(canvas, *m_image, back, (lit && m_frameCount > 1 ? 1 : 0) * m_frameWidth, 0,
                                m_frameWidth, m_frameHeight, kRowInset);
    else if (lit)
        canvas.FillRect(back, Color(0xFF3D556D));
    const CRect text = RowTextRect(index, rect);
    if (MImageList* images = GetImageList(); images && row.image >= 0) {
        CRect icon(text.left - rect.Height(), rect.top, text.left, rect.bottom);
        images->DrawItemIcon(canvas, icon, row.image, lit ? 1 : 0);
    }
    if (m_editButton.IsLoaded())
        m_editButton.DrawAt(canvas, m_rect.right - m_editButton.GetFrameSize().cx - kButtonMargin, rect,
                            lit ? 2 : 0);
    const Color color = lit ? Color(0xFFFFFFFF) : row.color.GetA() ? row.color : m_textColor;
    DrawRowText(canvas, index, text, color);
}

}  // namespace Orvix
