#pragma once
// A self-deleting pop-up menu of "MenuItem" entries and separators. Entries
// are stacked from the top margin, item-height tall and 2 pixels in from each
// side; a separator takes 4 pixels. Any notification of an entry is posted to
// the owner window as the notify message (wParam = the entry's wParam,
// lParam = its id); a click (code 2) then closes the menu, and so does losing
// activation or Escape.
#include <string>
#include <vector>

#include "orvix/controls/MPopupWnd.h"

namespace Orvix {

class MenuWnd : public MPopupWnd {
  public:
    void DescribeWindow(AccessibleInfo& info) override;
    explicit MenuWnd(MObject* parent = nullptr);
    WindowKind GetWindowKind() const override { return WindowKind::PopupMenu; }

    // Opens the menu at a screen point (kept inside the work area).
    HWND Create(HWND owner, CPoint screenPt, UINT notifyMessage, int width = 300);
    // Adds an entry (the icon strip has 4 frames); returns -1.
    int AddMenu(const wchar_t* text, UINT id, const wchar_t* iconFile = nullptr, int = 0, int = 0);
    void AddSeparator(UINT id, const wchar_t* text = nullptr);
    BOOL SetItemTitle(UINT key, const wchar_t* text);
    BOOL SetItemVisible(UINT key, BOOL visible);
    BOOL SetItemEnable(UINT key, BOOL enable);
    MControl* GetItem(UINT key) const;
    void SetMenuFont(const std::wstring& name, int size, int style);
    void SetItemHeight(int height) { m_itemHeight = height; }
    void SetMargins(int top, int bottom) { m_top = top, m_bottom = bottom; }
    // Lays the entries out and fits the window to them.
    void SetMenuPoint();
    HWND GetOwner() const { return m_owner; }

    LRESULT OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    struct Entry {
        UINT id;
        MControl* control;  // owned by the window's manager
        bool separator;
    };

    std::vector<Entry> m_entries;
    HWND m_owner = nullptr;
    UINT m_notify = 0;
    CPoint m_point;
    int m_width = 300;
    int m_itemHeight = 25;
    int m_indent = 5;
    int m_top = 6;
    int m_bottom = 6;
    std::wstring m_fontName = L"Segoe UI";
    int m_fontSize = 14;
    int m_fontStyle = 0;
};

}  // namespace Orvix
