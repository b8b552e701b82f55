#include "orvix/controls/NumberEdit2.h"

#include "orvix/core/ControlFactory.h"

namespace Orvix {

ORVIX_REGISTER_CONTROL(NumberEdit2)

NumberEdit2::NumberEdit2(MObject* parent, UINT id, CRect rect, const wchar_t* title, BOOL visible,
                         BOOL enabled)
    : NumberEdit(parent, id, rect, title, visible, enabled,
                 Layout{L"img_btn_value_up.png", L"img_btn_value_down.png", 10, 1, 20}) {}

CRect NumberEdit2::IncreaseRect() const {
    const int s = m_layout.buttonSize, mid = m_rect.top + m_rect.Height() / 2;
    return CRect(m_rect.right - 3 - s, mid - s, m_rect.right - 3, mid);
}

CRect NumberEdit2::DecreaseRect() const {
    const int s = m_layout.buttonSize, mid = m_rect.top + m_rect.Height() / 2;
    return CRect(m_rect.right - 3 - s, mid, m_rect.right - 3, mid + s);
}

}  // namespace Orvix
