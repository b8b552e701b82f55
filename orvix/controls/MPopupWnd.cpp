#include "orvix/controls/MPopupWnd.h"

namespace Orvix {

LRESULT MPopupWnd::SendMessageToParent(UINT code, WPARAM wParam, LPARAM lParam) {
    if (auto* control = dynamic_cast<MControl*>(m_parent)) return control->OnMessage(0, code, wParam, lParam);
    return m_parent ? m_parent->OnBaseMessage(0, code, wParam, lParam) : 0;
}

LRESULT MPopupWnd::OnUserCloseWindow(WPARAM wParam, LPARAM lParam) {
    if (!m_hWnd) return 0;
    PostMessageW(WM_CLOSE, wParam, lParam);
    return 1;
}

LRESULT MPopupWnd::OnNcActivate(BOOL active) {
    if (!active) CloseWindow();
    return 0;
}

BOOL MPopupWnd::OnCancelKey() {
    if (MDialog::OnCancelKey()) return TRUE;
    CloseWindow();
    return TRUE;
}

LRESULT MPopupWnd::PostNcDestroy() {
    delete this;
    return 0;
}

}  // namespace Orvix
