#pragma once
// Wraps one native window of the windowing layer: creation, the window
// procedure, geometry, the modal loop and centring.
#include <string>

#include "orvix/platform/Platform.h"

namespace Orvix {

class MWindow : public WindowProcedure {
public:
    MWindow() = default;
    ~MWindow() override;
    MWindow(const MWindow&) = delete;
    MWindow& operator=(const MWindow&) = delete;

    virtual const wchar_t* GetWindowClassName() const { return L"MWindow"; }
    virtual const wchar_t* GetSuperClassName() const { return nullptr; }
    virtual BOOL ShowWindow(int nCmdShow);
    // Every message of the window arrives here.
    virtual LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // TRUE swallows the message in the modal loop.
    virtual BOOL PreTranslateMessage(const MSG* msg);
    virtual BOOL OnInitDialog();
    virtual void OnDestroyMessage(HWND hwnd);
    // What the window is to the desktop's window manager (menus, drop-downs).
    virtual WindowKind GetWindowKind() const { return WindowKind::Auto; }

    HWND Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, CRect rect);
    HWND Create(HWND parent);
    HWND Create(HWND parent, CRect rect);

    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetParentHwnd() const { return m_hParent; }
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD remove, DWORD add);
    BOOL ModifyExStyle(DWORD remove, DWORD add);
    CRect GetClientRect() const;
    void GetClientRect(CRect& rect) const { rect = GetClientRect(); }
    CRect GetWindowRect() const;
    void GetWindowRect(CRect& rect) const { rect = GetWindowRect(); }
    void SetWindowTextW(const wchar_t* text);
    // The window's picture for the desktop (taskbar, switcher) from a picture
    // file, at the sizes desktops ask for; its owned windows show it too.
    BOOL SetIcon(const std::wstring& file);
    std::wstring GetWindowTextW() const;
    int GetWindowTextLengthW() const { return int(GetWindowTextW().size()); }
    BOOL EnableWindow(BOOL enable);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    BOOL IsZoomed() const;
    void InvalidateRect(const CRect* rect, BOOL erase = FALSE);
    void SetCapture();
    void ReleaseCapture();
    void SetFocus();
    UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs);
    BOOL KillTimer(UINT_PTR id);
    void ClientToScreen(POINT& pt) const;
    void ClientToScreen(CRect& rect) const;
    void ScreenToClient(POINT& pt) const;
    void ScreenToClient(CRect& rect) const;
    BOOL SetWindowPos(int x, int y, int cx, int cy);
    BOOL MoveWindow(CRect screenRect);
    // Shows the window, disables its owner and runs a nested message loop until
    // the window is gone; the wParam of its close message is the result (0 when
    // it was destroyed without one, (UINT)-1 without a window).
    UINT ShowModal(int nCmdShow = SW_SHOW);
    BOOL DestroyWindow();
    void CenterWindow(MWindow* relativeTo = nullptr);
    void BringToTop();
    LRESULT SendMessageW(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessageW(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    // The default procedure that unhandled messages go to.
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    HWND m_hParent = nullptr;
};

}  // namespace Orvix
