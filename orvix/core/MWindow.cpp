#include "orvix/core/MWindow.h"

#include "orvix/core/Manager.h"
#include "orvix/platform/Canvas.h"
#include "orvix/platform/Image.h"

namespace Orvix {

MWindow::~MWindow() {
    if (m_hWnd) {
        // The window outlives no object: detach and destroy it quietly.
        HWND hwnd = m_hWnd;
        m_hWnd = nullptr;
        Platform::DestroyWindow(hwnd);
    }
}

BOOL MWindow::ShowWindow(int nCmdShow) { return m_hWnd && Platform::ShowWindow(m_hWnd, nCmdShow); }
LRESULT MWindow::OnWindowMessage(UINT, WPARAM, LPARAM) { return 0; }
BOOL MWindow::PreTranslateMessage(const MSG*) { return FALSE; }
BOOL MWindow::OnInitDialog() { return TRUE; }
void MWindow::OnDestroyMessage(HWND) {}

HWND MWindow::Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, CRect rect) {
    if (m_hWnd) return m_hWnd;
    m_hParent = parent;
    WindowParams params;
    params.owner = parent;
    params.title = title ? title : L"";
    params.style = style;
    params.exStyle = exStyle;
    params.rect = rect;
    params.kind = GetWindowKind();
    if (!Platform::CreateWindow(this, params)) return nullptr;
    OnInitDialog();
    return m_hWnd;
}

HWND MWindow::Create(HWND parent) { return Create(parent, CRect(0, 0, 0, 0)); }
HWND MWindow::Create(HWND parent, CRect rect) { return Create(parent, L"", WS_POPUP, 0, rect); }

LRESULT MWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) m_hWnd = hwnd;
    if (hwnd != m_hWnd) return Platform::DefWindowProc(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        OnWindowMessage(msg, wParam, lParam);
        m_hWnd = nullptr;
        OnDestroyMessage(hwnd);
        return 0;
    }
    return OnWindowMessage(msg, wParam, lParam);
}

LRESULT MWindow::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return Platform::DefWindowProc(m_hWnd, msg, wParam, lParam);
}

BOOL MWindow::SetIcon(const std::wstring& file) {
    const std::shared_ptr<Image> image = Image::Load(file);
    if (!m_hWnd || !image) return FALSE;
    std::vector<std::shared_ptr<const Canvas>> sizes;
    for (int size : {16, 24, 32, 48, 64, 128}) {
        auto icon = std::make_shared<Canvas>(size, size);
        icon->DrawImage(*image, icon->GetRect(), CRect(0, 0, image->GetWidth(), image->GetHeight()));
        sizes.push_back(std::move(icon));
    }
    Platform::SetWindowIcon(m_hWnd, sizes);
    return TRUE;
}

DWORD MWindow::GetStyle() const { return Platform::GetStyle(m_hWnd); }
DWORD MWindow::GetExStyle() const { return Platform::GetExStyle(m_hWnd); }

BOOL MWindow::ModifyStyle(DWORD remove, DWORD add) {
    if (!m_hWnd) return FALSE;
    Platform::SetStyle(m_hWnd, (GetStyle() & ~remove) | add, GetExStyle());
    return TRUE;
}

BOOL MWindow::ModifyExStyle(DWORD remove, DWORD add) {
    if (!m_hWnd) return FALSE;
    Platform::SetStyle(m_hWnd, GetStyle(), (GetExStyle() & ~remove) | add);
    return TRUE;
}

CRect MWindow::GetClientRect() const { return Platform::GetClientRect(m_hWnd); }
CRect MWindow::GetWindowRect() const { return Platform::GetWindowRect(m_hWnd); }
void MWindow::SetWindowTextW(const wchar_t* text) { Platform::SetWindowText(m_hWnd, text ? text : L""); }
std::wstring MWindow::GetWindowTextW() const { return Platform::GetWindowText(m_hWnd); }
BOOL MWindow::EnableWindow(BOOL enable) { return Platform::EnableWindow(m_hWnd, enable); }
BOOL MWindow::IsWindowEnabled() const { return Platform::IsWindowEnabled(m_hWnd); }
BOOL MWindow::IsWindowVisible() const { return Platform::IsWindowVisible(m_hWnd); }
BOOL MWindow::IsIconic() const { return Platform::IsIconic(m_hWnd); }
BOOL MWindow::IsZoomed() const { return Platform::IsZoomed(m_hWnd); }
void MWindow::InvalidateRect(const CRect* rect, BOOL) { Platform::InvalidateRect(m_hWnd, rect); }
void MWindow::SetCapture() { Platform::SetCapture(m_hWnd); }
void MWindow::ReleaseCapture() { Platform::ReleaseCapture(); }
void MWindow::SetFocus() { Platform::SetActiveWindow(m_hWnd); }
UINT_PTR MWindow::SetTimer(UINT_PTR id, UINT elapseMs) { return Platform::SetTimer(m_hWnd, id, elapseMs); }
BOOL MWindow::KillTimer(UINT_PTR id) { return Platform::KillTimer(m_hWnd, id); }
void MWindow::ClientToScreen(POINT& pt) const { Platform::ClientToScreen(m_hWnd, pt); }
void MWindow::ScreenToClient(POINT& pt) const { Platform::ScreenToClient(m_hWnd, pt); }

void MWindow::ClientToScreen(CRect& rect) const {
    CRect w = GetWindowRect();
    rect.OffsetRect(w.left, w.top);
}

void MWindow::ScreenToClient(CRect& rect) const {
    CRect w = GetWindowRect();
    rect.OffsetRect(-w.left, -w.top);
}

BOOL MWindow::SetWindowPos(int x, int y, int cx, int cy) { return MoveWindow(CRect(x, y, x + cx, y + cy)); }
BOOL MWindow::MoveWindow(CRect screenRect) { return Platform::MoveWindow(m_hWnd, screenRect); }

UINT MWindow::ShowModal(int nCmdShow) {
    if (!m_hWnd) return UINT(-1);
    HWND self = m_hWnd;
    HWND owner = Platform::GetOwner(self);
    Platform::ShowWindow(self, nCmdShow);
    if (owner) Platform::EnableWindow(owner, FALSE);
    auto releaseOwner = [owner] {
        if (owner && Platform::IsWindow(owner)) {
            Platform::EnableWindow(owner, TRUE);
            Platform::SetActiveWindow(owner);
        }
    };
    UINT result = 0;
    bool quit = false;
    int quitCode = 0;
    MSG msg;
    bool inLoop = true;
    Platform::SetInModalLoop(self, TRUE);
    auto leaveLoop = [&] {
        if (inLoop && Platform::IsWindow(self)) Platform::SetInModalLoop(self, FALSE);
        inLoop = false;
    };
    while (Platform::IsWindow(self)) {
        if (!Platform::GetMessage(msg)) {
            quit = true;
            quitCode = int(msg.wParam);
            break;
        }
        if (msg.hwnd == self && msg.message == WM_CLOSE) {
            result = UINT(msg.wParam);
            leaveLoop();
            // The owner comes back before this window goes, so activation lands there.
            releaseOwner();
        }
        if (Manager::PreTranslateMessage(&msg) || PreTranslateMessage(&msg)) continue;
        Platform::DispatchMessage(msg);
    }
    leaveLoop();
    releaseOwner();
    if (quit) Platform::PostQuitMessage(quitCode);
    return result;
}

BOOL MWindow::DestroyWindow() { return m_hWnd && Platform::DestroyWindow(m_hWnd); }

void MWindow::CenterWindow(MWindow* relativeTo) {
    if (!m_hWnd) return;
    CRect self = GetWindowRect();
    HWND around = relativeTo ? relativeTo->GetSafeHwnd() : Platform::GetOwner(m_hWnd);
    CRect work = Platform::GetWorkArea(self.CenterPoint());
    CRect target = work;
    if (around && Platform::IsWindowVisible(around) && !Platform::IsIconic(around)) {
        target = Platform::GetWindowRect(around);
        work = Platform::GetWorkArea(target.CenterPoint());
    }
    int x = target.left + (target.Width() - self.Width()) / 2;
    int y = target.top + (target.Height() - self.Height()) / 2;
    // Keep it inside the work area: far edges first, then near edges.
    if (x + self.Width() > work.right) x = work.right - self.Width();
    if (y + self.Height() > work.bottom) y = work.bottom - self.Height();
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    MoveWindow(CRect(x, y, x + self.Width(), y + self.Height()));
}

void MWindow::BringToTop() { Platform::BringToTop(m_hWnd); }
LRESULT MWindow::SendMessageW(UINT msg, WPARAM wParam, LPARAM lParam) {
    return Platform::SendMessage(m_hWnd, msg, wParam, lParam);
}
BOOL MWindow::PostMessageW(UINT msg, WPARAM wParam, LPARAM lParam) {
    return m_hWnd && Platform::PostMessage(m_hWnd, msg, wParam, lParam);
}

}  // namespace Orvix

