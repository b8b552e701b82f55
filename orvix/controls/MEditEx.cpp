#include "orvix/controls/MEditEx.h"

#include "orvix/core/ControlFactory.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(MEditEx)

MEditEx::MEditEx(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible, BOOL enabled)
    : MRichEdit(parent, id, rect, title, visible, enabled) {
    m_inset = 6;
}

void MEditEx::InitControl(PaintManager* manager) {
    MRichEdit::InitControl(manager);
    if (manager && !m_image) SetImage(L"img_edit.png", 4);
    SetWordWrap(FALSE);
    if (MEditBox* box = GetEditBox()) box->SetBackColor(0, 0);  // the frame shows through
}

}  // namespace Orvix
