#include "orvix/core/MDialog.h"

#include "orvix/core/MAirBladder.h"
#include "orvix/core/MShadow.h"
#include "orvix/core/AccessibleHub.h"

namespace Orvix {

MDialog::MDialog() {
    AccessibleHub::AddWindow(this);
}

MDialog::~MDialog() {
    AccessibleHub::RemoveWindow(this);
    // Destroy while this object can still answer the window's last messages.
    if (m_hWnd) DestroyWindow();
    m_pm.DestroyData();
}

LRESULT MDialog::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ERASEBKGND) return 1;
    if (msg == WM_MDIALOG_CLOSE) return OnUserCloseWindow(wParam, lParam);
    if (m_shadow) m_shadow->OnParentMessage(msg);
    // Whatever a window hears may change what a screen reader sees (shown,
    // activated, painted after a change, focus moved by a key).
    if (msg != WM_TIMER) AccessibilityNoteChange();
    const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    const UINT flags = UINT(wParam);
    // The matching hook sees the message first; its answer is not used.
    switch (msg) {
        case WM_CREATE: OnCreate(reinterpret_cast<const WindowParams*>(lParam)); break;
        case WM_DESTROY: OnDestroy(); break;
        case WM_SIZE: OnSize(flags, LOWORD(uintptr_t(lParam)), HIWORD(uintptr_t(lParam))); break;
        case WM_PAINT: OnPaint(); break;
        case WM_CLOSE: OnClose(); break;
        case WM_WINDOWPOSCHANGED: OnWindowPosChanged(); break;
        case WM_NCACTIVATE: OnNcActivate(BOOL(wParam)); break;
        case WM_TIMER: OnTimer(UINT(wParam)); break;
        case WM_MOUSEMOVE: OnMouseMove(flags, pt); break;
        case WM_LBUTTONDOWN: OnLButtonDown(flags, pt); break;
        case WM_LBUTTONUP: OnLButtonUp(flags, pt); break;
        case WM_LBUTTONDBLCLK: OnLButtonDblClk(flags, pt); break;
        case WM_RBUTTONDOWN: OnRButtonDown(flags, pt); break;
        case WM_RBUTTONUP: OnRButtonUp(flags, pt); break;
        case WM_RBUTTONDBLCLK: OnRButtonDblClk(flags, pt); break;
        case WM_MOUSEHOVER: OnMouseHover(wParam, lParam); break;
        case WM_MOUSELEAVE: OnMouseLeave(wParam, lParam); break;
        default: break;
    }
    if (m_pm.IsInit()) {
        if (LRESULT r = m_pm.OnWindowMessage(msg, wParam, lParam)) return r;
        // What no control took: the window's own keys.
        if (msg == WM_KEYDOWN && KeyModifiersHeld() == 0) {
            if (wParam == VK_ESCAPE && OnCancelKey()) return 1;
            if (wParam == VK_RETURN && OnDefaultKey()) return 1;
        }
        if (msg == WM_CANCELMODE && m_dismissOnOutsidePress) {
            OnCancelMode();
            return 0;
        }
    }
    return DefWindowProc(msg, wParam, lParam);
}

UINT MDialog::KeyModifiersHeld() {
    return (Platform::IsKeyDown(VK_SHIFT) ? 1 : 0) | (Platform::IsKeyDown(VK_CONTROL) ? 2 : 0) |
           (Platform::IsKeyDown(VK_MENU) ? 4 : 0);
}

BOOL MDialog::ClickButton(UINT id) {
    MControl* button = id ? GetControl(id) : nullptr;
    if (!button || !button->IsVisible() || !button->IsEnabled() || !button->IsParentVisible()) return FALSE;
    return button->ClickKeyItem();
}

void MDialog::DescribeWindow(AccessibleInfo& info) {
    info.role = m_hWnd && Platform::GetOwner(m_hWnd) ? AccessibleRole::Dialog : AccessibleRole::Frame;
    info.name = GetWindowTextW();
}

BOOL MDialog::OnCancelKey() { return ClickButton(m_cancelId); }
BOOL MDialog::OnDefaultKey() { return ClickButton(m_defaultId); }

void MDialog::SetDismissOnOutsidePress(BOOL dismiss) {
    m_dismissOnOutsidePress = dismiss;
    if (m_hWnd) Platform::SetDismissOnOutsidePress(m_hWnd, dismiss);
}

BOOL MDialog::PreTranslateMessage(const MSG* msg) { return m_pm.PreTranslateMessage(msg); }

BOOL MDialog::OnInitDialog() {
    m_pm.Init(m_hWnd, this, this);
    if (m_dismissOnOutsidePress) Platform::SetDismissOnOutsidePress(m_hWnd, TRUE);
    m_rcClient = GetClientRect();
    InitUI(m_rcClient);
    return TRUE;
}

void MDialog::OnDestroyMessage(HWND hwnd) {
    if (hwnd == m_pm.GetPaintWnd()) m_pm.DestroyData();
    PostNcDestroy();
}

POINT MDialog::GetAirBladderPoint(MControl* control, UINT type) {
    if (!control) return POINT{0, 0};
    CRect r = control->GetRect();
    POINT p{type == 1 ? r.CenterPoint().x : type == 2 ? r.right : r.left, r.bottom};
    ClientToScreen(p);
    return p;
}

void MDialog::OnMinimize() { ShowWindow(SW_MINIMIZE); }
void MDialog::OnMaximize() { ShowWindow(IsZoomed() ? SW_RESTORE : SW_SHOWMAXIMIZED); }
void MDialog::InitUI(CRect) {}
void MDialog::UISize(CRect) {}
LRESULT MDialog::OnMessage(UINT, UINT, WPARAM, LPARAM) { return 0; }

LRESULT MDialog::OnUserCloseWindow(WPARAM wParam, LPARAM lParam) {
    PostMessageW(WM_CLOSE, wParam, lParam);
    return 1;
}

LRESULT MDialog::OnCreate(const WindowParams*) {
    Platform::SetStyle(m_hWnd, (GetStyle() & 0xFF3BFFFF) | 0x06000008, GetExStyle());
    return 1;
}

LRESULT MDialog::OnSize(UINT type, int, int) {
    if (type == SIZE_MINIMIZED) return 0;
    SetupBackTranslucent();
    m_rcClient = GetClientRect();
    if (m_rcClient.Width() > 1 && m_rcClient.Height() > 1) {
        UISize(m_rcClient);
        // After any resize, empty background anywhere moves the window.
        m_pm.SetCaptionRect(m_rcClient);
    }
    InvalidateRect(nullptr);
    return 0;
}

void MDialog::SetupBackTranslucent() {
    if (!m_hWnd) return;
    if (m_alpha < 255) Platform::SetLayered(m_hWnd, TRUE, m_alpha);
    else if (m_colorKey != 0xFFFFFF) Platform::SetLayered(m_hWnd, TRUE, 255);
}

LRESULT MDialog::OnMouseMove(UINT, CPoint) { return 0; }
LRESULT MDialog::OnMouseLeave(WPARAM, LPARAM) { return 0; }
LRESULT MDialog::OnMouseHover(WPARAM, LPARAM) { return 0; }
LRESULT MDialog::OnMouseWheel(UINT, short, CPoint) { return 0; }
LRESULT MDialog::OnLButtonDown(UINT, CPoint) { return 0; }
LRESULT MDialog::OnLButtonUp(UINT, CPoint) { return 0; }
LRESULT MDialog::OnLButtonDblClk(UINT, CPoint) { return 0; }
LRESULT MDialog::OnRButtonDown(UINT, CPoint) { return 0; }
LRESULT MDialog::OnRButtonUp(UINT, CPoint) { return 0; }
LRESULT MDialog::OnRButtonDblClk(UINT, CPoint) { return 0; }
LRESULT MDialog::OnKeyDown(UINT, UINT, UINT) { return 0; }
LRESULT MDialog::OnNcActivate(BOOL) { return 0; }
LRESULT MDialog::OnWindowPosChanged() { return 1; }
LRESULT MDialog::OnPaint() { return 0; }
void MDialog::OnTimer(UINT) {}
LRESULT MDialog::OnClose() { return 1; }
LRESULT MDialog::OnDestroy() { return 0; }
LRESULT MDialog::PostNcDestroy() { return 0; }

LRESULT MDialog::OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) {
    return OnMessage(id, code, wParam, lParam);
}

LRESULT MDialog::OnControlUpdate(CRect rc, BOOL rerender, MControl* control) {
    return m_pm.OnControlUpdate(rc, rerender, control);
}

MControl* MDialog::CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int visible,
                                 int enabled) {
    return m_pm.CreateControl(1, this, className, id, rect, title, visible, enabled);
}

MControl* MDialog::CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int visible,
                              int enabled) {
    return m_pm.CreateControl(0, this, className, id, rect, title, visible, enabled);
}

void MDialog::SetAirBladderMsg(const wchar_t* text, POINT screenPt, AIRBLADDER_TYPE type) {
    m_pm.SetAirBladderMsg(text, screenPt, type, AIRBLADDER_MODE_BELOW);
}

// ---------------------------------------------------------------- drop shadow

MShadow& MDialog::Shadow() {
    if (!m_shadow) m_shadow = std::make_unique<MShadow>();
    return *m_shadow;
}

BOOL MDialog::CreateShadow(int size, bool show) {
    MShadow& shadow = Shadow();
    if (!shadow.SetSize(size)) return FALSE;
    shadow.SetShow(show);
    return shadow.GetSafeHwnd() || shadow.Create(m_hWnd);
}

BOOL MDialog::SetSize(int size) { return Shadow().SetSize(size); }
BOOL MDialog::SetSharpness(UINT sharpness) { return Shadow().SetSharpness(sharpness); }
BOOL MDialog::SetDarkness(UINT darkness) { return Shadow().SetDarkness(darkness); }
BOOL MDialog::SetPosition(int x, int y) { return Shadow().SetPosition(x, y); }
BOOL MDialog::SetShadowColor(COLORREF color) { return Shadow().SetColor(color); }
BOOL MDialog::SetShadowImage(const wchar_t* file, CRect corners) { return Shadow().SetImage(file, corners); }
BOOL MDialog::SetShadowImage(UINT resId, CRect corners) { return Shadow().SetImage(resId, corners); }
BOOL MDialog::SetShadowShow(BOOL show) { return Shadow().SetShow(show); }

}  // namespace Orvix
