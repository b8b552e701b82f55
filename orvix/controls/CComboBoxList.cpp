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

void CComboBoxList::DrawRow(Canvas& canvas, int index, const CRect& rect, bool) {
    const ListRow& row = m_rows[size_t(index)];
    const Color accent = Manager::GetSelectColor();
    if (index == m_hover) canvas.FillRect(rect, Color(0x3049FFE6));
    if (index == m_sel)
        canvas.FillRect(CRect(rect.left, rect.top + 6, rect.left + 3, rect.bottom - 6), accent);
    CRect text(rect.left + 12, rect.top, rect.right - 8, rect.bottom);
    if (!row.icon.empty() && m_manager) {
        if (ImgResInfo* icon = m_manager->AddImgResInfo(row.icon.c_str(), 4)) {
            const int top = rect.top + (rect.Height() - icon->height) / 2;
            canvas.DrawImage(*icon->image,
                             CRect(text.left, top, text.left + icon->frameWidth, top + icon->height),
                             CRect(0, 0, icon->frameWidth, icon->height));
            text.left += icon->frameWidth + 8;
        }
    }
    TextStyle style = GetTextStyle(false);
    style.vAlign = 4;
    style.ellipsis = true;
    Color color = index == m_sel ? accent : row.color.GetA() ? row.color : m_textColor;
    if (!style.family.empty()) canvas.DrawText(row.text, text, color, style);
}

}  // namespace Orvix
