#include "orvix/core/MPicture.h"

#include "orvix/core/ControlFactory.h"
#include "orvix/core/Manager.h"
#include "orvix/core/MRender.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(MPicture)

MPicture::MPicture(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MControlFont(parent, id, rect, title, visible, enabled) {
    m_frameCount = 1;
}

BOOL MPicture::TakeOwnImage(std::shared_ptr<Image> image, int count) {
    m_own = std::move(image);
    m_image = m_own.get();
    m_frameCount = std::max(1, count);
    m_frameWidth = m_own ? m_own->GetWidth() / m_frameCount : 0;
    m_frameHeight = m_own ? m_own->GetHeight() : 0;
    UpdateControl(TRUE);
    return m_own != nullptr;
}

BOOL MPicture::SetImage(const wchar_t* file, int count) {
    m_imagePath = file ? file : L"";
    return TakeOwnImage(file ? MRender::LoadImageFromFile(Manager::GetSkinPath(file)) : nullptr, count);
}

BOOL MPicture::SetImage(UINT resId, const std::wstring& resType, int count) {
    return TakeOwnImage(MRender::LoadImageFromIDResource(resId, resType, true), count);
}

BOOL MPicture::SetShowMode(enumShowMode mode, int inset) {
    if (mode == m_mode && (mode != SHOW_MODE_NINE || inset == m_inset)) return FALSE;
    m_mode = mode;
    if (mode == SHOW_MODE_NINE) m_inset = inset;
    UpdateControl(TRUE);
    return TRUE;
}

void MPicture::SetShowModeMID(int left, int top, int right, int bottom) {
    m_mode = SHOW_MODE_NINE_MID;
    m_insets = CRect(left, top, right, bottom);
    UpdateControl(TRUE);
}

void MPicture::SetCustomRect(CRect rect) {
    m_custom = rect;
    UpdateControl(TRUE);
}

void MPicture::DrawControl(Canvas& canvas, CRect rcPaint) {
    if (!m_image || m_rect.IsRectEmpty()) return;
    // Drawn straight from the decoded image: a cached rendering would double the
    // memory of a large picture and save little over drawing the image itself.
    const CRect visible = m_rect & rcPaint;
    if (visible.IsRectEmpty()) return;
    canvas.PushClip(visible);
    Render(canvas, m_rect);
    canvas.PopClip();
}

void MPicture::Render(Canvas& canvas, const CRect& dst) const {
    const Image& img = *m_image;
    const int fw = m_frameWidth, fh = m_frameHeight;
    const CRect frame(0, 0, fw, fh);
    switch (m_mode) {
        case SHOW_MODE_NATURAL: {
            int x = m_hAlign == 0 ? dst.left : m_hAlign == 2 ? dst.right - fw : dst.left + (dst.Width() - fw) / 2;
            int y = m_vAlign == 0 ? dst.top : m_vAlign == 8 ? dst.bottom - fh : dst.top + (dst.Height() - fh) / 2;
            canvas.DrawImage(img, CRect(x, y, x + fw, y + fh), frame);
            break;
        }
        case SHOW_MODE_TILE:
            if (fw <= 0 || fh <= 0) break;
            for (int y = dst.top; y < dst.bottom; y += fh)
                for (int x = dst.left; x < dst.right; x += fw) canvas.DrawImage(img, CRect(x, y, x + fw, y + fh), frame);
            break;
        case SHOW_MODE_STRETCH:
            canvas.DrawImage(img, dst, frame);
            break;
        case SHOW_MODE_NINE:
            MRender::DrawImageFrame(canvas, img, dst, 0, 0, fw, fh, m_inset);
            break;
        case SHOW_MODE_NINE_MID:
            MRender::DrawImageFrameMID(canvas, img, dst, 0, 0, fw, fh, m_insets.left, m_insets.top, m_insets.right,
                                       m_insets.bottom);
            break;
        case SHOW_MODE_CUSTOM:
            canvas.DrawImage(img, dst, m_custom);
            break;
    }
}

void MPicture::DescribeAccessible(AccessibleInfo& info) {
    // A picture says something only when it has a name or a tooltip.
    info.role = AccessibleRole::Image;
    info.name = GetAccessibleName().empty() ? GetTooltip() : GetAccessibleName();
    info.expose = !info.name.empty();
}

}  // namespace Orvix
