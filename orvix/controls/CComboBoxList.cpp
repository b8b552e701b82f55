#include "orvix/controls/CComboBoxList.h"

#include "orvix/core/ControlFactory.h"
#include "orvix/core/Manager.h"
#include "orvix/core/PaintManager.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(CComboBoxList)

CComboBoxList::CComboBoxList(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible,
                             BOOL enabled)
    : MListBase(parent, id, rect, title, visible, enabled) {
    m_itemHeight = kRowHeight;
}

int CComboBoxList::AddItem(const wchar_t* text, LPARAM data, const wchar_t* iconFile, Color color) {
    return InsertRow(-1, ListRow{text ? text : L"", data, -1, iconFile ? iconFile : L"", color});
}

BOOL CComboBoxList::OnControlLButtonUp(UINT, CPoint pt) {
    int row = RowAt(pt);
    if (!m_enabled || row < 0) return FALSE;
    SendMessageW(2, WPARAM(row), 19);
    return TRUE;
}

CRect CComboBoxList::RowTextRect(int index, const CRect& rect) const {
    CRect text(rect.left + 12, rect.top, rect.right - 8, rect.bottom);
    if (ImgResInfo* icon = RowIcon(index)) text.left += icon->frameWidth + 8;
    return text;
}

TextStyle CComboBoxList::RowStyle() const {
    TextStyle style = GetTextStyle(false);
    style.vAlign = 4;
    style.ellipsis = true;
    return style;
}

ImgResInfo* CComboBoxList::RowIcon(int index) const {
    if (!IsValid(index) || m_rows[size_t(index)].icon.empty() || !m_manager) return nullptr;
    return m_manager->AddImgResInfo(m_rows[size_t(index)].icon.c_str(), 4);
}

void CComboBoxList::DrawRow(Canvas& canvas, int index, const CRect& rect, bool) {
    const ListRow& row = m_rows[size_t(index)];
    const Color accent = Manager::GetSelectColor();
    if (index == m_hover) canvas.FillRect(rect, Color(0x3049FFE6));
    if (index == m_sel)
        canvas.FillRect(CRect(rect.left, rect.top + 6, rect.left + 3, rect.bottom - 6), accent);
    const CRect text = RowTextRect(index, rect);
    if (ImgResInfo* icon = RowIcon(index)) {
        const int left = text.left - icon->frameWidth - 8;
        const int top = rect.top + (rect.Height() - icon->height) / 2;
        canvas.DrawImage(*icon->image, CRect(left, top, left + icon->frameWidth, top + icon->height),
                         CRect(0, 0, icon->frameWidth, icon->height));
    }
    DrawRowText(canvas, index, text, index == m_sel ? accent : row.color.GetA() ? row.color : m_textColor);
}

}  // namespace Orvix
