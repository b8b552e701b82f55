#include "orvix/widgets/DPISlider.h"

#include <string>

#include "orvix/core/ControlFactory.h"
#include "orvix/core/MRender.h"
#include "orvix/core/Manager.h"
#include "orvix/core/PaintManager.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(DPISlider)

DPISlider::DPISlider(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : StepSlider(parent, id, rect, title, visible, enabled, 1, 480, 0) {
    m_textColor = Color(0xFF050505);
    m_hAlign = 1;
}

BOOL DPISlider::SetImage(const wchar_t* file, int) {
    return MControlFont::SetImage(file, 1);
}

BOOL DPISlider::SetBkgImage(const wchar_t* file) {
    if (!file) return FALSE;
    std::shared_ptr<Image> image = MRender::LoadImageFromFile(Manager::GetSkinPath(file));
    if (!image) return FALSE;
    m_background = std::move(image);
    UpdateControl(TRUE);
    return TRUE;
}

void DPISlider::SetScaleValue(float scale) {
    m_scaleValue = scale;
    UpdateControl(TRUE);
}

void DPISlider::Render(Canvas& canvas, const CRect& slice) const {
    const float s = m_scaleValue;
    if (m_background)
        MRender::DrawImageFrame(canvas, *m_background, slice, 0, 0, m_background->GetWidth(),
                                m_background->GetHeight(), 10);
    const int marks = int(43 * s);
    for (int i = 0; i < marks; ++i) {
        const int x = slice.left + int(80 * s) + i * 18;
        canvas.DrawLine(CPoint(x, slice.top + int(30 * s)), CPoint(x, slice.top + int(45 * s)),
                        Color(0xFFFFFFFF));
    }
    TextStyle style = GetTextStyle();
    style.hAlign = 1;
    style.vAlign = 4;
    if (!style.family.empty()) {
        canvas.DrawText(L"100", CRect(slice.left + 10, slice.top + 30, slice.left + 60, slice.top + 50),
                        m_textColor, style);
        const int x = slice.left + int(850 * s);
        canvas.DrawText(std::to_wstring(m_max * 50), CRect(x, slice.top + 30, x + 55, slice.top + 50),
                        m_textColor, style);
    }
    CRect thumb = GetThumbRect();
    thumb.OffsetRect(slice.left - m_rect.left, slice.top - m_rect.top);
    if (m_image)
        canvas.DrawImage(*m_image, thumb.left, thumb.top);
    else  // no skin: a plain pointer so the slider stays usable
        canvas.FillPolygon(
            {{thumb.left, thumb.top}, {thumb.right, thumb.top}, {thumb.CenterPoint().x, thumb.bottom}},
            Manager::GetSelectColor());
}

void DPISlider::DrawControl(Canvas& canvas, CRect rcPaint) {
    if (m_rect.IsRectEmpty()) return;
    DrawCached(canvas, rcPaint, 1, 0,
               [this](Canvas& cache, int, const CRect& slice) { Render(cache, slice); });
}

}  // namespace Orvix
