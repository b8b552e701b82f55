#include "orvix/controls/CPhotoFrame.h"

#include "orvix/core/ControlFactory.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(CPhotoFrame)

CPhotoFrame::CPhotoFrame(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MButtonBase(parent, id, rect, title, visible, enabled) {
    m_frameSize = 6;
    m_photo = new MPicture(this, 0, PhotoRect());
    m_photo->SetShowMode(SHOW_MODE_STRETCH);
    AddChild(m_photo, 0);
}

void CPhotoFrame::InitControl(PaintManager* manager) {
    MButtonBase::InitControl(manager);
    m_photo->SetManager(manager);
}

CRect CPhotoFrame::PhotoRect() const {
    CRect r = m_rect;
    r.DeflateRect(m_frameSize, m_frameSize);
    return r;
}

void CPhotoFrame::SetControlRect(CRect rect) {
    MButtonBase::SetControlRect(rect);
    m_photo->SetControlRect(PhotoRect());
}

void CPhotoFrame::SetFrameSize(int size) {
    MButtonBase::SetFrameSize(size);
    m_photo->SetControlRect(PhotoRect());
}

BOOL CPhotoFrame::SetPhotoFrame(const wchar_t* file, int count) {
    return MButtonBase::SetImage(file, count);
}

BOOL CPhotoFrame::SetImage(const wchar_t* file, int count) { return m_photo->SetImage(file, count); }

BOOL CPhotoFrame::SetImage(UINT resId, const std::wstring& resType, int count) {
    return m_photo->SetImage(resId, resType, count);
}

LRESULT CPhotoFrame::OnControlUpdate(CRect, BOOL rerender, MControl* control) {
    if (rerender && control) control->SetUpdate(FALSE, 0);
    UpdateControl(TRUE);
    return 0;
}

}  // namespace Orvix
