#include "orvix/core/MPaintWnd.h"

#include "orvix/core/MRender.h"
#include "orvix/core/Manager.h"

namespace Orvix {

BOOL MPaintWnd::CreatePopup(HWND owner, const wchar_t* title, CRect screenRect, DWORD exStyle) {
    if (GetSafeHwnd()) return TRUE;
    const DWORD ex = exStyle | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST | WS_EX_LAYERED;
    return Create(owner, title, WS_POPUP, ex, screenRect) != nullptr;
}

BOOL MPaintWnd::LoadBKImage(const std::wstring& file) {
    m_backImage = MRender::LoadImageFromFile(Manager::GetSkinPath(file));
    Repaint();
    return m_backImage != nullptr;
}

void MPaintWnd::SetBackMode(enumBackMode mode, int inset) {
    m_backMode = mode;
    m_backInset = inset;
    Repaint();
}

void MPaintWnd::Show(BOOL show) {
    if (!GetSafeHwnd()) return;
    if (show) ShowWindow(SW_SHOWNOACTIVATE);
    else ShowWindow(SW_HIDE);
}

void MPaintWnd::Place(const CRect& screenRect) {
    MoveWindow(screenRect);
    Repaint();
}

void MPaintWnd::Repaint() {
    if (GetSafeHwnd()) InvalidateRect(nullptr);
}

BOOL MPaintWnd::DrawBackImage(Canvas& canvas, const CRect& rect) const {
    if (!m_backImage) return FALSE;
    const Image& img = *m_backImage;
    if (m_backMode == BACK_MODE_NINE)
        MRender::DrawImageFrame(canvas, img, rect, 0, 0, img.GetWidth(), img.GetHeight(), m_backInset);
    else
        canvas.DrawImage(img, rect.left, rect.top);
    return TRUE;
}

void MPaintWnd::Paint() {
    const CRect update = Platform::BeginPaint(GetSafeHwnd());
    const CRect client = GetClientRect();
    if (update.IsRectEmpty() || client.IsRectEmpty()) return;
    // Transparent where nothing is drawn; device pixels, drawn in logical units.
    const CSize pixels = Platform::GetDeviceClientSize(GetSafeHwnd());
    Canvas back(client.Width(), client.Height(), Platform::GetScale(), pixels.cx, pixels.cy);
    OnDraw(back, client);
    Platform::Present(GetSafeHwnd(), back, client);
}

LRESULT MPaintWnd::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_TIMER:
            OnTimer(UINT(wParam));
            return 0;
        default:
            return DefWindowProc(msg, wParam, lParam);
    }
}

}  // namespace Orvix
