#include "orvix/controls/MButton.h"

#include "orvix/core/ControlFactory.h"
#include "orvix/core/PaintManager.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(MButton)

namespace {
constexpr int kIconGap = 6;
// The text of a framed button keeps clear of the frame's rounded edge.
constexpr int kFramePadding = 6;
}

MButton::MButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MButtonBase(parent, id, rect, title, visible, enabled) {
    m_hAlign = 1;
    m_vAlign = 4;
}

BOOL MButton::SetIconImage(const wchar_t* file, int count) {
    ImgResInfo* info = m_manager && file ? m_manager->AddImgResInfo(file, count) : nullptr;
    if (!info) return FALSE;
    m_icon = info->image.get();
    m_iconWidth = info->frameWidth;
    m_iconHeight = info->height;
    m_iconCount = info->count;
    UpdateControl(TRUE);
    return TRUE;
}

void MButton::SetTextRect(CRect rect) {
    m_textRect = rect;
    UpdateControl(TRUE);
}

void MButton::DrawIcon(Canvas& canvas, int x, int y, int look) const {
    if (!m_icon) return;
    const int frame = m_iconCount >= 4 ? std::min(look & 3, m_iconCount - 1) : 0;
    canvas.DrawImage(*m_icon, CRect(x, y, x + m_iconWidth, y + m_iconHeight),
                     CRect(frame * m_iconWidth, 0, (frame + 1) * m_iconWidth, m_iconHeight));
}

void MButton::RenderLook(Canvas& canvas, int look, const CRect& slice) {
    DrawLookFrame(canvas, slice, look);
    RenderContent(canvas, look, slice);
}

void MButton::RenderContent(Canvas& canvas, int look, const CRect& slice) {
    CRect text = m_textRect.IsRectEmpty() ? slice : InSlice(m_textRect, slice);
    if (m_image && m_textRect.IsRectEmpty()) text.DeflateRect(kFramePadding, 0);
    if (m_icon) {
        const int iconY = slice.top + (slice.Height() - m_iconHeight) / 2;
        if (m_title.empty()) {
            DrawIcon(canvas, slice.left + (slice.Width() - m_iconWidth) / 2, iconY, look);
        } else {
            // Icon and title side by side, centred together in the text rect.
            const int textWidth = std::min(Canvas::MeasureText(m_title, GetTextStyle()).cx,
                                           text.Width() - m_iconWidth - kIconGap);
            const int left = text.left + (text.Width() - m_iconWidth - kIconGap - textWidth) / 2;
            DrawIcon(canvas, left, iconY, look);
            text.left = left + m_iconWidth + kIconGap;
            text.right = text.left + textWidth + 1;
        }
    }
    DrawTitleText(canvas, m_title, text, TextColorFor(look));
}

}  // namespace Orvix
