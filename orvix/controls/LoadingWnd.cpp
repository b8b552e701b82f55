#include "orvix/controls/LoadingWnd.h"

#include "orvix/core/MRender.h"
#include "orvix/core/Manager.h"

namespace Orvix {

BOOL LoadingWnd::CreateDlg(HWND owner, CRect rect) {
    POINT origin{rect.left, rect.top};
    if (owner) Platform::ClientToScreen(owner, origin);
    if (!CreatePopup(owner, L"Loading", CRect(CPoint(origin), rect.Size()))) return FALSE;
    Show(TRUE);
    Restart();
    return TRUE;
}

BOOL LoadingWnd::LoadAnimateImage(const std::wstring& file, int frameCount) {
    m_animation = MRender::LoadImageFromFile(Manager::GetSkinPath(file));
    m_stripFrames = std::max(1, frameCount);
    m_gif = false;
    Restart();
    return m_animation != nullptr;
}

BOOL LoadingWnd::LoadGifImage(const std::wstring& file) {
    m_animation = MRender::LoadImageFromFile(Manager::GetSkinPath(file));
    m_gif = m_animation && m_animation->GetFrameCount() > 1;
    m_stripFrames = 1;
    Restart();
    return m_animation != nullptr;
}

int LoadingWnd::GetFrameCount() const {
    if (!m_animation) return 0;
    return m_gif ? m_animation->GetFrameCount() : m_stripFrames;
}

UINT LoadingWnd::FrameDelay() const {
    if (!m_gif) return kStripFrameMs;
    const int delay = m_animation->GetFrameDelay(m_frame);
    return delay >= 20 ? UINT(delay) : 100;  // as browsers do with tiny delays
}

void LoadingWnd::Restart() {
    m_frame = 0;
    if (!GetSafeHwnd()) return;
    KillTimer(kFrameTimer);
    if (GetFrameCount() > 1) SetTimer(kFrameTimer, FrameDelay());
    Repaint();
}

void LoadingWnd::OnTimer(UINT id) {
    if (id != kFrameTimer || GetFrameCount() <= 1) return;
    m_frame = (m_frame + 1) % GetFrameCount();
    if (m_gif) SetTimer(kFrameTimer, FrameDelay());  // each GIF frame has its own time
    Repaint();
}

void LoadingWnd::OnDraw(Canvas& canvas, const CRect& client) {
    if (!DrawBackImage(canvas, client)) canvas.FillRoundRect(client, 8, Color(0xFF333333));  // the wait window's grey
    if (!m_animation) return;
    const int fw = m_gif ? m_animation->GetWidth() : m_animation->GetWidth() / m_stripFrames;
    const int fh = m_animation->GetHeight();
    const int x = (client.Width() - fw) / 2, y = (client.Height() - fh) / 2;
    const CRect src = m_gif ? CRect(0, 0, fw, fh) : CRect(m_frame * fw, 0, (m_frame + 1) * fw, fh);
    canvas.DrawImage(*m_animation, CRect(x, y, x + fw, y + fh), src, m_gif ? m_frame : 0);
}

}  // namespace Orvix
