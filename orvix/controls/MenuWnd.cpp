#include "orvix/controls/MenuWnd.h"

#include <algorithm>

#include "orvix/controls/MenuItem.h"
#include "orvix/controls/MenuSeparator.h"
#include "orvix/core/MControlFont.h"

namespace Orvix {

namespace {
constexpr int kSeparatorHeight = 4;
constexpr COLORREF kBack = 0x515151;
constexpr COLORREF kBorder = 0x35291E;
}  // namespace

MenuWnd::MenuWnd(MObject* parent) {
    SetParent(parent);
}

HWND MenuWnd::Create(HWND owner, CPoint screenPt, UINT notifyMessage, int width) {
    m_owner = owner;
    m_notify = notifyMessage;
    m_point = screenPt;
    m_width = width > 0 ? width : m_width;
    const int height = (m_top ? m_top : 2) + (m_bottom ? m_bottom : 2);
    HWND hwnd = MPopupWnd::Create(owner, L"Menu Window", WS_POPUP, WS_EX_TOOLWINDOW,
                                  CRect(screenPt.x, screenPt.y, screenPt.x + m_width, screenPt.y + height));
    if (!hwnd) return nullptr;
    m_pm.SetBackColor(kBack, kBorder);
    SetMenuPoint();
    ShowWindow(SW_SHOW);
    return hwnd;
}

void MenuWnd::SetMenuFont(const std::wstring& name, int size, int style) {
    m_fontName = name;
    m_fontSize = size;
    m_fontStyle = style;
}

int MenuWnd::AddMenu(const wchar_t* text, UINT id, const wchar_t* iconFile, int, int) {
    // The entries are the toolkit's menu items, made by name.
    auto* item = dynamic_cast<MControlFont*>(
        m_pm.CreateControl(1, this, L"MenuItem", id, CRect(2, 0, m_width - 2, m_itemHeight), text, 1, 1));
    if (item) {
        item->SetFont(m_fontName.c_str(), m_fontSize, m_fontStyle);
        if (iconFile && *iconFile) item->SetImage(iconFile, 4);
        m_entries.push_back({id, item, false});
    }
    SetMenuPoint();
    return -1;
}

void MenuWnd::AddSeparator(UINT id, const wchar_t*) {
    auto* line = new MenuSeparator(this, id, CRect(m_indent + 1, 0, m_width - 1, kSeparatorHeight),
                                   Color::FromCOLORREF(kBorder));
    line->SetManager(&m_pm);
    m_pm.AddControl(line, 1);
    m_entries.push_back({id, line, true});
    SetMenuPoint();
}

MControl* MenuWnd::GetItem(UINT key) const {
    for (const Entry& e : m_entries)
        if (e.id == key) return e.control;
    return nullptr;
}

BOOL MenuWnd::SetItemTitle(UINT key, const wchar_t* text) {
    auto* item = dynamic_cast<MControlFont*>(GetItem(key));
    if (!item) return FALSE;
    item->SetTitle(text);
    return TRUE;
}

BOOL MenuWnd::SetItemVisible(UINT key, BOOL visible) {
    MControl* item = GetItem(key);
    if (!item) return FALSE;
    item->SetVisible(visible);
    SetMenuPoint();
    return TRUE;
}

BOOL MenuWnd::SetItemEnable(UINT key, BOOL enable) {
    MControl* item = GetItem(key);
    if (!item) return FALSE;
    item->SetEnabled(enable);
    return TRUE;
}

void MenuWnd::SetMenuPoint() {
    int column = 0;
    for (const Entry& e : m_entries)
        if (auto* item = dynamic_cast<MenuItem*>(e.control); item && !e.separator)
            column = std::max(column, item->NaturalColumn());
    for (const Entry& e : m_entries)
        if (auto* item = dynamic_cast<MenuItem*>(e.control); item && !e.separator)
            item->SetFrameWidth(column);
    int y = m_top ? m_top : 2;
    for (const Entry& e : m_entries) {
        if (!e.control->IsVisible()) continue;
        if (e.separator) {
            e.control->SetRect(CRect(m_indent + 1, y, m_width - 1, y + kSeparatorHeight));
            y += kSeparatorHeight;
        } else {
            e.control->SetRect(CRect(2, y, m_width - 2, y + m_itemHeight));
            y += m_itemHeight;
        }
    }
    const int height = y + (m_bottom ? m_bottom : 2);
    if (!m_hWnd) return;
    // A menu opened near the bottom or right edge opens upwards or leftwards.
    CRect work = Platform::GetWorkArea(m_point);
    int x = m_point.x + m_width > work.right ? m_point.x - m_width : m_point.x;
    int top = m_point.y + height > work.bottom ? m_point.y - height : m_point.y;
    MoveWindow(CRect(x, top, x + m_width, top + height));
}

LRESULT MenuWnd::OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM) {
    if (m_owner) Platform::PostMessage(m_owner, m_notify, wParam, LPARAM(id));
    if (code == Notify::Clicked) CloseWindow();
    return 0;
}

LRESULT MenuWnd::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_KEYDOWN && wParam == VK_ESCAPE) {
        CloseWindow();
        return 0;
    }
    return MPopupWnd::OnWindowMessage(msg, wParam, lParam);
}

void MenuWnd::DescribeWindow(AccessibleInfo& info) {
    MPopupWnd::DescribeWindow(info);
    info.role = AccessibleRole::PopupMenu;
}

}  // namespace Orvix
