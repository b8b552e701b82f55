#include "orvix/controls/InPlaceEdit.h"

namespace Orvix {

MEditBox* InPlaceEdit::Box() {
    if (m_box || !m_host.GetManager()) return m_box;
    m_box = new MEditBox(&m_host, kBoxId, m_host.GetRect());
    m_box->SetManager(m_host.GetManager());
    m_box->SetRresponse(FALSE);  // it takes its input as the caret owner, not through the tree
    m_host.AddChild(m_box, 1);
    return m_box;
}

void InPlaceEdit::Open(const CRect& rect, const std::wstring& text, int hAlign) {
    MEditBox* box = Box();
    if (!box) return;
    box->SetFont(m_host.GetTextFont().c_str(), m_host.GetFontWidth(), m_host.GetFontStyle());
    UINT h = 0, v = 0;
    m_host.GetAlignment(h, v);
    box->SetAlignment(hAlign >= 0 ? UINT(hAlign) : h);
    box->SetControlRect(rect);
    box->Open(text);
}

void InPlaceEdit::Close() {
    if (m_box) m_box->Close();
}

}  // namespace Orvix
