#include "orvix/controls/DownloadButton.h"

#include "orvix/core/ControlFactory.h"
#include "orvix/core/Manager.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(DownloadButton)

DownloadButton::DownloadButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible,
                               BOOL enabled)
    : MButton(parent, id, rect, title, visible, enabled) {}

void DownloadButton::SetDownloadProcess(int percent) {
    percent = std::clamp(percent, 0, 100);
    if (percent == m_percent) return;
    m_percent = percent;
    UpdateControl(TRUE);
}

void DownloadButton::RenderLook(Canvas& canvas, int look, const CRect& slice) {
    DrawLookFrame(canvas, slice, look);
    if (m_percent > 0) {
        CRect fill = slice;
        fill.DeflateRect(2, 2);
        fill.right = fill.left + fill.Width() * m_percent / 100;
        const Color accent = Manager::GetSelectColor();
        canvas.FillRoundRect(fill, 4, Color(0x50, accent.GetR(), accent.GetG(), accent.GetB()));
    }
    RenderContent(canvas, look, slice);
}

}  // namespace Orvix
