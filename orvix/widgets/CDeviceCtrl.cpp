#include "orvix/widgets/CDeviceCtrl.h"

#include "orvix/core/Manager.h"
#include "orvix/platform/Image.h"
#include "orvix/widgets/CDeviceList.h"

namespace Orvix {

namespace {
constexpr int kTitleHeight = 28;
}  // namespace

CDeviceCtrl::CDeviceCtrl(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible,
                         BOOL enabled)
    : MButtonBase(parent, id, rect, title, visible, enabled) {
    m_frameCount = 1;
    m_hAlign = 1;
    m_vAlign = 4;
}

BOOL CDeviceCtrl::SetImage(const wchar_t* file, int count) {
    return MControlFont::SetImage(file, count);
}

void CDeviceCtrl::SetBackColor(COLORREF color) {
    m_back = color;
    UpdateControl(TRUE);
}

void CDeviceCtrl::SetDeviceStatus(int status) {
    if (status == m_status) return;
    m_status = status;
    if (status == 0 && m_enabled) SetState(STATE_NORMAL);
    UpdateControl(TRUE);
}

void CDeviceCtrl::SetShowMode(int mode) {
    m_showMode = mode;
    UpdateControl(TRUE);
}

BOOL CDeviceCtrl::OnControlMouseMove(UINT flags, CPoint pt) {
    return m_status == 0 ? FALSE : MButtonBase::OnControlMouseMove(flags, pt);
}

BOOL CDeviceCtrl::OnControlLButtonDown(UINT flags, CPoint pt) {
    return m_status == 0 ? FALSE : MButtonBase::OnControlLButtonDown(flags, pt);
}

BOOL CDeviceCtrl::OnControlLButtonUp(UINT flags, CPoint pt) {
    return m_status == 0 ? FALSE : MButtonBase::OnControlLButtonUp(flags, pt);
}

void CDeviceCtrl::RenderLook(Canvas& canvas, int look, const CRect& rect) {
    const int state = look & 3;
    const bool inactive = m_status == 0 || state == STATE_DISABLED;
    Color back = Color::FromCOLORREF(m_back);
    if (state == STATE_HOVER)
        back = Color::FromCOLORREF(RGB(std::min(255, GetRValue(m_back) + 18),
                                       std::min(255, GetGValue(m_back) + 18),
                                       std::min(255, GetBValue(m_back) + 18)));
    canvas.FillRoundRect(rect, 8, back);
    if (state == STATE_HOVER || state == STATE_PRESSED)
        canvas.DrawRoundRect(rect, 8, Manager::GetSelectColor(), state == STATE_PRESSED ? 2 : 1);
    CRect box(rect.left + 10, rect.top + 10, rect.right - 10, rect.bottom - 10);
    if (m_showMode == SHOW_PICTURE_TITLE) box.bottom -= kTitleHeight;
    if (m_image) {
        const CRect at = CDeviceList::GetImageRect(m_image->GetWidth(), m_image->GetHeight(), box);
        canvas.DrawImage(*m_image, at, CRect(0, 0, m_image->GetWidth(), m_image->GetHeight()), 0,
                         inactive ? 110 : 255);
    }
    if (m_showMode == SHOW_PICTURE_TITLE)
        DrawTitleText(canvas, m_title, CRect(rect.left + 6, box.bottom, rect.right - 6, rect.bottom - 6),
                      inactive ? Color(0xFF808080) : m_textColor);
}

}  // namespace Orvix
