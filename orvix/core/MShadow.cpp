#include "orvix/core/MShadow.h"

#include <cmath>

#include "orvix/core/MRender.h"
#include "orvix/core/Manager.h"

namespace Orvix {

namespace {
bool InRange(int v, int lo, int hi) { return v >= lo && v <= hi; }
}  // namespace

BOOL MShadow::Create(HWND parent) {
    if (!Platform::IsWindow(parent)) return FALSE;
    m_parentWnd = parent;
    if (!CreatePopup(parent, L"", CRect(0, 0, 1, 1), WS_EX_TRANSPARENT)) return FALSE;
    Update();
    return TRUE;
}

BOOL MShadow::SetSize(int size) {
    if (!InRange(size, -kMaxSize, kMaxSize)) return FALSE;
    m_size = size;
    Update();
    return TRUE;
}

BOOL MShadow::SetSharpness(UINT sharpness) {
    if (sharpness > UINT(kMaxSize)) return FALSE;
    m_sharpness = sharpness;
    Update();
    return TRUE;
}

BOOL MShadow::SetDarkness(UINT darkness) {
    if (darkness > 255) return FALSE;
    m_darkness = darkness;
    Update();
    return TRUE;
}

BOOL MShadow::SetPosition(int x, int y) {
    if (!InRange(x, -kMaxSize, kMaxSize) || !InRange(y, -kMaxSize, kMaxSize)) return FALSE;
    m_offset = CPoint(x, y);
    Update();
    return TRUE;
}

BOOL MShadow::SetColor(COLORREF color) {
    m_color = color & 0xFFFFFF;
    Update();
    return TRUE;
}

BOOL MShadow::SetImage(const wchar_t* file, CRect corners) {
    if (!file || !*file) return TakeImage(nullptr, corners);
    std::shared_ptr<Image> image = MRender::LoadImageFromFile(Manager::GetSkinPath(file));
    return image && TakeImage(std::move(image), corners);
}

BOOL MShadow::SetImage(UINT resId, CRect corners) {
    std::shared_ptr<Image> image = MRender::LoadImageFromIDResource(resId, L"PNG", true);
    return image && TakeImage(std::move(image), corners);
}

BOOL MShadow::TakeImage(std::shared_ptr<Image> image, CRect corners) {
    m_image = std::move(image);
    m_corners = corners;
    Update();
    return TRUE;
}

BOOL MShadow::SetShow(BOOL show) {
    m_show = show;
    Update();
    return TRUE;
}

void MShadow::OnParentMessage(UINT msg) {
    if (msg == WM_MOVE || msg == WM_SIZE || msg == WM_SHOWWINDOW || msg == WM_WINDOWPOSCHANGED) Update();
}

CRect MShadow::ShadowRect(const CRect& parent) const {
    CRect r = parent;
    if (m_image) {
        r.InflateRect(m_corners.left, m_corners.top, m_corners.right, m_corners.bottom);
        r.OffsetRect(m_offset.x, m_offset.y);
        return r;
    }
    if (m_size == 0) return {};
    r.OffsetRect(m_offset.x, m_offset.y);
    r.InflateRect(m_size + int(m_sharpness), m_size + int(m_sharpness));
    return r.IsRectEmpty() ? CRect() : r;
}

BYTE MShadow::AlphaAt(const CRect& window, const CRect& parent, int x, int y) const {
    // The solid core is the parent's rect moved and grown by the size; the
    // sharpness is the width of the fade around it.
    CRect core = parent;
    core.OffsetRect(m_offset.x - window.left, m_offset.y - window.top);
    core.InflateRect(m_size, m_size);
    const double px = x + 0.5, py = y + 0.5;
    const double dx = std::max({0.0, core.left - px, px - core.right});
    const double dy = std::max({0.0, core.top - py, py - core.bottom});
    const double d = std::sqrt(dx * dx + dy * dy);
    if (m_sharpness == 0) return d > 0 ? 0 : BYTE(m_darkness);
    const double t = std::clamp(1.0 - d / m_sharpness, 0.0, 1.0);
    return BYTE(std::lround(m_darkness * t * t));
}

void MShadow::Render(const CRect& window, const CRect& parent) {
    const int w = window.Width(), h = window.Height();
    m_bitmap = std::make_unique<Canvas>(w, h);
    if (m_image) {
        const Image& img = *m_image;
        MRender::DrawImageFrameMID(*m_bitmap, img, CRect(0, 0, w, h), 0, 0, img.GetWidth(), img.GetHeight(),
                                   m_corners.left, m_corners.top, m_corners.right, m_corners.bottom);
        return;
    }
    uint32_t* data = m_bitmap->GetData();
    const int stride = m_bitmap->GetStride();
    const uint32_t r = GetRValue(m_color), g = GetGValue(m_color), b = GetBValue(m_color);
    CRect under = parent;
    under.OffsetRect(-window.left, -window.top);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            // Beneath the parent nothing shows; leaving it clear keeps a
            // translucent parent from darkening.
            const uint32_t a = under.PtInRect(POINT{x, y}) ? 0 : AlphaAt(window, parent, x, y);
            data[y * stride + x] = (a << 24) | ((r * a / 255) << 16) | ((g * a / 255) << 8) | (b * a / 255);
        }
    }
    m_bitmap->MarkDirty();
}

void MShadow::Update() {
    if (!GetSafeHwnd() || !Platform::IsWindow(m_parentWnd)) return;
    const CRect parent = Platform::GetWindowRect(m_parentWnd);
    const CRect window = ShadowRect(parent);
    if (!m_show || window.IsRectEmpty() || !Platform::IsWindowVisible(m_parentWnd) || Platform::IsIconic(m_parentWnd)) {
        Show(FALSE);
        return;
    }
    Render(window, parent);
    Place(window);
    if (!IsWindowVisible()) {
        Show(TRUE);
        // Beneath its parent: the parent goes back on top.
        if (Platform::GetActiveWindow() == m_parentWnd) Platform::BringToTop(m_parentWnd);
    }
}

void MShadow::OnDraw(Canvas& canvas, const CRect& client) {
    if (m_bitmap) canvas.DrawCanvas(*m_bitmap, client, m_bitmap->GetRect(), Canvas::Blend::Copy);
}

}  // namespace Orvix
